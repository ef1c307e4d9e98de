// SPDX-License-Identifier: GPL-3.0-or-later
// The user guide's tables against the machine: every f function with its
// step name and tape symbol, the tape symbols, and key names as the panel
// writes them; and the guide in its window (F1).
#include "app/CommandBar.h"
#include "app/GuideWindow.h"
#include "app/MainWindow.h"
#include "app/ProgramSheet.h"
#include "app/ZoomSetting.h"
#include "display/Formatter.h"
#include "fixture.h"
#include "panel/CalculatorView.h"
#include "panel/Controls.h"
#include "panel/KeyHelp.h"
#include "panel/KeyboardView.h"
#include "panel/Layout.h"
#include "program/Codes.h"
#include "storage/UserPrograms.h"

#include <QFile>
#include <QLineEdit>
#include <QMenuBar>
#include <QPointer>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTreeWidget>

#include <set>

using namespace vx;
using namespace vx::test;
using namespace Qt::StringLiterals;

namespace {

QString guideText() {
    QFile file(QStringLiteral(SOURCE_DIR "/docs/Bedienungsanleitung.md"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The rows of the table after `marker`, each a list of trimmed cells.
std::vector<QStringList> table(const QString& marker) {
    std::vector<QStringList> rows;
    const QString text = guideText();
    const qsizetype at = text.indexOf(marker);
    if (at < 0) return rows;
    const QStringList lines = text.mid(at).split(QLatin1Char('\n'));
    for (qsizetype i = 3; i < lines.size() && lines[i].startsWith(QLatin1Char('|')); ++i) {
        QStringList cells = lines[i].split(QLatin1Char('|'));
        cells = cells.mid(1, cells.size() - 2);
        for (QString& c : cells) c = c.trimmed();
        rows.push_back(cells);
    }
    return rows;
}

// The texts in backticks of a cell.
QStringList quoted(const QString& cell) {
    QStringList out;
    static const QRegularExpression code(u"`([^`]*)`"_s);
    for (auto m = code.globalMatch(cell); m.hasNext();) out << m.next().captured(1);
    return out;
}

// The key whose legend is `name`, if any.
std::optional<Key> keyByLegend(const QString& name) {
    for (const auto& [key, rect] : Layout::keys())
        if (Layout::legend(key) == name) return key;
    return std::nullopt;
}

// A cell of key names ("f FWD 1", "START STOP") read as legends, longest first.
bool readsAsKeys(QString cell) {
    cell = cell.trimmed();
    while (!cell.isEmpty()) {
        qsizetype best = 0;
        for (const auto& [key, rect] : Layout::keys()) {
            const QString l = Layout::legend(key);
            if (cell.startsWith(l) && (cell.size() == l.size() || cell[l.size()] == QLatin1Char(' ')))
                best = std::max(best, l.size());
        }
        if (best == 0) return false;
        cell = cell.mid(best).trimmed();
    }
    return true;
}

} // namespace

TEST(GuideTables, EveryFFunctionWithItsStepAndTapeSymbol) {
    const auto rows = table(u"<!-- f-functions -->"_s);
    ASSERT_GT(rows.size(), 25u);
    std::set<int> listed;
    for (const QStringList& row : rows) {
        ASSERT_EQ(row.size(), 4) << row.join('|').toStdString();
        ASSERT_TRUE(row[0].startsWith(u"f "_s)) << row[0].toStdString();
        const auto key = keyByLegend(row[0].mid(2));
        ASSERT_TRUE(key) << "no key reads " << row[0].toStdString();
        const auto code = shiftedCode(*key);
        if (!code) continue; // f FWD, f JUMP, f →M, f INS: a prefix or an edit, not a step of their own
        listed.insert(static_cast<int>(keyIndex(*key)));
        EXPECT_EQ(quoted(row[1]).value(0).toStdString(), Codes::mnemonic(*code)) << row[0].toStdString();
        EXPECT_EQ(quoted(row[2]).value(0).toStdString(), Codes::symbol(*code)) << row[0].toStdString();
    }
    for (const auto& [key, rect] : Layout::keys()) {
        if (!shiftedCode(key)) continue;
        EXPECT_TRUE(listed.count(keyIndex(key)))
            << "f " << Layout::legend(key).toStdString() << " is missing from the guide";
    }
}

TEST(GuideTables, TapeSymbolsAreThoseOfTheirSteps) {
    const auto rows = table(u"<!-- tape-symbols -->"_s);
    ASSERT_GT(rows.size(), 25u);
    for (const QStringList& row : rows) {
        const QStringList symbols = quoted(row[0]), steps = quoted(row[1]);
        if (steps.isEmpty()) continue; // a mark of its own, such as I for indirect
        ASSERT_EQ(symbols.size(), steps.size()) << row.join('|').toStdString();
        for (qsizetype i = 0; i < steps.size(); ++i) {
            const auto code = Codes::code(steps[i].toStdString());
            ASSERT_TRUE(code) << steps[i].toStdString();
            EXPECT_EQ(Codes::symbol(*code), symbols[i].toStdString()) << steps[i].toStdString();
        }
    }
}

TEST(GuideTables, KeyNamesAreThePanelsOwn) {
    for (const QStringList& row : table(u"| Tasten | Schritte | Wirkung beim Lauf |"_s))
        EXPECT_TRUE(readsAsKeys(row[0])) << row[0].toStdString();
    for (const QStringList& row : table(u"<!-- f-functions -->"_s))
        EXPECT_TRUE(readsAsKeys(row[0])) << row[0].toStdString();
    // The names a screen reader speaks say what the guide says.
    EXPECT_EQ(Layout::accessibleName(Key(KeyKind::sigma)), u"Datenpunkt hinzufügen"_s);
    EXPECT_TRUE(Layout::accessibleName(Key(KeyKind::ident)).startsWith(u"IDENT"_s));
    EXPECT_TRUE(guideText().contains(u"kartesische Koordinaten"_s));
    EXPECT_FALSE(guideText().contains(u"Dezimalstellen"_s));
    EXPECT_FALSE(guideText().contains(u" — "_s));
}

TEST_F(AppTest, F1OpensTheGuideOrSaysWhereItLooked) {
    UserPrograms library(Model::orbis410);
    KeyHelp help(true);
    ShellSettings shell(settings);
    ZoomSetting zoom(shell);
    MainWindow window(*engine, library, help, zoom, shell);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    window.guidePlaces = {dataHome() + "/fehlt/Bedienungsanleitung.md",
                          QStringLiteral(SOURCE_DIR "/docs/Bedienungsanleitung.md")};
    QTest::keyClick(window.windowHandle(), Qt::Key_F1);
    GuideWindow* guide = window.guideWindow();
    ASSERT_TRUE(guide);
    EXPECT_TRUE(guide->isVisible());
    const QTextDocument* document = guide->browser()->document();
    EXPECT_EQ(document->begin().text(), u"Veltranix – Bedienungsanleitung"_s);
    // Every entry of the table of contents leads to its heading.
    static const QRegularExpression link(u"\\]\\(#([^)]+)\\)"_s);
    int links = 0;
    for (auto m = link.globalMatch(guideText()); m.hasNext(); ++links) {
        const QString anchor = m.next().captured(1);
        EXPECT_TRUE(guide->showHeading(anchor)) << anchor.toStdString();
        EXPECT_EQ(GuideWindow::anchorFor(guide->browser()->textCursor().block().text()), anchor);
    }
    EXPECT_GE(links, 16);
    // No picture is wider than the text column, at the window's first size or a narrower one.
    for (const int width : {980, 560}) {
        guide->resize(width, 600);
        QCoreApplication::processEvents();
        EXPECT_GT(guide->widestImage(), 100) << width;
        EXPECT_LE(guide->widestImage(), guide->browser()->viewport()->width()) << width;
        // (Narrower, the wide tables and command lines need the scroll bar.)
        if (width == 980) {
            EXPECT_FALSE(guide->browser()->horizontalScrollBar()->isVisible());
        }
    }
    guide->close();

    window.guidePlaces = {dataHome() + "/fehlt/Bedienungsanleitung.md"};
    expectMessage(
        {u"Die Bedienungsanleitung wurde nicht gefunden."_s, dataHome() + "/fehlt/Bedienungsanleitung.md"});
    window.showGuide();
}

TEST_F(AppTest, KeysBelongToTheWindowThatHasThem) {
    Window w(*engine);
    w.window.guidePlaces = {QStringLiteral(SOURCE_DIR "/docs/Bedienungsanleitung.md")};
    w.window.showGuide();
    GuideWindow* guide = w.window.guideWindow();
    ASSERT_TRUE(guide);
    ASSERT_TRUE(QTest::qWaitForWindowActive(guide));
    EXPECT_TRUE(guide->screen()->availableGeometry().contains(guide->geometry()));
    // Typed into the guide, calculator keys and Space change nothing in the machine.
    const MachineState before = engine->state();
    for (QChar c : u"5+3="_s) QTest::keyClick(guide->windowHandle(), c.toLatin1());
    for (Qt::Key k : {Qt::Key_Space, Qt::Key_Right, Qt::Key_Return})
        QTest::keyClick(guide->windowHandle(), k);
    EXPECT_FALSE(engine->running());
    EXPECT_TRUE(engine->state() == before) << Formatter::text(engine->cells());
    // Esc closes the guide; Ctrl+W too.
    QPointer<GuideWindow> shown = guide;
    QTest::keyClick(guide->windowHandle(), Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(shown.isNull()) << "Esc closes the guide";
    w.window.showGuide();
    shown = w.window.guideWindow();
    ASSERT_TRUE(shown && QTest::qWaitForWindowActive(shown));
    QTest::keyClick(shown->windowHandle(), Qt::Key_W, Qt::ControlModifier);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(shown.isNull()) << "Ctrl+W closes the guide";

    // The program sheet is part of the machine: its listing takes the
    // calculator's keys, and the application's shortcuts work there.
    w.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w.window));
    w.type(u"7p"_s);
    ProgramSheet* sheet = w.window.showSheet();
    ASSERT_TRUE(QTest::qWaitForWindowActive(sheet));
    for (char c : {'2', 'p'}) QTest::keyClick(sheet->windowHandle(), c);
    EXPECT_EQ(engine->tape().size(), 2u);
    const auto seed = engine->tearSeed();
    QTest::keyClick(sheet->windowHandle(), Qt::Key_K, Qt::ControlModifier);
    EXPECT_TRUE(engine->tape().empty());
    EXPECT_NE(engine->tearSeed(), seed);
    QTest::keyClick(sheet->windowHandle(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(w.window.isVisible()) << "Ctrl+Q from the sheet ends the calculator";
}

TEST_F(AppTest, TheGuideHasContentsSearchAndPaging) {
    Window w(*engine);
    w.window.guidePlaces = {QStringLiteral(SOURCE_DIR "/docs/Bedienungsanleitung.md")};
    w.window.showGuide();
    GuideWindow* guide = w.window.guideWindow();
    ASSERT_TRUE(guide && QTest::qWaitForWindowActive(guide));
    // The contents: every chapter of the guide, and a click goes there.
    QTreeWidget* contents = guide->contents();
    ASSERT_GE(contents->topLevelItemCount(), 16);
    QTreeWidgetItem* tape =
        contents->findItems(u"Die Zeichen auf dem Papierstreifen"_s, Qt::MatchExactly).value(0);
    ASSERT_TRUE(tape);
    emit contents->itemClicked(tape, 0);
    EXPECT_EQ(guide->browser()->textCursor().block().text(), tape->text(0));
    // Search: Ctrl+F to the field, every hit marked, Enter and F3 to the next.
    QTest::keyClick(guide->windowHandle(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(guide->searchField()->hasFocus());
    QTest::keyClicks(guide->searchField(), u"Abreißen"_s);
    EXPECT_GE(guide->hits(), 3);
    EXPECT_EQ(guide->browser()->extraSelections().size(), guide->hits());
    QTest::keyClick(guide->searchField(), Qt::Key_Return);
    const int first = guide->browser()->textCursor().position();
    EXPECT_EQ(guide->browser()->textCursor().selectedText(), u"Abreißen"_s);
    QTest::keyClick(guide->windowHandle(), Qt::Key_F3);
    EXPECT_GT(guide->browser()->textCursor().position(), first);
    guide->searchField()->setText(u"Quasselstrippe"_s);
    EXPECT_EQ(guide->hits(), 0);
    EXPECT_FALSE(guide->findNext());
    // Space pages on in the text.
    guide->browser()->setFocus();
    QScrollBar* bar = guide->browser()->verticalScrollBar();
    bar->setValue(0);
    QTest::keyClick(guide->browser(), Qt::Key_Space);
    EXPECT_EQ(bar->value(), bar->pageStep());
    // Nothing in it is wider than the text column: no sideways scrolling.
    for (const QSize size : {QSize(1000, 700), QSize(760, 600)}) {
        guide->resize(size);
        QScrollBar* sideways = guide->browser()->horizontalScrollBar();
        for (int i = 0; i < 50 && sideways->maximum() > 0; ++i) QTest::qWait(10);
        EXPECT_EQ(sideways->maximum(), 0) << size.width();
    }
}

TEST_F(AppTest, EverythingCanBeDoneFromTheKeyboardThroughTheCommandSearch) {
    Window w(*engine);
    // Chooses the first command that holds `words`, typed into the search.
    auto command = [&](const QString& words, const QString& expected) {
        expectDialog([&](QDialog& d) {
            auto* bar = qobject_cast<CommandBar*>(&d);
            ASSERT_TRUE(bar);
            // Typed where the test's keyboard can; the toolkit's test keys are ASCII only.
            if (words.toLatin1() == words.toUtf8())
                QTest::keyClicks(bar->field(), words);
            else
                bar->field()->setText(words);
            ASSERT_FALSE(bar->shown().isEmpty()) << words.toStdString();
            EXPECT_EQ(bar->shown().constFirst(), expected);
            QTest::keyClick(bar->field(), Qt::Key_Return);
        });
        w.window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w.window));
        w.key(Qt::Key_I, Qt::ControlModifier | Qt::AltModifier);
        QCoreApplication::processEvents();
    };
    // A key typed on the keyboard shows pressed on the panel, as a click does.
    w.type(u"30"_s);
    EXPECT_TRUE(w.window.calculator()->keyboard()->button(Key::digit(0))->isDown());
    EXPECT_FALSE(w.window.calculator()->keyboard()->button(Key::digit(1))->isDown());
    command(u"sinus"_s, u"Taste Sinus"_s);
    EXPECT_EQ(Formatter::text(engine->cells()).find("0.5000") != std::string::npos, true)
        << Formatter::text(engine->cells());
    // A program with ln, sin and INS, keyed without the mouse.
    command(u"betriebsart load"_s, u"Betriebsart: LOAD"_s);
    EXPECT_EQ(engine->mode(), Mode::load);
    w.type(u"2"_s);
    command(u"natürlicher"_s, u"Taste Natürlicher Logarithmus"_s);
    command(u"sinus"_s, u"Taste Sinus"_s);
    w.key(Qt::Key_Left); // BACK to the sine
    command(u"schritt einfügen"_s, u"Taste Schritt einfügen"_s);
    command(u"betriebsart run"_s, u"Betriebsart: RUN"_s);
    const int two = engine->program()[0].value_or(-1);
    EXPECT_EQ(engine->programSteps(),
              (std::vector<Step>{two, Codes::code("LN").value(), std::nullopt, Codes::code("SIN").value()}));
    // Menu entries too, with their shortcut shown.
    command(u"größer"_s, u"Veltranix › Größe › Größer  (Ctrl++)"_s);
}

TEST_F(AppTest, TheMenusEndWithHelpAndTheSizeStepsByKey) {
    Window w(*engine);
    QStringList menus;
    for (QAction* a : w.window.menuBar()->actions()) menus << a->text();
    EXPECT_EQ(menus, (QStringList{"Veltranix", "Bearbeiten", "Programme", "Papierstreifen", "Hilfe"}));
    const std::pair<QKeyCombination, int> steps[] = {{Qt::CTRL | Qt::Key_Minus, 140},
                                                     {Qt::CTRL | Qt::Key_Minus, 130},
                                                     {Qt::CTRL | Qt::Key_Plus, 140},
                                                     {Qt::CTRL | Qt::Key_0, 150},
                                                     {Qt::CTRL | Qt::Key_Plus, 150}};
    for (const auto& [keys, percent] : steps) {
        QTest::keyClick(w.window.windowHandle(), keys.key(), keys.keyboardModifiers());
        EXPECT_EQ(w.zoom.percent(), percent);
    }
    // F10 opens the menu bar.
    w.key(Qt::Key_F10);
    EXPECT_EQ(w.window.menuBar()->activeAction(), w.window.menuBar()->actions().constFirst());
}
