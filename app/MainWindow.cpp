// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainWindow.h"

#include "app/Clipboard.h"
#include "app/ClipboardActions.h"
#include "app/CommandBar.h"
#include "app/Dialogs.h"
#include "app/GuideWindow.h"
#include "app/KeptMachine.h"
#include "app/ModelNames.h"
#include "app/ProgramActions.h"
#include "app/ProgramFiles.h"
#include "app/ProgramSheet.h"
#include "app/ZoomSetting.h"
#include "engine/Engine.h"
#include "engine/History.h"
#include "host/QtScheduler.h"
#include "panel/CalculatorView.h"
#include "panel/Controls.h"
#include "panel/KeyHelp.h"
#include "panel/KeyboardMonitor.h"
#include "panel/KeyboardView.h"
#include "panel/Layout.h"
#include "panel/SoundPlayer.h"
#include "panel/TapeView.h"
#include "panel/ViewFeed.h"
#include "storage/ShellSettings.h"
#include "storage/UserPrograms.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLayout>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QSessionManager>
#include <QShortcut>
#include <QTimer>

#include <algorithm>

namespace vx {

namespace {

// What closing would lose: keep it (and close then), drop it, or stay open.
enum class Answer { keep, drop, stay };

Answer askBeforeClosing(QWidget* parent, const QString& title, const QString& text, const QString& info,
                        const QString& keep, const QString& drop) {
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::NoButton, parent);
    box.setInformativeText(info);
    QPushButton* keepButton = box.addButton(keep, QMessageBox::AcceptRole);
    QPushButton* dropButton = box.addButton(drop, QMessageBox::DestructiveRole);
    box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole);
    box.setDefaultButton(keepButton);
    Dialogs::fitTitle(box);
    box.exec();
    if (box.clickedButton() == keepButton) return Answer::keep;
    return box.clickedButton() == dropButton ? Answer::drop : Answer::stay;
}

} // namespace

MainWindow::MainWindow(Engine& engine, UserPrograms& library, KeyHelp& help, ZoomSetting& zoom,
                       ShellSettings& settings, Collection collection)
    : engine_(engine), library_(library), collection_(std::move(collection)), settings_(settings),
      help_(help), zoom_(zoom) {
    frames_ = new QtScheduler(this);
    history_ = std::make_unique<History>(engine_);
    feed_ = std::make_unique<ViewFeed>(engine_, *frames_);
    sound_ = std::make_unique<SoundPlayer>(*feed_, engine_);
    sound_->setEnabled(settings_.sound());
    sound_->setVolume(settings_.soundVolume());
    view_ = new CalculatorView(engine, help, *feed_, this);
    setCentralWidget(view_);
    connect(view_, &CalculatorView::contextMenuRequested, this, [this](QMenu& menu) {
        library_.checkForChanges();
        ClipboardActions::addNumberEntries(menu, engine_, this);
        menu.addSeparator();
        ProgramActions::fillMenu(
            menu, engine_, library_, this, [this](const QString& what) { programKnown(what); }, &collection_);
        addSheetEntry(menu);
        menu.addSeparator();
        ProgramActions::fillTapeMenu(menu, engine_, this);
    });
    connect(view_->tapeView()->paper(), &TapePaper::stepChosen, this, [this](int step) { showSheet(step); });
    setAcceptDrops(true);

    buildAppMenu();

    edit_ = menuBar()->addMenu(QStringLiteral("Bearbeiten"));
    numberEntries_ = ClipboardActions::addNumberEntries(*edit_, engine_, this);
    addHistoryEntries();
    connect(edit_, &QMenu::aboutToShow, this, [this] {
        updateEditMenu();
        updateHistoryEntries();
    });

    programs_ = menuBar()->addMenu(QStringLiteral("Programme"));
    // An outside edit of the library shows as soon as a menu opens, and the
    // entries that depend on the machine (program, tape) are made afresh.
    connect(programs_, &QMenu::aboutToShow, this, [this] {
        library_.checkForChanges();
        rebuildPrograms();
    });
    tape_ = menuBar()->addMenu(QStringLiteral("Papierstreifen"));
    connect(tape_, &QMenu::aboutToShow, this, &MainWindow::rebuildPrograms);
    connect(appMenu_, &QMenu::aboutToShow, &library_, &UserPrograms::checkForChanges);
    connect(&library_, &UserPrograms::revisionChanged, this, &MainWindow::scheduleRebuild);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState s) {
        if (s == Qt::ApplicationActive) library_.checkForChanges();
    });
    rebuildPrograms();
    buildHelpMenu();
    // F10 opens the menu bar, as in every desktop application.
    connect(new QShortcut(QKeySequence(Qt::Key_F10), this), &QShortcut::activated, this,
            [this] { menuBar()->setActiveAction(menuBar()->actions().constFirst()); });
    // The desktop session ending is a close like any other.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& session) {
        if (closing_) return;
        // Without leave to ask, an unsaved program cannot be saved either.
        if (!settings_.keepMachine() && programUnsaved() && !session.allowsInteraction()) return;
        if (!sessionMayEnd()) session.cancel();
        session.release();
    });

    connect(&zoom_, &ZoomSetting::changed, this, &MainWindow::fitToZoom);
    follower_ =
        feed_->follow(parts({Part::model, Part::switches, Part::tape, Part::display}), 30,
                      ViewFeed::Runs::fast, [this](const Changes& changes) { machineChanged(changes); });
    setWindowTitle(modelTitle(engine_.model()));
    view_->setFactor(zoom_.factor());
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);
}

// The application's menu: about, model, size, key help, guide, quit.
void MainWindow::buildAppMenu() {
    appMenu_ = menuBar()->addMenu(QStringLiteral("Veltranix"));
    // The about item first, then the machine's own entries, as on the original's menu.
    QMenu* modelMenu = appMenu_->addMenu(QStringLiteral("Modell"));
    models_ = new QActionGroup(this);
    for (Model m : allModels) {
        QAction* a = modelMenu->addAction(menuTitle(m));
        a->setCheckable(true);
        a->setChecked(m == engine_.model());
        models_->addAction(a);
        connect(a, &QAction::triggered, this, [this, m] { chooseModel(static_cast<int>(m)); });
    }
    addSizeMenu();
    appMenu_->addSeparator();
    QAction* helpToggle = appMenu_->addAction(QStringLiteral("Tastenhilfe"));
    helpToggle->setCheckable(true);
    helpToggle->setChecked(help_.enabled());
    connect(helpToggle, &QAction::toggled, this, [this](bool on) { help_.setEnabled(on); });
    connect(&help_, &KeyHelp::changed, helpToggle,
            [this, helpToggle] { helpToggle->setChecked(help_.enabled()); });
    QAction* keep = appMenu_->addAction(QStringLiteral("Dauerspeicher"));
    keep->setCheckable(true);
    keep->setChecked(settings_.keepMachine());
    keep->setToolTip(QStringLiteral("Beim Schließen den ganzen Rechner aufheben und beim nächsten Start "
                                    "zurückbringen"));
    connect(keep, &QAction::toggled, this, [this](bool on) { settings_.setKeepMachine(on); });
    addTempoMenu();
    addSoundMenu();
    appMenu_->addSeparator();
    QAction* quit = appMenu_->addAction(QStringLiteral("Beenden"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    // Through the window's own closing, so that nothing is lost unasked.
    connect(quit, &QAction::triggered, this, &QWidget::close);
}

// On the desktop the help, the key map, the command search and the about
// box stand in a menu of their own at the end.
void MainWindow::buildHelpMenu() {
    QMenu* help = menuBar()->addMenu(QStringLiteral("Hilfe"));
    QAction* guide = help->addAction(QStringLiteral("Bedienungsanleitung"));
    guide->setShortcut(QKeySequence(Qt::Key_F1));
    connect(guide, &QAction::triggered, this, &MainWindow::showGuide);
    QAction* search = help->addAction(QStringLiteral("Aktion suchen …"));
    // As KDE's command bar: Ctrl+Alt+I.
    search->setShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_I));
    connect(search, &QAction::triggered, this, &MainWindow::searchAction);
    connect(help->addAction(QStringLiteral("Tastaturbelegung …")), &QAction::triggered, this,
            &MainWindow::showKeyMap);
    help->addSeparator();
    connect(help->addAction(QStringLiteral("Über Veltranix")), &QAction::triggered, this,
            [this] { QMessageBox::about(this, QStringLiteral("Über Veltranix"), aboutText()); });
}

void MainWindow::searchAction() {
    CommandBar bar(CommandBar::commandsOf(*menuBar(), *view_), this);
    bar.exec();
}

void MainWindow::addSizeMenu() {
    QMenu* sizeMenu = appMenu_->addMenu(QStringLiteral("Größe"));
    auto* sizes = new QActionGroup(this);
    for (int p : ZoomSetting::choices()) {
        QAction* a = sizeMenu->addAction(QStringLiteral("%1 %").arg(p));
        a->setCheckable(true);
        a->setChecked(p == zoom_.percent());
        sizes->addAction(a);
        connect(a, &QAction::triggered, this, [this, p] { zoom_.setPercent(p); });
        connect(&zoom_, &ZoomSetting::changed, a, [this, a, p] { a->setChecked(p == zoom_.percent()); });
        if (p == 150) a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_0));
    }
    // A step larger or smaller through the sizes, as in every viewer.
    sizeMenu->addSeparator();
    const auto step = [this](int by) {
        const auto& choices = ZoomSetting::choices();
        const auto at = std::find(choices.begin(), choices.end(), zoom_.percent());
        const auto index = std::clamp<std::ptrdiff_t>((at - choices.begin()) + by, 0,
                                                      static_cast<std::ptrdiff_t>(choices.size()) - 1);
        zoom_.setPercent(choices[static_cast<std::size_t>(index)]);
    };
    QAction* larger = sizeMenu->addAction(QStringLiteral("Größer"));
    larger->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    connect(larger, &QAction::triggered, this, [step] { step(1); });
    QAction* smaller = sizeMenu->addAction(QStringLiteral("Kleiner"));
    smaller->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Minus));
    connect(smaller, &QAction::triggered, this, [step] { step(-1); });
}

// The original's pace, or as fast as the machine goes; remembered.
void MainWindow::addSoundMenu() {
    QAction* on = appMenu_->addAction(QStringLiteral("Klang"));
    on->setCheckable(true);
    on->setChecked(sound_->enabled());
    on->setToolTip(QStringLiteral("Tasten, Drucker, Papier und Schalter hörbar"));
    connect(on, &QAction::toggled, this, [this](bool enabled) {
        sound_->setEnabled(enabled);
        settings_.setSound(enabled);
    });
    QMenu* volumeMenu = appMenu_->addMenu(QStringLiteral("Lautstärke"));
    auto* volumes = new QActionGroup(this);
    for (const auto& [percent, name] :
         {std::pair{25, QStringLiteral("Leise")}, std::pair{50, QStringLiteral("Mittel")},
          std::pair{100, QStringLiteral("Laut")}}) {
        QAction* a = volumeMenu->addAction(name);
        a->setCheckable(true);
        a->setChecked(percent == sound_->volume());
        volumes->addAction(a);
        connect(a, &QAction::triggered, this, [this, percent = percent] {
            sound_->setVolume(percent);
            settings_.setSoundVolume(percent);
        });
    }
}

void MainWindow::addTempoMenu() {
    QMenu* tempoMenu = appMenu_->addMenu(QStringLiteral("Tempo"));
    auto* tempos = new QActionGroup(this);
    engine_.setTempo(settings_.tempo());
    for (const auto& [tempo, name] : {std::pair{Tempo::original, QStringLiteral("Originaltempo")},
                                      std::pair{Tempo::fast, QStringLiteral("Schnell")}}) {
        QAction* a = tempoMenu->addAction(name);
        a->setCheckable(true);
        a->setChecked(tempo == engine_.tempo());
        tempos->addAction(a);
        connect(a, &QAction::triggered, this, [this, tempo = tempo] {
            engine_.setTempo(tempo);
            settings_.setTempo(tempo);
        });
    }
}

void MainWindow::showKeyMap() {
    QMessageBox box(QMessageBox::Information, QStringLiteral("Tastaturbelegung"),
                    QStringLiteral("Tastaturbelegung"), QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    // The same lines as the text, in two aligned columns.
    QString rows;
    for (const QString& line : KeyboardMonitor::keyMapHelp().split(QLatin1Char('\n')))
        rows += QStringLiteral("<tr><td style=\"padding-right:18px\"><b>%1</b></td><td>%2</td></tr>")
                    .arg(line.left(15).trimmed().toHtmlEscaped(), line.mid(15).toHtmlEscaped());
    box.setInformativeText(QStringLiteral("<table>") + rows + QStringLiteral("</table>"));
    box.exec();
}

QString MainWindow::aboutText() {
    return QStringLiteral("<b>Veltranix</b> %1<br>Nachbildung der programmierbaren Tischrechner "
                          "Orbis 410 und 412 Numerist mit Papierstreifendrucker.<br><br>"
                          "Freie Software unter der GNU General Public License, Version 3 oder neuer "
                          "(GPL-3.0-or-later).")
        .arg(QStringLiteral(VX_VERSION));
}

void MainWindow::showGuide() {
    const auto path = GuideWindow::find(guidePlaces);
    if (!path) {
        Dialogs::tell(this, QMessageBox::Warning, QStringLiteral("Bedienungsanleitung"),
                      QStringLiteral("Die Bedienungsanleitung wurde nicht gefunden."),
                      QStringLiteral("Gesucht in:\n") + guidePlaces.join(QLatin1Char('\n')));
        return;
    }
    if (!guide_) {
        guide_ = new GuideWindow(*path, this);
        guide_->placeBeside(*this);
    }
    guide_->show();
    guide_->raise();
    guide_->activateWindow();
}

MainWindow::~MainWindow() {
    feed_->stop(follower_);
    // The views and the sound follow the feed until they go: they go first.
    delete sheet_;
    delete view_;
    sound_.reset();
}

void MainWindow::machineChanged(const Changes& changes) {
    if (changes.has(Part::model)) {
        setWindowTitle(modelTitle(engine_.model()));
        models_->actions()[static_cast<int>(engine_.model())]->setChecked(true);
    }
    // The menus' entries follow the power switch.
    if (changes.has(Part::switches)) scheduleRebuild();
    // The tape's entries have shortcuts, which work only while enabled.
    if (changes.has(Part::tape))
        for (QAction* entry : tapeEntries_) entry->setEnabled(!engine_.tape().empty());
    updateEditMenu();
}

namespace {

// What an entry of the history was, in the menu's words.
QString causeText(const History::Cause& cause) {
    using K = History::Cause::Kind;
    switch (cause.kind) {
    case K::key: return Layout::accessibleName(cause.key);
    case K::switched: return Layout::switchName(cause.which);
    case K::tear: return QStringLiteral("Abreißen");
    case K::place: return QStringLiteral("Im Verlauf");
    case K::named: break;
    }
    return cause.name.empty() ? QStringLiteral("Änderung") : QString::fromStdString(cause.name);
}

} // namespace

void MainWindow::addHistoryEntries() {
    edit_->addSeparator();
    const auto add = [this](const QString& text, const QKeySequence& keys, bool (History::*act)()) {
        QAction* a = edit_->addAction(text);
        a->setShortcut(keys);
        connect(a, &QAction::triggered, this, [this, act] {
            if (!((*history_).*act)()) QApplication::beep();
        });
        return a;
    };
    historyEntries_.undo =
        add(QStringLiteral("Rückgängig"), QKeySequence(Qt::CTRL | Qt::Key_Z), &History::undo);
    historyEntries_.redo =
        add(QStringLiteral("Wiederholen"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), &History::redo);
    edit_->addSeparator();
    // Not the BACK key ("Schritt zurück"): these walk the machine's history.
    historyEntries_.back =
        add(QStringLiteral("Im Verlauf zurück"), QKeySequence(Qt::CTRL | Qt::Key_Left), &History::back);
    historyEntries_.forward =
        add(QStringLiteral("Im Verlauf vor"), QKeySequence(Qt::CTRL | Qt::Key_Right), &History::forward);
    // The entries say what they would do while the menu is open; the rest
    // of the time their shortcuts always reach the history, which answers
    // with a beep when there is nothing to do.
    connect(edit_, &QMenu::aboutToHide, this, [this] {
        for (QAction* a :
             {historyEntries_.undo, historyEntries_.redo, historyEntries_.back, historyEntries_.forward})
            a->setEnabled(true);
    });
}

void MainWindow::updateEditMenu() {
    numberEntries_.copy->setEnabled(Clipboard::showsNumber(engine_));
    numberEntries_.paste->setEnabled(engine_.power());
}

// Only as the menu opens: asking the history settles the action in progress,
// which a change told in the middle of an action must not do.
void MainWindow::updateHistoryEntries() {
    History& h = *history_;
    const auto undo = h.undoCause(), redo = h.redoCause();
    historyEntries_.undo->setText(undo ? QStringLiteral("Rückgängig: ") + causeText(*undo)
                                       : QStringLiteral("Rückgängig"));
    historyEntries_.undo->setEnabled(undo.has_value());
    historyEntries_.redo->setText(redo ? QStringLiteral("Wiederholen: ") + causeText(*redo)
                                       : QStringLiteral("Wiederholen"));
    historyEntries_.redo->setEnabled(redo.has_value());
    historyEntries_.back->setEnabled(h.canGoBack());
    historyEntries_.forward->setEnabled(h.canGoForward());
}

void MainWindow::scheduleRebuild() {
    // Rebuilt a moment later, never while one of the menu's own actions runs.
    if (rebuildPending_) return;
    rebuildPending_ = true;
    QTimer::singleShot(0, this, [this] {
        if (rebuildPending_) rebuildPrograms();
    });
}

void MainWindow::rebuildPrograms() {
    rebuildPending_ = false;
    programs_->clear();
    ProgramActions::fillMenu(
        *programs_, engine_, library_, this, [this](const QString& what) { programKnown(what); },
        &collection_);
    addSheetEntry(*programs_);
    tape_->clear();
    const ProgramActions::TapeEntries tapeEntries = ProgramActions::fillTapeMenu(*tape_, engine_, this);
    tapeEntries_ = tapeEntries.needTape;
    view_->tapeView()->setTearShortcut(tapeEntries.tear->shortcut());
}

void MainWindow::addSheetEntry(QMenu& menu) {
    menu.addSeparator();
    QAction* open = menu.addAction(QStringLiteral("Programmblatt"));
    // Ctrl+B ("Blatt"): no calculator key takes Ctrl.
    open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
    connect(open, &QAction::triggered, this, [this] { showSheet(); });
}

ProgramSheet* MainWindow::programSheet() const {
    return sheet_;
}

void MainWindow::showPressed(Key key) {
    if (KeyButton* button = view_->keyboard()->button(key)) button->flash();
}

bool MainWindow::machineTakes(const QWidget* window, const QWidget* focus) const {
    if (window == this) return true;
    return sheet_ && window == sheet_ && sheet_->machineTakes(focus);
}

namespace {

// Every entry of the menu bar that has a shortcut, submenus included.
QList<QAction*> shortcutEntries(const QList<QAction*>& actions) {
    QList<QAction*> found;
    for (QAction* a : actions) {
        if (a->menu())
            found += shortcutEntries(a->menu()->actions());
        else if (!a->shortcut().isEmpty())
            found << a;
    }
    return found;
}

} // namespace

ProgramSheet* MainWindow::showSheet(int step) {
    if (!sheet_) {
        sheet_ = new ProgramSheet(
            engine_, *feed_, *history_, [this] { return view_->runText(); },
            [this] { return libraryEntry(); }, settings_, this);
        // The sheet is part of the machine: the menus' shortcuts work there too.
        sheet_->addActions(shortcutEntries(menuBar()->actions()));
    }
    sheet_->show();
    sheet_->raise();
    sheet_->activateWindow();
    if (step > 0) sheet_->markStep(step);
    return sheet_;
}

// Text typed into the sheet and not taken into memory is asked about like
// an unsaved program.
bool MainWindow::maySheetClose() {
    if (!sheet_ || !sheet_->unapplied()) return true;
    const Answer answer =
        askBeforeClosing(this, QStringLiteral("Programmblatt"),
                         QStringLiteral("Der bearbeitete Programmtext ist nicht übernommen."),
                         QStringLiteral("Beim Schließen geht er verloren."), QStringLiteral("Übernehmen"),
                         QStringLiteral("Verwerfen"));
    if (answer != Answer::keep) return answer == Answer::drop;
    if (sheet_->apply()) return true;
    showSheet();
    return false;
}

void MainWindow::chooseModel(int index) {
    const Model model = allModels[index];
    if (model == engine_.model()) return;
    if (!engine_.programSteps().empty() &&
        !Dialogs::confirm(
            this, QMessageBox::Question, QStringLiteral("Modell"),
            QStringLiteral("Auf %1 umschalten?").arg(menuTitle(model)),
            QStringLiteral("Programmspeicher und Register werden gelöscht, wie beim Ausschalten."),
            QStringLiteral("Umschalten"))) {
        models_->actions()[static_cast<int>(engine_.model())]->setChecked(true);
        return;
    }
    engine_.select(model);
}

bool MainWindow::programUnsaved() {
    const std::vector<Step> steps = engine_.programSteps();
    if (steps.empty() || (known_ && *known_ == steps)) return false;
    if (collection_.holding(steps, engine_.model())) return false; // the collection keeps it
    for (const SavedProgram& p : library_.programs())
        if (p.steps == steps) return false;
    return true;
}

std::optional<SavedProgram> MainWindow::libraryEntry() {
    const std::vector<Step> steps = engine_.programSteps();
    if (steps.empty()) return std::nullopt;
    for (const SavedProgram& p : library_.programs())
        if (p.steps == steps && !p.error) return p;
    return std::nullopt;
}

void MainWindow::programKnown(const QString& action) {
    known_ = engine_.programSteps();
    if (!action.isEmpty()) history_->nameLast(action.toStdString());
}

bool MainWindow::importFile(const SafeFile::Path& path) {
    if (!ProgramFiles::importFrom(engine_, path, this)) return false;
    programKnown(QStringLiteral("Programm importieren"));
    return true;
}

bool MainWindow::mayClose() {
    if (!maySheetClose()) return false;
    if (settings_.keepMachine()) {
        const auto failed = KeptMachine::keep(engine_);
        if (!failed) return true;
        return Dialogs::confirm(this, QMessageBox::Warning, QStringLiteral("Dauerspeicher"),
                                QStringLiteral("Der Rechner ließ sich nicht aufheben."),
                                *failed + QStringLiteral("\nBeim Schließen gehen Programm, Register und "
                                                         "Papierstreifen verloren."),
                                QStringLiteral("Trotzdem schließen"));
    }
    if (!programUnsaved()) return true;
    const Answer answer = askBeforeClosing(
        this, QStringLiteral("Veltranix"), QStringLiteral("Das Programm im Speicher ist nicht gesichert."),
        QStringLiteral("Beim Schließen geht es verloren, wie beim Ausschalten."), QStringLiteral("Sichern …"),
        QStringLiteral("Nicht sichern"));
    if (answer != Answer::keep) return answer == Answer::drop;
    // Closed only once the program is really in the library.
    if (!ProgramActions::save(engine_, library_, std::nullopt, this)) return false;
    programKnown();
    return true;
}

bool MainWindow::sessionMayEnd() {
    if (closing_) return true;
    // A close question already open is the user's to answer; a second one
    // over it would decide for them. The session waits for that answer.
    if (asking_) return false;
    if (!askedMayClose()) return false;
    closing_ = true;
    savePosition();
    return true;
}

bool MainWindow::askedMayClose() {
    asking_ = true;
    const bool may = mayClose();
    asking_ = false;
    return may;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!closing_ && (asking_ || !askedMayClose())) {
        event->ignore();
        return;
    }
    closing_ = true;
    savePosition();
    if (sheet_) sheet_->close();
    event->accept();
}

// The toolkit's own record of the window's place keeps the window
// manager's frame apart from the window: a position read as the frame's and
// set as the window's moved the window by the title bar at every start.
void MainWindow::savePosition() {
    settings_.setWindowGeometry(saveGeometry().toStdString());
}

void MainWindow::restorePosition() {
    // Under Wayland the compositor places windows; only the size is ours.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) return;
    // The record also brings a window back onto a screen that is there now.
    if (restoreGeometry(QByteArray::fromStdString(settings_.windowGeometry()))) return;
    // The place as versions before kept it.
    const auto saved = settings_.oldWindowPosition();
    if (!saved) return;
    const QPoint at(saved->first, saved->second);
    // The title bar must land on a screen that is there now.
    const QRect grip(at, QSize(std::max(80, width() / 4), 40));
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen->availableGeometry().intersects(grip)) {
            move(at);
            return;
        }
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.constFirst().isLocalFile()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.constFirst().isLocalFile()) return;
    event->acceptProposedAction();
    // The name's bytes as the file manager sent them: a name that is not
    // UTF-8 stays percent-encoded in the address and is taken byte for byte.
    const SafeFile::Path path =
        QByteArray::fromPercentEncoding(urls.constFirst().path(QUrl::FullyEncoded).toLatin1()).toStdString();
    // Not inside the drop itself: the file manager waits for it to end.
    QTimer::singleShot(0, this, [this, path] { importFile(path); });
}

void MainWindow::fitToZoom() {
    const QPoint topLeft = pos();
    view_->setFactor(zoom_.factor());
    adjustSize();
    move(topLeft);
}

} // namespace vx
