// SPDX-License-Identifier: GPL-3.0-or-later
// The batch mode plays a script of keys and switch settings into a fresh
// machine on the simulated clock and prints the tape and the display, so
// calculations and stored programs can be scripted and checked. It needs no
// window system and writes no setting and no library file.
#include "app/Batch.h"
#include "engine/History.h"

#include "app/BatchOptions.h"

#include "display/Formatter.h"
#include "engine/Engine.h"
#include "engine/Settle.h"
#include "engine/SimulatedClock.h"
#include "host/QtSettings.h"
#include "panel/TapeExport.h"
#include "program/BatchScript.h"
#include "storage/AppIdentity.h"
#include "storage/Quote.h"
#include "storage/SafeFile.h"
#include "storage/StateFile.h"
#include "storage/UserPrograms.h"

#include <QBuffer>
#include <QGuiApplication>

#include <algorithm>
#include <cerrno>
#include <charconv>
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

// A tape kept whole for --json, --tape or --save-state ends the run beyond
// this many lines (about 100 MB in memory); a streamed tape keeps nothing.
constexpr std::size_t maxKeptLines = Tape::bound;

std::string escaped(const std::string& text) {
    return Quote::escaped(text);
}

std::vector<SavedProgram> readLibrary(const BatchOptions& o, Model model) {
    const std::string path = o.library ? *o.library : SafeFile::fromQt(UserPrograms::fileFor(model));
    LibraryFile file = UserPrograms::readFile(path, model);
    if (file.problem) refuseBatch("die Bibliothek „" + escaped(path) + "“ " + file.problem->toStdString());
    return std::move(file.programs);
}

// The length of the well-formed UTF-8 sequence at `i`, or 0.
std::size_t utf8Sequence(const std::string& s, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = byte(i);
    if (c < 0x80) return 1;
    std::size_t n = c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return 0;
    for (std::size_t k = 1; k < n; ++k)
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
    // No overlong forms, no surrogates, nothing beyond U+10FFFF.
    const unsigned char second = byte(i + 1);
    if ((c == 0xE0 && second < 0xA0) || (c == 0xED && second > 0x9F) || (c == 0xF0 && second < 0x90) ||
        (c == 0xF4 && second > 0x8F))
        return 0;
    return n;
}

// JSON is UTF-8: a byte that is not part of a UTF-8 character (a hand-edited
// kept tape may hold one) is given as the Latin-1 character of that byte.
std::string jsonString(const std::string& s) {
    std::string out = "\"";
    for (std::size_t i = 0; i < s.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c >= 0x80) {
            const std::size_t n = utf8Sequence(s, i);
            if (n == 0) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out.append(s, i, n);
                i += n - 1;
            }
            continue;
        }
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
    bool failed() const { return error_ != 0; }
    // Exit status: 0, or 1 with a line on stderr when something was lost.
    int finish() {
        if (error_ == 0 && std::fflush(stdout) != 0) error_ = errno;
        if (error_ == 0) return 0;
        std::fprintf(stderr, "veltranix: Ausgabe fehlgeschlagen: %s\n",
                     SafeFile::reason(error_).toStdString().c_str());
        return 1;
    }

  private:
    int error_ = 0;
};

int list(const BatchOptions& o, Model model) {
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
// is called after every callback, so output can follow the run, and ends
// the run when it answers false.
bool writeTape(const BatchOptions& o, const Engine& engine) {
    const auto format = *TapeExport::formatFor(SafeFile::toQt(*o.tapeFile));
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
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    std::optional<QString> failed = TapeExport::write(buffer, format, engine.tape(), engine.tearSeed());
    if (!failed) failed = SafeFile::write(*o.tapeTarget, buffer.data());
    if (!failed) return true;
    std::fprintf(stderr, "veltranix: Sichern des Papierstreifens fehlgeschlagen: %s\n",
                 failed->toStdString().c_str());
    return false;
}

std::vector<BatchAction> scriptOf(const BatchOptions& o) {
    try {
        return parseScript(o.script);
    } catch (const ScriptError& e) {
        const std::string where =
            o.scriptFile ? "in Zeile " + std::to_string(e.line) + ", Spalte " + std::to_string(e.column)
                         : "an Stelle " + std::to_string(e.position) + " des Skripts";
        refuseBatch("unbekanntes Wort „" + Quote::shown(e.token) + "“ " + where);
    }
}

std::vector<Step> programOf(const BatchOptions& o, Model model) {
    const auto programs = readLibrary(o, model);
    const auto found = std::find_if(programs.begin(), programs.end(),
                                    [&](const SavedProgram& p) { return p.number == *o.program; });
    if (found == programs.end())
        refuseBatch("Programm " + std::to_string(*o.program) + " steht nicht in der Bibliothek");
    if (found->error)
        refuseBatch("Programm " + std::to_string(*o.program) + " ist fehlerhaft: " + escaped(*found->error));
    return found->steps;
}

// Nanoseconds as seconds, in the shortest form that reads back the same.
std::string seconds(std::int64_t nanos) {
    char buf[64];
    const auto end = std::to_chars(buf, buf + sizeof buf, static_cast<double>(nanos) / 1e9).ptr;
    return std::string(buf, end);
}

void putJson(Output& out, const Engine& engine) {
    std::string head = "{\"model\": \"" + rawValue(engine.model()) +
                       "\", \"display\": " + jsonString(Formatter::text(engine.cells())) +
                       ", \"error\": " + (engine.error() ? "true" : "false") +
                       ", \"running\": " + (engine.running() ? "true" : "false") +
                       ", \"pc\": " + std::to_string(engine.pc()) +
                       ", \"steps\": " + std::to_string(engine.lastRun().steps) +
                       ", \"originalSeconds\": " + seconds(engine.lastRun().originalNanos) +
                       ",\n \"registers\": [";
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

// The machine kept in --state, which brings its own model.
std::optional<MachineState> keptMachine(const BatchOptions& o) {
    if (!o.stateFile) return std::nullopt;
    StateFile::Loaded loaded = StateFile::read(*o.stateFile);
    if (loaded.missing) refuseBatch("den Zustand „" + escaped(*o.stateFile) + "“ gibt es nicht");
    if (!loaded.state)
        refuseBatch("der Zustand „" + escaped(*o.stateFile) +
                    "“ ist nicht lesbar: " + loaded.problem->toStdString());
    return loaded.state;
}

bool saveState(const BatchOptions& o, Engine& engine) {
    engine.stopActivity();
    const auto failed = StateFile::write(*o.saveStateTarget, engine.state());
    if (!failed) return true;
    std::fprintf(stderr, "veltranix: der Zustand kann nicht nach „%s“ geschrieben werden: %s\n",
                 escaped(*o.saveStateFile).c_str(), failed->toStdString().c_str());
    return false;
}

// What a finished run gives: the display or the JSON, then the files asked for.
int report(const BatchOptions& o, Engine& engine, Output& out, bool tooLong) {
    if (tooLong) {
        std::fprintf(stderr, "veltranix: der Papierstreifen wurde länger als 1000000 Zeilen; der Lauf ist "
                             "abgebrochen (ohne --json, --tape und --save-state wird er fortlaufend "
                             "ausgegeben, ohne Grenze)\n");
        return 1;
    }
    if (out.failed()) return out.finish();

    if (o.json)
        putJson(out, engine);
    else
        out.put(Formatter::text(engine.cells()) + "\n");
    const int status = out.finish();
    if (o.tapeFile && !writeTape(o, engine)) return 1;
    if (o.saveStateFile && !saveState(o, engine)) return 1;
    return status;
}

int play(const BatchOptions& o, Model chosen) {
    const std::vector<BatchAction> actions = scriptOf(o);
    std::optional<MachineState> kept = keptMachine(o);
    const Model model = kept ? kept->switches.model : chosen;
    std::vector<Step> loaded;
    if (o.program) loaded = programOf(o, model);

    SimulatedClock clock;
    MemorySettings settings;
    saveModel(settings, model);
    StdRandom random;
    Engine engine(clock, settings, random);
    if (kept && !engine.restore(std::move(*kept)))
        refuseBatch("der Zustand „" + escaped(*o.stateFile) + "“ beschreibt keinen möglichen Rechner");
    if (o.program) engine.loadProgram(loaded);

    // Without --json, --tape or --save-state the tape goes out line by line
    // as it is printed and the machine forgets it: a long run needs no copy
    // of it, and a reader of the pipe sees the lines come. Otherwise the
    // tape is kept whole, up to a bound.
    // Going back takes lines off the tape again: with the history's words the
    // tape is kept and written out as it is at the end.
    const bool timeTravel = std::any_of(actions.begin(), actions.end(), [](const BatchAction& a) {
        return a.kind >= BatchAction::Kind::undo;
    });
    std::optional<History> history;
    if (timeTravel) history.emplace(engine);
    const bool tapeKept = o.json || o.tapeFile || o.saveStateFile || timeTravel;
    Output out;
    const bool colour = isatty(STDOUT_FILENO);
    const auto put = [&](const TapeLine& l) {
        out.put(colour && l.red ? "\033[31m" + l.printed() + "\033[0m\n" : l.printed() + "\n");
    };
    // A kept machine's tape was printed by the run that kept it. Lines are
    // counted as printed onto the roll, so the count holds when the roll lets
    // its oldest lines go.
    std::uint64_t written = engine.tape().printed();
    bool tooLong = false;
    auto follow = [&] {
        const Tape& tape = engine.tape();
        if (!o.json && !timeTravel)
            for (written = std::max(written, tape.dropped()); written < tape.printed(); ++written)
                put(tape[static_cast<std::size_t>(written - tape.dropped())]);
        if (tapeKept) {
            tooLong = tape.printed() > maxKeptLines;
            if (tooLong) return false;
        } else {
            engine.releaseTape();
            written = 0;
        }
        // A closed pipe or a full disk ends the run at once.
        return !out.failed();
    };

    const std::int64_t limit = toNanos(o.timeLimit);
    bool going = true;
    for (const BatchAction& action : actions) {
        using BK = BatchAction::Kind;
        if (action.kind >= BK::wait) going = settle(engine, clock, limit, follow);
        if (going && history) {
            if (action.kind == BK::undo) history->undo();
            if (action.kind == BK::redo) history->redo();
            if (action.kind == BK::historyBack) history->back();
            if (action.kind == BK::historyForward) history->forward();
        }
        if (action.kind < BK::wait) apply(engine, action);
        if (!going || !follow()) break;
    }
    if (going && follow()) settle(engine, clock, limit, follow);
    if (timeTravel && !o.json && !tooLong)
        for (const TapeLine& l : engine.tape()) put(l);
    return report(o, engine, out, tooLong);
}

} // namespace

// Headless runs report their own failures; Qt's notes about the session
// would only clutter a script's output.
void quietQt(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg) std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

int runBatch(int argc, char** argv) {
    setAppIdentity();
    const BatchOptions o = parseBatchOptions(argc, argv);
    if (o.help || o.version) {
        Output out;
        out.put(o.help ? batchUsage : "Veltranix " VX_VERSION "\n");
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
