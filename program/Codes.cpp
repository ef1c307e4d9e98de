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

// The codes of one key each.
void putSingles(Table& t) {
    auto put = [&t](int code, const std::string& m, const std::string& s) { define(t, code, m, s); };
    for (int d = 0; d < 10; ++d) put(d, indexNames[d], indexSymbols[d]);
    put(10, ".", ".");
    put(11, "CHS", "S");
    put(12, "EXP", "EX");
    put(13, "D/M/S", "/");
    put(16, "=", "=");
    put(17, "+", "+");
    put(18, "-", "-");
    put(19, "*", "×");
    put(20, "/", "÷");
    put(21, "A^X", "aˣ");
    put(22, "(", "(");
    put(23, ")", ")");
    put(24, "RETURN", "RT");
    put(26, "IDENT", "ID");
    put(27, "STOP", "SS");
    put(28, "PRINT", "PT");
    put(29, "ADV", "PA");
    put(30, "RESET", "∧");
    put(31, "CLEAR", "CL");
    put(32, "TAPE WP", "WP");
    put(33, "TAPE TR", "TR");
    put(40, "SIGMA", "Σ");
    put(41, "SD", "SD");
    put(48, "LN", "Ln");
    put(49, "LOG", "LG");
    put(50, "SQRT", "√");
    put(51, "1/X", "1/X");
    put(56, "SIN", "S");
    put(57, "COS", "C");
    put(58, "TAN", "T");
    put(59, "TO RECT", "XY");
    put(60, "->RAD", "DR");
    put(64, "CLEAR R1-3", "C3");
    put(65, "EULER", "e");
    put(66, "ABS", "AB");
    put(67, "MEAN", "MN");
    put(68, "SD", "SD");
    put(69, "FRAC", "FR");
    put(70, "INT", "IN");
    put(71, "PI", "π");
    put(72, "ROUND", "RN");
    put(73, "IDENT", "ID");
    put(74, "DOTS", "...");
    put(75, "SELFTEST", "AT");
    put(76, "PAUSE", "PS");
    put(77, "F D/M/S", "F/");
    put(95, "CLEAR ALL", "CA");
    put(96, "TAPE PB", "PB");
    put(104, "-SIGMA", "-Σ");
    put(105, "MEAN", "MN");
    put(112, "E^X", "Ln-1");
    put(113, "10^X", "L-1");
    put(114, "X^2", "SQ");
    put(115, "X!", "!");
    put(120, "SIN-1", "S-1");
    put(121, "COS-1", "C-1");
    put(122, "TAN-1", "T-1");
    put(123, "TO POLAR", "θr");
    put(124, "RAD->", "RD");
}

// The families: a base code plus the index key, modifier or condition.
void putFamilies(Table& t) {
    auto put = [&t](int code, const std::string& m, const std::string& s) { define(t, code, m, s); };
    for (int k = 0; k < 16; ++k)
        put(128 + k, std::string("LABEL ") + indexNames[k], std::string("L") + indexSymbols[k]);
    for (int k = 0; k <= 12; ++k)
        put(144 + k, std::string("DP ") + indexNames[k], std::string("DP") + indexSymbols[k]);
    for (int k = 0; k <= 11; ++k) {
        put(160 + k, std::string("->METRIC ") + indexNames[k], std::string("M") + indexSymbols[k]);
        put(176 + k, std::string("METRIC-> ") + indexNames[k], std::string("B") + indexSymbols[k]);
    }
    for (int k = 0; k <= 5; ++k) {
        put(192 + k, "ST" + mnemonicSuffix(k), "ST" + opSuffix(k));
        put(200 + k, "RCL" + mnemonicSuffix(k), "RC" + opSuffix(k));
        put(208 + k, "EXCH" + mnemonicSuffix(k), "XC" + opSuffix(k));
    }
    put(224, "TAPE WD", "WD");
    for (int b = 0; b < 8; ++b) {
        put(232 + b, b ? "JUMP " + condSuffix(b) : "JUMP", "J" + condSuffix(b));
        put(240 + b, b ? "BRANCH " + condSuffix(b) : "BRANCH", "B" + condSuffix(b));
    }
}

const Table& table() {
    static const Table t = [] {
        Table t;
        t.mnemonic.fill("?");
        t.symbol.fill("?");
        putSingles(t);
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
    if (n > 43) return std::nullopt;
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
