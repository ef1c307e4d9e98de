// SPDX-License-Identifier: GPL-3.0-or-later
#include "support.h"

using namespace vx;
using vx::test::Machine;

TEST(Entry, DigitLimitCountsOnlySignificantDigits) {
    Machine m;
    m.keys("12345678901234");
    EXPECT_EQ(m->entry()->mant, "1234567890123");
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
    m.keys("1 exp 1 2 3");
    EXPECT_EQ(m->entry()->exp, "23");
    m.keys("clear . .");
    EXPECT_EQ(m->entry()->mant, "0.");
}

TEST(Entry, SignChangeOfAResultOrOfANewEntry) {
    Machine m;
    m.keys("5 = chs");
    EXPECT_FALSE(m->entry().has_value());
    EXPECT_EQ(m->E().v, -5);
    m.keys("+ chs 3");
    EXPECT_TRUE(m->entry()->neg);
    m.keys("=");
    EXPECT_EQ(m->E().v, -8);
}
