// SPDX-License-Identifier: GPL-3.0-or-later
#include "support.h"

using namespace vx;
using vx::test::Machine;

TEST(Entry, DigitLimitCountsOnlySignificantDigits) {
    Machine m;
    EXPECT_EQ(m.keys("12345678901234")->entry()->mant, "1234567890123");
    m.keys("clear 0.001234567891234");
    // clear committed the first entry; the new one keeps all 13 significant digits
    EXPECT_EQ(m->entry()->mant, "0.001234567891234");
    EXPECT_EQ(m->entry()->significantDigits(), 13);
}

TEST(Entry, ExponentInput) {
    auto value = [](const std::string& keys) {
        Machine m;
        m.keys(keys);
        return m->entry()->value();
    };
    EXPECT_EQ(value("exp 5"), 1e5);
    EXPECT_EQ(r13(value("1 exp 1 2 3")), 1e23);
    EXPECT_EQ(value("2 exp chs 3"), 0.002);
    EXPECT_EQ(value("2 chs exp 3"), -2000);
    EXPECT_EQ(value("2 exp"), 2);
    EXPECT_EQ(value("."), 0);
    Machine m;
    EXPECT_EQ(m.keys("1 exp 1 2 3")->entry()->exp, "23");
    EXPECT_EQ(m.keys("clear . .")->entry()->mant, "0.");
}

TEST(Entry, SignChangeOfAResultOrOfANewEntry) {
    Machine m;
    EXPECT_FALSE(m.keys("5 = chs")->entry().has_value());
    EXPECT_EQ(m->E().v, -5);
    EXPECT_TRUE(m.keys("+ chs 3")->entry()->neg);
    EXPECT_EQ(m.keys("=")->E().v, -8);
}
