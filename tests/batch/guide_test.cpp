// SPDX-License-Identifier: GPL-3.0-or-later
// The tape excerpts of the user guide are what the program prints: each block
// after a <!-- batch: ARGS --> line is compared with `veltranix ARGS`
// (tools/update_guide.py brings the guide up to date).
#include "runner.h"

#include <regex>

using namespace vx::test;

namespace {

std::vector<std::string> shellWords(const std::string& text) {
    std::vector<std::string> words;
    std::string word;
    bool quoted = false, any = false;
    for (char c : text) {
        if (c == '"') {
            quoted = !quoted;
            any = true;
        } else if (c == ' ' && !quoted) {
            if (any) words.push_back(word);
            word.clear();
            any = false;
        } else {
            word += c;
            any = true;
        }
    }
    if (any) words.push_back(word);
    return words;
}

class Guide : public BatchHome {};

} // namespace

TEST_F(Guide, TapeExcerptsMatchTheProgram) {
    std::istringstream guide(slurp(fs::path(SOURCE_DIR) / "docs" / "Bedienungsanleitung.md"));
    const std::regex marker(R"(^(\s*)<!-- batch: (.*) -->$)");
    std::string line;
    int excerpts = 0;
    while (std::getline(guide, line)) {
        std::smatch m;
        if (!std::regex_match(line, m, marker)) continue;
        const std::string indent = m[1], args = m[2];
        std::getline(guide, line);
        ASSERT_EQ(line, indent + "```") << args;
        std::string expected;
        while (std::getline(guide, line) && line != indent + "```")
            expected += (line.rfind(indent, 0) == 0 ? line.substr(indent.size()) : line) + "\n";
        const Result r = run(shellWords(args));
        EXPECT_EQ(r.status, 0) << args << "\n" << r.err;
        EXPECT_EQ(r.out, expected) << "the guide's excerpt for " << args
                                   << " is out of date (tools/update_guide.py)";
        ++excerpts;
    }
    EXPECT_GE(excerpts, 15);
}
