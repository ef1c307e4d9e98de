// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/Quote.h"

#include <gtest/gtest.h>

#include <string>

using namespace vx;

TEST(Quote, ControlCharactersEscapedAndLongTextCut) {
    EXPECT_EQ(Quote::shown("kurz"), "kurz");
    EXPECT_EQ(Quote::shown(std::string(41, 'x')), std::string(40, 'x') + "…");
    EXPECT_EQ(Quote::shown(std::string(40, 'x')), std::string(40, 'x'));
    // Characters, not bytes, are counted.
    EXPECT_EQ(Quote::shown("äöü", 2), "äö…");
    EXPECT_EQ(Quote::escaped("a\tb\nc\x1b[2J\x7f"), "a\\tb\\nc\\x1b[2J\\x7f");
    EXPECT_EQ(Quote::escaped("\xc2\x9b"
                             "2J"),
              "\\u009b2J");                                       // C1 control
    EXPECT_EQ(Quote::escaped("tape\xe4.txt"), "tape\\xe4.txt");   // not UTF-8
    EXPECT_EQ(Quote::escaped("\xed\xa0\x80"), "\\xed\\xa0\\x80"); // a surrogate
    EXPECT_EQ(Quote::escaped("€ 😀"), "€ 😀");
}
