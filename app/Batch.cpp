// SPDX-License-Identifier: GPL-3.0-or-later
// The batch mode plays a script of keys and switch settings into a fresh
// machine on the simulated clock and prints the tape and the display, so
// calculations and stored programs can be scripted and checked. It needs no
// window system and writes no setting and no library file.
#include "app/Batch.h"

#include "display/Formatter.h"
#include "engine/Engine.h"
#include "engine/SimulatedClock.h"
#include "panel/TapeExport.h"
#include "program/BatchScript.h"
#include "storage/AppIdentity.h"
#include "storage/QtSettings.h"
#include "storage/UserPrograms.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <unistd.h>

namespace vx {

namespace {

const char* const usage =
    "Aufruf:\n"
    "  veltranix                       startet den Rechner im Fenster\n"
    "  veltranix --snapshot DATEI [TASTEN]\n"
    "                                  zeichnet das Bedienfeld als PNG-Bild\n"
    "  veltranix --play SKRIPT [--model 410|412] [--library DATEI] [--program N]\n"
    "            [--time-limit SEKUNDEN] [--json]\n"
    "                                  spielt Tasten in einen frischen Rechner und gibt\n"
    "                                  Papierstreifen und Anzeige aus\n"
    "  veltranix --script DATEI [...]  wie --play, das Skript steht in der DATEI\n"
    "                                  (- liest es von der Standardeingabe)\n"
    "            [--tape DATEI]        schreibt am Ende zusätzlich den Papierstreifen in die\n"
    "                                  DATEI, als PDF, Text oder Bild nach ihrer Endung\n"
    "                                  (.pdf, .txt, .png)\n"
    "  veltranix --list [--model 410|412] [--library DATEI] [--json]\n"
    "                                  listet die gespeicherten Programme\n"
    "  veltranix --version             nennt die Version\n"
    "  veltranix --help, -h            zeigt diese Hilfe\n"
    "\n"
    "Skript: Wörter, durch Leerraum getrennt, der Reihe nach:\n"
    "  12.5                 je Zeichen eine Ziffern- oder Punkttaste\n"
    "  + - * / ^ ( ) =      die Rechentasten\n"
    "  Tastennamen          dot chs exp dms equals plus minus times divide power lparen\n"
    "                       rparen f sigma sdMean startStop clear reset adv printKey setDP\n"
    "                       ident store recall exchange ln log sqrt recip toMetric sin cos\n"
    "                       tan toRect toRad back fwd jump insert\n"
    "  Schalter             power:on power:off printer:on printer:off mode:run mode:step\n"
    "                       mode:load tape:on tape:off angle:deg angle:grad\n"
    "  wait                 lässt (simulierte) Zeit vergehen, bis nichts mehr läuft\n"
    "Nach dem letzten Wort wird wie mit wait gewartet. --time-limit begrenzt die simulierte\n"
    "Zeit (Vorgabe 3600 Sekunden, höchstens 9000000000). Ohne --model gilt das Modell, das\n"
    "zuletzt im Fenster gewählt war.\n"
    "\n"
    "Tasten von --snapshot: je Zeichen eine Taste, nicht die Wörter von --play:\n"
    "  0-9 . + - * / ( ) =  wie oben    S √x    P PRINT    f f\n"
    "  L R                  BETRIEBSART auf LOAD bzw. RUN\n"
    "Leerzeichen und alle anderen Zeichen werden übergangen.\n"
    "\n"
    "Beispiel:\n"
    "  veltranix --play '12 + 3 ='\n";

// The simulated clock counts nanoseconds in 64 bits; this many seconds, and
// the few seconds a run may wait beyond them, stay exact there.
constexpr double maxTimeLimit = 9e9;
// What one message may quote of the user's words.
constexpr std::size_t echoLimit = 40;

struct Options {
    bool play = false, list = false, help = false, json = false, version = false;
    std::string script;
    std::optional<std::string> scriptFile;
    std::optional<std::string> tapeFile;
    std::optional<Model> model;
    std::optional<std::string> library;
    std::optional<long long> program;
    double timeLimit = 3600;
};

[[noreturn]] void fail(const std::string& message) {
    std::fprintf(stderr, "veltranix: %s\n", message.c_str());
    std::exit(2);
}

// Control characters of the user's words shown as escapes, so a message
// never moves the cursor or colours the terminal.
std::string escaped(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\r')
            out += "\\r";
        else if (c < 0x20 || c == 0x7f) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02x", c);
            out += buf;
        } else
            out += static_cast<char>(c);
    }
    return out;
}

// A word quoted in a message: escaped, and cut after `echoLimit` characters.
std::string shown(const std::string& text) {
    std::size_t characters = 0, cut = 0;
    for (; cut < text.size(); ++cut) {
        if ((static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) continue;
        if (characters == echoLimit) return escaped(text.substr(0, cut)) + "…";
        ++characters;
    }
    return escaped(text);
}

std::string readScript(const std::string& path) {
    // "-" is standard input; anything that can be read to its end will do
    // (a FIFO from the shell's <(...) included), up to the library's bound.
    FILE* in = path == "-" ? stdin : std::fopen(path.c_str(), "rb");
    if (!in) fail("das Skript „" + escaped(path) + "“ ist nicht lesbar: " + std::strerror(errno));
    std::string text;
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0) {
        text.append(buffer, n);
        if (text.size() > static_cast<std::size_t>(UserPrograms::maxFileBytes))
            fail("das Skript „" + escaped(path) + "“ ist zu groß (mehr als 64 MiB)");
    }
    const bool bad = std::ferror(in);
    const int why = errno;
    if (in != stdin) std::fclose(in);
    if (bad) fail("das Skript „" + escaped(path) + "“ ist nicht lesbar: " + std::strerror(why));
    return text;
}

Options parseOptions(int argc, char** argv) {
    Options o;
    auto value = [&](int& i) -> std::string {
        if (i + 1 >= argc) fail("zu " + shown(argv[i]) + " fehlt der Wert");
        return argv[++i];
    };
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--play") {
            if (o.play) fail("--play und --script schließen sich aus");
            o.play = true;
            o.script = value(i);
        } else if (a == "--script") {
            if (o.play) fail("--play und --script schließen sich aus");
            o.play = true;
            o.scriptFile = value(i);
        } else if (a == "--list") {
            o.list = true;
        } else if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a == "--version") {
            o.version = true;
        } else if (a == "--json") {
            o.json = true;
        } else if (a == "--model") {
            std::string m = value(i);
            o.model = modelFromRaw(m);
            if (!o.model) fail("unbekanntes Modell „" + shown(m) + "“ (410 oder 412)");
        } else if (a == "--tape") {
            o.tapeFile = value(i);
            if (!TapeExport::formatFor(QString::fromLocal8Bit(o.tapeFile->c_str())))
                fail("--tape braucht eine Datei mit der Endung .pdf, .txt oder .png, nicht „" +
                     shown(*o.tapeFile) + "“");
        } else if (a == "--library") {
            o.library = value(i);
        } else if (a == "--program") {
            std::string n = value(i);
            char* end = nullptr;
            long long v = std::strtoll(n.c_str(), &end, 10);
            if (n.empty() || *end) fail("--program braucht eine Programmnummer, nicht „" + shown(n) + "“");
            o.program = v;
        } else if (a == "--time-limit") {
            std::string t = value(i);
            char* end = nullptr;
            double v = std::strtod(t.c_str(), &end);
            if (t.empty() || *end || !(v >= 0) || !std::isfinite(v))
                fail("--time-limit braucht Sekunden, nicht „" + shown(t) + "“");
            if (v > maxTimeLimit)
                fail("--time-limit darf höchstens 9000000000 Sekunden sein, nicht „" + shown(t) + "“");
            o.timeLimit = v;
        } else {
            fail("unbekannte Option „" + shown(a) + "“ (veltranix --help)");
        }
    }
    if (o.play && o.list) fail("--play und --list schließen sich aus");
    if (o.help || o.version) return o;
    if (!o.play && !o.list) fail("--play oder --list fehlt (veltranix --help)");
    if (o.tapeFile && !o.play) fail("--tape gehört zu --play oder --script");
    if (o.scriptFile) o.script = readScript(*o.scriptFile);
    return o;
}

std::vector<SavedProgram> readLibrary(const Options& o, Model model) {
    QString path = o.library ? QString::fromStdString(*o.library) : UserPrograms::fileFor(model);
    const std::string named = escaped(path.toStdString());
    if (o.library && !QFileInfo::exists(path)) fail("die Bibliothek „" + named + "“ gibt es nicht");
    LibraryFile file = UserPrograms::readFile(path, model);
    if (file.problem) fail("die Bibliothek „" + named + "“ " + file.problem->toStdString());
    return std::move(file.programs);
}

std::string jsonString(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

std::string jsonNumber(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}

// Standard output that notices when it cannot be written (a full disk, a
// closed pipe): the batch mode must not report success then.
class Output {
  public:
    void put(const std::string& text) {
        if (error_ == 0 && std::fwrite(text.data(), 1, text.size(), stdout) != text.size()) error_ = errno;
    }
    // Exit status: 0, or 1 with a line on stderr when something was lost.
    int finish() {
        if (error_ == 0 && std::fflush(stdout) != 0) error_ = errno;
        if (error_ == 0) return 0;
        std::fprintf(stderr, "veltranix: Ausgabe fehlgeschlagen: %s\n", std::strerror(error_));
        return 1;
    }

  private:
    int error_ = 0;
};

int list(const Options& o, Model model) {
    const auto programs = readLibrary(o, model);
    Output out;
    if (o.json) {
        out.put("[");
        for (std::size_t i = 0; i < programs.size(); ++i) {
            const auto& p = programs[i];
            out.put(std::string(i ? ",\n " : "") + "{\"number\": " + std::to_string(p.number) +
                    ", \"name\": " + jsonString(p.name) + ", \"steps\": " + std::to_string(p.steps.size()) +
                    ", \"error\": " + (p.error ? jsonString(*p.error) : "null") + "}");
        }
        out.put("]\n");
    } else {
        for (const auto& p : programs) out.put(escaped(p.title()) + "\n");
    }
    return out.finish();
}

// Runs the machine until nothing is in progress or the time is up; `step`
// is called after every callback, so output can follow the run.
void waitUntilIdle(Engine& engine, SimulatedClock& clock, std::int64_t limit,
                   const std::function<void()>& step) {
    while (engine.busy()) {
        auto due = clock.nextDue();
        if (!due || *due > limit) {
            if (clock.nowNanos() < limit) clock.advance(static_cast<double>(limit - clock.nowNanos()) / 1e9);
            step();
            return;
        }
        clock.runNext(limit);
        step();
    }
}

// Headless runs report their own failures; Qt's notes about the session
// would only clutter a script's output.
void quietQt(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg) std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

bool writeTape(QSaveFile& file, const Engine& engine) {
    const auto format = *TapeExport::formatFor(file.fileName());
    // Pictures and pages need fonts, and so an off-screen application.
    std::unique_ptr<QGuiApplication> app;
    if (format != TapeExport::Format::text && !QGuiApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(quietQt);
        static int argc = 1;
        static char name[] = "veltranix";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QGuiApplication>(argc, argv);
    }
    std::optional<QString> failed = TapeExport::write(file, format, engine.tape(), engine.tearSeed());
    if (!failed && !file.flush()) failed = file.errorString();
    if (!failed && !file.commit()) failed = file.errorString();
    if (!failed) return true;
    file.cancelWriting();
    std::fprintf(stderr, "veltranix: Sichern des Papierstreifens fehlgeschlagen: %s\n",
                 failed->toLocal8Bit().constData());
    return false;
}

std::vector<BatchAction> scriptOf(const Options& o) {
    try {
        return parseScript(o.script);
    } catch (const ScriptError& e) {
        const std::string where =
            o.scriptFile ? "in Zeile " + std::to_string(e.line) + ", Spalte " + std::to_string(e.column)
                         : "an Stelle " + std::to_string(e.position) + " des Skripts";
        fail("unbekanntes Wort „" + shown(e.token) + "“ " + where);
    }
}

std::vector<Step> programOf(const Options& o, Model model) {
    const auto programs = readLibrary(o, model);
    const auto found = std::find_if(programs.begin(), programs.end(),
                                    [&](const SavedProgram& p) { return p.number == *o.program; });
    if (found == programs.end())
        fail("Programm " + std::to_string(*o.program) + " steht nicht in der Bibliothek");
    if (found->error)
        fail("Programm " + std::to_string(*o.program) + " ist fehlerhaft: " + escaped(*found->error));
    return found->steps;
}

void putJson(Output& out, const Engine& engine) {
    std::string head = "{\"model\": \"" + rawValue(engine.model()) +
                       "\", \"display\": " + jsonString(Formatter::text(engine.cells())) +
                       ", \"error\": " + (engine.error() ? "true" : "false") +
                       ", \"running\": " + (engine.running() ? "true" : "false") +
                       ", \"pc\": " + std::to_string(engine.pc()) + ",\n \"registers\": [";
    for (std::size_t i = 0; i < engine.registers().size(); ++i)
        head += (i ? ", " : "") + jsonNumber(engine.registers()[i].v);
    head += "],\n \"program\": [";
    const auto steps = engine.programSteps();
    for (std::size_t i = 0; i < steps.size(); ++i)
        head += (i ? ", " : "") + (steps[i] ? std::to_string(*steps[i]) : std::string("null"));
    head += "],\n \"tape\": [";
    out.put(head);
    for (std::size_t i = 0; i < engine.tape().size(); ++i) {
        const TapeLine& l = engine.tape()[i];
        out.put(std::string(i ? ",\n  " : "\n  ") + "{\"text\": " + jsonString(l.text) +
                ", \"symbol\": " + jsonString(l.symbol) + ", \"red\": " + (l.red ? "true" : "false") +
                ", \"left\": " + (l.left ? "true" : "false") + ", \"printed\": " + jsonString(l.printed()) +
                "}");
    }
    out.put("]}\n");
}

int play(const Options& o, Model model) {
    const std::vector<BatchAction> actions = scriptOf(o);
    std::vector<Step> loaded;
    if (o.program) loaded = programOf(o, model);

    // The tape's file is opened before the run: a path that cannot be written
    // is reported before anything is printed.
    std::unique_ptr<QSaveFile> tapeFile;
    if (o.tapeFile) {
        tapeFile = std::make_unique<QSaveFile>(QString::fromLocal8Bit(o.tapeFile->c_str()));
        if (!tapeFile->open(QIODevice::WriteOnly))
            fail("der Papierstreifen kann nicht nach „" + escaped(*o.tapeFile) +
                 "“ geschrieben werden: " + tapeFile->errorString().toStdString());
    }

    SimulatedClock clock;
    MemorySettings settings;
    saveModel(settings, model);
    StdRandom random;
    Engine engine(clock, settings, random);
    if (o.program) engine.loadProgram(loaded);

    // The tape goes out line by line as it is printed: a long run needs no
    // second copy of it, and a reader of the pipe sees the lines come.
    Output out;
    const bool colour = isatty(STDOUT_FILENO);
    std::size_t written = 0;
    auto follow = [&] {
        if (o.json) return;
        for (; written < engine.tape().size(); ++written) {
            const TapeLine& l = engine.tape()[written];
            out.put(colour && l.red ? "\033[31m" + l.printed() + "\033[0m\n" : l.printed() + "\n");
        }
    };

    const std::int64_t limit = toNanos(o.timeLimit);
    for (const BatchAction& action : actions) {
        if (action.kind == BatchAction::Kind::wait)
            waitUntilIdle(engine, clock, limit, follow);
        else
            apply(engine, action);
        follow();
    }
    waitUntilIdle(engine, clock, limit, follow);
    follow();

    if (o.json)
        putJson(out, engine);
    else
        out.put(Formatter::text(engine.cells()) + "\n");
    const int status = out.finish();
    if (tapeFile && !writeTape(*tapeFile, engine)) return 1;
    return status;
}

} // namespace

int runBatch(int argc, char** argv) {
    setAppIdentity();
    const Options o = parseOptions(argc, argv);
    if (o.help || o.version) {
        Output out;
        out.put(o.help ? usage : "Veltranix " VX_VERSION "\n");
        return out.finish();
    }
    QtSettings remembered;
    const Model model = o.model ? *o.model : savedModel(remembered);
    // A closed pipe is a failed write like any other, reported, not a silent death.
    std::signal(SIGPIPE, SIG_IGN);
    try {
        return o.list ? list(o, model) : play(o, model);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr,
                     "veltranix: zu wenig Speicher für den Papierstreifen (kürzere --time-limit wählen)\n");
        return 1;
    }
}

} // namespace vx
