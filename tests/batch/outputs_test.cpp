// SPDX-License-Identifier: GPL-3.0-or-later
// What the batch mode and the snapshot write: never onto what the run reads,
// never onto a device, a FIFO or a folder, whole or not at all, under the
// name given byte for byte; and runs that end when their output is gone or
// their kept tape grows past its bound.
#include "runner.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

using namespace vx::test;

class Outputs : public BatchHome {};

Result refusal(const std::string& what, const fs::path& path, const std::string& why, int status = 2) {
    return refused(what + " kann nicht nach „" + path.string() + "“ geschrieben werden: " + why, status);
}
const std::string reads = "ist eine Datei, die Veltranix liest (Bibliothek, Skript, Zustand, Einstellungen)";

const char* const stopProgram = "VELTRANIX 410\n\nPROGRAM 1\nNAME Halt\n\n001  LABEL 1\n002  STOP\n\nEND\n";

} // namespace

TEST_F(Outputs, NoOutputReplacesAFileTheRunReads) {
    const fs::path lib = library(stopProgram);
    const fs::path script = home / "s.txt";
    std::ofstream(script) << "1 + 2 =";
    fs::create_symlink(lib, home / "link.txt");
    // The same file under another spelling (the file layer knows them all).
    EXPECT_EQ(run({"--library", lib.string(), "--program", "1", "--play", "startStop", "--tape",
                   (home / "link.txt").string()}),
              refusal("der Papierstreifen", home / "link.txt", reads));
    EXPECT_EQ(run({"--script", script.string(), "--tape", script.string()}),
              refusal("der Papierstreifen", script, reads));
    EXPECT_EQ(run({"--library", lib.string(), "--play", "1", "--save-state", lib.string()}),
              refusal("der Zustand", lib, reads));
    EXPECT_EQ(slurp(lib), stopProgram);
    EXPECT_EQ(slurp(script), "1 + 2 =");

    // The user's own library and settings, though this run reads neither.
    const fs::path own = home / "data" / "Veltranix 410" / "Veltranix410Programs.txt";
    fs::create_directories(own.parent_path());
    std::ofstream(own) << stopProgram;
    EXPECT_EQ(run({"--snapshot", own.string(), "1+2="}), refusal("das Bild", own, reads));
    EXPECT_EQ(run({"--play", "1 + 2 =", "--tape", own.string()}), refusal("der Papierstreifen", own, reads));
    EXPECT_EQ(slurp(own), stopProgram);
    const fs::path settings = home / "config" / "Veltranix" / "Veltranix.conf";
    fs::create_directories(settings.parent_path());
    std::ofstream(settings) << "[General]\ntempo=fast\n";
    fs::create_symlink(settings, home / "einstellungen.txt");
    EXPECT_EQ(run({"--play", "1 printKey", "--tape", (home / "einstellungen.txt").string()}),
              refusal("der Papierstreifen", home / "einstellungen.txt", reads));
    EXPECT_EQ(run({"--play", "1", "--save-state", settings.string()}),
              refusal("der Zustand", settings, reads));
    EXPECT_EQ(slurp(settings), "[General]\ntempo=fast\n");
}

TEST_F(Outputs, AFifoOrADeviceIsRefusedAndLeftAsItWas) {
    // Where a write may land is the file layer's rule; here the batch mode's
    // words for it, for the tape and the picture.
    const fs::path fifo = home / "fifo.txt";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // A device made here when the test may (as root): a writer that wrongly
    // replaced it must not replace the system's own /dev/null.
    if (::mknod((home / "null.txt").c_str(), S_IFCHR | 0666, ::makedev(1, 3)) != 0)
        fs::create_symlink("/dev/null", home / "null.txt");
    EXPECT_EQ(run({"--play", "12 + 3 =", "--tape", fifo.string()}),
              refusal("der Papierstreifen", fifo, "ist eine Pipe (FIFO), keine Datei"));
    EXPECT_EQ(run({"--snapshot", (home / "null.txt").string()}),
              refusal("das Bild", home / "null.txt", "ist ein Gerät, keine Datei"));
    struct stat info {};
    EXPECT_TRUE(::stat(fifo.c_str(), &info) == 0 && S_ISFIFO(info.st_mode));
    EXPECT_TRUE(::stat((home / "null.txt").c_str(), &info) == 0 && S_ISCHR(info.st_mode));
}

TEST_F(Outputs, AFailedSnapshotKeepsThePictureThatWasThere) {
    if (::geteuid() != 0) GTEST_SKIP() << "a small tmpfs for the full disk needs root";
    const fs::path disk = home / "disk";
    fs::create_directories(disk);
    if (::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=256k") != 0)
        GTEST_SKIP() << "this machine does not let the test mount a tmpfs";
    struct Unmount {
        fs::path path;
        ~Unmount() { ::umount(path.c_str()); }
    } unmount{disk};
    const fs::path picture = disk / "panel.png";
    ASSERT_EQ(run({"--snapshot", picture.string(), "12+3="}).status, 0);
    const std::string before = slurp(picture);
    {
        std::ofstream filler(disk / "filler", std::ios::binary);
        const std::string block(4096, 'x');
        while (filler.write(block.data(), block.size())) filler.flush();
    }
    EXPECT_EQ(run({"--snapshot", picture.string(), "99*99="}),
              refusal("das Bild", picture, "kein Platz mehr auf dem Datenträger", 1));
    EXPECT_EQ(slurp(picture), before);
    EXPECT_EQ(run({"--play", "12 + 3 =", "--tape", (disk / "t.txt").string()}).status, 1);
    EXPECT_FALSE(fs::exists(disk / "t.txt"));
}

TEST_F(Outputs, NamesThatAreNotUtf8AreUsedByteForByte) {
    const fs::path tape = home / "tape\xe4.txt";
    EXPECT_EQ(run({"--play", "12 + 3 =", "--tape", tape.string()}).err, "");
    EXPECT_EQ(slurp(tape), "     12.0000 +\n      3.0000 =\n     15.0000\n");
    const fs::path lib = home / "bib\xe4.txt";
    std::ofstream(lib) << stopProgram;
    EXPECT_EQ(run({"--list", "--library", lib.string()}), shows("1  Halt\n"));
    const fs::path picture = home / "bild\xe4.png";
    EXPECT_EQ(run({"--snapshot", picture.string()}).status, 0);
    EXPECT_EQ(slurp(picture).substr(0, 4), "\x89PNG");
    // A message shows such a byte escaped.
    EXPECT_EQ(run({"--list", "--library", (home / "fehlt\xe4.txt").string()}),
              refused("die Bibliothek „" + home.string() + "/fehlt\\xe4.txt“ gibt es nicht"));
}

TEST_F(Outputs, AKeptTapeHasABoundAStreamedOneHasNone) {
    const fs::path lib = library("PROGRAM 1\nLABEL 1\nPRINT\nJUMP\n1\nEND\n");
    // Two lines a second: 600,000 seconds print well over a million lines.
    EXPECT_EQ(
        run({"--library", lib.string(), "--program", "1", "--play", "startStop", "--time-limit", "600000",
             "--json"}),
        refused("der Papierstreifen wurde länger als 1000000 Zeilen; der Lauf ist abgebrochen (ohne --json, "
                "--tape und --save-state wird er fortlaufend ausgegeben, ohne Grenze)",
                1));
    // Streamed, the same run keeps nothing and may print on; a reader that
    // stops reading ends it at once.
    const auto start = std::chrono::steady_clock::now();
    Result closed = run(
        {"--library", lib.string(), "--program", "1", "--play", "startStop", "--time-limit", "9000000000"},
        "| head -c 10 >/dev/null");
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 20.0) << "a closed pipe must end the run";
    EXPECT_EQ(closed.err, "veltranix: Ausgabe fehlgeschlagen: die Ausgabe wurde geschlossen\n");
}

TEST_F(Outputs, EveryMisuseIsRefusedWithStatusTwo) {
    const fs::path lib = library(stopProgram);
    const std::pair<std::vector<std::string>, std::string> refusals[] = {
        {{"--play", "1", "--library", (home / "nirgends.txt").string()},
         "die Bibliothek „" + (home / "nirgends.txt").string() + "“ gibt es nicht"},
        {{"--list", "--program", "1"}, "--program gehört zu --play oder --script"},
        {{"--list", "--save-state", "x"}, "--save-state gehört zu --play oder --script"},
        {{"--snapshot", "--play", "1+2="}, "zu --snapshot fehlt der Dateiname des Bildes (veltranix --help)"},
        {{"--snapshot", (home / "out.png").string(), "--play", "x"},
         "--snapshot verträgt keine weiteren Angaben, nicht „--play“"},
        {{"--snapshot", (home / "out.png").string(), "1+2=", "--json"},
         "--snapshot verträgt keine weiteren Angaben, nicht „--json“"},
        {{"--play", "1", "--tape", (home / "a.txt").string(), "--save-state", (home / "a.txt").string()},
         "--tape und --save-state nennen dieselbe Datei „" + (home / "a.txt").string() + "“"},
        // One file under two spellings is still one file.
        {{"--play", "1", "--tape", (home / "a.txt").string(), "--save-state",
          (home / "." / "a.txt").string()},
         "--tape und --save-state nennen dieselbe Datei „" + (home / "a.txt").string() + "“"},
        {{"--play", "1", "--tape", (home / "a.txt").string(), "--save-state",
          (home / "sub" / ".." / "a.txt").string()},
         "--tape und --save-state nennen dieselbe Datei „" + (home / "a.txt").string() + "“"}};
    fs::create_directories(home / "sub");
    for (const auto& [args, message] : refusals) EXPECT_EQ(run(args), refused(message));
    EXPECT_FALSE(fs::exists(home / "out.png"));
    EXPECT_FALSE(fs::exists(fs::path(SOURCE_DIR) / "--play"));
    EXPECT_FALSE(fs::exists(home / "a.txt"));
}

TEST_F(Outputs, StandardInputIsAnInputWhateverNameLeadsToIt) {
    const fs::path script = home / "script.txt";
    std::ofstream(script) << "1 + 2 =";
    fs::create_symlink("/dev/stdin", home / "in.txt");
    const std::pair<std::vector<std::string>, Result> cases[] = {
        {{"--script", "-", "--save-state", "/dev/stdin"}, refusal("der Zustand", "/dev/stdin", reads)},
        {{"--script", "-", "--tape", (home / "in.txt").string()},
         refusal("der Papierstreifen", home / "in.txt", reads)},
        {{"--play", "1", "--tape", (home / "in.txt").string()},
         refusal("der Papierstreifen", home / "in.txt", reads)},
    };
    for (const auto& [args, refusal] : cases) EXPECT_EQ(run(args, "< " + quote(script.string())), refusal);
    EXPECT_EQ(slurp(script), "1 + 2 =");
}

TEST_F(Outputs, AHostileLockFileIsRefusedAtOnceAndNamed) {
    // The kept machine is written under a lock beside it; the locking reads
    // what stands there, so a FIFO would hang it and /dev/zero never end.
    ASSERT_EQ(::mkfifo((home / "fifo.state.lock").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", home / "zero.state.lock");
    const std::pair<std::string, std::string> cases[] = {{"fifo", "ist eine Pipe (FIFO), keine Datei"},
                                                         {"zero", "ist ein Gerät, keine Datei"}};
    for (const auto& [name, why] : cases) {
        const fs::path state = home / (name + ".state");
        const auto start = std::chrono::steady_clock::now();
        const Result r = run({"--play", "1 + 2 =", "--save-state", state.string()});
        EXPECT_EQ(r.status, 1) << name; // the run itself went well
        EXPECT_EQ(r.err,
                  refusal("der Zustand", state, "die Sperrdatei „" + state.string() + ".lock“ " + why).err);
        EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 5.0);
        EXPECT_FALSE(fs::exists(state));
    }
    // The tape and pictures take no lock: one beside them changes nothing.
    ASSERT_EQ(::mkfifo((home / "t.txt.lock").c_str(), 0600), 0);
    EXPECT_EQ(run({"--play", "1 printKey", "--tape", (home / "t.txt").string()}).status, 0);
    EXPECT_EQ(slurp(home / "t.txt"), "      1.0000\n");
}

TEST_F(Outputs, JsonIsAlwaysUtf8) {
    // A hand-edited kept tape with bytes that are not UTF-8.
    const fs::path state = home / "s.state";
    ASSERT_EQ(run({"--play", "1 printKey", "--save-state", state.string()}).status, 0);
    std::string kept = slurp(state);
    kept.replace(kept.find("\"1.0000\""), 8, "\"\xff\xc3 1\xe2\x82\xac\"");
    std::ofstream(state, std::ios::binary) << kept;
    Result json = run({"--state", state.string(), "--play", "2", "--json"});
    EXPECT_EQ(json.status, 0) << json.err;
    EXPECT_NE(json.out.find("{\"text\": \"\\u00ff\\u00c3 1\xe2\x82\xac\""), std::string::npos) << json.out;
}

TEST_F(Outputs, ANameAtTheSystemsLimitIsWritten) {
    const fs::path tape = home / (std::string(251, 'a') + ".txt"); // 255 bytes
    EXPECT_EQ(run({"--play", "1 printKey", "--tape", tape.string()}).err, "");
    EXPECT_EQ(slurp(tape), "      1.0000\n");
}
