// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/Formatter.h"

#include "program/Codes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace vx::Formatter {

const Cells& blank() {
    static const Cells cells(width);
    return cells;
}

const Cells& dashes() {
    static const Cells cells = [] {
        Cells c(width);
        for (int i = 1; i < width; i += 2) c[i].ch = '-';
        return c;
    }();
    return cells;
}

const Cells& errorCells() {
    static const Cells cells = [] {
        Cells c(width);
        c[6].ch = 'E';
        for (int i = 7; i <= 11; ++i) c[i].ch = '-';
        return c;
    }();
    return cells;
}

std::string text(const Cells& cells) {
    std::string s;
    s.reserve(cells.size() * 2);
    for (const Cell& c : cells) {
        s += c.ch;
        if (c.dot) s += '.';
        if (c.comma) s += ',';
    }
    return s;
}

namespace {

Cells toCells(const std::string& text) {
    Cells cells;
    cells.reserve(text.size());
    for (char c : text) {
        if (c == '.' || c == ',') {
            if (cells.empty()) cells.push_back(Cell{'0'});
            (c == '.' ? cells.back().dot : cells.back().comma) = true;
        } else {
            cells.push_back(Cell{c});
        }
    }
    return cells;
}

Cells rightAligned(const Cells& cells) {
    Cells out(width);
    std::size_t take = std::min<std::size_t>(cells.size(), width - 1);
    std::copy(cells.end() - static_cast<std::ptrdiff_t>(take), cells.end(),
              out.end() - static_cast<std::ptrdiff_t>(take));
    return out;
}

std::string grouped(const std::string& digits) {
    std::string out;
    std::size_t n = digits.size();
    out.reserve(n + n / 3);
    for (std::size_t i = 0; i < n; ++i) {
        std::size_t fromEnd = n - i;
        if (i > 0 && fromEnd % 3 == 0) out.push_back(',');
        out.push_back(digits[i]);
    }
    return out;
}

} // namespace

bool needsSci(double x, bool sci) {
    double a = std::fabs(x);
    return sci || a >= 1e12 || (x != 0 && a <= 1e-9);
}

std::pair<std::string, int> digits13(double x) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.12e", std::fabs(x));
    std::string digits;
    digits.reserve(13);
    const char* p = buf;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') digits.push_back(*p);
    int e = *p == 'e' ? std::atoi(p + 1) : 0;
    return {digits, e};
}

namespace {

std::pair<std::string, std::string> truncated(double x, int d) {
    if (d < 0) d = 0;
    std::string intPart, frac;
    if (x == 0) {
        intPart = "0";
    } else {
        auto [digits, e] = digits13(x);
        if (e < 0) {
            intPart = "0";
            frac = std::string(static_cast<std::size_t>(-e - 1), '0') + digits;
        } else if (e + 1 >= 13) {
            intPart = digits + std::string(static_cast<std::size_t>(e + 1 - 13), '0');
        } else {
            intPart = digits.substr(0, static_cast<std::size_t>(e + 1));
            frac = digits.substr(static_cast<std::size_t>(e + 1));
        }
    }
    frac.resize(static_cast<std::size_t>(d), '0');
    return {intPart, frac};
}

int decimals(double x, int dp, int maxDigits) {
    double a = std::fabs(x);
    int n = a < 1 ? 1 : static_cast<int>(std::floor(std::log10(a))) + 1;
    int d = std::min(std::max(maxDigits - n, 0), dp);
    if (x == 0) return d;
    auto [intPart, frac] = truncated(a, d);
    bool nonZeroFrac = frac.find_first_not_of('0') != std::string::npos;
    if (nonZeroFrac || intPart != "0") return d;
    // A small value that would show as zero gets enough decimals for its first digit.
    return std::min(maxDigits - 1, static_cast<int>(-std::floor(std::log10(a))));
}

std::string fixedString(double x, int d) {
    auto [intPart, frac] = truncated(x, d);
    std::string text = grouped(intPart);
    if (d >= 1) text += "." + frac;
    bool nonZero = intPart.find_first_not_of('0') != std::string::npos ||
                   frac.find_first_not_of('0') != std::string::npos;
    if (x < 0 && nonZero) text = "-" + text;
    return text;
}

std::pair<std::string, int> mantissaExponent(double x, int n) {
    if (x == 0) return {"0." + std::string(static_cast<std::size_t>(n - 1), '0'), 0};
    auto [digits, e] = digits13(x);
    return {digits.substr(0, 1) + "." + digits.substr(1, static_cast<std::size_t>(n - 1)), e};
}

} // namespace

std::string dmsString(double x, int dp, int maxDecimals) {
    double v = x;
    if (std::fabs(x) >= 360) {
        v = std::fmod(x, 360.0);
        if (v < 0) v += 360.0;
    }
    int d = std::max(0, std::min(dp, maxDecimals));
    double a = std::fabs(v);
    double deg = std::floor(a);
    double min = std::floor((a - deg) * 60.0);
    double scale = std::pow(10.0, d);
    double sec = std::round(scale * ((a - deg) * 60.0 - min) * 60.0) / scale;
    if (sec >= 60) {
        min += 1;
        sec -= 60;
        if (min >= 60) {
            min -= 60;
            deg += 1;
        }
    }
    char head[64], tail[64], format[32];
    std::snprintf(head, sizeof head, "%d %02d ", static_cast<int>(deg), static_cast<int>(min));
    std::snprintf(format, sizeof format, "%%0%d.%df", d >= 1 ? d + 3 : 2, d);
    std::snprintf(tail, sizeof tail, format, sec);
    return std::string(v < 0 ? "-" : "") + head + tail;
}

Cells sciCells(double x) {
    auto [m, e] = mantissaExponent(x, 10);
    Cells cells = blank();
    if (x < 0) cells[1].ch = '-';
    Cells mc = toCells(m);
    for (std::size_t i = 0; i < mc.size() && i < 10; ++i) cells[2 + i] = mc[i];
    if (e < 0) cells[13].ch = '-';
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", std::abs(e));
    std::string ex = buf;
    cells[14].ch = ex.front();
    cells[15].ch = ex.back();
    return cells;
}

Cells numberCells(Num num, int dp, bool sci) {
    if (num.dms) return rightAligned(toCells(dmsString(num.v, dp, 4)));
    if (needsSci(num.v, sci)) return sciCells(num.v);
    return rightAligned(toCells(fixedString(num.v, decimals(num.v, dp, 12))));
}

Cells entryCells(const Entry& entry, int dp, bool sci) {
    if (entry.isDMS()) return rightAligned(toCells(dmsString(entry.value(), dp, 4)));
    if (entry.expMode || sci) return sciCells(entry.value());
    std::size_t point = entry.mant.find('.');
    std::string intPiece = entry.mant.substr(0, point);
    std::size_t firstNonZero = intPiece.find_first_not_of('0');
    intPiece = firstNonZero == std::string::npos ? "0" : intPiece.substr(firstNonZero);
    std::string text = grouped(intPiece);
    if (point == std::string::npos) {
        if (dp >= 1) {
            int zeros = std::min(dp, 12 - static_cast<int>(intPiece.size()));
            text += "." + std::string(static_cast<std::size_t>(std::max(zeros, 0)), '0');
        }
    } else {
        text += "." + entry.mant.substr(point + 1);
    }
    if (entry.neg) text = "-" + text;
    return rightAligned(toCells(text));
}

Cells identCells(Num num) {
    std::string s = fixedString(num.v, decimals(num.v, 9, 12));
    if (s.find('.') != std::string::npos) {
        while (!s.empty() && s.back() == '0') s.pop_back();
    } else {
        s += ".";
    }
    Cells cells = blank();
    Cells sc = toCells(s);
    for (std::size_t i = 0; i < sc.size() && i < 15; ++i) cells[1 + i] = sc[i];
    return cells;
}

Cells loadCells(const std::string& prev, int step, const std::string& cur, const std::string& next) {
    Cells cells = blank();
    auto write = [&](const std::string& text, int from) {
        for (std::size_t i = 0; i < text.size() && from + static_cast<int>(i) < width; ++i)
            cells[static_cast<std::size_t>(from) + i].ch = text[i];
    };
    write(prev, 0);
    cells[3].dot = true;
    write(Codes::decimal(step), 4);
    write(cur, 9);
    write(next, 13);
    return cells;
}

namespace {

std::string rawPrintString(Num num, int dp, bool sci) {
    double v = num.v;
    if (num.dms) return dmsString(v, dp, 4);
    double a = std::fabs(v);
    if (!sci && a < 1e10 && (v == 0 || a > 1e-9)) return fixedString(v, decimals(v, dp, 10));
    auto [m, e] = mantissaExponent(v, v < 0 ? 6 : 7);
    char buf[16];
    std::snprintf(buf, sizeof buf, " %s%02d", e < 0 ? "-" : " ", std::abs(e));
    return std::string(v < 0 ? "-" : "") + m + buf;
}

} // namespace

std::string printString(Num num, int dp, bool sci) {
    std::string s = rawPrintString(num, dp, sci);
    while (s.size() > 12 && s.find('.') != std::string::npos) {
        s.pop_back();
        if (!s.empty() && s.back() == '.') s.pop_back();
    }
    if (s.size() > 12) s = rawPrintString(num, dp, true);
    return s;
}

} // namespace vx::Formatter
