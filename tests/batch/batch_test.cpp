// SPDX-License-Identifier: GPL-3.0-or-later
// End-to-end tests of the real binary's batch mode, as a script would use it:
// no display server, a private data and settings folder.
#include "runner.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

using namespace vx::test;

class Batch : public vx::test::BatchHome {};

} // namespace

TEST_F(Batch, JsonOutputIsTheWholeMachineAfterTheRun) {
    EXPECT_EQ(
        run({"--play", "5 store 3 mode:load sin mode:run 1 chs printKey", "--json"}),
        shows(
            "{\"model\": \"410\", \"display\": \"          -1.0000\", \"error\": false, \"running\": false, "
            "\"pc\": 2, \"steps\": 0, \"originalSeconds\": 0,\n"
            " \"registers\": [0, 0, 0, 5, 0, 0, 0, 0, 0, 0, 0, 0],\n"
            " \"program\": [56],\n"
            " \"tape\": [\n"
            "  {\"text\": \"5.0000\", \"symbol\": \"ST 3\", \"red\": false, \"left\": false, "
            "\"printed\": \"      5.0000 ST 3\"},\n"
            "  {\"text\": \"·001  070  S\", \"symbol\": \"\", \"red\": true, \"left\": true, "
            "\"printed\": \"·001  070  S\"},\n"
            "  {\"text\": \"-1.0000\", \"symbol\": \"\", \"red\": true, \"left\": false, "
            "\"printed\": \"     -1.0000\"}]}\n"));
    // The error state, the large model's 44 registers and the counter after a step keyed in.
    std::string registers;
    for (int i = 0; i < 44; ++i) registers += i ? ", 0" : "0";
    EXPECT_EQ(
        run({"--play", "mode:load 7 mode:run 1 / 0 =", "--model", "412", "--json"}),
        shows("{\"model\": \"412\", \"display\": \"      E-----    \", \"error\": true, \"running\": false, "
              "\"pc\": 2, \"steps\": 0, \"originalSeconds\": 0,\n"
              " \"registers\": [" +
              registers +
              "],\n"
              " \"program\": [7],\n"
              " \"tape\": [\n"
              "  {\"text\": \"·001  007  7\", \"symbol\": \"\", \"red\": true, \"left\": true, "
              "\"printed\": \"·001  007  7\"},\n"
              "  {\"text\": \"1.0000\", \"symbol\": \"÷\", \"red\": false, \"left\": false, "
              "\"printed\": \"      1.0000 ÷\"},\n"
              "  {\"text\": \"0.0000\", \"symbol\": \"=\", \"red\": false, \"left\": false, "
              "\"printed\": \"      0.0000 =\"},\n"
              "  {\"text\": \"ERROR\", \"symbol\": \"\", \"red\": true, \"left\": false, "
              "\"printed\": \"       ERROR\"}]}\n"));
}

// The history's words: each waits, then acts; the tape comes out as it is at the end.
TEST_F(Batch, TheHistorysWordsTakeBackRedoAndWalkTheLastRun) {
    const fs::path lib = library("PROGRAM 1\nLABEL 1\nSTOP\nX^2\nPRINT\nJUMP\n1\nEND\n");
    const auto play = [&](const std::string& script) {
        const Result r = run({"--library", lib.string(), "--program", "1", "--play", script});
        EXPECT_EQ(r.status, 0) << r.err;
        return r.out;
    };
    const std::string twice = "startStop wait 7 startStop wait 3 startStop";
    // Back over STOP, LABEL, JUMP and PRINT: the 9's line goes; forward again, it comes back.
    const std::string back = " historyBack historyBack historyBack historyBack";
    EXPECT_EQ(play(twice + back), "     49.0000\n           9.0000\n");
    EXPECT_EQ(play(twice + back + " historyForward historyForward historyForward historyForward"),
              "     49.0000\n      9.0000\n           9.0000\n");
    // Undo takes the second run and the 3 keyed for it back; redo brings the 3.
    EXPECT_EQ(play(twice + " undo undo redo"), "     49.0000\n           3.0000\n");
}

TEST_F(Batch, AnEndlessLoopStopsAtTheTimeLimit) {
    fs::path lib = library("PROGRAM 1\nLABEL 1\nPRINT\nJUMP\n1\nEND\n");
    Result r = run(
        {"--library", lib.string(), "--program", "1", "--play", "startStop", "--time-limit", "10", "--json"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"running\": true"), std::string::npos) << r.out;
    // two lines a second for ten seconds, and the one printed at the limit itself
    std::size_t lines = 0;
    for (std::size_t at = r.out.find("\"printed\""); at != std::string::npos;
         at = r.out.find("\"printed\"", at + 1))
        ++lines;
    EXPECT_EQ(lines, 21u);
}

TEST_F(Batch, BadScriptsAndOptionsSayWhatIsWrong) {
    const fs::path lib = library("PROGRAM 1\nNAME Kaputt\nFOO\nEND\n");
    const std::pair<std::vector<std::string>, std::string> refusals[] = {
        {{"--play", "1 + zwei ="}, "unbekanntes Wort „zwei“ an Stelle 3 des Skripts"},
        {{"--play", "1", "--model", "411"}, "unbekanntes Modell „411“ (410 oder 412)"},
        {{"--play", "1", "--program", "x"}, "--program braucht eine Programmnummer, nicht „x“"},
        {{"--play"}, "zu --play fehlt der Wert"},
        {{"--frobnicate"}, "unbekannte Option „--frobnicate“ (veltranix --help)"},
        {{"--play", "1", "--time-limit", "-3"}, "--time-limit braucht Sekunden, nicht „-3“"},
        {{"--play", "1", "--program", "1"}, "Programm 1 steht nicht in der Bibliothek"},
        {{"--library", lib.string(), "--program", "1", "--play", "1"},
         "Programm 1 ist fehlerhaft: Schritt 1: „FOO“ unbekannt"},
        {{"--library", lib.string(), "--program", "4", "--play", "1"},
         "Programm 4 steht nicht in der Bibliothek"}};
    for (const auto& [args, message] : refusals) EXPECT_EQ(run(args), refused(message));
}

TEST_F(Batch, ListingALibrary) {
    fs::path lib = library(
        "VELTRANIX 410\nPROGRAM 1\nNAME Gut\nSIN\nCOS\nEND\nPROGRAM 3\nNAME Zins\n001  FOO\n002  SIN\nEND\n");
    EXPECT_EQ(run({"--list", "--library", lib.string()}),
              shows("1  Gut\n3  Zins  (Schritt 1: „FOO“ unbekannt)\n"));
    EXPECT_EQ(
        run({"--list", "--library", lib.string(), "--json"}).out,
        "[{\"number\": 1, \"name\": \"Gut\", \"steps\": 2, \"error\": null},\n"
        " {\"number\": 3, \"name\": \"Zins\", \"steps\": 2, \"error\": \"Schritt 1: „FOO“ unbekannt\"}]\n");
    EXPECT_EQ(run({"--list"}), shows(""));
}

TEST_F(Batch, ALibraryThatIsNoFileIsRefusedInOneLine) {
    // Which files may be read is the file layer's rule; here a FIFO, which
    // would block a careless reader, stands for all of them.
    const fs::path fifo = home / "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    for (auto args :
         std::vector<std::vector<std::string>>{{"--list", "--library", fifo.string()},
                                               {"--play", "1", "--program", "1", "--library", fifo.string()}})
        EXPECT_EQ(run(args), refused("die Bibliothek „" + fifo.string() + "“ ist keine Datei"));
}

// A sum prints the tape and the display, and a run remembers and writes nothing.
TEST_F(Batch, TheTimeLimitStaysWhereTheClockIsExact) {
    EXPECT_EQ(run({"--play", "12 + 3 =", "--time-limit", "9000000000"}),
              shows("     12.0000 +\n      3.0000 =\n     15.0000\n          15.0000\n"));
    EXPECT_FALSE(fs::exists(home / "config"));
    EXPECT_FALSE(fs::exists(home / "data"));
    for (const std::string too : {"9000000000.5", "1e10", "1e300"})
        EXPECT_EQ(run({"--play", "1", "--time-limit", too}),
                  refused("--time-limit darf höchstens 9000000000 Sekunden sein, nicht „" + too + "“"));
}

TEST_F(Batch, OutputThatCannotBeWrittenIsAFailure) {
    EXPECT_EQ(run({"--play", "12 + 3 ="}, ">/dev/full"),
              refused("Ausgabe fehlgeschlagen: kein Platz mehr auf dem Datenträger", 1));
    Result closed = run({"--list", "--json"}, ">&-");
    EXPECT_EQ(closed.status, 1);
    EXPECT_EQ(closed.err.rfind("veltranix: Ausgabe fehlgeschlagen: ", 0), 0u) << closed.err;
}

TEST_F(Batch, WordsQuotedInMessagesAreCutAndEscaped) {
    const std::string token = "\x1b[31mrot" + std::string(100, 'x');
    EXPECT_EQ(run({"--play", "1 " + token}), refused("unbekanntes Wort „\\x1b[31mrot" + std::string(32, 'x') +
                                                     "…“ an Stelle 2 des Skripts"));
    EXPECT_EQ(run({"--play", "1", "--model", "ä\tö"}), refused("unbekanntes Modell „ä\\tö“ (410 oder 412)"));
    fs::path lib = library("PROGRAM 1\nNAME Glocke\x07\nSIN\nEND\n");
    EXPECT_EQ(run({"--list", "--library", lib.string()}), shows("1  Glocke\\x07\n"));
}

TEST_F(Batch, AScriptFromAFileOrStandardInput) {
    const fs::path script = home / "summe.txt";
    std::ofstream(script) << "12 +\n  3\n=\n";
    EXPECT_EQ(run({"--script", script.string()}),
              shows("     12.0000 +\n      3.0000 =\n     15.0000\n          15.0000\n"));
    Result piped = run({"--script", "-", "--json"}, "<" + quote(script.string()));
    EXPECT_EQ(piped.status, 0) << piped.err;
    EXPECT_EQ(piped.out.substr(0, piped.out.find(',')), "{\"model\": \"410\"");
    EXPECT_NE(piped.out.find(
                  ", \"display\": \"          15.0000\", \"error\": false, \"running\": false, \"pc\": 1,"),
              std::string::npos)
        << piped.out;

    std::ofstream(script) << "12 +\n\tä 3 zwei\n";
    EXPECT_EQ(run({"--script", script.string()}), refused("unbekanntes Wort „ä“ in Zeile 2, Spalte 2"));
    EXPECT_EQ(run({"--script", (home / "nirgends").string()}),
              refused("das Skript „" + (home / "nirgends").string() + "“ ist nicht lesbar: nicht gefunden"));
    EXPECT_EQ(run({"--script", script.string(), "--play", "1"}),
              refused("--play und --script schließen sich aus"));
}

namespace {

std::vector<std::string> linesOf(const std::string& text, bool squeeze) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (squeeze) {
            // pdftotext places words, not columns: compare the words.
            std::istringstream words(line);
            std::string word, joined;
            while (words >> word) joined += (joined.empty() ? "" : " ") + word;
            line = joined;
        }
        if (!squeeze || !line.empty()) lines.push_back(line);
    }
    return lines;
}

} // namespace

TEST_F(Batch, TheTapeWrittenToAFileInEachFormat) {
    // Black and red lines, a symbol, and the printer's exponent form.
    const std::string script = "12 + 3 = 5 chs printKey 1 exp 10 printKey 4 / 8 =";
    Result plain = run({"--play", script});
    ASSERT_EQ(plain.status, 0);
    std::vector<std::string> printed = linesOf(plain.out, false);
    printed.pop_back(); // the display
    const std::vector<bool> red = {false, false, false, true, false, false, false, false};
    ASSERT_EQ(printed.size(), red.size());

    Result text = run({"--play", script, "--tape", (home / "streifen.txt").string()});
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(text.out, plain.out); // the usual output as well
    EXPECT_EQ(linesOf(slurp(home / "streifen.txt"), false), printed);

    Result png = run({"--play", script, "--tape", (home / "streifen.png").string()});
    EXPECT_EQ(png.status, 0) << png.err;
    EXPECT_EQ(slurp(home / "streifen.png").substr(0, 8), "\x89PNG\r\n\x1a\n");

    Result pdf = run({"--play", script, "--tape", (home / "streifen.pdf").string()});
    EXPECT_EQ(pdf.status, 0) << pdf.err;
    EXPECT_EQ(slurp(home / "streifen.pdf").substr(0, 5), "%PDF-");
    if (std::system("command -v pdftotext >/dev/null && command -v pdftoppm >/dev/null") != 0)
        GTEST_SKIP() << "pdftotext and pdftoppm (poppler-utils) are needed to read the PDF";
    const std::string pdfPath = quote((home / "streifen.pdf").string());
    ASSERT_EQ(
        std::system(("pdftotext -layout " + pdfPath + " " + quote((home / "pdf.txt").string())).c_str()), 0);
    std::vector<std::string> expected = linesOf(text.out, true);
    expected.pop_back();
    std::vector<std::string> read = linesOf(slurp(home / "pdf.txt"), true);
    ASSERT_FALSE(read.empty());
    EXPECT_EQ(read.back(), "Seite 1 von 1");
    read.pop_back();
    EXPECT_EQ(read, expected);

    // Red ink exactly on the red lines: 1 pixel a point, line n in the 13 points below 36 + 13 n.
    ASSERT_EQ(std::system(
                  ("pdftoppm -r 72 -singlefile " + pdfPath + " " + quote((home / "page").string())).c_str()),
              0);
    const std::string ppm = slurp(home / "page.ppm");
    std::istringstream header(ppm);
    std::string magic;
    int width = 0, height = 0, maxValue = 0;
    header >> magic >> width >> height >> maxValue;
    ASSERT_EQ(magic, "P6");
    const std::size_t pixels = ppm.size() - static_cast<std::size_t>(width) * height * 3;
    for (std::size_t line = 0; line < red.size(); ++line) {
        int reddish = 0;
        for (int y = 36 + 13 * static_cast<int>(line) + 1; y < 36 + 13 * static_cast<int>(line) + 13; ++y)
            for (int x = 0; x < width; ++x) {
                const auto* p = reinterpret_cast<const unsigned char*>(
                    ppm.data() + pixels + (static_cast<std::size_t>(y) * width + x) * 3);
                if (p[0] > 140 && p[1] < 90 && p[2] < 90) ++reddish;
            }
        EXPECT_EQ(reddish > 0, red[line]) << "line " << line << ": " << printed[line];
    }
}

TEST_F(Batch, ATapeFileThatCannotBeWrittenIsRefusedBeforeTheRun) {
    for (const std::string& bad :
         {(home / "streifen.doc").string(), (home / "fehlt" / "streifen.pdf").string(),
          std::string("/proc/streifen.txt")}) {
        Result r = run({"--play", "12 + 3 =", "--tape", bad});
        EXPECT_EQ(r.status, 2) << bad;
        EXPECT_EQ(r.out, "") << bad;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
    Result list = run({"--list", "--tape", (home / "x.txt").string()});
    EXPECT_EQ(list.status, 2);
}

TEST_F(Batch, TheManualPageAndTheHelpNameTheSameOptions) {
    auto options = [](std::string text) {
        // roff writes a hyphen as "\-".
        for (std::size_t at; (at = text.find("\\-")) != std::string::npos;) text.replace(at, 2, "-");
        std::set<std::string> found;
        for (std::size_t at = 0; (at = text.find('-', at)) != std::string::npos; ++at) {
            const bool starts = at == 0 || std::string(" [(,|\t\n").find(text[at - 1]) != std::string::npos;
            std::size_t end = at + 1;
            if (end < text.size() && text[end] == '-') ++end;
            const std::size_t nameStart = end;
            while (end < text.size() &&
                   (std::islower(static_cast<unsigned char>(text[end])) || text[end] == '-'))
                ++end;
            if (starts && end > nameStart && text[end - 1] != '-' &&
                (nameStart == at + 2 || end - nameStart == 1))
                found.insert(text.substr(at, end - at));
        }
        return found;
    };
    Result help = run({"--help"});
    ASSERT_EQ(help.status, 0);
    // The help's script words (mode:load ...) have no dash; its options do.
    const std::set<std::string> inHelp = options(help.out);
    const std::set<std::string> inPage = options(slurp(fs::path(SOURCE_DIR) / "docs" / "veltranix.1"));
    EXPECT_EQ(inHelp, inPage);
    EXPECT_TRUE(inHelp.count("--version") && inHelp.count("--tape") && inHelp.count("--script") &&
                inHelp.count("-h"));
    for (const char* word : {"startStop", "mode:load", "Beispiel"}) // the script's words and an example
        EXPECT_NE(help.out.find(word), std::string::npos) << word;
    EXPECT_EQ(run({"--version"}), shows("Veltranix " VX_VERSION "\n"));
}

TEST_F(Batch, NoDisplayServerIsNeededForASnapshotAndNamedForTheWindow) {
    // No display, one that does not exist, and one set but empty.
    for (const std::string display : {"-u DISPLAY", "DISPLAY=:99", "DISPLAY="}) {
        const fs::path out = home / "snap.png";
        fs::remove(out);
        EXPECT_EQ(run({"--snapshot", out.string(), "12+3="}, "", display), shows("")) << display;
        EXPECT_EQ(slurp(out).substr(0, 8), "\x89PNG\r\n\x1a\n") << display;
    }
    std::ofstream(home / "plain") << "x";
    const std::string bad = (home / "plain" / "out.png").string();
    EXPECT_EQ(run({"--snapshot", bad}), refused("das Bild kann nicht nach „" + bad +
                                                "“ geschrieben werden: ein Teil des Pfads ist kein Ordner"));
    // "--snapshot" without a path starts the window, which says why it cannot open.
    const Result window = run({"--snapshot"}, "", "DISPLAY=:99");
    EXPECT_EQ(window.status, 1);
    const std::string& said = window.err;
    const std::string first =
        "veltranix: Das Fenster lässt sich nicht öffnen: kein Bildschirm erreichbar (:99).\n"
        "veltranix: versuchte Plattform: xcb (von Qt gewählt); Qt meldet: ";
    EXPECT_EQ(said.substr(0, first.size()), first);
    EXPECT_NE(said.find("could not connect to display :99"), std::string::npos) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 2) << said;

    // A platform asked for by name is the one named, with its own display variable.
    const Result wayland = run({}, "", "-u DISPLAY QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=nirgends");
    EXPECT_EQ(wayland.status, 1);
    const std::string& waylandSaid = wayland.err;
    EXPECT_EQ(waylandSaid.substr(0, waylandSaid.find('\n')),
              "veltranix: Das Fenster lässt sich nicht öffnen: kein Bildschirm erreichbar (nirgends).");
    EXPECT_NE(waylandSaid.find("versuchte Plattform: wayland (aus QT_QPA_PLATFORM); Qt meldet: "),
              std::string::npos)
        << waylandSaid;
}
