// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/BatchOptions.h"

#include "panel/TapeExport.h"
#include "storage/Quote.h"
#include "storage/SafeFile.h"
#include "storage/UserFiles.h"
#include "storage/UserPrograms.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

namespace vx {

const char* const batchUsage =
    "Aufruf:\n"
    "  veltranix [PROGRAMMDATEI]       startet den Rechner im Fenster (und importiert die\n"
    "                                  Programmdatei)\n"
    "  veltranix --snapshot DATEI [TASTEN]\n"
    "                                  zeichnet das Bedienfeld als PNG-Bild\n"
    "  veltranix --play SKRIPT [--model 410|412] [--library DATEI] [--program N]\n"
    "            [--time-limit SEKUNDEN] [--json] [--state DATEI] [--save-state DATEI]\n"
    "                                  spielt Tasten in einen frischen Rechner und gibt\n"
    "                                  Papierstreifen und Anzeige aus\n"
    "  veltranix --script DATEI [...]  wie --play, das Skript steht in der DATEI\n"
    "                                  (- liest es von der Standardeingabe)\n"
    "            [--tape DATEI]        schreibt am Ende zusätzlich den Papierstreifen in die\n"
    "                                  DATEI, als PDF, Text oder Bild nach ihrer Endung\n"
    "                                  (.pdf, .txt, .png)\n"
    "            --state DATEI         beginnt mit dem gespeicherten Rechner aus der DATEI\n"
    "                                  (wie beim Dauerspeicher; ohne --model)\n"
    "            --save-state DATEI    speichert am Ende den ganzen Rechner in die DATEI\n"
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
    "  undo redo            nimmt die letzte Handlung zurück oder wiederholt sie\n"
    "  historyBack historyForward\n"
    "                       geht im letzten Lauf (oder in STEP über die Einzelschritte)\n"
    "                       einen Programmschritt zurück oder vor\n"
    "                       (diese vier warten zuerst wie wait; mit ihnen wird der\n"
    "                       Papierstreifen erst am Ende ganz ausgegeben)\n"
    "Nach dem letzten Wort wird wie mit wait gewartet. --time-limit begrenzt die simulierte\n"
    "Zeit (Vorgabe 3600 Sekunden, höchstens 9000000000). Ohne --model gilt das Modell, das\n"
    "zuletzt im Fenster gewählt war. Mit --json, --tape oder --save-state wird der ganze\n"
    "Papierstreifen aufgehoben, höchstens 1000000 Zeilen; ein längerer Lauf bricht ab.\n"
    "Eine fehlende --library gibt es nicht: sie wird abgelehnt.\n"
    "--json nennt außer Anzeige, Registern, Programm und Papierstreifen auch \"steps\" (die\n"
    "ausgeführten Programmschritte) und \"originalSeconds\" (so lange hätte das Original\n"
    "dafür gebraucht).\n"
    "\n"
    "Exit-Status: 0 Erfolg; 1 Ausgabe, Papierstreifen, Bild oder Zustand ließ sich nicht\n"
    "schreiben, oder der Papierstreifen wurde zu lang; 2 eine falsche Angabe (nichts lief).\n"
    "\n"
    "Tasten von --snapshot: je Zeichen eine Taste, nicht die Wörter von --play:\n"
    "  0-9 . + - * / ( ) =  wie oben    S √x    P PRINT    f f\n"
    "  L R                  BETRIEBSART auf LOAD bzw. RUN\n"
    "Leerzeichen und alle anderen Zeichen werden übergangen.\n"
    "\n"
    "Beispiel:\n"
    "  veltranix --play '12 + 3 ='\n";

namespace {

// The simulated clock counts nanoseconds in 64 bits; this many seconds, and
// the few seconds a run may wait beyond them, stay exact there.
constexpr double maxTimeLimit = 9e9;

std::string named(const std::string& path) {
    return "„" + Quote::escaped(path) + "“";
}

std::string readScript(const std::string& path) {
    // "-" is standard input; anything that can be read to its end will do
    // (a FIFO from the shell's <(...) included), up to the library's bound.
    FILE* in = path == "-" ? stdin : std::fopen(path.c_str(), "rb");
    if (!in)
        refuseBatch("das Skript " + named(path) +
                    " ist nicht lesbar: " + SafeFile::reason(errno).toStdString());
    std::string text;
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0) {
        text.append(buffer, n);
        if (text.size() > static_cast<std::size_t>(UserPrograms::maxFileBytes))
            refuseBatch("das Skript " + named(path) + " ist zu groß (mehr als 64 MiB)");
    }
    const bool bad = std::ferror(in);
    const int why = errno;
    if (in != stdin) std::fclose(in);
    if (bad)
        refuseBatch("das Skript " + named(path) +
                    " ist nicht lesbar: " + SafeFile::reason(why).toStdString());
    return text;
}

void takeOption(BatchOptions& o, int argc, char** argv, int& i) {
    const std::string a = argv[i];
    auto value = [&]() -> std::string {
        if (i + 1 >= argc) refuseBatch("zu " + Quote::shown(a) + " fehlt der Wert");
        return argv[++i];
    };
    auto script = [&](bool inFile) {
        if (o.play) refuseBatch("--play und --script schließen sich aus");
        o.play = true;
        (inFile ? o.scriptFile.emplace() : o.script) = value();
    };
    if (a == "--play") {
        script(false);
    } else if (a == "--script") {
        script(true);
    } else if (a == "--list") {
        o.list = true;
    } else if (a == "--help" || a == "-h") {
        o.help = true;
    } else if (a == "--version") {
        o.version = true;
    } else if (a == "--json") {
        o.json = true;
    } else if (a == "--model") {
        const std::string m = value();
        o.model = modelFromRaw(m);
        if (!o.model) refuseBatch("unbekanntes Modell „" + Quote::shown(m) + "“ (410 oder 412)");
    } else if (a == "--tape") {
        o.tapeFile = value();
        if (!TapeExport::formatFor(SafeFile::toQt(*o.tapeFile)))
            refuseBatch("--tape braucht eine Datei mit der Endung .pdf, .txt oder .png, nicht „" +
                        Quote::shown(*o.tapeFile) + "“");
    } else if (a == "--library") {
        o.library = value();
    } else if (a == "--state") {
        o.stateFile = value();
    } else if (a == "--save-state") {
        o.saveStateFile = value();
    } else if (a == "--program") {
        const std::string n = value();
        char* end = nullptr;
        errno = 0;
        const long long v = std::strtoll(n.c_str(), &end, 10);
        if (n.empty() || *end || errno == ERANGE)
            refuseBatch("--program braucht eine Programmnummer, nicht „" + Quote::shown(n) + "“");
        o.program = v;
    } else if (a == "--time-limit") {
        const std::string t = value();
        char* end = nullptr;
        const double v = std::strtod(t.c_str(), &end);
        if (t.empty() || *end || !(v >= 0) || !std::isfinite(v))
            refuseBatch("--time-limit braucht Sekunden, nicht „" + Quote::shown(t) + "“");
        if (v > maxTimeLimit)
            refuseBatch("--time-limit darf höchstens 9000000000 Sekunden sein, nicht „" + Quote::shown(t) +
                        "“");
        o.timeLimit = v;
    } else {
        refuseBatch("unbekannte Option „" + Quote::shown(a) + "“ (veltranix --help)");
    }
}

void checkCombinations(const BatchOptions& o) {
    if (o.play && o.list) refuseBatch("--play und --list schließen sich aus");
    if (!o.play && !o.list) refuseBatch("--play oder --list fehlt (veltranix --help)");
    if (!o.play) {
        const std::pair<bool, const char*> onlyForPlay[] = {{o.tapeFile.has_value(), "--tape"},
                                                            {o.program.has_value(), "--program"},
                                                            {o.stateFile.has_value(), "--state"},
                                                            {o.saveStateFile.has_value(), "--save-state"}};
        for (const auto& [given, option] : onlyForPlay)
            if (given) refuseBatch(std::string(option) + " gehört zu --play oder --script");
    }
    if (o.stateFile && o.model)
        refuseBatch("--model und --state schließen sich aus: der gespeicherte Rechner hat sein Modell");
    if (o.library) {
        struct stat info {};
        if (::stat(o.library->c_str(), &info) != 0 && errno == ENOENT)
            refuseBatch("die Bibliothek " + named(*o.library) + " gibt es nicht");
    }
}

// The files this run reads, and the user's own, which no output may replace.
std::vector<std::string> inputsOf(const BatchOptions& o) {
    std::vector<std::string> inputs = userFiles();
    for (const auto& file : {o.library, o.stateFile, o.scriptFile})
        if (file && *file != "-") inputs.push_back(*file);
    // Standard input is an input too, whatever name leads to it.
    inputs.push_back(SafeFile::standardInput);
    return inputs;
}

std::string checkedOutput(const std::string& path, const std::vector<std::string>& inputs, const char* what) {
    const SafeFile::Target t = SafeFile::target(path, inputs);
    if (t.refused)
        refuseBatch(std::string(what) + " kann nicht nach " + named(path) +
                    " geschrieben werden: " + t.refused->toStdString());
    return t.path;
}

} // namespace

[[noreturn]] void refuseBatch(const std::string& message) {
    std::fprintf(stderr, "veltranix: %s\n", message.c_str());
    std::exit(2);
}

BatchOptions parseBatchOptions(int argc, char** argv) {
    BatchOptions o;
    for (int i = 1; i < argc; ++i) takeOption(o, argc, argv, i);
    if (o.help || o.version) return o;
    checkCombinations(o);
    const std::vector<std::string> inputs = inputsOf(o);
    if (o.tapeFile) o.tapeTarget = checkedOutput(*o.tapeFile, inputs, "der Papierstreifen");
    if (o.saveStateFile) o.saveStateTarget = checkedOutput(*o.saveStateFile, inputs, "der Zustand");
    if (o.tapeTarget && o.saveStateTarget && SafeFile::sameTarget(*o.tapeTarget, *o.saveStateTarget))
        refuseBatch("--tape und --save-state nennen dieselbe Datei " + named(*o.tapeFile));
    if (o.scriptFile) o.script = readScript(*o.scriptFile);
    return o;
}

} // namespace vx
