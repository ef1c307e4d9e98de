// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/StateFile.h"

#include "storage/Quote.h"

#include <QDateTime>
#include <QLockFile>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <functional>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace vx::StateFile {

namespace {

const char* const opNames[] = {"add", "sub", "mul", "div", "pow", "toRect", "toPolar"};
const char* const modeNames[] = {"run", "step", "load"};
const char* const prefixNames[] = {"none", "f", "setDP", "label", "metric", "reg", "cond"};

// Numbers are written in the shortest form that reads back exactly, with
// a point whatever the user's language says.
std::string number(double v) {
    char buf[64];
    const auto end = std::to_chars(buf, buf + sizeof buf, v).ptr;
    return std::string(buf, end);
}

std::string quoted(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7f) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string flag(bool b) {
    return b ? "1" : "0";
}

std::string num(const Num& n) {
    return number(n.v) + " " + flag(n.dms);
}

std::string numOp(const std::optional<std::pair<Num, Op>>& op) {
    if (!op) return "none";
    return num(op->first) + " " + opNames[static_cast<int>(op->second)];
}

class Writer {
  public:
    void line(const std::string& key, const std::string& value) { text_ += key + " " + value + "\n"; }
    std::string take() { return std::move(text_); }

  private:
    std::string text_;
};

} // namespace

void writeCalculation(Writer& w, const MachineState::Calculation& c) {
    w.line("E", num(c.E));
    w.line("errorSaved", num(c.errorSaved));
    if (c.entry) {
        std::string e = quoted(c.entry->mant) + " " + flag(c.entry->neg) + " " + flag(c.entry->expMode) +
                        " " + quoted(c.entry->exp) + " " + flag(c.entry->expNeg);
        for (const std::string& part : c.entry->dmsParts) e += " " + quoted(part);
        w.line("entry", e);
    } else {
        w.line("entry", "none");
    }
    w.line("numOp", numOp(c.current.numOp));
    w.line("pendingExec", flag(c.current.pendingExec));
    for (const ParenLevel& level : c.parens)
        w.line("paren", numOp(level.numOp) + " " + flag(level.pendingExec));
    w.line("dp", std::to_string(c.dp));
    w.line("sci", flag(c.sciMode));
    w.line("error", flag(c.error));
    w.line("ident", flag(c.identMode));
    w.line("entryReady", flag(c.chsStartsNumber));
    w.line("entryFlag", flag(c.entryFlag));
    w.line("polar", c.polar ? num(c.polar->a) + " " + num(c.polar->b) + " " + flag(c.polar->showB) : "none");
    w.line("sigma", c.sigmaPending ? number(c.sigmaPending->x) + " " + number(c.sigmaPending->sign) + " " +
                                         flag(c.sigmaPending->entered)
                                   : "none");
    const Prefix& p = c.prefix;
    w.line("prefix", std::string(prefixNames[static_cast<int>(p.kind)]) + " " + std::to_string(p.base) + " " +
                         std::to_string(p.off) + " " + flag(p.ind) + " " +
                         (p.digit ? std::to_string(*p.digit) : "-") + " " + std::to_string(p.bits));
    w.line("loadPrefixPrinted", flag(c.loadPrefixPrinted));
}

QByteArray format(const MachineState& state) {
    const auto& sw = state.switches;
    const auto& m = state.memory;
    Writer w;
    std::string head = std::string(header) +
                       "\n; Der ganze Rechner, wie er beim Schließen war (Dauerspeicher von Veltranix).\n";
    w.line("model", rawValue(sw.model));
    w.line("power", flag(sw.power));
    w.line("printer", flag(sw.printerOn));
    w.line("mode", modeNames[static_cast<int>(sw.mode)]);
    w.line("angle", sw.gradMode ? "grad" : "deg");
    w.line("tapeSwitch", flag(sw.tapeWritesProgram));
    w.line("tearSeed", std::to_string(state.paper.tearSeed));

    writeCalculation(w, state.calculation);

    for (const Num& r : m.registers) w.line("register", num(r));
    w.line("pc", std::to_string(m.pc));
    for (int address : m.returnStack) w.line("return", std::to_string(address));
    for (int step = 1; step <= Codes::steps; ++step)
        if (const Step code = m.program.at(step))
            w.line("step", std::to_string(step) + " " + std::to_string(*code));
    w.line("lastRun",
           std::to_string(state.record.runSteps) + " " + std::to_string(state.record.runOriginalNanos));
    for (int step = 1; step <= Codes::steps; ++step)
        if (const std::uint64_t count = m.program.count(step))
            w.line("count", std::to_string(step) + " " + std::to_string(count));
    const auto& tape = state.paper.tape;
    const std::size_t first = tape.size() > maxTapeLines ? tape.size() - maxTapeLines : 0;
    for (std::size_t i = first; i < tape.size(); ++i) {
        const TapeLine& l = tape[i];
        w.line("tape", std::to_string(l.id) + " " + flag(l.red) + " " + flag(l.left) + " " + quoted(l.text) +
                           " " + quoted(l.symbol) + " " + std::to_string(l.step));
    }
    return QByteArray::fromStdString(head + w.take() + "end\n");
}

namespace {

struct Bad {
    std::string why;
};

// One line's words: bare words, or "quoted" with \" \\ \xNN inside; how
// many there are. The words are written over the strings of `out`, which
// keep their room from line to line: a kept tape has a million lines.
std::size_t words(std::string_view line, std::vector<std::string>& out) {
    std::size_t count = 0;
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ') {
            ++i;
            continue;
        }
        if (out.size() == count) out.emplace_back();
        std::string& word = out[count++];
        word.clear();
        if (line[i] == '"') {
            ++i;
            bool closed = false;
            while (i < line.size()) {
                // Plain characters in one piece: a kept tape is mostly text.
                std::size_t plain = i;
                while (plain < line.size() && line[plain] != '"' && line[plain] != '\\') ++plain;
                word.append(line.substr(i, plain - i));
                i = plain;
                if (i == line.size()) break;
                const char c = line[i++];
                if (c == '"') {
                    closed = true;
                    break;
                }
                if (c != '\\') {
                    word += c;
                } else if (i < line.size() && (line[i] == '"' || line[i] == '\\')) {
                    word += line[i++];
                } else if (i + 2 < line.size() && line[i] == 'x') {
                    unsigned value = 0;
                    const auto hex = std::from_chars(line.data() + i + 1, line.data() + i + 3, value, 16);
                    if (hex.ptr != line.data() + i + 3)
                        throw Bad{"ein ungültiges Zeichen in Anführungszeichen"};
                    word += static_cast<char>(value);
                    i += 3;
                } else {
                    throw Bad{"ein ungültiges Zeichen in Anführungszeichen"};
                }
            }
            if (!closed) throw Bad{"ein Text ohne schließendes Anführungszeichen"};
        } else {
            const std::size_t end = std::min(line.find(' ', i), line.size());
            word.append(line.substr(i, end - i));
            i = end;
        }
    }
    return count;
}

class Reader {
  public:
    Reader(const std::vector<std::string>& w, std::size_t count) : words_(w), count_(count) {}
    std::size_t left() const { return count_ - at_; }
    const std::string& word() {
        if (at_ >= count_) throw Bad{"zu wenige Angaben"};
        return words_[at_++];
    }
    void done() const {
        if (at_ != count_) throw Bad{"zu viele Angaben"};
    }
    bool peekNone() {
        if (at_ < count_ && words_[at_] == "none") {
            ++at_;
            return true;
        }
        return false;
    }
    double real() {
        const std::string& w = word();
        double v = 0;
        const auto r = std::from_chars(w.data(), w.data() + w.size(), v);
        if (r.ec != std::errc() || r.ptr != w.data() + w.size())
            throw Bad{"„" + Quote::shown(w) + "“ ist keine Zahl"};
        return v;
    }
    long long integer(long long low, long long high) {
        const std::string& w = word();
        long long v = 0;
        const auto r = std::from_chars(w.data(), w.data() + w.size(), v);
        if (r.ec != std::errc() || r.ptr != w.data() + w.size() || v < low || v > high)
            throw Bad{"„" + Quote::shown(w) + "“ ist keine ganze Zahl von " + std::to_string(low) + " bis " +
                      std::to_string(high)};
        return v;
    }
    bool boolean() { return integer(0, 1) == 1; }
    Num num() {
        const double v = real();
        return Num{v, boolean()};
    }
    template <std::size_t N>
    int name(const char* const (&names)[N]) {
        const std::string& w = word();
        for (std::size_t i = 0; i < N; ++i)
            if (w == names[i]) return static_cast<int>(i);
        throw Bad{"„" + Quote::shown(w) + "“ ist hier unbekannt"};
    }
    std::optional<std::pair<Num, Op>> numOp() {
        if (peekNone()) return std::nullopt;
        const Num n = num();
        return std::pair{n, static_cast<Op>(name(opNames))};
    }

  private:
    const std::vector<std::string>& words_;
    std::size_t count_;
    std::size_t at_ = 0;
};

using Field = std::function<void(Reader&, MachineState&)>;

std::optional<Entry> readEntry(Reader& r) {
    if (r.peekNone()) return std::nullopt;
    Entry e;
    e.mant = r.word();
    e.neg = r.boolean();
    e.expMode = r.boolean();
    e.exp = r.word();
    e.expNeg = r.boolean();
    while (r.left() > 0) e.dmsParts.push_back(r.word());
    return e;
}

std::optional<Polar> readPolar(Reader& r) {
    if (r.peekNone()) return std::nullopt;
    Polar p;
    p.a = r.num();
    p.b = r.num();
    p.showB = r.boolean();
    return p;
}

std::optional<SigmaPending> readSigma(Reader& r) {
    if (r.peekNone()) return std::nullopt;
    SigmaPending p;
    p.x = r.real();
    p.sign = r.real();
    p.entered = r.boolean();
    return p;
}

Prefix readPrefix(Reader& r) {
    Prefix p;
    p.kind = static_cast<Prefix::Kind>(r.name(prefixNames));
    p.base = static_cast<int>(r.integer(0, 255));
    p.off = static_cast<int>(r.integer(0, 255));
    p.ind = r.boolean();
    const std::string& d = r.word();
    if (d != "-") {
        if (d.size() != 1 || d[0] < '0' || d[0] > '9') throw Bad{"eine ungültige Registerziffer"};
        p.digit = d[0] - '0';
    }
    p.bits = static_cast<int>(r.integer(0, 255));
    return p;
}

const std::map<std::string, Field>& singleFields() {
    static const std::map<std::string, Field> fields = {
        {"model",
         [](Reader& r, MachineState& s) {
             const auto model = modelFromRaw(r.word());
             if (!model) throw Bad{"ein unbekanntes Modell"};
             s.switches.model = *model;
         }},
        {"power", [](Reader& r, MachineState& s) { s.switches.power = r.boolean(); }},
        {"printer", [](Reader& r, MachineState& s) { s.switches.printerOn = r.boolean(); }},
        {"mode", [](Reader& r, MachineState& s) { s.switches.mode = static_cast<Mode>(r.name(modeNames)); }},
        {"angle",
         [](Reader& r, MachineState& s) {
             static const char* const angles[] = {"deg", "grad"};
             s.switches.gradMode = r.name(angles) == 1;
         }},
        {"tapeSwitch", [](Reader& r, MachineState& s) { s.switches.tapeWritesProgram = r.boolean(); }},
        {"tearSeed",
         [](Reader& r, MachineState& s) {
             s.paper.tearSeed = static_cast<std::uint32_t>(r.integer(1, 4294967295LL));
         }},
        {"E", [](Reader& r, MachineState& s) { s.calculation.E = r.num(); }},
        {"errorSaved", [](Reader& r, MachineState& s) { s.calculation.errorSaved = r.num(); }},
        {"entry", [](Reader& r, MachineState& s) { s.calculation.entry = readEntry(r); }},
        {"numOp", [](Reader& r, MachineState& s) { s.calculation.current.numOp = r.numOp(); }},
        {"pendingExec", [](Reader& r, MachineState& s) { s.calculation.current.pendingExec = r.boolean(); }},
        {"dp", [](Reader& r, MachineState& s) { s.calculation.dp = static_cast<int>(r.integer(0, 9)); }},
        {"sci", [](Reader& r, MachineState& s) { s.calculation.sciMode = r.boolean(); }},
        {"error", [](Reader& r, MachineState& s) { s.calculation.error = r.boolean(); }},
        {"ident", [](Reader& r, MachineState& s) { s.calculation.identMode = r.boolean(); }},
        {"entryReady", [](Reader& r, MachineState& s) { s.calculation.chsStartsNumber = r.boolean(); }},
        {"entryFlag", [](Reader& r, MachineState& s) { s.calculation.entryFlag = r.boolean(); }},
        {"polar", [](Reader& r, MachineState& s) { s.calculation.polar = readPolar(r); }},
        {"sigma", [](Reader& r, MachineState& s) { s.calculation.sigmaPending = readSigma(r); }},
        {"prefix", [](Reader& r, MachineState& s) { s.calculation.prefix = readPrefix(r); }},
        {"loadPrefixPrinted",
         [](Reader& r, MachineState& s) { s.calculation.loadPrefixPrinted = r.boolean(); }},
        {"pc",
         [](Reader& r, MachineState& s) { s.memory.pc = static_cast<int>(r.integer(1, Codes::steps)); }},
        {"lastRun",
         [](Reader& r, MachineState& s) {
             s.record.runSteps =
                 static_cast<std::uint64_t>(r.integer(0, std::numeric_limits<long long>::max()));
             s.record.runOriginalNanos = r.integer(0, std::numeric_limits<long long>::max());
         }},
    };
    return fields;
}

const std::map<std::string, Field>& repeatedFields() {
    static const std::map<std::string, Field> fields = {
        {"paren",
         [](Reader& r, MachineState& s) {
             ParenLevel level;
             level.numOp = r.numOp();
             level.pendingExec = r.boolean();
             s.calculation.parens.push_back(level);
         }},
        {"register", [](Reader& r, MachineState& s) { s.memory.registers.push_back(r.num()); }},
        {"count",
         [](Reader& r, MachineState& s) {
             const auto at = static_cast<int>(r.integer(1, Codes::steps));
             s.memory.program.setCount(
                 at, static_cast<std::uint64_t>(r.integer(0, std::numeric_limits<long long>::max())));
         }},
        {"return",
         [](Reader& r, MachineState& s) {
             s.memory.returnStack.push_back(static_cast<int>(r.integer(1, Codes::steps)));
         }},
        {"step",
         [](Reader& r, MachineState& s) {
             const auto at = static_cast<int>(r.integer(1, Codes::steps));
             if (s.memory.program.at(at)) throw Bad{"Schritt " + std::to_string(at) + " steht zweimal da"};
             s.memory.program.store(at, static_cast<int>(r.integer(0, 255)));
         }},
        {"tape",
         [](Reader& r, MachineState& s) {
             TapeLine l;
             const std::string& id = r.word();
             const auto parsed = std::from_chars(id.data(), id.data() + id.size(), l.id);
             if (parsed.ec != std::errc() || parsed.ptr != id.data() + id.size())
                 throw Bad{"„" + Quote::shown(id) + "“ ist keine Zeilennummer"};
             l.red = r.boolean();
             l.left = r.boolean();
             l.text = r.word();
             l.symbol = r.word();
             l.step = static_cast<int>(r.integer(0, Codes::steps));
             s.paper.tape.push(std::move(l));
         }},
    };
    return fields;
}

} // namespace

namespace {

// Takes the file line by line, so that reading keeps no more than the
// machine it builds: a large kept tape is read without a copy of the file.
class Parser {
  public:
    Parser() = default;

    // The bytes as they come; lines may be split between two pieces.
    void feed(std::string_view bytes) {
        while (!bytes.empty()) {
            const std::size_t end = bytes.find('\n');
            if (end == std::string_view::npos) {
                pending_.append(bytes);
                return;
            }
            if (pending_.empty()) {
                line(bytes.substr(0, end));
            } else {
                pending_.append(bytes.substr(0, end));
                line(pending_);
                pending_.clear();
            }
            bytes.remove_prefix(end + 1);
        }
    }

    MachineState finish() {
        if (!pending_.empty()) line(pending_);
        if (number_ == 0) throw Bad{"die Datei ist leer"};
        for (const auto& [key, field] : singleFields())
            if (!seen_.count(key)) throw Bad{"die Angabe „" + key + "“ fehlt"};
        if (!ended_) throw Bad{"die Datei endet vor „end“ (abgeschnitten?)"};
        return std::move(state_);
    }

  private:
    void line(std::string_view line) {
        ++number_;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (number_ == 1) {
            if (line != header)
                throw Bad{"die erste Zeile ist nicht „" + std::string(header) + "“ (eine andere Fassung?)"};
            return;
        }
        if (line.empty() || line[0] == ';') return;
        if (ended_) throw Bad{"Zeile " + std::to_string(number_) + ": nach „end“ steht noch etwas"};
        try {
            Reader r(words_, words(line, words_));
            const std::string key = r.word();
            if (key == "end") {
                r.done();
                ended_ = true;
                return;
            }
            // Tape lines are by far the most; they need no search.
            static const Field& tapeField = repeatedFields().at("tape");
            if (key == "tape") {
                tapeField(r, state_);
            } else if (auto one = singleFields().find(key); one != singleFields().end()) {
                if (!seen_.insert(key).second) throw Bad{"„" + key + "“ steht zweimal da"};
                one->second(r, state_);
            } else if (auto many = repeatedFields().find(key); many != repeatedFields().end()) {
                many->second(r, state_);
            } else {
                throw Bad{"„" + Quote::shown(key) + "“ ist unbekannt"};
            }
            r.done();
        } catch (const Bad& bad) {
            throw Bad{"Zeile " + std::to_string(number_) + ": " + bad.why};
        }
    }

    MachineState state_;
    std::vector<std::string> words_;
    std::set<std::string> seen_;
    std::string pending_;
    std::size_t number_ = 0;
    bool ended_ = false;
};

} // namespace

Parsed parse(const QByteArray& bytes) {
    try {
        Parser parser;
        parser.feed(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
        return {parser.finish(), QString()};
    } catch (const Bad& bad) {
        return {std::nullopt, QString::fromStdString(bad.why)};
    }
}

Loaded read(const SafeFile::Path& path) {
    Parser parser;
    std::optional<QString> bad;
    const SafeFile::Streamed file = SafeFile::stream(path, maxBytes, [&](const char* data, std::size_t n) {
        try {
            parser.feed(std::string_view(data, n));
            return true;
        } catch (const Bad& b) {
            bad = QString::fromStdString(b.why);
            return false;
        }
    });
    if (file.missing) return {std::nullopt, true, std::nullopt};
    if (file.problem) return {std::nullopt, false, file.problem};
    if (bad) return {std::nullopt, false, bad};
    try {
        return {parser.finish(), false, std::nullopt};
    } catch (const Bad& b) {
        return {std::nullopt, false, QString::fromStdString(b.why)};
    }
}

std::optional<QString> write(const SafeFile::Path& path, const MachineState& state,
                             const std::vector<SafeFile::Path>& inputs) {
    const SafeFile::Target target = SafeFile::target(path, inputs);
    if (target.refused) return target.refused;
    const SafeFile::Path lockPath = target.path + ".lock";
    const QString lockName = QString::fromStdString(Quote::escaped(lockPath));
    if (const auto refused = SafeFile::lockRefused(lockPath))
        return QStringLiteral("die Sperrdatei „%1“ %2").arg(lockName, *refused);
    QLockFile lock(SafeFile::toQt(lockPath));
    lock.setStaleLockTime(10000);
    if (!SafeFile::lockWithin(lock, 5000))
        return QStringLiteral("die Sperrdatei „%1“ wird gehalten").arg(lockName);
    return SafeFile::write(target.path, format(state));
}

std::optional<SafeFile::Path> keepAside(const SafeFile::Path& path) {
    const std::string stamp =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")).toStdString();
    SafeFile::Path aside = path + ".beschädigt-" + stamp;
    for (int n = 2; ::access(aside.c_str(), F_OK) == 0; ++n)
        aside = path + ".beschädigt-" + stamp + "-" + std::to_string(n);
    if (std::rename(path.c_str(), aside.c_str()) != 0) return std::nullopt;
    return aside;
}

} // namespace vx::StateFile
