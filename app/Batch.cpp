// The batch mode plays a script of keys and switch settings into a fresh
// machine on the simulated clock and prints the tape and the display, so
// calculations and stored programs can be scripted and checked. It needs no
// window system and writes no setting and no library file.
#include "app/Batch.h"

#include "app/BatchScript.h"
#include "display/Formatter.h"
#include "engine/Engine.h"
#include "engine/SimulatedClock.h"
#include "storage/AppIdentity.h"
#include "storage/UserPrograms.h"

#include <QFile>
#include <QSettings>

#include <cmath>
#include <cstdio>
#include <cstring>
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
    "  veltranix --list [--model 410|412] [--library DATEI] [--json]\n"
    "                                  listet die gespeicherten Programme\n"
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
    "Zeit (Vorgabe 3600 Sekunden).\n"
    "\n"
    "Beispiel:\n"
    "  veltranix --play '12 + 3 ='\n";

struct Options {
    bool play = false, list = false, help = false, json = false;
    std::string script;
    std::optional<Model> model;
    std::optional<std::string> library;
    std::optional<long long> program;
    double timeLimit = 3600;
};

[[noreturn]] void fail(const std::string& message) {
    std::fprintf(stderr, "veltranix: %s\n", message.c_str());
    std::exit(2);
}

Options parseOptions(int argc, char** argv) {
    Options o;
    auto value = [&](int& i) -> std::string {
        if (i + 1 >= argc) fail(std::string("zu ") + argv[i] + " fehlt der Wert");
        return argv[++i];
    };
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--play") {
            o.play = true;
            o.script = value(i);
        } else if (a == "--list") {
            o.list = true;
        } else if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a == "--json") {
            o.json = true;
        } else if (a == "--model") {
            std::string m = value(i);
            o.model = modelFromRaw(m);
            if (!o.model) fail("unbekanntes Modell „" + m + "“ (410 oder 412)");
        } else if (a == "--library") {
            o.library = value(i);
        } else if (a == "--program") {
            std::string n = value(i);
            char* end = nullptr;
            long long v = std::strtoll(n.c_str(), &end, 10);
            if (n.empty() || *end) fail("--program braucht eine Programmnummer, nicht „" + n + "“");
            o.program = v;
        } else if (a == "--time-limit") {
            std::string t = value(i);
            char* end = nullptr;
            double v = std::strtod(t.c_str(), &end);
            if (t.empty() || *end || !(v >= 0) || !std::isfinite(v))
                fail("--time-limit braucht Sekunden, nicht „" + t + "“");
            o.timeLimit = v;
        } else {
            fail("unbekannte Option „" + a + "“ (veltranix --help)");
        }
    }
    if (o.play && o.list) fail("--play und --list schließen sich aus");
    if (!o.help && !o.play && !o.list) fail("--play oder --list fehlt (veltranix --help)");
    return o;
}

Model rememberedModel() {
    QSettings settings;
    return settings.value("model").toString() == QLatin1String("412") ? Model::orbis412 : Model::orbis410;
}

std::vector<SavedProgram> readLibrary(const Options& o, Model model) {
    QString path = o.library ? QString::fromStdString(*o.library) : UserPrograms::fileFor(model);
    if (o.library && !QFile::exists(path)) fail("die Bibliothek „" + *o.library + "“ gibt es nicht");
    return UserPrograms::readFile(path, model);
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

int list(const Options& o, Model model) {
    const auto programs = readLibrary(o, model);
    if (o.json) {
        std::string out = "[";
        for (std::size_t i = 0; i < programs.size(); ++i) {
            const auto& p = programs[i];
            out += i ? ",\n " : "";
            out += "{\"number\": " + std::to_string(p.number) + ", \"name\": " + jsonString(p.name) +
                   ", \"steps\": " + std::to_string(p.steps.size()) +
                   ", \"error\": " + (p.error ? jsonString(*p.error) : "null") + "}";
        }
        std::printf("%s]\n", out.c_str());
    } else {
        for (const auto& p : programs) std::printf("%s\n", p.title().c_str());
    }
    return 0;
}

void waitUntilIdle(Engine& engine, SimulatedClock& clock, std::int64_t limit) {
    while (engine.busy()) {
        auto due = clock.nextDue();
        if (!due || *due > limit) {
            if (clock.nowNanos() < limit) clock.advance(static_cast<double>(limit - clock.nowNanos()) / 1e9);
            return;
        }
        clock.runNext(limit);
    }
}

int play(const Options& o, Model model) {
    std::vector<BatchAction> actions;
    try {
        actions = parseScript(o.script);
    } catch (const ScriptError& e) {
        fail(e.message);
    }

    std::vector<Step> loaded;
    if (o.program) {
        const auto programs = readLibrary(o, model);
        const SavedProgram* found = nullptr;
        for (const auto& p : programs)
            if (p.number == *o.program) {
                found = &p;
                break;
            }
        if (!found) fail("Programm " + std::to_string(*o.program) + " steht nicht in der Bibliothek");
        if (found->error)
            fail("Programm " + std::to_string(*o.program) + " ist fehlerhaft: " + *found->error);
        loaded = found->steps;
    }

    SimulatedClock clock;
    MemorySettings settings;
    saveModel(settings, model);
    StdRandom random;
    Engine engine(clock, settings, random);
    if (o.program) engine.loadProgram(loaded);

    const std::int64_t limit = toNanos(o.timeLimit);
    for (const BatchAction& action : actions) {
        if (action.kind == BatchAction::Kind::wait)
            waitUntilIdle(engine, clock, limit);
        else
            apply(engine, action);
    }
    waitUntilIdle(engine, clock, limit);

    if (o.json) {
        std::string out = "{\"model\": \"" + rawValue(engine.model()) +
                          "\", \"display\": " + jsonString(Formatter::text(engine.cells())) +
                          ", \"error\": " + (engine.error ? "true" : "false") +
                          ", \"running\": " + (engine.running ? "true" : "false") +
                          ", \"pc\": " + std::to_string(engine.pc) + ",\n \"registers\": [";
        for (std::size_t i = 0; i < engine.regs.size(); ++i)
            out += (i ? ", " : "") + jsonNumber(engine.regs[i].v);
        out += "],\n \"program\": [";
        const auto steps = engine.programSteps();
        for (std::size_t i = 0; i < steps.size(); ++i)
            out += (i ? ", " : "") + (steps[i] ? std::to_string(*steps[i]) : std::string("null"));
        out += "],\n \"tape\": [";
        for (std::size_t i = 0; i < engine.tape.size(); ++i) {
            const TapeLine& l = engine.tape[i];
            out += std::string(i ? ",\n  " : "\n  ") + "{\"text\": " + jsonString(l.text) +
                   ", \"symbol\": " + jsonString(l.symbol) + ", \"red\": " + (l.red ? "true" : "false") +
                   ", \"left\": " + (l.left ? "true" : "false") +
                   ", \"printed\": " + jsonString(l.printed()) + "}";
        }
        out += "]}\n";
        std::fputs(out.c_str(), stdout);
    } else {
        const bool colour = isatty(STDOUT_FILENO);
        std::string out;
        for (const TapeLine& l : engine.tape) {
            if (colour && l.red)
                out += "\033[31m" + l.printed() + "\033[0m\n";
            else
                out += l.printed() + "\n";
        }
        out += Formatter::text(engine.cells()) + "\n";
        std::fputs(out.c_str(), stdout);
    }
    return 0;
}

} // namespace

int runBatch(int argc, char** argv) {
    setAppIdentity();
    const Options o = parseOptions(argc, argv);
    if (o.help) {
        std::fputs(usage, stdout);
        return 0;
    }
    const Model model = o.model ? *o.model : rememberedModel();
    return o.list ? list(o, model) : play(o, model);
}

} // namespace vx
