// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Types.h"
#include "program/Codes.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using namespace vx;

namespace {

std::string threeDigits(std::optional<int> code) {
    return code ? Codes::decimal(*code) : "-";
}

// The table written out as the reference file writes it.
std::string tableText() {
    std::ostringstream out;
    out << "# Every defined step code: the code, its mnemonic in saved programs, its tape symbol.\n";
    for (int c = 0; c < 256; ++c)
        if (Codes::mnemonic(c) != "?")
            out << Codes::decimal(c) << '\t' << Codes::mnemonic(c) << '\t' << Codes::symbol(c) << '\n';
    out << "# Every key: its name in scripts, its code, its code after f, its index in the operand and label "
           "families.\n";
    for (const KeyRow& row : keyRows) {
        const auto index = labelIndex(Model::orbis412, row.key);
        out << "key\t" << keyName(row.key) << '\t' << threeDigits(plainCode(row.key)) << '\t'
            << threeDigits(shiftedCode(row.key)) << '\t' << (index ? std::to_string(*index) : "-") << '\n';
    }
    return out.str();
}

} // namespace

// Saved programs name their steps by mnemonic and the tape prints the symbols,
// so the whole table is a contract with every file and tape already written:
// it is checked line by line against the reference beside this test.
TEST(Codes, TheTableIsTheReference) {
    std::ifstream file(SOURCE_DIR "/tests/machine/codes.txt", std::ios::binary);
    ASSERT_TRUE(file) << "the reference file is missing";
    std::stringstream reference;
    reference << file.rdbuf();
    std::istringstream want(reference.str()), got(tableText());
    std::string w, g;
    int line = 0;
    while (true) {
        const bool moreWanted = static_cast<bool>(std::getline(want, w));
        const bool moreGot = static_cast<bool>(std::getline(got, g));
        ++line;
        if (!moreWanted && !moreGot) break;
        ASSERT_EQ(g, w) << "line " << line << " of the reference";
    }
    // Undefined codes have no name, and no mnemonic reads back as one.
    EXPECT_EQ(Codes::mnemonic(14), "?");
    EXPECT_EQ(Codes::symbol(255), "?");
    EXPECT_EQ(Codes::mnemonic(256), "?");
    EXPECT_FALSE(Codes::code("?"));
}

TEST(Codes, MnemonicLookupIgnoresCaseAndSpacingAndFindsTheLowerTwin) {
    EXPECT_EQ(Codes::code("mean"), 67);
    EXPECT_EQ(Codes::code("SD"), 41);
    EXPECT_EQ(Codes::code("IDENT"), 26);
    EXPECT_EQ(Codes::code(" jump  + - "), 235);
    EXPECT_EQ(Codes::code("DP EXP"), 156);
    EXPECT_EQ(Codes::code("to  rect"), 59);
    EXPECT_EQ(Codes::code("clearr1-3"), 64);
    EXPECT_EQ(Codes::code("->METRIC ."), 170);
    EXPECT_FALSE(Codes::code("JUMP ++"));
    EXPECT_EQ(Codes::normalized("st  +"), "ST+");
}

TEST(Codes, StepRenderings) {
    EXPECT_EQ(Codes::octal(std::nullopt), "   ");
    EXPECT_EQ(Codes::decimal(std::nullopt), "   ");
    EXPECT_EQ(Codes::octal(0), "000");
    EXPECT_EQ(Codes::octal(8), "010");
    EXPECT_EQ(Codes::octal(255), "377");
    EXPECT_EQ(Codes::decimal(7), "007");
    EXPECT_EQ(Codes::decimal(143), "143");
}

TEST(Codes, RegisterOperandsReadAndWrite) {
    EXPECT_EQ(Codes::registerMnemonic(7), "07");
    EXPECT_EQ(Codes::registerMnemonic(43), "43");
    EXPECT_EQ(Codes::registerMnemonic(105), "IND 05");
    EXPECT_EQ(Codes::registerMnemonic(100), "IND 00");
    EXPECT_EQ(Codes::registerOperand("07"), 7);
    EXPECT_EQ(Codes::registerOperand("ind 12"), 112);
    EXPECT_EQ(Codes::registerOperand("IND00"), 100);
    EXPECT_FALSE(Codes::registerOperand("IND 44"));
    EXPECT_FALSE(Codes::registerOperand("44"));
    EXPECT_FALSE(Codes::registerOperand("7"));
    EXPECT_FALSE(Codes::registerOperand("0x"));
}

TEST(Codes, KeyIndexSymbols) {
    EXPECT_EQ(Codes::keySymbol(11), "S");
    EXPECT_EQ(Codes::keySymbol(27), "SS");
    EXPECT_EQ(Codes::keySymbol(20), "?");
}
