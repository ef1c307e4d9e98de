// SPDX-License-Identifier: GPL-3.0-or-later
#include "program/Codes.h"

#include <array>
#include <cctype>
#include <cstdio>

namespace vx::Codes {
namespace {

const char* const indexNames[16] = {"0", "1", "2", "3",   "4",   "5",     "6", "7",
                                    "8", "9", ".", "CHS", "EXP", "D/M/S", "(", ")"};
const char* const indexSymbols[16] = {"0", "1", "2", "3", "4",  "5", "6", "7",
                                      "8", "9", ".", "S", "EX", "/", "(", ")"};

struct Table {
    std::array<std::string, 256> mnemonic;
    std::array<std::string, 256> symbol;
};

void define(Table& t, int code, const std::string& m, const std::string& s) {
    t.mnemonic[code] = m;
    t.symbol[code] = s;
}

// The codes of one key each: what the keys give plain.
void putSingles(Table& t) {
    auto put = [&t](int code, const std::string& m, const std::string& s) { define(t, code, m, s); };
    for (int d = 0; d < 10; ++d) put(d, indexNames[d], indexSymbols[d]);
    put(dot, ".", ".");
    put(chs, "CHS", "S");
    put(exp, "EXP", "EX");
    put(dms, "D/M/S", "/");
    put(equals, "=", "=");
    put(add, "+", "+");
    put(subtract, "-", "-");
    put(multiply, "*", "×");
    put(divide, "/", "÷");
    put(power, "A^X", "aˣ");
    put(openParen, "(", "(");
    put(closeParen, ")", ")");
    put(returnStep, "RETURN", "RT");
    put(ident, "IDENT", "ID");
    put(stop, "STOP", "SS");
    put(print, "PRINT", "PT");
    put(advance, "ADV", "PA");
    put(reset, "RESET", "∧");
    put(clear, "CLEAR", "CL");
    put(tapeWP, "TAPE WP", "WP");
    put(tapeTR, "TAPE TR", "TR");
    put(sigma, "SIGMA", "Σ");
    put(deviation, "SD", "SD");
    put(ln, "LN", "Ln");
    put(log, "LOG", "LG");
    put(sqrt, "SQRT", "√");
    put(reciprocal, "1/X", "1/X");
    put(sin, "SIN", "S");
    put(cos, "COS", "C");
    put(tan, "TAN", "T");
    put(toRect, "TO RECT", "XY");
    put(toRadians, "->RAD", "DR");
}

// The codes a key gives after f, and the tape's own.
void putShiftedSingles(Table& t) {
    auto put = [&t](int code, const std::string& m, const std::string& s) { define(t, code, m, s); };
    put(clearStatistics, "CLEAR R1-3", "C3");
    put(euler, "EULER", "e");
    put(abs, "ABS", "AB");
    put(mean, "MEAN", "MN");
    put(shiftedDeviation, "SD", "SD");
    put(fraction, "FRAC", "FR");
    put(integer, "INT", "IN");
    put(pi, "PI", "π");
    put(round, "ROUND", "RN");
    put(shiftedIdent, "IDENT", "ID");
    put(dots, "DOTS", "...");
    put(selfTest, "SELFTEST", "AT");
    put(pause, "PAUSE", "PS");
    put(flipDms, "F D/M/S", "F/");
    put(clearAll, "CLEAR ALL", "CA");
    put(tapePB, "TAPE PB", "PB");
    put(minusSigma, "-SIGMA", "-Σ");
    put(shiftedMean, "MEAN", "MN");
    put(expE, "E^X", "Ln-1");
    put(exp10, "10^X", "L-1");
    put(square, "X^2", "SQ");
    put(factorial, "X!", "!");
    put(asin, "SIN-1", "S-1");
    put(acos, "COS-1", "C-1");
    put(atan, "TAN-1", "T-1");
    put(toPolar, "TO POLAR", "θr");
    put(fromRadians, "RAD->", "RD");
}

// The families: a base code plus the index key, modifier or condition.
void putFamilies(Table& t) {
    auto put = [&t](int code, const std::string& m, const std::string& s) { define(t, code, m, s); };
    for (int k = 0; k < labels; ++k)
        put(label + k, std::string("LABEL ") + indexNames[k], std::string("L") + indexSymbols[k]);
    for (int k = 0; k <= exp; ++k)
        put(decimals + k, std::string("DP ") + indexNames[k], std::string("DP") + indexSymbols[k]);
    for (int k = 0; k < metricUnits; ++k) {
        put(toMetric + k, std::string("->METRIC ") + indexNames[k], std::string("M") + indexSymbols[k]);
        put(fromMetric + k, std::string("METRIC-> ") + indexNames[k], std::string("B") + indexSymbols[k]);
    }
    for (int k = 0; k < modifiers; ++k) {
        put(store + k, "ST" + mnemonicSuffix(k), "ST" + opSuffix(k));
        put(recall + k, "RCL" + mnemonicSuffix(k), "RC" + opSuffix(k));
        put(exchange + k, "EXCH" + mnemonicSuffix(k), "XC" + opSuffix(k));
    }
    put(tapeWD, "TAPE WD", "WD");
    for (int b = 0; b < conditions; ++b) {
        put(jump + b, b ? "JUMP " + condSuffix(b) : "JUMP", "J" + condSuffix(b));
        put(branch + b, b ? "BRANCH " + condSuffix(b) : "BRANCH", "B" + condSuffix(b));
    }
}

const Table& table() {
    static const Table t = [] {
        Table t;
        t.mnemonic.fill("?");
        t.symbol.fill("?");
        putSingles(t);
        putShiftedSingles(t);
        putFamilies(t);
        return t;
    }();
    return t;
}

} // namespace

bool isFunction(int code) {
    return (code >= ln && code <= reciprocal) || (code >= sin && code <= tan) || code == toRadians ||
           (code >= expE && code <= factorial) || (code >= asin && code <= atan) || code == fromRadians;
}

const std::string& mnemonic(int code) {
    static const std::string unknown = "?";
    return code >= 0 && code < 256 ? table().mnemonic[code] : unknown;
}

const std::string& symbol(int code) {
    static const std::string unknown = "?";
    return code >= 0 && code < 256 ? table().symbol[code] : unknown;
}

std::string keySymbol(int index) {
    if (index >= 0 && index < 16) return indexSymbols[index];
    if (index == 27) return "SS";
    return "?";
}

std::string opSuffix(int k) {
    static const char* const s[6] = {"", "+", "-", "×", "÷", "aˣ"};
    return k >= 0 && k < 6 ? s[k] : "";
}

std::string mnemonicSuffix(int k) {
    static const char* const s[6] = {"", " +", " -", " *", " /", " A^X"};
    return k >= 0 && k < 6 ? s[k] : "";
}

std::string condSuffix(int bits) {
    std::string s;
    if (bits & 1) s += "+";
    if (bits & 2) s += "-";
    if (bits & 4) s += "=";
    return s;
}

std::string decimal(Step step) {
    if (!step) return "   ";
    char buf[16];
    std::snprintf(buf, sizeof buf, "%03d", *step);
    return buf;
}

std::string octal(Step step) {
    if (!step) return "   ";
    char buf[16];
    std::snprintf(buf, sizeof buf, "%03o", static_cast<unsigned>(*step));
    return buf;
}

std::string registerDigits(int operand) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", operand % indirect);
    return buf;
}

std::string registerMnemonic(int operand) {
    return (operand >= indirect ? "IND " : "") + registerDigits(operand);
}

std::optional<int> registerOperand(std::string_view text) {
    std::string s = normalized(text);
    int offset = 0;
    if (s.rfind("IND", 0) == 0) {
        s.erase(0, 3);
        offset = indirect;
    }
    if (s.size() != 2 || !std::isdigit(static_cast<unsigned char>(s[0])) ||
        !std::isdigit(static_cast<unsigned char>(s[1])))
        return std::nullopt;
    int n = (s[0] - '0') * 10 + (s[1] - '0');
    if (n > highestRegister) return std::nullopt;
    return offset + n;
}

std::string normalized(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        unsigned char u = static_cast<unsigned char>(c);
        if (std::isspace(u)) continue;
        out.push_back(static_cast<char>(u < 128 ? std::toupper(u) : u));
    }
    return out;
}

const std::map<std::string, int>& codesByMnemonic() {
    static const std::map<std::string, int> byMnemonic = [] {
        std::map<std::string, int> m;
        // Walking downwards lets a mnemonic shared by two codes find the lower one.
        for (int code = 255; code >= 0; --code)
            if (mnemonic(code) != "?") m[normalized(mnemonic(code))] = code;
        return m;
    }();
    return byMnemonic;
}

std::optional<int> code(std::string_view forMnemonic) {
    const auto& m = codesByMnemonic();
    auto it = m.find(normalized(forMnemonic));
    if (it == m.end()) return std::nullopt;
    return it->second;
}

const std::map<int, double>& metricFactors() {
    static const std::map<int, double> factors = {
        {1, 2.54},    {2, 0.3048},     {3, 1.609344},     {4, 16.387064},        {5, 3.785411784},
        {6, 4.54609}, {7, 0.45359237}, {8, 28.349523125}, {9, 0.01601846337396}, {10, 0.07030695796}};
    return factors;
}

} // namespace vx::Codes
