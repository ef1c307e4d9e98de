// SPDX-License-Identifier: GPL-3.0-or-later
// The program sheet's words: each listing row on both models, the
// calculation in progress, the return addresses and the registers.
#include "display/Formatter.h"
#include "fixture.h"
#include "panel/SheetModel.h"
#include "panel/SheetText.h"
#include "program/BatchScript.h"

#include <gtest/gtest.h>

using namespace vx;
using vx::test::PanelFixture;
using vx::test::play;

namespace {

std::vector<QString> sentences(const Engine& engine) {
    SheetModel model(engine);
    std::vector<QString> rows;
    for (int r = 0; r < model.rowCount(); ++r)
        rows.push_back(model.data(model.index(r, 0), Qt::AccessibleTextRole).toString());
    return rows;
}

} // namespace

TEST(SheetText, EveryRowReadsAsOneSentenceOnBothModels) {
    // LABEL 2, RCL 1, LABEL 2, JUMP 2, BRANCH 7 (missing), JUMP to start.
    const std::vector<Step> program = {
        Codes::label + 2, Codes::recall,     1, Codes::label + 2, Codes::jump, 2, Codes::branch, 7,
        Codes::jump,      Codes::jumpToStart};
    PanelFixture f;
    f.engine.loadProgram(program);
    const std::vector<QString> on410 = {"Schritt 001: 202 L2, Marke 2",
                                        "Schritt 002: 310 RC, Register 1",
                                        "Schritt 003: 001 1, Operand von Schritt 002",
                                        "Schritt 004: 202 L2, Marke 2",
                                        "Schritt 005: 350 J, → 004",
                                        "Schritt 006: 002 2, Operand von Schritt 005",
                                        "Schritt 007: 360 B, Marke 7 fehlt",
                                        "Schritt 008: 007 7, Operand von Schritt 007",
                                        "Schritt 009: 350 J, → 001",
                                        "Schritt 010: 033 SS, Operand von Schritt 009",
                                        "Schritt 011: leer"};
    EXPECT_EQ(sentences(f.engine), on410);

    f.engine.select(Model::orbis412);
    f.engine.loadProgram(program);
    const std::vector<QString> rows = sentences(f.engine);
    ASSERT_EQ(rows.size(), 11u);
    EXPECT_EQ(rows[1], "Schritt 002: 310 RC, Register 01");
    // A register operand is decimal and has no symbol on the 412.
    EXPECT_EQ(rows[2], "Schritt 003: 001, Operand von Schritt 002");
    EXPECT_EQ(rows[4], "Schritt 005: 350 J, → 001") << "the 412 takes the first LABEL 2";

    f.engine.loadProgram({Codes::store, Codes::indirect + 12});
    EXPECT_EQ(sentences(f.engine)[0], "Schritt 001: 300 ST, indirekt über Register 12");

    // A missing label is marked as such for the painter.
    f.engine.loadProgram({Codes::jump, 9});
    SheetModel model(f.engine);
    EXPECT_TRUE(model.row(0).missing);
    EXPECT_EQ(model.row(0).note, "Marke 9 fehlt");
}

TEST(SheetText, RowsFollowTheProgramAndTheWholeMemoryOnRequest) {
    PanelFixture f;
    SheetModel model(f.engine);
    EXPECT_EQ(model.rowCount(), 1) << "an empty memory: the row where the first step goes";
    play(f.engine, "mode:load 1 2 3");
    model.refresh();
    EXPECT_EQ(model.rowCount(), 4);
    EXPECT_EQ(model.currentStep(), 4);
    model.setWholeMemory(true);
    EXPECT_EQ(model.rowCount(), 416);
    model.setWholeMemory(false);
    // Breakpoints and counts reach the sentence.
    f.engine.setBreakpoint(2, true);
    model.refresh();
    EXPECT_EQ(model.data(model.index(1, 0), Qt::AccessibleTextRole).toString(),
              "Schritt 002: 002 2, Haltepunkt");
}

TEST(SheetText, TheCalculationAsTheUserWouldWriteIt) {
    PanelFixture f;
    play(f.engine, "lparen 2 plus lparen 3 times");
    EXPECT_EQ(SheetText::calculation(f.engine), "(2 + (3 ×");
    play(f.engine, "4 rparen");
    EXPECT_EQ(SheetText::calculation(f.engine), "(2 +");
    play(f.engine, "rparen");
    EXPECT_EQ(SheetText::calculation(f.engine), "");
    play(f.engine, "1.5 divide lparen 7 minus lparen lparen");
    EXPECT_EQ(SheetText::calculation(f.engine), "1.5 ÷ (7 − ((");
    play(f.engine, "clear clear");
    // After "=" the operation is the constant of a repeated "=", not a pending one.
    play(f.engine, "reset 5 plus 1 equals");
    EXPECT_EQ(SheetText::calculation(f.engine), QStringLiteral("Konstante für „=“: 5 +"));
    play(f.engine, "clear clear");

    EXPECT_EQ(SheetText::number(2), "2");
    EXPECT_EQ(SheetText::number(0.1), "0.1");
    EXPECT_EQ(SheetText::number(1.5e-20), "1.5E-20");
    EXPECT_EQ(SheetText::number(1e5 * 1e100 / 1e100), "100000");
    EXPECT_EQ(SheetText::number(2e50), "2E50");
    EXPECT_EQ(SheetText::number(1.0 / 3), "0.3333333333333");
    EXPECT_EQ(SheetText::grouped(1234567), QStringLiteral("1\u202F234\u202F567"));
    EXPECT_EQ(SheetText::grouped(999), "999");
    EXPECT_EQ(SheetText::returns({14, 31}), "Rücksprung nach 014, 031");
    EXPECT_EQ(SheetText::returns({}), "");
    EXPECT_EQ(SheetText::registerName(3, Model::orbis410), "R3");
    EXPECT_EQ(SheetText::registerName(3, Model::orbis412), "R03");
}

TEST(SheetText, RegistersAsTheDisplayShowsThem) {
    PanelFixture f;
    // Whatever the decimal setting, a register reads as the display shows it when recalled.
    for (const char* setting : {"f setDP 4", "f setDP 0", "f setDP 9", "f setDP exp"}) {
        play(f.engine,
             std::string("clear clear ") + setting + " 1 2 3 4 5 6 7 dot 5 6 store 4 clear 0 recall 4");
        const std::string shown = Formatter::text(f.engine.cells());
        EXPECT_EQ(SheetText::registerValue(f.engine.registers()[4], f.engine.decimals(), f.engine.sciMode()),
                  QString::fromStdString(shown).trimmed())
            << setting;
    }
    play(f.engine, "clear clear 1 dot 5 plus");
    EXPECT_EQ(SheetText::numberRegister(f.engine), "1.5");
}
