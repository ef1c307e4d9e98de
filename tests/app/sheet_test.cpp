// SPDX-License-Identifier: GPL-3.0-or-later
// The program sheet as a user meets it: opened from the menu, following
// the keys, single steps and a run, editing the program as text, and
// breakpoints set in its margin.
#include "app/ProgramSheet.h"
#include "app/Timeline.h"
#include "engine/History.h"
#include "fixture.h"
#include "panel/CalculatorView.h"
#include "panel/SheetModel.h"
#include "panel/TapeView.h"
#include "program/BatchScript.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyleOptionSlider>
#include <QTableView>
#include <QTableWidget>
#include <QTextBlock>
#include <QTextCursor>

using namespace vx;
using namespace vx::test;
using namespace Qt::StringLiterals;

namespace {

// Keys "1 + JUMP 1" (an endless loop) and starts it.
void startLoop(Engine& engine, MainWindow& window) {
    play(engine, "printer:off mode:load 1 plus jump 1 mode:run");
    window.programKnown();
    engine.setCounter(1);
    play(engine, "startStop");
}

int selectedRow(const ProgramSheet& sheet) {
    const QModelIndexList rows = sheet.table()->selectionModel()->selectedRows();
    return rows.size() == 1 ? rows.front().row() : -1;
}

} // namespace

TEST_F(AppTest, TheSheetOpensFromTheMenuAndFollowsTheModel) {
    Window w(*engine);
    QAction* open = entry(*w.window.programMenu(), u"Programmblatt"_s);
    EXPECT_EQ(open->shortcut(), QKeySequence(u"Ctrl+B"_s));
    open->trigger();
    ProgramSheet* sheet = w.window.programSheet();
    ASSERT_TRUE(sheet && sheet->isVisible());
    EXPECT_EQ(sheet->windowTitle(), u"Programmblatt – Veltranix 410 Numerist"_s);
    EXPECT_EQ(sheet->registers()->rowCount(), 12);
    engine->select(Model::orbis412);
    EXPECT_EQ(sheet->windowTitle(), u"Programmblatt – Veltranix 412 Numerist"_s);
    EXPECT_EQ(sheet->registers()->rowCount(), 44);
    EXPECT_EQ(sheet->registers()->item(43, 0)->text(), u"R43"_s);
    // Its size comes back with the next window.
    sheet->resize(977, 555);
    w.window.close();
    EXPECT_FALSE(sheet->isVisible()) << "it closes with the panel";
    Window again(*engine);
    again.settings = w.settings; // the next session's store is this one's
    ProgramSheet* reopened = again.window.showSheet();
    EXPECT_EQ(reopened->size(), QSize(977, 555));
}

TEST_F(AppTest, TheSheetFollowsLoadModeKeysSingleStepsAndATapeLine) {
    Window w(*engine);
    ProgramSheet* sheet = w.window.showSheet();
    play(*engine, "mode:load 1 plus 2 equals");
    QCoreApplication::processEvents();
    EXPECT_EQ(sheet->model().rowCount(), 5);
    EXPECT_EQ(selectedRow(*sheet), 4) << "where the next key goes";
    play(*engine, "back back insert");
    EXPECT_EQ(selectedRow(*sheet), 2);
    EXPECT_EQ(sheet->model().rowCount(), 6) << "an inserted step shows at once";
    play(*engine, "mode:step");
    engine->setCounter(1);
    play(*engine, "startStop");
    clock.advance(1);
    EXPECT_EQ(selectedRow(*sheet), 1) << "the step about to execute";
    // A click on a tape line's step marks it in the sheet (and opens it).
    sheet->close();
    emit w.window.calculator()->tapeView()->paper()->stepChosen(3);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(sheet->model().markedStep(), 3);
}

TEST_F(AppTest, TheStateBesideTheListingAndTheChangedRegisters) {
    Window w(*engine);
    ProgramSheet* sheet = w.window.showSheet();
    play(*engine, "lparen 2 plus lparen 3 times 4");
    EXPECT_EQ(sheet->stateText(), u"4  (Eingabe)\n(2 + (3 ×\n–"_s);
    play(*engine, "clear clear 5 store 3");
    EXPECT_EQ(sheet->registers()->item(3, 1)->text(), u"5.0000"_s);
    EXPECT_EQ(sheet->registers()->item(3, 1)->toolTip(), u"5"_s);
    const auto only = [](std::size_t r) {
        std::vector<bool> changed(12, false);
        changed[r] = true;
        return changed;
    };
    EXPECT_EQ(sheet->changedRegisters(), only(3));
    play(*engine, "7 store 9");
    EXPECT_EQ(sheet->changedRegisters(), only(9));
}

TEST_F(AppTest, DuringARunTheSheetIsUpdatedTenTimesASecondAtMost) {
    Window w(*engine);
    ProgramSheet* sheet = w.window.showSheet();
    play(*engine, "printer:off mode:load 1 plus jump 1 mode:run");
    engine->setCounter(1);
    const int before = sheet->updates();
    play(*engine, "startStop");
    // The machine's slices on its own clock, the sheet's frames on the wall's.
    QElapsedTimer wall;
    wall.start();
    while (wall.elapsed() < 600) {
        clock.advance(0.004);
        QCoreApplication::processEvents();
    }
    EXPECT_TRUE(engine->running());
    EXPECT_LE(sheet->updates() - before, 600 / 100 + 2);
    EXPECT_GE(sheet->updates() - before, 3);
    play(*engine, "startStop");
    EXPECT_EQ(sheet->model().count(0), engine->executionCounts()[0]) << "stopped: shown at once";
}

TEST_F(AppTest, EditingAsTextRoundTripsOnBothModelsAndAProblemChangesNothing) {
    for (Model model : allModels) {
        engine->select(model);
        Window w(*engine);
        ProgramSheet* sheet = w.window.showSheet();
        const std::vector<Step> program = {Codes::label + 1, Codes::recall, 11, Codes::sin, Codes::jump, 1};
        engine->loadProgram(program);
        engine->setBreakpoint(4, true);
        const QSize size = sheet->size();
        sheet->beginEditing();
        ASSERT_TRUE(sheet->editing());
        const QString text = sheet->editor()->toPlainText();
        EXPECT_TRUE(text.startsWith(u"VELTRANIX "_s + QString::fromStdString(rawValue(model))));
        EXPECT_TRUE(sheet->apply());
        EXPECT_EQ(engine->programSteps(), program) << rawValue(model);
        EXPECT_FALSE(sheet->editing());
        // Taken back unchanged: the breakpoint stays, and the sheet keeps its size.
        EXPECT_TRUE(engine->breakpoint(4));
        EXPECT_EQ(sheet->size(), size);
        // A program from the library is edited under its name; a changed step
        // loses its marks, the steps around it keep theirs.
        ASSERT_TRUE(w.library.save(program, u"Kreis"_s, std::nullopt));
        sheet->beginEditing();
        EXPECT_TRUE(sheet->editor()->toPlainText().contains(u"Kreis"_s));
        EXPECT_FALSE(sheet->editor()->toPlainText().contains(u"Programmspeicher"_s));
        sheet->editor()->setPlainText(sheet->editor()->toPlainText().replace(u"SIN"_s, u"COS"_s));
        EXPECT_TRUE(sheet->apply());
        EXPECT_EQ(engine->programSteps().at(3), Codes::cos);
        EXPECT_FALSE(engine->breakpoint(4));
        engine->setBreakpoint(5, true);
        sheet->beginEditing();
        sheet->editor()->setPlainText(sheet->editor()->toPlainText().replace(u"COS"_s, u"SIN"_s));
        EXPECT_TRUE(sheet->apply());
        EXPECT_TRUE(engine->breakpoint(5)) << "the JUMP after the changed step keeps its breakpoint";
        engine->setBreakpoint(5, false);
        ASSERT_TRUE(w.library.removeNumber(1));

        // A wrong mnemonic on line 9: reported there, memory unchanged.
        sheet->beginEditing();
        QTextCursor line9(sheet->editor()->document()->findBlockByNumber(8));
        line9.select(QTextCursor::LineUnderCursor);
        ASSERT_EQ(line9.selectedText(), u"004  SIN"_s);
        line9.insertText(u"004  SINUS"_s);
        EXPECT_FALSE(sheet->apply());
        EXPECT_EQ(sheet->problemLine(), 9);
        EXPECT_EQ(sheet->problem(), u"Zeile 9: Schritt 4: „SINUS“ unbekannt"_s);
        EXPECT_EQ(sheet->editor()->textCursor().blockNumber(), 8);
        EXPECT_EQ(engine->programSteps(), program);
        // Undo brings the text back; then it applies.
        sheet->editor()->undo();
        EXPECT_TRUE(sheet->apply());
        EXPECT_EQ(engine->programSteps(), program);
        // Bare step lines are a program too; "Verwerfen" keeps the memory.
        sheet->beginEditing();
        sheet->editor()->setPlainText(u"SIN\nCOS"_s);
        sheet->discard();
        EXPECT_EQ(engine->programSteps(), program);
        w.window.programKnown();
    }
}

TEST_F(AppTest, KeysTypedIntoTheEditorAreTextNotCalculatorKeys) {
    Window w(*engine);
    ProgramSheet* sheet = w.window.showSheet();
    sheet->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(sheet));
    // In the listing, the calculator's keys still work from the sheet.
    QTest::keyClick(sheet->windowHandle(), '7');
    EXPECT_TRUE(engine->entry().has_value());
    play(*engine, "clear");
    sheet->beginEditing();
    sheet->editor()->moveCursor(QTextCursor::End);
    QTest::keyClicks(sheet->editor(), u"5+SIN"_s);
    EXPECT_TRUE(sheet->editor()->toPlainText().endsWith(u"5+SIN"_s));
    EXPECT_FALSE(engine->entry().has_value()) << "no 5 keyed into the calculator";
    EXPECT_FALSE(engine->operationPending());
    sheet->discard();
}

TEST_F(AppTest, NoEditingWhileAProgramRuns) {
    Window w(*engine);
    ProgramSheet* sheet = w.window.showSheet();
    startLoop(*engine, w.window);
    sheet->beginEditing();
    EXPECT_FALSE(sheet->editing());
    play(*engine, "startStop");
    sheet->beginEditing();
    ASSERT_TRUE(sheet->editing());
    play(*engine, "startStop");
    EXPECT_FALSE(sheet->apply()) << "a run started from the panel";
    play(*engine, "startStop");
    EXPECT_TRUE(sheet->apply());
}

TEST_F(AppTest, UnappliedTextIsAskedAboutOnClosing) {
    Window w(*engine);
    ProgramSheet* sheet = w.window.showSheet();
    sheet->beginEditing();
    sheet->editor()->setPlainText(u"SIN"_s);
    expectMessage({u"nicht übernommen"_s}, u"Abbrechen"_s);
    EXPECT_FALSE(w.window.close());
    expectMessage({}, u"Übernehmen"_s);
    expectMessage({}, u"Nicht sichern"_s); // then the unsaved program in memory is asked about
    EXPECT_TRUE(w.window.close());
    EXPECT_EQ(engine->programSteps(), std::vector<Step>{Codes::sin});
}

TEST_F(AppTest, ABreakpointSetInTheMarginStopsTheRun) {
    Window w(*engine);
    ProgramSheet* sheet = w.window.showSheet();
    play(*engine, "printer:off mode:load 1 printKey 2 printKey 3 printKey startStop mode:run printer:on");
    w.window.programKnown();
    QCoreApplication::processEvents();
    QTableView* table = sheet->table();
    const QRect row3 = table->visualRect(sheet->model().index(2, 0));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, QPoint(row3.left() + 3, row3.center().y()));
    EXPECT_TRUE(engine->breakpoint(3));
    EXPECT_TRUE(sheet->model().breakpoint(2));
    // A click beside the margin only chooses the row.
    const QRect row5 = table->visualRect(sheet->model().index(4, 0));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, row5.center());
    EXPECT_FALSE(engine->breakpoint(5));
    engine->setCounter(1);
    play(*engine, "startStop");
    clock.advance(5);
    EXPECT_FALSE(engine->running());
    EXPECT_EQ(engine->pc(), 3);
    // The chosen row shows, apart from the counter's, and Down moves it;
    // F9 acts on it.
    table->setFocus();
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, row5.center());
    QTest::keyClick(table, Qt::Key_Down);
    EXPECT_EQ(table->currentIndex().row(), 5);
    const QRect row6 = table->visualRect(sheet->model().index(5, 0));
    QImage shown(table->viewport()->size(), QImage::Format_ARGB32);
    table->viewport()->render(&shown);
    EXPECT_EQ(shown.pixelColor(row6.left() + 1, row6.center().y()), SheetDelegate::selectionColour);
    EXPECT_NE(shown.pixelColor(row5.left() + 1, row5.center().y()), SheetDelegate::selectionColour);
    QTest::keyClick(table, Qt::Key_F9);
    EXPECT_TRUE(engine->breakpoint(6));
    clickButton(*sheet, u"Alle Haltepunkte löschen"_s);
    EXPECT_FALSE(engine->breakpoint(3));
    EXPECT_FALSE(engine->breakpoint(6));
}

TEST_F(AppTest, CountsPerStepShownAndReset) {
    Window w(*engine);
    ProgramSheet* sheet = w.window.showSheet();
    startLoop(*engine, w.window);
    clock.advance(2);
    play(*engine, "startStop");
    const SheetModel& model = sheet->model();
    ASSERT_GT(engine->executionCounts()[0], 100u);
    for (int r = 0; r < 5; ++r) EXPECT_EQ(model.count(r), engine->executionCounts()[std::size_t(r)]);
    EXPECT_EQ(model.highestCount(), engine->executionCounts()[0]);
    EXPECT_TRUE(model.data(model.index(0, 0), Qt::AccessibleTextRole).toString().endsWith("-mal ausgeführt"));
    clickButton(*sheet, u"Zähler zurücksetzen"_s);
    EXPECT_EQ(model.count(0), 0u);
    EXPECT_EQ(model.highestCount(), 0u);
}

TEST_F(AppTest, TabReachesTheSheetsButtonsWhichOwnTheirKeys) {
    Window w(*engine);
    ProgramSheet* sheet = w.window.showSheet();
    ASSERT_TRUE(QTest::qWaitForWindowActive(sheet));
    sheet->table()->setFocus();
    // Tab walks from the listing to the buttons; Space there presses the
    // button, not START STOP.
    QStringList reached;
    for (int i = 0; i < 12 && !reached.contains(u"Bearbeiten"_s); ++i) {
        QTest::keyClick(sheet->windowHandle(), Qt::Key_Tab);
        if (auto* b = qobject_cast<QPushButton*>(QApplication::focusWidget())) reached << b->text();
    }
    ASSERT_TRUE(reached.contains(u"Bearbeiten"_s)) << reached.join('|').toStdString();
    QTest::keyClick(sheet->windowHandle(), Qt::Key_Space);
    EXPECT_TRUE(sheet->editing());
    EXPECT_FALSE(engine->running());
    sheet->discard();
    // Back in the listing, Space is START STOP again.
    sheet->table()->setFocus();
    play(*engine, "mode:run");
    engine->loadProgram({Codes::label + 1, Codes::jump, 1});
    QTest::keyClick(sheet->windowHandle(), Qt::Key_Space);
    EXPECT_TRUE(engine->running());
    play(*engine, "startStop");
}

// Undo names what it takes back and brings the machine back as it was; the
// sheet's timeline, dragged to the middle of a run of 10⁸ steps, shows the
// machine as it was there, computed independently, within half a second.
TEST_F(AppTest, UndoAndTheTimelineTakeTheWholeMachineBack) {
    Window w(*engine);
    w.type("12+3=");
    ASSERT_TRUE(w.key(Qt::Key_K, Qt::ControlModifier).tape().empty());
    QMenu* edit = w.window.editMenu();
    emit edit->aboutToShow();
    QAction* undo = entry(*edit, u"Rückgängig: Abreißen"_s);
    EXPECT_EQ(undo->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    emit edit->aboutToHide();
    undo->trigger();

    EXPECT_EQ(engine->tape().size(), 3u);
    emit edit->aboutToShow();
    EXPECT_TRUE(entry(*edit, u"Rückgängig: Gleich"_s)->isEnabled());
    EXPECT_TRUE(entry(*edit, u"Wiederholen: Abreißen"_s)->isEnabled());
    emit edit->aboutToHide();
    // A program loaded from a menu is named by its entry.
    QMenu* programs = w.window.programMenu();
    emit programs->aboutToShow();
    entry(*submenu(*submenu(*programs, u"Programmsammlung"_s), u"Mathematik"_s), u"Kubische Gleichung"_s)
        ->trigger();
    emit edit->aboutToShow();
    EXPECT_TRUE(entry(*edit, u"Rückgängig: Programm laden"_s)->isEnabled());
    emit edit->aboutToHide();

    // LABEL 1, 1, ST+ 1, RCL 1, -, 7142857, =, JUMP - 1, STOP: fourteen steps a round.
    engine->loadProgram({129, 1, 193, 1, 200, 1, 18, 7, 1, 4, 2, 8, 5, 7, 16, 234, 1, 27});
    engine->setTempo(Tempo::fast);
    engine->press(KeyKind::startStop);
    while (engine->running()) clock.runNext(clock.nowNanos());
    const std::uint64_t n = engine->lastRun().steps;
    ASSERT_EQ(n, 14u * 7142857 + 1);
    ProgramSheet* sheet = w.window.showSheet(0);
    sheet->timeline()->refresh();
    MarkedSlider* slider = sheet->timeline()->slider();
    ASSERT_TRUE(slider->isEnabled());
    ASSERT_EQ(static_cast<std::uint64_t>(slider->maximum()), n);
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = Qt::Horizontal;
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = option.sliderValue = slider->value();
    const QRect handle =
        slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider);
    QElapsedTimer took;
    took.start();
    QTest::mousePress(slider, Qt::LeftButton, {}, handle.center());
    QTest::mouseMove(slider, QPoint(slider->width() / 2, handle.center().y()));
    QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(slider->width() / 2, handle.center().y()));
    EXPECT_LT(took.elapsed(), 500);
    const std::uint64_t m = w.window.history().position();
    EXPECT_NEAR(static_cast<double>(m), static_cast<double>(n) / 2, static_cast<double>(n) / 20);
    // After m steps: m / 14 whole rounds, and one more count once a round's third step is done.
    EXPECT_EQ(engine->registers()[1].v, static_cast<double>(m / 14 + (m % 14 >= 3)));
    EXPECT_EQ(engine->pc(), (std::vector<int>{1, 2, 3, 5, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}[m % 14]));
    EXPECT_TRUE(sheet->timeline()->label()->text().startsWith(u"Schritt "_s));
    // Back at the end, and the drag undone, the machine is where the run left it.
    ASSERT_TRUE(w.window.history().moveTo(n));
    EXPECT_EQ(engine->registers()[1].v, 7142857.0);
}
