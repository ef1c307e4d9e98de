// SPDX-License-Identifier: GPL-3.0-or-later
// A machine kept with --save-state and taken up again with --state: a
// script cut in two anywhere ends exactly as the whole script does.
#include "runner.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <sys/wait.h>
#include <thread>

namespace {

using namespace vx::test;

class KeptState : public BatchHome {};

std::vector<std::string> wordsOf(const std::string& script) {
    std::istringstream in(script);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

std::string joined(const std::vector<std::string>& words, std::size_t from, std::size_t to) {
    std::string out;
    for (std::size_t i = from; i < to; ++i) out += (out.empty() ? "" : " ") + words[i];
    return out;
}

} // namespace

TEST_F(KeptState, AScriptCutInTwoEndsAsTheWholeScriptDoes) {
    const std::pair<std::string, std::string> scripts[] = {
        {"410",
         "mode:load 1 + 2 = printKey startStop mode:run jump startStop startStop wait 10 + ( 4 * 2 ) = "
         "store 3 5 sigma 2 = recall 3 setDP 2 7 dms 30 = 3 toRect 4 = mode:load fwd mode:run 1 / 0 clear"},
        {"412", "mode:load store 1 2 recall 0 5 startStop mode:run jump startStop 7 startStop wait 2 + ( 3 "
                "f sin printer:off 45 = printer:on angle:grad 100 sin store 4 3 mode:step fwd wait"}};
    for (const auto& [model, script] : scripts) {
        const std::vector<std::string> words = wordsOf(script);
        const Result whole = run({"--model", model, "--play", script, "--json"});
        ASSERT_EQ(whole.status, 0) << whole.err;
        const fs::path kept = home / "kept.state";
        for (std::size_t cut = 1; cut < words.size(); ++cut) {
            fs::remove(kept);
            const Result first =
                run({"--model", model, "--play", joined(words, 0, cut), "--save-state", kept.string()});
            ASSERT_EQ(first.status, 0) << first.err;
            const Result second =
                run({"--state", kept.string(), "--play", joined(words, cut, words.size()), "--json"});
            ASSERT_EQ(second.status, 0) << second.err;
            EXPECT_EQ(second.out, whole.out) << "cut before word " << cut << " („" << words[cut] << "“)";
        }
    }
}

TEST_F(KeptState, TheTextOutputShowsOnlyWhatThisRunPrinted) {
    const fs::path kept = home / "kept.state";
    ASSERT_EQ(run({"--play", "5 + ( 3", "--save-state", kept.string()}).status, 0);
    EXPECT_EQ(run({"--state", kept.string(), "--play", "4 ) ="}),
              shows("     34.0000 ) 1\n     34.0000 =\n     39.0000\n          39.0000\n"));
}

TEST_F(KeptState, WritersAtOnceLeaveOneWholeFile) {
    const fs::path kept = home / "kept.state";
    for (int round = 0; round < 10; ++round) {
        std::vector<std::thread> writers;
        for (int w = 0; w < 3; ++w)
            writers.emplace_back([this, w, &kept] {
                run({"--play", std::to_string(w + 1) + " + " + std::string(40, '7') + " =", "--save-state",
                     kept.string()});
            });
        for (auto& t : writers) t.join();
        const Result read = run({"--state", kept.string(), "--play", "=", "--json"});
        ASSERT_EQ(read.status, 0) << "round " << round << ": " << read.err;
    }
    // No lock or half-written file is left behind.
    const std::set<fs::path> allowed = {"kept.state", "kept.state.lock", "stderr", "config", "data"};
    for (const auto& entry : fs::directory_iterator(home))
        EXPECT_TRUE(allowed.count(entry.path().filename())) << entry.path();
}

TEST_F(KeptState, AStateThatCannotBeUsedIsRefused) {
    const fs::path kept = home / "kept.state";
    ASSERT_EQ(run({"--model", "412", "--play", "1", "--save-state", kept.string()}).status, 0);
    EXPECT_EQ(run({"--state", kept.string(), "--model", "410", "--play", "1"}),
              refused("--model und --state schließen sich aus: der gespeicherte Rechner hat sein Modell"));
    // The kept model is the run's model.
    const Result model = run({"--state", kept.string(), "--play", "=", "--json"});
    EXPECT_EQ(model.out.rfind("{\"model\": \"412\"", 0), 0u) << model.out;

    std::ofstream(home / "alt.state") << "VELTRANIX ZUSTAND 0\n";
    EXPECT_EQ(
        run({"--state", (home / "alt.state").string(), "--play", "1"}),
        refused(
            "der Zustand „" + (home / "alt.state").string() +
            "“ ist nicht lesbar: die erste Zeile ist nicht „VELTRANIX ZUSTAND 1“ (eine andere Fassung?)"));
    EXPECT_EQ(run({"--state", (home / "fehlt.state").string(), "--play", "1"}),
              refused("den Zustand „" + (home / "fehlt.state").string() + "“ gibt es nicht"));
    // A state that reads but could never be: 44 registers on a 410.
    std::string text = slurp(kept);
    text.replace(text.find("model 412"), 9, "model 410");
    std::ofstream(home / "falsch.state") << text;
    EXPECT_EQ(run({"--state", (home / "falsch.state").string(), "--play", "1"}),
              refused("der Zustand „" + (home / "falsch.state").string() +
                      "“ beschreibt keinen möglichen Rechner"));
    // As every output, the kept machine never replaces a file the same run reads.
    EXPECT_EQ(
        run({"--state", kept.string(), "--play", "2 +", "--save-state", kept.string()}),
        refused("der Zustand kann nicht nach „" + kept.string() +
                "“ geschrieben werden: ist eine Datei, die Veltranix liest (Bibliothek, Skript, Zustand, "
                "Einstellungen)"));
}
