// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/ProgramText.h"

#include <gtest/gtest.h>

using namespace vx;
using Steps = std::vector<Step>;

namespace {
std::vector<SavedProgram> parse(const QString& text, Model model = Model::orbis410) {
    return ProgramText::parse(text, model);
}
SavedProgram one(const QString& body, Model model = Model::orbis410) {
    auto list = parse("PROGRAM 1\n" + body + "\nEND\n", model);
    EXPECT_EQ(list.size(), 1u);
    return list.empty() ? SavedProgram{} : list.front();
}
} // namespace

TEST(ProgramText, WriterForm) {
    const std::vector<SavedProgram> programs = {
        {1, "Sinus", {200, 5, 56, std::nullopt, 27}, std::nullopt},
        {2, "", {}, std::nullopt},
    };
    EXPECT_EQ(ProgramText::format(programs, Model::orbis412),
              "VELTRANIX 412\n\nPROGRAM 1\nNAME Sinus\n\n001  RCL\n002  05\n003  SIN\n004  ---\n005  "
              "STOP\n\nEND\n\n"
              "PROGRAM 2\nNAME \n\n\nEND\n");
    EXPECT_EQ(ProgramText::format({}, Model::orbis410), "VELTRANIX 410\n");
    EXPECT_EQ(ProgramText::format({{3, "R", {200, 105, 192, 12}, std::nullopt}}, Model::orbis412),
              "VELTRANIX 412\n\nPROGRAM 3\nNAME R\n\n001  RCL\n002  IND 05\n003  ST\n004  12\n\nEND\n");
    EXPECT_EQ(ProgramText::format({{1, "R", {200, 5, 192, 10, 192, 11}, std::nullopt}}, Model::orbis410),
              "VELTRANIX 410\n\nPROGRAM 1\nNAME R\n\n001  RCL\n002  5\n003  ST\n004  .\n005  ST\n006  "
              "CHS\n\nEND\n");
}

TEST(ProgramText, RoundTripOnBothModels) {
    for (Model model : allModels) {
        std::vector<SavedProgram> programs = {
            {1, "Zins", {17, 192, 3, 232, 27, std::nullopt, 240, 5, 128, 141, 200, 1, 24}, std::nullopt},
            {2, "Leer", {}, std::nullopt},
            {7, "Mit Lücke", {std::nullopt, std::nullopt, 56}, std::nullopt},
        };
        if (model == Model::orbis412) programs[0].steps.insert(programs[0].steps.end(), {208, 143, 197, 43});
        EXPECT_EQ(parse(ProgramText::format(programs, model), model), programs) << rawValue(model);
    }
    // The documented differences: trailing empty steps, empty names, shared mnemonics, undefined codes.
    const std::vector<SavedProgram> odd = {{4, "", {73, 105, 68, 14, 56, std::nullopt}, std::nullopt}};
    const auto back = parse(ProgramText::format(odd, Model::orbis410));
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].name, "Programm 4");
    EXPECT_EQ(back[0].steps, (Steps{26, 67, 41, std::nullopt, 56}));
    EXPECT_EQ(back[0].error, "Schritt 4: „?“ unbekannt");
}

TEST(ProgramText, ValuesWithoutAMnemonicSurviveOnTheLargeModel) {
    // JUMP to the labels "(" and ")" keeps operands 14 and 15, which have no
    // mnemonic; an indirect operand may stand anywhere in a hand-edited file.
    const std::vector<SavedProgram> programs = {{1, "Klammern", {232, 14, 240, 15, 56, 107}, std::nullopt}};
    const QString text = ProgramText::format(programs, Model::orbis412);
    EXPECT_TRUE(text.contains("001  JUMP\n002  14\n003  BRANCH\n004  15\n005  SIN\n006  IND 07\n"))
        << text.toStdString();
    EXPECT_EQ(ProgramText::parse(text, Model::orbis412), programs);
    // A code keyed over the operand of a register code stays that code.
    const std::vector<SavedProgram> overkeyed = {{1, "Neu", {200, 192, 7, 200, 50}, std::nullopt}};
    const QString again = ProgramText::format(overkeyed, Model::orbis412);
    EXPECT_TRUE(again.contains("001  RCL\n002  ST\n003  07\n004  RCL\n005  SQRT\n")) << again.toStdString();
    EXPECT_EQ(ProgramText::parse(again, Model::orbis412), overkeyed);
}

TEST(ProgramText, BlocksNumbersAndNames) {
    auto list =
        parse("VELTRANIX 410\nnotes before\nPROGRAM\nPROGRAM x\nProgramm 7\nprogram 12\nProgram   12\n"
              "PROGRAM +12\nPROGRAM -3\nPROGRAM 99999999999999999999\n");
    ASSERT_EQ(list.size(), 8u);
    EXPECT_EQ(list[0].number, 1);
    EXPECT_EQ(list[1].number, 2);
    EXPECT_EQ(list[2].number, 3);
    EXPECT_EQ(list[3].number, 12);
    EXPECT_EQ(list[4].number, 12);
    EXPECT_EQ(list[5].number, 12);
    EXPECT_EQ(list[6].number, -3);
    EXPECT_EQ(list[7].number, 8);
    EXPECT_EQ(list[2].name, "Programm 3");

    EXPECT_EQ(one("name Zins").name, "Zins");
    EXPECT_EQ(one("NAMEZins").name, "Zins");
    EXPECT_EQ(one("NAME").name, "Programm 1");
    EXPECT_EQ(one("NAME Zins ; a comment").name, "Zins");
    EXPECT_TRUE(parse("NAME X\nEND\nSIN\n").empty());
    auto noEnd = parse("PROGRAM 1\nSIN\nPROGRAM 2\nCOS");
    ASSERT_EQ(noEnd.size(), 2u);
    EXPECT_EQ(noEnd[1].steps, (Steps{57}));
}

TEST(ProgramText, StepLines) {
    EXPECT_EQ(
        one("001  SIN ; Sinus\n; anything\n002  ---\nSIN\n017 SIN\n001  sin\n001  TO  RECT\n004  ---").steps,
        (Steps{56, std::nullopt, 56, 56, 56, 59}));
    auto shortNumber = one("1  SIN");
    EXPECT_EQ(shortNumber.steps, (Steps{}));
    EXPECT_EQ(shortNumber.error, "Schritt 1: „1  SIN“ unbekannt");
    auto tab = one("001\tSIN");
    EXPECT_EQ(tab.error, "Schritt 1: „001\\tSIN“ unbekannt");
    auto twoUnknown = one("SIN\nFOO\nBAR\nCOS");
    EXPECT_EQ(twoUnknown.steps, (Steps{56, std::nullopt, std::nullopt, 57}));
    EXPECT_EQ(twoUnknown.error, "Schritt 2: „FOO“ unbekannt");
    EXPECT_EQ(one("VELTRANIX 410").error, "Schritt 1: „VELTRANIX 410“ unbekannt");
}

TEST(ProgramText, RegisterOperandsDependOnTheModel) {
    EXPECT_EQ(one("RCL\n002  05\n002  IND 05\n44", Model::orbis412).steps,
              (Steps{200, 5, 105})); // trailing empty step dropped
    EXPECT_EQ(one("RCL\n002  05\n002  IND 05\n44", Model::orbis412).error, "Schritt 4: „44“ unbekannt");
    auto small = one("RCL\n002  05\n003  5\n004  .", Model::orbis410);
    EXPECT_EQ(small.steps, (Steps{200, std::nullopt, 5, 10}));
    EXPECT_EQ(small.error, "Schritt 2: „05“ unbekannt");
}

TEST(ProgramText, TheStepLimit) {
    QString text = "PROGRAM 1\n";
    for (int i = 0; i < 500; ++i) text += (i < 499 ? "SIN\n" : "FOO\n");
    auto list = parse(text);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].steps.size(), 416u);
    EXPECT_EQ(list[0].error, "mehr als 416 Schritte");
    EXPECT_EQ(list[0].title(), "1  Programm 1  (mehr als 416 Schritte)");
}

TEST(ProgramText, TheReaderSurvivesAnything) {
    EXPECT_TRUE(parse("").empty());
    EXPECT_TRUE(parse("VELTRANIX 410\n").empty());
    // CRLF, tabs, no-break spaces, lower case, a byte-order mark.
    auto crlf = parse(
        ProgramText::decode("\xEF\xBB\xBFPROGRAM 5\r\n\tname\xC2\xA0Zins\xC2\xA0\r\n001  cos\r\n\xE2\x80\xA8"
                            "002  st\r\n003  4\r\nend\r\n"));
    ASSERT_EQ(crlf.size(), 1u);
    EXPECT_EQ(crlf[0].number, 5);
    EXPECT_EQ(crlf[0].name, "Zins");
    EXPECT_EQ(crlf[0].steps, (Steps{57, 192, 4}));
    EXPECT_FALSE(crlf[0].error);
    // Files pasted together: a byte-order mark at the start of any line.
    auto pasted = parse(ProgramText::decode("\xEF\xBB\xBFPROGRAM 1\nSIN\nEND\n\xEF\xBB\xBFPROGRAM 2\n"
                                            "\xEF\xBB\xBF"
                                            "001  COS\nEND\n"));
    ASSERT_EQ(pasted.size(), 2u);
    EXPECT_EQ(pasted[1].steps, (Steps{57}));
    EXPECT_FALSE(pasted[1].error);
    // Latin-1: not valid UTF-8, read byte by byte.
    auto latin = parse(ProgramText::decode("PROGRAM 1\nNAME Gr\xF6\xDF"
                                           "e\nSIN\nEND\n"));
    ASSERT_EQ(latin.size(), 1u);
    EXPECT_EQ(latin[0].name, "Größe");
    // Binary junk: whatever it is, no crash and no exception.
    QByteArray junk;
    for (int i = 0; i < 4096; ++i) junk.append(static_cast<char>((i * 7919 + 13) % 256));
    junk.insert(100, "\nPROGRAM 1\n");
    EXPECT_NO_THROW(parse(ProgramText::decode(junk)));
}
