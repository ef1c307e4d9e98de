// SPDX-License-Identifier: GPL-3.0-or-later
#include "program/Codes.h"

#include <gtest/gtest.h>

using namespace vx;

TEST(Codes, FamiliesHaveTheirMnemonicsAndSymbols) {
    EXPECT_EQ(Codes::mnemonic(141), "LABEL D/M/S");
    EXPECT_EQ(Codes::symbol(141), "L/");
    EXPECT_EQ(Codes::mnemonic(155), "DP CHS");
    EXPECT_EQ(Codes::symbol(155), "DPS");
    EXPECT_EQ(Codes::mnemonic(171), "->METRIC CHS");
    EXPECT_EQ(Codes::symbol(171), "MS");
    EXPECT_EQ(Codes::symbol(176), "B0");
    EXPECT_EQ(Codes::mnemonic(197), "ST A^X");
    EXPECT_EQ(Codes::symbol(197), "STaˣ");
    EXPECT_EQ(Codes::mnemonic(205), "RCL A^X");
    EXPECT_EQ(Codes::mnemonic(211), "EXCH *");
    EXPECT_EQ(Codes::symbol(211), "XC×");
    EXPECT_EQ(Codes::mnemonic(235), "JUMP +-");
    EXPECT_EQ(Codes::mnemonic(239), "JUMP +-=");
    EXPECT_EQ(Codes::mnemonic(240), "BRANCH");
    EXPECT_EQ(Codes::symbol(240), "B");
    EXPECT_EQ(Codes::symbol(246), "B-=");
    EXPECT_EQ(Codes::symbol(30), "∧");
    EXPECT_EQ(Codes::symbol(123), "θr");
    EXPECT_EQ(Codes::mnemonic(224), "TAPE WD");
}

TEST(Codes, ExactlyTheDefinedCodesHaveNames) {
    for (int c : {14, 15, 25, 34, 39, 198, 199, 206, 207, 214, 223, 225, 231, 248, 255}) {
        EXPECT_EQ(Codes::mnemonic(c), "?") << c;
        EXPECT_EQ(Codes::symbol(c), "?") << c;
    }
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

TEST(Codes, KeysMapToTheirCodes) {
    EXPECT_EQ(Codes::unshifted(Key::digit(7)), 7);
    EXPECT_EQ(Codes::unshifted(KeyKind::startStop), 27);
    EXPECT_FALSE(Codes::unshifted(KeyKind::store));
    EXPECT_FALSE(Codes::unshifted(KeyKind::fwd));
    EXPECT_EQ(Codes::shifted(Key::digit(9)), 73);
    EXPECT_EQ(Codes::shifted(KeyKind::back), 24);
    EXPECT_EQ(Codes::shifted(KeyKind::toRect), 123);
    EXPECT_FALSE(Codes::shifted(KeyKind::equals));
    EXPECT_EQ(Codes::keySymbol(11), "S");
    EXPECT_EQ(Codes::keySymbol(27), "SS");
    EXPECT_EQ(Codes::keySymbol(20), "?");
    // Every code a key produces is a defined code.
    for (const Key* k = allKeysBegin(); k != allKeysEnd(); ++k) {
        if (auto c = Codes::unshifted(*k)) {
            EXPECT_NE(Codes::mnemonic(*c), "?");
        }
        if (auto c = Codes::shifted(*k)) {
            EXPECT_NE(Codes::mnemonic(*c), "?");
        }
    }
}
