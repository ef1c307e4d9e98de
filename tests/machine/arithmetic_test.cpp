// SPDX-License-Identifier: GPL-3.0-or-later
#include "support.h"

#include <cmath>

using namespace vx;
using vx::test::Machine;

using vx::test::failsWith;
using vx::test::resultOf;

TEST(Arithmetic, ChainsRunLeftToRightWithParentheses) {
    EXPECT_EQ(resultOf("2 + 3 * 4 ="), 20);
    EXPECT_EQ(resultOf("2 * ( 3 + 4 ) ="), 14);
    EXPECT_EQ(resultOf("10 - ( 2 * ( 3 - 1 ) ) * 2 ="), 12);
    EXPECT_EQ(resultOf("2 ^ 10 - 24 ="), 1000);
    EXPECT_EQ(resultOf("2 / 3 ="), 0.6666666666667);
    EXPECT_EQ(resultOf("0.1 + 0.2 ="), 0.3);
    EXPECT_EQ(resultOf("1 / 3 * 3 ="), 0.9999999999999); // thirteen digits, as the machine has
}

TEST(Arithmetic, RepeatedEqualsReappliesTheOperation) {
    EXPECT_EQ(resultOf("2 * 3 = ="), 12);
    EXPECT_EQ(resultOf("10 - 3 = ="), 3);
    EXPECT_EQ(resultOf("2 + 3 = ="), 7);
    EXPECT_EQ(resultOf("5 ="), 5);
}

TEST(Arithmetic, RangeLimits) {
    EXPECT_TRUE(failsWith("1 exp 99 * 10 ="));
    EXPECT_EQ(resultOf("1 exp 99 * 9.99 ="), 9.99e99);
    EXPECT_EQ(resultOf("1 exp chs 50 * 1 exp chs 50 ="), 0);
    EXPECT_EQ(resultOf("1 exp chs 99 / 2 ="), 0);
    EXPECT_EQ(resultOf("1 exp chs 98 / 2 ="), 5e-99);
}

TEST(Arithmetic, AKeyedNumberBeyondTheRangeFailsAsAResultWould) {
    EXPECT_TRUE(failsWith("10 exp 99 ="));
    EXPECT_TRUE(failsWith("5 + 10 exp 99 +"));
    EXPECT_EQ(resultOf("9.9 exp 99 ="), 9.9e99);
    EXPECT_EQ(resultOf("0.0001 exp chs 99 ="), 0);
    Machine m;
    EXPECT_TRUE(m.keys("7 + 10 exp 99 mode:load")->error());
    EXPECT_FALSE(m->entry().has_value());
    m.keys("mode:run clear");
    EXPECT_EQ(m->E().v, 7); // the number shown before the keyed one
    EXPECT_FALSE(m.keys("10 exp 99 startStop")->running());
    EXPECT_TRUE(m->error());

    // Only numbers out of range change: a keyed -0 stays -0.
    Machine big(Model::orbis412);
    EXPECT_EQ(big.keys("0 chs store 0 7")->registers()[7].v, 0);
    EXPECT_TRUE(std::signbit(big->registers()[7].v));
}

TEST(Arithmetic, PowersAndTheirFailures) {
    EXPECT_TRUE(failsWith("0 ^ 0 ="));
    EXPECT_TRUE(failsWith("0 ^ 2 chs ="));
    EXPECT_EQ(resultOf("0 ^ 2 ="), 0);
    EXPECT_EQ(resultOf("2 chs ^ 3 ="), -8);
    EXPECT_EQ(resultOf("2 chs ^ 2 ="), 4);
    EXPECT_EQ(resultOf("2 chs ^ 2 chs ="), 0.25);
    EXPECT_TRUE(failsWith("2 chs ^ 0.5 ="));
    EXPECT_EQ(resultOf("2 ^ 0.5 ="), 1.414213562373);
}

TEST(Arithmetic, ParenthesesAreLimitedToFour) {
    Machine m;
    EXPECT_FALSE(m.keys("( ( ( (")->error());
    EXPECT_EQ(m->parenLevel(), 4);
    EXPECT_TRUE(m.keys("(")->error());
    EXPECT_EQ(m->parenLevel(), 4);
    EXPECT_TRUE(failsWith(")"));
    EXPECT_TRUE(failsWith("( 1 )  )"));
}

TEST(Arithmetic, DivisionByZeroAndLeavingTheErrorState) {
    Machine m;
    ASSERT_TRUE(m.keys("7 / 0 =")->error());
    EXPECT_EQ(m->tape().back().text, "ERROR");
    EXPECT_TRUE(m->tape().back().red);
    EXPECT_FALSE(m.keys("clear")->error());
    EXPECT_EQ(m.display(), "0.0000");
    ASSERT_TRUE(m->operationPending()); // CLEAR keeps the pending division
    EXPECT_EQ(m.keys("2 =")->E().v, 3.5);

    EXPECT_FALSE(m.keys("8 / 0 = reset")->error());
    EXPECT_FALSE(m->operationPending());
    EXPECT_EQ(m.display(), "0.0000");
    EXPECT_EQ(m.keys("4 =")->E().v, 4);
}

TEST(Arithmetic, ClearRestoresTheNumberShownWhenTheErrorCame) {
    Machine m;
    ASSERT_TRUE(m.keys("5 + 1 exp 99 * 10 +")->error());
    EXPECT_EQ(m.keys("clear")->E().v, 10);
    m.keys("clear");
    EXPECT_EQ(m->E().v, 0); // outside the error state CLEAR zeroes
    EXPECT_TRUE(m->operationPending());
}

TEST(Arithmetic, RoundingToThirteenDigits) {
    EXPECT_EQ(r13(0.1 + 0.2), 0.3);
    EXPECT_EQ(r13(2.0 / 3.0), 0.6666666666667);
    EXPECT_EQ(r13(123456789012345.0), 123456789012300.0);
    EXPECT_EQ(r13(-1.23456789012345e-50), -1.234567890123e-50);
    EXPECT_EQ(r13(9999999999999.5), 10000000000000.0);
    EXPECT_EQ(checked(1e-100), 0);
    EXPECT_THROW(checked(1e100), CalcError);
    EXPECT_THROW(checked(-1e100), CalcError);
    EXPECT_EQ(checked(-9.999999999999e99), -9.999999999999e99);
}

TEST(Arithmetic, FractionAndIntegerParts) {
    Machine m;
    EXPECT_EQ(m.keys("2.75 chs f 5")->E().v, -0.75);
    EXPECT_EQ(m.keys("2.75 chs f 6")->E().v, -2);
}

TEST(Arithmetic, RoundingAndTheRangeAtTheirEdges) {
    // A whole number of 14 digits is rounded to 13 like any other.
    EXPECT_EQ(resultOf("9999999999999 + 9999999999999 ="), 2e13);
    EXPECT_EQ(resultOf("1234567890123 * 10 + 7 ="), 12345678901240.0);
    // 1e-99 is the smallest magnitude kept; below it a result is 0.
    EXPECT_EQ(resultOf("1 exp chs 98 / 10 ="), 1e-99);
    EXPECT_EQ(resultOf("1 exp chs 99 ="), 1e-99);
    EXPECT_EQ(resultOf("1 exp chs 99 / 10 ="), 0);
}
