// SPDX-License-Identifier: GPL-3.0-or-later
// The kept machine: written as text and read back, every field returns, and
// the next key does in the restored machine what it does in the original.
#include "storage/StateFile.h"
#include "tests/machine/support.h"

#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <random>

using namespace vx;
using vx::test::Machine;

namespace {

// Line identities come from each machine's own random source; all else must agree.
MachineState withoutLineIds(MachineState s) {
    std::vector<TapeLine> lines(s.paper.tape.begin(), s.paper.tape.end());
    for (TapeLine& l : lines) l.id = 0;
    s.paper.tape = Tape(std::move(lines));
    return s;
}

// One random event: mostly keys, sometimes a switch.
void event(Engine& e, std::mt19937& rng, const std::vector<Key>& keys) {
    const int what = static_cast<int>(rng() % 100);
    if (what < 85)
        e.press(keys[rng() % keys.size()]);
    else if (what < 91)
        e.setMode(static_cast<Mode>(rng() % 3));
    else if (what < 94)
        e.setPrinterOn(rng() % 2);
    else if (what < 96)
        e.setGradMode(rng() % 2);
    else if (what < 98)
        e.setTapeWritesProgram(rng() % 2);
    else
        e.setPower(rng() % 4 != 0);
}

// The state through its text into a fresh machine of the other model, which
// takes it back whole.
void restoreInto(Machine& restored, const Machine& original) {
    const MachineState state = original.engine->state();
    const QByteArray text = StateFile::format(state);
    const StateFile::Parsed parsed = StateFile::parse(text);
    ASSERT_TRUE(parsed.state) << parsed.problem.toStdString() << "\n" << text.toStdString();
    ASSERT_EQ(*parsed.state, state) << text.toStdString();
    ASSERT_TRUE(restored->restore(*parsed.state));
    ASSERT_EQ(restored->state(), state);
    EXPECT_EQ(restored->cells(), original.engine->cells());
}
Model other(Model model) {
    return model == Model::orbis410 ? Model::orbis412 : Model::orbis410;
}

} // namespace

TEST(StateFile, EachPartOfACalculationInProgressComesBack) {
    // Each stops in the middle of something the next key depends on.
    const std::pair<std::string, std::string> cases[] = {
        {"12.5 exp 3 chs", "4 ="},                          // a number half keyed, its exponent
        {"2 + ( 3 * ( 4 -", "1 ) ) ="},                     // open parentheses with their operations
        {"3 toRect 4", "= ="},                              // a coordinate pair
        {"5 sigma 3", "="},                                 // a statistics entry and its frequency
        {"1 / 0", "clear"},                                 // the error state and the number before it
        {"f", "sin"},                                       // a pending prefix
        {"store", "7 9 recall 7"},                          // a register prefix
        {"mode:load 1 + store", "3 mode:run fwd"},          // LOAD mode, a prefix already printed
        {"setDP 2 ident 7 dms 30", "dms 15 ="},             // decimals, identification, D/M/S entry
        {"mode:load 1 jump 2 mode:step", "startStop wait"}, // a counter and a program
        {"printer:off angle:grad tape:off 30 sin", "printKey"}};
    for (Model model : allModels) {
        for (const auto& [before, after] : cases) {
            Machine original(model), restored(other(model));
            original.keys(before + " wait");
            restoreInto(restored, original);
            original.keys(after);
            restored.keys(after);
            ASSERT_EQ(withoutLineIds(restored->state()), withoutLineIds(original->state())) << before;
        }
    }
}

TEST(StateFile, EveryFieldComesBackAndTheNextKeysDoTheSame) {
    std::vector<Key> keys;
    for (const KeyRow& row : keyRows) keys.push_back(row.key);
    for (Model model : allModels) {
        Machine original(model);
        std::mt19937 rng(model == Model::orbis410 ? 1 : 2);
        for (int round = 0; round < 150; ++round) {
            for (int i = 0; i < 12; ++i) {
                event(*original, rng, keys);
                original.settle();
            }
            Machine restored(other(model));
            restoreInto(restored, original);
            if (HasFatalFailure()) return;
            // The same keys afterwards: the same machine, the same new lines.
            for (int i = 0; i < 12; ++i) {
                std::mt19937 same = rng;
                event(*original, rng, keys);
                event(*restored, same, keys);
                original.settle();
                restored.settle();
                ASSERT_EQ(withoutLineIds(restored->state()), withoutLineIds(original->state()))
                    << "model " << rawValue(model) << " round " << round << " key " << i;
            }
        }
    }
}

TEST(StateFile, AStateNoMachineCouldBeInIsRefusedWhole) {
    Machine m;
    const MachineState before = m.keys("7")->state();
    auto refused = [&](auto change) {
        MachineState bad = before;
        change(bad);
        EXPECT_FALSE(m->restore(bad));
        EXPECT_EQ(m->state(), before);
    };
    refused([](MachineState& s) { s.memory.registers.resize(44); }); // a 412's bank on a 410
    refused([](MachineState& s) { s.memory.pc = 417; });
    refused([](MachineState& s) { s.memory.returnStack.assign(7, 1); });
    refused([](MachineState& s) { s.calculation.parens.resize(5); });
    refused([](MachineState& s) { s.calculation.E = Num{1e100, false}; });
    refused([](MachineState& s) { s.calculation.entry->mant = "1.2.3"; });
    refused([](MachineState& s) { s.calculation.prefix.off = 9; });
    refused([](MachineState& s) { s.memory.program.store(1, 256); });
    // Half-keyed prefixes no key sequence leaves: each would assemble a code
    // the machine does not have (a register prefix on 255 stored code 260).
    refused([](MachineState& s) { s.calculation.prefix = Prefix::reg(255); });
    refused([](MachineState& s) { s.calculation.prefix = Prefix::reg(Codes::store, 0, true); }); // 412 only
    refused([](MachineState& s) { s.calculation.prefix = Prefix::reg(Codes::store, 0, false, 4); });
    refused([](MachineState& s) { s.calculation.prefix = Prefix::metric(Codes::store); });
    refused([](MachineState& s) { s.calculation.prefix = Prefix::cond(Codes::jump, 8); });
    refused([](MachineState& s) { s.calculation.prefix = Prefix::cond(Codes::recall, 1); });
    refused(
        [](MachineState& s) { s.calculation.prefix.kind = Prefix::Kind::f, s.calculation.prefix.base = 3; });
    // What keys do leave is taken: the 412's indirect mark and first digit.
    Machine twelve(Model::orbis412);
    MachineState half = twelve->state();
    half.calculation.prefix = Prefix::reg(Codes::exchange, 5, true, 4);
    EXPECT_TRUE(twelve->restore(half));
}

TEST(StateFile, AKeptTapeBeyondTheRollsBoundKeepsItsNewestLinesWhileItIsRead) {
    MachineState state;
    state.memory.registers.assign(12, Num::zero);
    std::string text = StateFile::format(state).toStdString();
    text.resize(text.size() - 4); // "end\n"
    const std::size_t lines = Tape::bound + 3;
    for (std::size_t i = 0; i < lines; ++i)
        text += "tape " + std::to_string(i) + " 0 0 \"" + std::to_string(i) + "\" \"\" 0\n";
    text += "end\n";
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString() + "/lang.state";
    std::ofstream(path, std::ios::binary) << text;
    const StateFile::Loaded loaded = StateFile::read(path);
    ASSERT_TRUE(loaded.state) << loaded.problem->toStdString();
    const Tape& tape = loaded.state->paper.tape;
    EXPECT_EQ(tape.size(), Tape::bound);
    EXPECT_EQ(tape[0].text, "3");
    EXPECT_EQ(tape.back().text, std::to_string(lines - 1));
    // A damaged line among those let go is still a damaged file.
    text.replace(text.find("tape 1 0 0"), 10, "tape 1 0 7");
    EXPECT_EQ(StateFile::parse(QByteArray::fromStdString(text)).problem,
              QStringLiteral("Zeile 40: „7“ ist keine ganze Zahl von 0 bis 1"));
}

TEST(StateFile, ADamagedFileSaysWhereAndWhat) {
    MachineState state;
    state.memory.registers.assign(12, Num::zero);
    const std::string good = StateFile::format(state).toStdString();
    auto problem = [](const std::string& text) {
        return StateFile::parse(QByteArray::fromStdString(text)).problem.toStdString();
    };
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string t = good;
        t.replace(t.find(from), from.size(), to);
        return t;
    };
    EXPECT_EQ(problem(""), "die Datei ist leer");
    EXPECT_EQ(problem("VELTRANIX ZUSTAND 2\n"),
              "die erste Zeile ist nicht „VELTRANIX ZUSTAND 1“ (eine andere Fassung?)");
    EXPECT_EQ(problem(good.substr(0, good.size() - 4)), "die Datei endet vor „end“ (abgeschnitten?)");
    EXPECT_EQ(problem(replaced("pc 1\n", "")), "die Angabe „pc“ fehlt");
    EXPECT_EQ(problem(replaced("pc 1\n", "pc 1\npc 2\n")), "Zeile 38: „pc“ steht zweimal da");
    EXPECT_EQ(problem(replaced("pc 1\n", "pc 999\n")), "Zeile 37: „999“ ist keine ganze Zahl von 1 bis 416");
    EXPECT_EQ(problem(replaced("dp 4\n", "dp vier\n")), "Zeile 15: „vier“ ist keine ganze Zahl von 0 bis 9");
    EXPECT_EQ(problem(replaced("mode run\n", "modus run\n")), "Zeile 6: „modus“ ist unbekannt");
    EXPECT_EQ(problem(replaced("E 0 0\n", "E 0 0 0\n")), "Zeile 10: zu viele Angaben");
    EXPECT_EQ(problem(replaced("end\n", "step 3 56\nstep 3 57\nend\n")),
              "Zeile 40: Schritt 3 steht zweimal da");
    EXPECT_EQ(problem(replaced("end\n", "tape 1 0 0 \"offen\nend\n")),
              "Zeile 39: ein Text ohne schließendes Anführungszeichen");
    EXPECT_EQ(problem(good + "pc 3\n"), "Zeile 40: nach „end“ steht noch etwas");
    // Comments, blank lines and line ends of another system are fine.
    std::string windows;
    for (char c : good) windows += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(problem("" + replaced("pc 1\n", "\n; von Hand\npc 1\n")), "");
    EXPECT_EQ(problem(windows), "");
}

TEST(StateFile, AFileBeyondItsBoundIsRefusedAndKeptAside) {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    EXPECT_TRUE(StateFile::read(folder + "/fehlt.state").missing);
    const std::string big = folder + "/gross.state";
    std::ofstream(big).close();
    std::filesystem::resize_file(big, StateFile::maxBytes + 1); // sparse: costs no disk
    EXPECT_EQ(StateFile::read(big).problem, "ist zu groß (mehr als 256 MiB)");
    const auto aside = StateFile::keepAside(big);
    ASSERT_TRUE(aside);
    EXPECT_EQ(aside->rfind(big + ".beschädigt-", 0), 0u);
    EXPECT_TRUE(StateFile::read(big).missing);
}
