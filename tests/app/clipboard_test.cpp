// SPDX-License-Identifier: GPL-3.0-or-later
// Numbers, programs and the paper strip through the clipboard.
#include "app/Clipboard.h"
#include "app/ClipboardActions.h"
#include "display/Formatter.h"
#include "fixture.h"
#include "panel/TapeExport.h"
#include "storage/UserPrograms.h"

#include <sys/stat.h>

#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

using namespace vx;
using namespace vx::test;
using namespace Qt::StringLiterals;

namespace {

const QLocale german(QLocale::German, QLocale::Germany);
const QLocale english(QLocale::English, QLocale::UnitedStates);

// Everything a user can see of the machine, and what it holds.
std::string state(Engine& engine) {
    std::string out = Formatter::text(engine.cells()) + "|E=" + std::to_string(engine.E().v) +
                      "|pc=" + std::to_string(engine.pc()) + "|";
    for (const Step& s : engine.programSteps()) out += (s ? std::to_string(*s) : "-") + ",";
    for (const TapeLine& l : engine.tape()) out += "|" + l.printed();
    if (engine.entry())
        out +=
            "|entry " + engine.entry()->mant + (engine.entry()->neg ? "-" : "") + "e" + engine.entry()->exp;
    return out;
}

} // namespace

TEST(NumberText, CopiedAsASpreadsheetOfTheLocaleReadsIt) {
    const struct {
        double value;
        bool exponent;
        const char* de;
        const char* en;
    } table[] = {
        {1234.5, false, "1234,5", "1234.5"},
        {15, false, "15", "15"},
        {-0.25, false, "-0,25", "-0.25"},
        {0.000123, false, "0,000123", "0.000123"},
        {1234567.891234567, false, "1234567,891235", "1234567.891235"}, // 13 significant digits
        {1.5e-20, true, "1,5E-20", "1.5E-20"},
        {-2.5e15, true, "-2,5E15", "-2.5E15"},
        {1e99, true, "1E99", "1E99"},
        {-0.0, false, "-0", "-0"},
        {0, true, "0", "0"},
    };
    for (const auto& row : table) {
        EXPECT_EQ(Clipboard::numberText(row.value, row.exponent, german), QString::fromUtf8(row.de))
            << row.value;
        EXPECT_EQ(Clipboard::numberText(row.value, row.exponent, english), QString::fromUtf8(row.en))
            << row.value;
    }
}

TEST(NumberText, PastedTextBecomesTheKeysThatTypeIt) {
    // Keys written as the batch script writes them: digits, ". chs exp".
    auto keys = [](const QString& text, const QLocale& locale) {
        const Clipboard::Typed typed = Clipboard::keysFor(text, locale);
        if (!typed.problem.isEmpty()) return "refused: " + typed.problem.toStdString();
        std::string out;
        for (Key k : typed.keys) out += (out.empty() ? "" : " ") + keyName(k);
        return out;
    };
    const struct {
        const char* text;
        const QLocale& locale;
        const char* keys;
    } table[] = {
        {"1234,5", german, "1 2 3 4 dot 5"},
        {"-1.234,5", german, "1 2 3 4 dot 5 chs"},
        {"−1.234,5", german, "1 2 3 4 dot 5 chs"},
        {"1234.5", german, "1 2 3 4 dot 5"}, // a point before one digit can only be the decimal point
        {"1.234", german, "1 2 3 4"},        // either reading: the locale's
        {"1.234", english, "1 dot 2 3 4"},
        {"1,234", english, "1 2 3 4"},
        {"1 234,5", german, "1 2 3 4 dot 5"},
        {"1\u00a0234\u00a0567,5", german, "1 2 3 4 5 6 7 dot 5"},
        {"1,234,567.25", german, "1 2 3 4 5 6 7 dot 2 5"},
        {"123.456,7", german, "1 2 3 4 5 6 dot 7"}, // a first group of three digits is a group too
        {"123,456,789", english, "1 2 3 4 5 6 7 8 9"},
        {"1234.567,5", german, "refused: „1234.567,5“ ist keine Zahl."},
        {"1.5e-3", english, "1 dot 5 exp 3 chs"},
        {"1,5E-20", german, "1 dot 5 exp 2 0 chs"},
        {"-2.5E15", english, "2 dot 5 chs exp 1 5"},
        {"250e-3", english, "2 dot 5 exp 1 chs"},
        {"0,0005", german, "dot 0 0 0 5"},
        {"12345678901234567", english, "1 dot 2 3 4 5 6 7 8 9 0 1 2 3 exp 1 6"}, // rounded to 13 digits
        {"0.1234567890123456", english, "dot 1 2 3 4 5 6 7 8 9 0 1 2 3"},
        {"  42 ", german, "4 2"},
        {"-0", german, "0 chs"},
        {"", german, "refused: Die Zwischenablage enthält keine Zahl."},
        {"zwölf", german, "refused: „zwölf“ ist keine Zahl."},
        {"1 2", german, "refused: „1 2“ ist keine Zahl."},
        {"3 + 4", german, "refused: „3 + 4“ ist keine Zahl."},
        {"1,2,3", german, "refused: „1,2,3“ ist keine Zahl."},
        {"1e999", english, "refused: Die Zahl liegt außerhalb des Bereichs."},
        {"1e-100", english, "refused: Die Zahl liegt außerhalb des Bereichs."},
    };
    for (const auto& row : table)
        EXPECT_EQ(keys(QString::fromUtf8(row.text), row.locale), row.keys) << row.text;
    EXPECT_EQ(keys(QString(200, QLatin1Char('9')), english),
              "refused: Die Zahl liegt außerhalb des Bereichs.");
}

TEST_F(AppTest, PastingANumberDoesWhatTypingItDoesInEveryMode) {
    const QLocale before;
    QLocale::setDefault(german);
    SimulatedClock otherClock;
    MemorySettings otherSettings;
    StdRandom otherRandom{11};
    Engine typed(otherClock, otherSettings, otherRandom);
    auto both = [&](const std::string& keys) {
        play(*engine, keys);
        play(typed, keys);
    };
    for (Mode mode : {Mode::run, Mode::step, Mode::load}) {
        engine->setMode(mode);
        typed.setMode(mode);
        both("7 +");
        QGuiApplication::clipboard()->setText(u"-1.234,5"_s);
        EXPECT_TRUE(ClipboardActions::pasteNumber(*engine, nullptr).isEmpty());
        play(typed, "1234.5 chs");
        both("=");
        EXPECT_EQ(state(*engine), state(typed)) << static_cast<int>(mode);
        QGuiApplication::clipboard()->setText(u"zwei"_s);
        EXPECT_FALSE(ClipboardActions::pasteNumber(*engine, nullptr).isEmpty());
        EXPECT_EQ(state(*engine), state(typed)) << static_cast<int>(mode);
    }
    EXPECT_EQ(engine->programSteps().size(), 10u); // in LOAD mode the pasted keys became steps
    QLocale::setDefault(before);
}

TEST_F(AppTest, CopyingANumberTakesWhatTheDisplayShowsAndOnlyThen) {
    QLocale::setDefault(german);
    play(*engine, "1 / 8 =");
    ASSERT_TRUE(ClipboardActions::copyNumber(*engine));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"0,125"_s);
    play(*engine, "2 exp 3");
    ASSERT_TRUE(ClipboardActions::copyNumber(*engine));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"2E3"_s); // the number being typed
    QGuiApplication::clipboard()->setText(u"unverändert"_s);
    engine->setMode(Mode::load);
    EXPECT_FALSE(ClipboardActions::copyNumber(*engine));
    engine->setMode(Mode::run);
    play(*engine, "1 / 0 =");
    EXPECT_FALSE(ClipboardActions::copyNumber(*engine)); // the error state
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"unverändert"_s);
    QLocale::setDefault(QLocale::c());
}

TEST_F(AppTest, AProgramCopiedAndPastedBackIsTheSameMemory) {
    const std::vector<std::vector<Step>> programs[] = {{{200, 5, 56, std::nullopt, 27, 192, 11}},
                                                       {{200, 105, 192, 43, 56, 232, 14, 233, 15, 27}}};
    for (Model model : {Model::orbis410, Model::orbis412}) {
        engine->select(model);
        const std::vector<Step>& program = programs[model == Model::orbis412][0];
        engine->loadProgram(program);
        ClipboardActions::copyProgram(*engine);
        const QString text = QGuiApplication::clipboard()->text();
        EXPECT_TRUE(text.startsWith(u"VELTRANIX "_s));
        engine->loadProgram({});
        ClipboardActions::pasteProgram(*engine, nullptr);
        EXPECT_EQ(engine->programSteps(), program) << text.toStdString();
        // Asked before an existing program is replaced.
        QGuiApplication::clipboard()->setText(u"; von Hand\r\nprogram\r\n001  sin\r\nend\r\n"_s);
        expectMessage({u"Programmspeicher überschreiben?"_s}, u"Überschreiben"_s);
        ClipboardActions::pasteProgram(*engine, nullptr);
        EXPECT_EQ(engine->programSteps(), (std::vector<Step>{56}));
    }
    // A text with a mistake names it and changes nothing.
    QGuiApplication::clipboard()->setText(u"001  SIN\n002  SINUS\n"_s);
    expectMessage({u"Schritt 2: „SINUS“ unbekannt"_s});
    ClipboardActions::pasteProgram(*engine, nullptr);
    EXPECT_EQ(engine->programSteps(), (std::vector<Step>{56}));
    QGuiApplication::clipboard()->setText(u"Liebe Grüße"_s);
    expectMessage({u"Schritt 1: „Liebe Grüße“ unbekannt"_s});
    ClipboardActions::pasteProgram(*engine, nullptr);
}

TEST_F(AppTest, TheTapeLeavesAsPrintedTextAndFilesOfEachFormat) {
    play(*engine, "1 + 2 - 9 =");
    ClipboardActions::copyTape(*engine);
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              u"      1.0000 +\n      2.0000 -\n      9.0000 =\n     -6.0000\n"_s);
    QTemporaryDir dir;
    const QString text = dir.filePath("streifen.txt");
    ASSERT_TRUE(ClipboardActions::saveTapeTo(*engine, text, nullptr));
    EXPECT_EQ(QString::fromUtf8(bytes(text)), QGuiApplication::clipboard()->text());

    const QImage picture = TapeExport::image(engine->tape(), engine->tearSeed());
    EXPECT_EQ(picture.width(), 151); // the paper's width at 100 %
    EXPECT_TRUE(ClipboardActions::saveTapeTo(*engine, dir.filePath("streifen.png"), nullptr));
    EXPECT_EQ(QImage(dir.filePath("streifen.png")).size(), picture.size());

    // Refusals: a format we do not write, a folder that does not exist, a picture too long.
    for (const QString& bad : {dir.filePath("streifen.doc"), dir.filePath("fehlt/streifen.pdf")}) {
        expectMessage({u"Sichern fehlgeschlagen"_s});
        EXPECT_FALSE(ClipboardActions::saveTapeTo(*engine, bad, nullptr));
    }
    for (int i = 0; i < 20001; ++i) engine->press(Key(KeyKind::printKey));
    expectMessage({u"bitte als PDF sichern"_s});
    EXPECT_FALSE(ClipboardActions::saveTapeTo(*engine, dir.filePath("lang.png"), nullptr));
    EXPECT_FALSE(QFile::exists(dir.filePath("lang.png")));
}

TEST_F(AppTest, AHugeOrHostilePastedProgramIsRefusedWithAShortPrintableQuote) {
    QString line;
    for (int i = 0; i < 800000; ++i) line += u"SIN X "_s;
    QGuiApplication::clipboard()->setText(line);
    QElapsedTimer took;
    took.start();
    expectDialog([](QDialog& d) {
        const QString text = dialogText(d);
        EXPECT_TRUE(text.contains(u"Schritt 1: „SIN X SIN X SIN X SIN X SIN X SIN X SIN …“ unbekannt"_s))
            << text.toStdString();
        EXPECT_LT(d.width(), 1000);
        d.accept();
    });
    ClipboardActions::pasteProgram(*engine, nullptr);
    EXPECT_LT(took.elapsed(), 5000); // well under a second on a desktop; a sanitizer build is slower
    EXPECT_TRUE(engine->programSteps().empty());

    // Control characters, also C1 ones, are shown escaped, never sent to the screen.
    QGuiApplication::clipboard()->setText(u"001  SIN\n002  A\u009B2J\u0007\n"_s);
    expectMessage({u"Schritt 2: „A\\u009b2J\\x07“ unbekannt"_s});
    ClipboardActions::pasteProgram(*engine, nullptr);
}

TEST_F(AppTest, ANumberPastedDuringARunIsRefusedAloud) {
    engine->loadProgram({Codes::label + 1, Codes::jump, 1});
    engine->press(Key(KeyKind::startStop));
    ASSERT_TRUE(engine->running());
    QGuiApplication::clipboard()->setText(u"42"_s);
    EXPECT_EQ(ClipboardActions::pasteNumber(*engine, nullptr),
              u"Während ein Programm läuft, nimmt der Rechner keine Zahl an."_s);
    engine->press(Key(KeyKind::startStop));
}

TEST_F(AppTest, TheTapeIsNeverSavedOntoAFifoOrTheLibrary) {
    play(*engine, "1 + 2 =");
    QTemporaryDir dir;
    const QString fifo = dir.filePath("streifen.txt");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString library = UserPrograms::fileFor(Model::orbis410);
    put(library, "PROGRAM 1\nSIN\nEND\n");
    const QString linkToLibrary = dir.filePath("bibliothek.txt");
    ASSERT_TRUE(QFile::link(library, linkToLibrary));
    const std::pair<QString, QString> refused[] = {
        {fifo, u"„%1“: ist eine Pipe (FIFO), keine Datei"_s.arg(fifo)},
        {linkToLibrary,
         u"„%1“: ist eine Datei, die Veltranix liest (Bibliothek, Skript, Zustand, Einstellungen)"_s.arg(
             linkToLibrary)}};
    for (const auto& [path, why] : refused) {
        expectMessage({why});
        EXPECT_FALSE(ClipboardActions::saveTapeTo(*engine, path, nullptr));
    }
    EXPECT_TRUE(QFileInfo(fifo).isFile() == false);
    EXPECT_EQ(bytes(library), "PROGRAM 1\nSIN\nEND\n");
}
