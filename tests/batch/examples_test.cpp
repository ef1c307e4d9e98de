// SPDX-License-Identifier: GPL-3.0-or-later
// The example programs shipped with the calculator give their documented
// results, on both models.
#include "runner.h"

using namespace vx::test;

namespace {

class Examples : public BatchHome, public ::testing::WithParamInterface<const char*> {
  protected:
    std::string play(int program, const std::string& script) {
        const std::string model = GetParam();
        const Result r = run({"--model", model, "--library", "examples/Veltranix" + model + "Programs.txt",
                              "--program", std::to_string(program), "--play", script});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, "");
        return r.out;
    }
};

} // namespace

TEST_P(Examples, CompoundInterest) {
    EXPECT_EQ(play(1, "startStop wait 1000 startStop wait 5 startStop wait 10 startStop"),
              "  1,628.8946\n        1,628.8946\n");
}

TEST_P(Examples, QuadraticEquation) {
    EXPECT_EQ(play(2, "startStop wait 1 startStop wait 3 chs startStop wait 2 startStop"),
              "      2.0000\n      1.0000\n           1.0000\n");
    EXPECT_EQ(play(2, "startStop wait 2 startStop wait 1 startStop wait 1 startStop"),
              "       ERROR\n      E-----    \n");
}

TEST_P(Examples, MeanAndDeviation) {
    std::string script = "startStop wait";
    for (const char* x : {"2", "4", "4", "4", "5", "5", "7", "9"})
        script += std::string(" ") + x + " startStop wait";
    EXPECT_EQ(play(3, script + " startStop"), "      5.0000\n      2.1380\n           2.1380\n");
}

TEST_P(Examples, AngleTable) {
    const std::string out = play(4, "startStop");
    EXPECT_EQ(out.substr(0, 13), "      0.0000\n");
    EXPECT_NE(out.find("     90.0000\n      1.5707\n"), std::string::npos) << out;
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 22);
}

TEST_P(Examples, Factorials) {
    EXPECT_EQ(play(5, "startStop"),
              "      1.0000\n      2.0000\n      6.0000\n     24.0000\n    120.0000\n    720.0000\n"
              "  5,040.0000\n 40,320.0000\n362,880.0000\n3,628,800.00\n           0.0000\n");
}

TEST_P(Examples, CircleBySubroutines) {
    EXPECT_EQ(play(6, "startStop wait 3 startStop wait 1 startStop"),
              "     28.2743\n     18.8495\n            \n      3.1415\n      6.2831\n            \n          "
              " 6.2831\n");
}

INSTANTIATE_TEST_SUITE_P(BothModels, Examples, ::testing::Values("410", "412"));
