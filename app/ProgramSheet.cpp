// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ProgramSheet.h"
#include "app/Timeline.h"
#include "engine/History.h"
#include "panel/ViewFeed.h"
#include "storage/ShellSettings.h"

#include "app/Clipboard.h"
#include "app/ModelNames.h"
#include "engine/Engine.h"
#include "panel/SheetModel.h"
#include "storage/ProgramText.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QStackedWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTextBlock>

namespace vx {

namespace {

QLabel* stateLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setWordWrap(true);
    return label;
}

} // namespace

ProgramSheet::ProgramSheet(Engine& engine, ViewFeed& feed, History& history, std::function<QString()> runText,
                           std::function<std::optional<SavedProgram>()> entry, ShellSettings& settings,
                           QWidget* parent)
    : QWidget(parent, Qt::Window), engine_(engine), feed_(feed), history_(history),
      runText_(std::move(runText)), entry_(std::move(entry)), settings_(settings) {
    setObjectName(QStringLiteral("programSheet"));
    model_ = new SheetModel(engine_, this);
    delegate_ = new SheetDelegate(*model_, this);
    table_ = new QTableView(this);
    table_->setModel(model_);
    table_->setItemDelegate(delegate_);
    table_->setAccessibleName(QStringLiteral("Programmblatt"));
    table_->horizontalHeader()->hide();
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->verticalHeader()->setDefaultSectionSize(delegate_->sizeHint({}, {}).height());
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setShowGrid(false);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setMinimumWidth(delegate_->sizeHint({}, {}).width() + 24);
    table_->viewport()->installEventFilter(this);
    // Tab leaves the listing for the buttons, as in a dialog; the rows are Up and Down.
    table_->setTabKeyNavigation(false);

    editor_ = new QPlainTextEdit(this);
    editor_->setAccessibleName(QStringLiteral("Programmtext"));
    editor_->setFont(delegate_->font());
    editor_->setLineWrapMode(QPlainTextEdit::NoWrap);
    problem_ = new QLabel(this);
    problem_->setWordWrap(true);
    problem_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    problem_->hide();
    auto* editPage = new QWidget(this);
    auto* editLayout = new QVBoxLayout(editPage);
    editLayout->setContentsMargins(0, 0, 0, 0);
    editLayout->addWidget(editor_);
    editLayout->addWidget(problem_);
    pages_ = new QStackedWidget(this);
    pages_->addWidget(table_);
    pages_->addWidget(editPage);

    auto* split = new QSplitter(this);
    split->addWidget(pages_);
    split->addWidget(buildState());
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    split->setChildrenCollapsible(false);
    timeline_ = new Timeline(engine_, history_, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildButtons());
    layout->addWidget(split, 1);
    layout->addWidget(timeline_);

    // F9 sets or clears a breakpoint on the chosen row, as in most debuggers.
    auto* toggle = new QShortcut(QKeySequence(Qt::Key_F9), table_, nullptr, nullptr, Qt::WidgetShortcut);
    connect(toggle, &QShortcut::activated, this, [this] {
        const QModelIndex at = table_->currentIndex();
        if (at.isValid()) toggleBreakpoint(SheetModel::stepOf(at.row()));
    });
    connect(editor_, &QPlainTextEdit::undoAvailable, undo_, &QWidget::setEnabled);
    connect(editor_, &QPlainTextEdit::redoAvailable, redo_, &QWidget::setEnabled);

    // The sheet follows every part, during a run ten times a second.
    follower_ =
        feed_.follow(allParts, 10, ViewFeed::Runs::all, [this](const Changes& changes) { follow(changes); });
    follow(feed_.everything());
}

ProgramSheet::~ProgramSheet() {
    feed_.stop(follower_);
}

QString ProgramSheet::titleFor(Model model) {
    return QStringLiteral("Programmblatt – ") + modelTitle(model);
}

QWidget* ProgramSheet::buildButtons() {
    auto* bar = new QWidget(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    auto button = [&](const QString& text, auto slot) {
        auto* b = new QPushButton(text, bar);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        row->addWidget(b);
        return b;
    };
    edit_ = button(QStringLiteral("Bearbeiten"), [this] { beginEditing(); });
    apply_ = button(QStringLiteral("Übernehmen"), [this] { apply(); });
    discard_ = button(QStringLiteral("Verwerfen"), [this] { discard(); });
    undo_ = button(QStringLiteral("Rückgängig"), [this] { editor_->undo(); });
    redo_ = button(QStringLiteral("Wiederholen"), [this] { editor_->redo(); });
    row->addSpacing(12);
    breakpoint_ = button(QStringLiteral("Haltepunkt"), [this] {
        const QModelIndex at = table_->currentIndex();
        toggleBreakpoint(at.isValid() ? SheetModel::stepOf(at.row()) : engine_.pc());
    });
    breakpoint_->setToolTip(QStringLiteral("Haltepunkt auf dem gewählten Schritt setzen oder löschen (F9)"));
    clearBreakpoints_ = button(QStringLiteral("Alle Haltepunkte löschen"), [this] {
        history_.name("Alle Haltepunkte löschen");
        engine_.clearBreakpoints();
    });
    resetCounts_ = button(QStringLiteral("Zähler zurücksetzen"), [this] {
        history_.name("Zähler zurücksetzen");
        engine_.resetExecutionCounts();
    });
    row->addStretch(1);
    whole_ = new QCheckBox(QStringLiteral("Alle 416 Schritte"), bar);
    connect(whole_, &QCheckBox::toggled, this, [this](bool on) {
        model_->setWholeMemory(on);
        followed_ = 0;
        followCounter();
    });
    row->addWidget(whole_);
    undo_->setEnabled(false);
    redo_->setEnabled(false);
    return bar;
}

QWidget* ProgramSheet::buildState() {
    auto* box = new QWidget(this);
    auto* form = new QFormLayout(box);
    form->setContentsMargins(0, 0, 0, 0);
    number_ = stateLabel(box);
    number_->setFont(delegate_->font());
    calculation_ = stateLabel(box);
    calculation_->setFont(delegate_->font());
    returns_ = stateLabel(box);
    run_ = stateLabel(box);
    form->addRow(QStringLiteral("Zahlenregister"), number_);
    form->addRow(QStringLiteral("Rechnung"), calculation_);
    form->addRow(QStringLiteral("Verzweigung"), returns_);
    form->addRow(QStringLiteral("Lauf"), run_);
    registers_ = new QTableWidget(0, 2, box);
    registers_->setAccessibleName(QStringLiteral("Register"));
    registers_->setTabKeyNavigation(false);
    registers_->setHorizontalHeaderLabels({QStringLiteral("Register"), QStringLiteral("Inhalt")});
    registers_->verticalHeader()->hide();
    registers_->horizontalHeader()->setStretchLastSection(true);
    registers_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    registers_->setFont(delegate_->font());
    registers_->verticalHeader()->setDefaultSectionSize(delegate_->sizeHint({}, {}).height());
    form->addRow(registers_);
    return box;
}

void ProgramSheet::follow(const Changes& changes) {
    ++updates_;
    timeline_->refreshSoon();
    if (changes.has(Part::model)) setWindowTitle(titleFor(engine_.model()));
    // A hidden sheet reads the machine when it is shown again.
    if (isVisible() || updates_ == 1) {
        model_->refresh();
        followCounter();
        updateState(changes);
    }
    updateButtons();
}

void ProgramSheet::followCounter() {
    const int step = model_->currentStep();
    if (step == followed_) return;
    followed_ = step;
    const QModelIndex at = model_->index(SheetModel::rowOf(step), 0);
    if (!at.isValid()) return;
    table_->selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect |
                                                      QItemSelectionModel::Rows);
    table_->scrollTo(at, QAbstractItemView::EnsureVisible);
}

void ProgramSheet::updateState(const Changes& changes) {
    number_->setText(SheetText::numberRegister(engine_));
    QString calc = SheetText::calculation(engine_);
    const QString pending = SheetText::pending(engine_);
    if (!pending.isEmpty()) calc += (calc.isEmpty() ? QString() : QStringLiteral("\n")) + pending;
    calculation_->setText(calc.isEmpty() ? QStringLiteral("–") : calc);
    const QString back = SheetText::returns(engine_.returnAddresses());
    returns_->setText(back.isEmpty() ? QStringLiteral("–") : back);
    QString run = runText_ ? runText_() : QString();
    if (run.startsWith(QStringLiteral("Lauf: "))) run.remove(0, 6);
    run_->setText(run.isEmpty() ? QStringLiteral("–") : run);
    updateRegisters(changes);
}

void ProgramSheet::updateRegisters(const Changes& changes) {
    const std::vector<Num>& regs = engine_.registers();
    const int count = static_cast<int>(regs.size());
    if (registers_->rowCount() != count || changes.has(Part::model)) {
        registers_->setRowCount(count);
        for (int i = 0; i < count; ++i) {
            registers_->setItem(i, 0, new QTableWidgetItem(SheetText::registerName(i, engine_.model())));
            registers_->setItem(i, 1, new QTableWidgetItem);
        }
        changed_.assign(regs.size(), false);
    } else if (!changes.registers.empty()) {
        // What the last change of the registers touched stays marked until
        // the next one.
        changed_.assign(regs.size(), false);
        for (const int r : changes.registers)
            if (r < count) changed_[static_cast<std::size_t>(r)] = true;
    }
    QColor mark = palette().color(QPalette::Highlight);
    mark.setAlpha(70);
    for (int i = 0; i < count; ++i) {
        const auto at = static_cast<std::size_t>(i);
        QTableWidgetItem* item = registers_->item(i, 1);
        const QString shown = SheetText::registerValue(regs[at], engine_.decimals(), engine_.sciMode());
        if (item->text() != shown) item->setText(shown);
        item->setToolTip(SheetText::number(regs[at].v));
        const QBrush brush = changed_[at] ? QBrush(mark) : QBrush();
        for (int column = 0; column < 2; ++column) registers_->item(i, column)->setBackground(brush);
    }
}

void ProgramSheet::updateButtons() {
    const bool isEditing = editing();
    edit_->setEnabled(!isEditing && mayEdit());
    apply_->setEnabled(isEditing && mayEdit());
    discard_->setEnabled(isEditing);
    // The text's own buttons take the place of the listing's, so that the
    // row never needs more room than the sheet has.
    undo_->setVisible(isEditing);
    redo_->setVisible(isEditing);
    breakpoint_->setVisible(!isEditing);
    clearBreakpoints_->setVisible(!isEditing);
    resetCounts_->setVisible(!isEditing);
    whole_->setEnabled(!isEditing);
}

QString ProgramSheet::stateText() const {
    return number_->text() + QLatin1Char('\n') + calculation_->text() + QLatin1Char('\n') + returns_->text();
}

void ProgramSheet::markStep(int step) {
    if (step < 1 || step > Codes::steps) return;
    if (step > model_->rowCount() && !model_->wholeMemory()) whole_->setChecked(true);
    model_->mark(step);
    const QModelIndex at = model_->index(SheetModel::rowOf(step), 0);
    if (at.isValid()) table_->scrollTo(at, QAbstractItemView::PositionAtCenter);
}

void ProgramSheet::toggleBreakpoint(int step) {
    if (step < 1 || step > Codes::steps || editing()) return;
    history_.name("Haltepunkt");
    engine_.setBreakpoint(step, !engine_.breakpoint(step));
}

bool ProgramSheet::machineTakes(const QWidget* focus) const {
    // The listing is the machine's, as the panel is; the text being edited,
    // the buttons and the registers' table keep their keys (Tab, Space).
    return !editing() && (!focus || focus == this || focus == table_);
}

bool ProgramSheet::editing() const {
    return pages_->currentIndex() == 1;
}

bool ProgramSheet::mayEdit() const {
    return engine_.power() && !engine_.running() && !engine_.stepBusy() && !engine_.listing();
}

void ProgramSheet::beginEditing() {
    if (editing() || !mayEdit()) return;
    // A program loaded from the library is edited under its own number and name.
    const std::optional<SavedProgram> entry = entry_ ? entry_() : std::nullopt;
    original_ =
        entry ? Clipboard::programText(engine_, entry->number, entry->name) : Clipboard::programText(engine_);
    editor_->setPlainText(original_);
    editor_->setExtraSelections({});
    problem_->hide();
    problemLine_ = 0;
    sizeBeforeEditing_ = size();
    pages_->setCurrentIndex(1);
    editor_->setFocus();
    updateButtons();
}

bool ProgramSheet::apply() {
    if (!editing() || !mayEdit()) return false;
    const ProgramText::OneProgram read = ProgramText::firstProgram(editor_->toPlainText(), engine_.model());
    if (read.problem) {
        showProblem(*read.problem, read.line);
        return false;
    }
    // Text taken back unchanged changes nothing; otherwise the steps the
    // edit left alone keep their breakpoints and counts.
    if (read.steps != engine_.programSteps()) {
        history_.name("Programmtext übernehmen");
        engine_.reviseProgram(read.steps);
    }
    discard();
    return true;
}

void ProgramSheet::showProblem(const QString& why, int line) {
    problemLine_ = line;
    problem_->setText(line > 0 ? QStringLiteral("Zeile %1: %2").arg(line).arg(why) : why);
    problem_->setStyleSheet(QStringLiteral("color: #c01a1a"));
    problem_->show();
    QList<QTextEdit::ExtraSelection> marks;
    const QTextBlock block = editor_->document()->findBlockByNumber(line - 1);
    if (line > 0 && block.isValid()) {
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(block);
        mark.format.setBackground(QColor(230, 60, 50, 70));
        mark.format.setProperty(QTextFormat::FullWidthSelection, true);
        marks << mark;
        editor_->setTextCursor(QTextCursor(block));
        editor_->centerCursor();
    }
    editor_->setExtraSelections(marks);
    editor_->setFocus();
}

void ProgramSheet::discard() {
    if (!editing()) return;
    pages_->setCurrentIndex(0);
    editor_->clear();
    problem_->hide();
    table_->setFocus();
    follow(feed_.everything());
    // The text page may have asked for more room; the listing takes back the sheet's own size.
    if (sizeBeforeEditing_.isValid()) resize(sizeBeforeEditing_);
}

bool ProgramSheet::unapplied() const {
    return editing() && editor_->toPlainText() != original_;
}

QString ProgramSheet::problem() const {
    return problem_->isHidden() ? QString() : problem_->text();
}

bool ProgramSheet::eventFilter(QObject* watched, QEvent* event) {
    // A click in the margin sets or clears the row's breakpoint.
    if (watched == table_->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto* e = static_cast<QMouseEvent*>(event);
        const QModelIndex at = table_->indexAt(e->position().toPoint());
        if (at.isValid() && e->button() == Qt::LeftButton &&
            e->position().x() < table_->visualRect(at).left() + delegate_->marginWidth()) {
            toggleBreakpoint(SheetModel::stepOf(at.row()));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ProgramSheet::showEvent(QShowEvent* event) {
    if (!restored_) {
        restored_ = true;
        // Where the platform places windows itself, only the size comes back.
        if (!restoreGeometry(QByteArray::fromStdString(settings_.sheetGeometry()))) resize(900, 600);
    }
    QWidget::showEvent(event);
    followed_ = 0;
    follow(feed_.everything());
}

void ProgramSheet::hideEvent(QHideEvent* event) {
    saveGeometryNow();
    QWidget::hideEvent(event);
}

void ProgramSheet::saveGeometryNow() const {
    if (restored_) settings_.setSheetGeometry(saveGeometry().toStdString());
}

} // namespace vx
