// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Clipboard.h"

#include "display/Formatter.h"
#include "engine/Engine.h"
#include "storage/ProgramText.h"

#include <cmath>
#include <cstdio>

namespace vx::Clipboard {

bool showsNumber(const Engine& engine) {
    return engine.power() && engine.mode() != Mode::load && !engine.busy() && !engine.error();
}

QString numberText(double value, bool exponentForm, const QLocale& locale) {
    const auto [all, exponent] = Formatter::digits13(value);
    std::string digits = value == 0 ? std::string(1, '0') : all;
    const int e = value == 0 ? 0 : exponent;
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    const QString point = locale.decimalPoint();
    QString out = std::signbit(value) ? QStringLiteral("-") : QString();
    if (exponentForm && value != 0) {
        out += QChar(digits[0]);
        if (digits.size() > 1) out += point + QString::fromStdString(digits.substr(1));
        return out + QStringLiteral("E%1").arg(e);
    }
    if (e < 0)
        return out + QStringLiteral("0") + point + QString(-e - 1, QLatin1Char('0')) +
               QString::fromStdString(digits);
    const std::size_t whole = static_cast<std::size_t>(e) + 1;
    if (digits.size() <= whole)
        return out + QString::fromStdString(digits) +
               QString(static_cast<qsizetype>(whole - digits.size()), QLatin1Char('0'));
    return out + QString::fromStdString(digits.substr(0, whole)) + point +
           QString::fromStdString(digits.substr(whole));
}

QString numberText(const Engine& engine, const QLocale& locale) {
    if (engine.entry()) {
        const Entry& entry = *engine.entry();
        return numberText(r13(entry.value()), entry.expMode && !entry.isDMS(), locale);
    }
    return numberText(engine.E().v, Formatter::needsSci(engine.E().v, engine.sciMode()), locale);
}

namespace {

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QChar(0x00A0) || c == QChar(0x202F) || c == QChar(0x2009);
}

// Every group after the first of exactly three digits, the first of one to three.
bool groupsOfThree(const QStringList& groups) {
    if (groups.size() < 2 || groups[0].isEmpty() || groups[0].size() > 3) return false;
    for (qsizetype i = 1; i < groups.size(); ++i)
        if (groups[i].size() != 3) return false;
    return true;
}

Typed refused(const QString& why) {
    return {{}, why};
}

} // namespace

Typed keysFor(const QString& raw, const QLocale& locale) {
    QString text = raw.trimmed();
    if (text.isEmpty()) return refused(QStringLiteral("Die Zwischenablage enthält keine Zahl."));
    const Typed notANumber = refused(QStringLiteral("„%1“ ist keine Zahl.").arg(text.left(40)));

    bool negative = false;
    if (text[0] == QLatin1Char('-') || text[0] == QChar(0x2212) || text[0] == QLatin1Char('+')) {
        negative = text[0] != QLatin1Char('+');
        text.remove(0, 1);
    }
    // The exponent: E or e, an optional sign, digits.
    int exponent = 0;
    const qsizetype e = text.indexOf(QLatin1Char('e'), 0, Qt::CaseInsensitive);
    const bool hasExponent = e >= 0;
    if (hasExponent) {
        QString tail = text.mid(e + 1);
        bool expNegative = false;
        if (!tail.isEmpty() &&
            (tail[0] == QLatin1Char('-') || tail[0] == QChar(0x2212) || tail[0] == QLatin1Char('+'))) {
            expNegative = tail[0] != QLatin1Char('+');
            tail.remove(0, 1);
        }
        if (tail.isEmpty() || tail.size() > 4)
            return tail.size() > 4 ? refused(QStringLiteral("Die Zahl liegt außerhalb des Bereichs."))
                                   : notANumber;
        for (QChar c : tail)
            if (!c.isDigit() || c.unicode() > '9') return notANumber;
        exponent = tail.toInt() * (expNegative ? -1 : 1);
        text.truncate(e);
    }
    // Blanks are grouping only between digits.
    QString mantissa;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!isBlank(text[i])) {
            mantissa += text[i];
            continue;
        }
        if (i == 0 || i + 1 >= text.size() || !text[i - 1].isDigit() || !text[i + 1].isDigit())
            return notANumber;
        mantissa += QLatin1Char(' ');
    }
    if (mantissa.isEmpty()) return notANumber;
    for (QChar c : mantissa)
        if (!(c >= QLatin1Char('0') && c <= QLatin1Char('9')) && c != QLatin1Char('.') &&
            c != QLatin1Char(',') && c != QLatin1Char(' '))
            return notANumber;

    // Which of "." and "," is the decimal point: the last of two different
    // ones; a single one unless it can only be grouping; where it could be
    // either (one separator before three digits), the locale's reading.
    const qsizetype dots = mantissa.count(QLatin1Char('.')), commas = mantissa.count(QLatin1Char(','));
    QChar decimal;
    if (dots && commas) {
        decimal = mantissa.lastIndexOf(QLatin1Char('.')) > mantissa.lastIndexOf(QLatin1Char(','))
                      ? QLatin1Char('.')
                      : QLatin1Char(',');
        if (mantissa.count(decimal) > 1) return notANumber;
    } else if (dots + commas == 1) {
        const QChar sep = dots ? QLatin1Char('.') : QLatin1Char(',');
        const QStringList parts = mantissa.split(sep);
        const bool couldGroup = parts[1].size() == 3 && !parts[0].isEmpty() &&
                                !parts[0].contains(QLatin1Char(' ')) && parts[0].size() <= 3 && !hasExponent;
        decimal = couldGroup && locale.groupSeparator() == QString(sep) ? QChar() : sep;
    }
    QString whole = mantissa, fraction;
    if (!decimal.isNull()) {
        const qsizetype at = mantissa.lastIndexOf(decimal);
        whole = mantissa.left(at);
        fraction = mantissa.mid(at + 1);
        if (fraction.contains(QLatin1Char(' ')) || fraction.contains(QLatin1Char('.')) ||
            fraction.contains(QLatin1Char(',')))
            return notANumber;
    }
    // Whatever separates the whole part must be grouping in threes.
    for (QChar group : {QLatin1Char('.'), QLatin1Char(','), QLatin1Char(' ')}) {
        if (!whole.contains(group)) continue;
        if (!groupsOfThree(whole.split(group))) return notANumber;
        whole.remove(group);
    }
    if (whole.contains(QLatin1Char('.')) || whole.contains(QLatin1Char(','))) return notANumber;
    if (whole.isEmpty() && fraction.isEmpty()) return notANumber;

    // To 13 significant digits, then typed as the keys would: plain where
    // it fits the display's fixed form, else mantissa and exponent.
    const QString plain = (whole.isEmpty() ? QStringLiteral("0") : whole) + QLatin1Char('.') +
                          (fraction.isEmpty() ? QStringLiteral("0") : fraction);
    const double mant = plain.toDouble();
    if (!std::isfinite(mant)) return refused(QStringLiteral("Die Zahl liegt außerhalb des Bereichs."));
    auto [digits, scale] = Formatter::digits13(mant);
    const bool zero = mant == 0;
    const int decimalExponent = zero ? 0 : scale + exponent;
    if (!zero && (decimalExponent >= 100 || decimalExponent < -99))
        return refused(QStringLiteral("Die Zahl liegt außerhalb des Bereichs."));
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    Typed typed;
    auto digit = [&](char d) { typed.keys.push_back(Key::digit(d - '0')); };
    if (zero) {
        digit('0');
    } else if (decimalExponent >= 0 && decimalExponent < 12 && !hasExponent) {
        const std::size_t wholeDigits = static_cast<std::size_t>(decimalExponent) + 1;
        for (std::size_t i = 0; i < std::max(wholeDigits, digits.size()); ++i) {
            if (i == wholeDigits) typed.keys.push_back(Key(KeyKind::dot));
            digit(i < digits.size() ? digits[i] : '0');
        }
    } else if (decimalExponent < 0 && decimalExponent >= -9 && !hasExponent) {
        typed.keys.push_back(Key(KeyKind::dot));
        for (int i = 0; i < -decimalExponent - 1; ++i) digit('0');
        for (char d : digits) digit(d);
    } else {
        digit(digits[0]);
        if (digits.size() > 1) {
            typed.keys.push_back(Key(KeyKind::dot));
            for (std::size_t i = 1; i < digits.size(); ++i) digit(digits[i]);
        }
        if (negative) typed.keys.push_back(Key(KeyKind::chs));
        negative = false;
        typed.keys.push_back(Key(KeyKind::exp));
        const int magnitude = std::abs(decimalExponent);
        if (magnitude >= 10) digit(static_cast<char>('0' + magnitude / 10));
        digit(static_cast<char>('0' + magnitude % 10));
        if (decimalExponent < 0) typed.keys.push_back(Key(KeyKind::chs));
    }
    if (negative) typed.keys.push_back(Key(KeyKind::chs));
    return typed;
}

QString programText(const Engine& engine) {
    return ProgramText::format({SavedProgram{1, "Programmspeicher", engine.programSteps(), std::nullopt}},
                               engine.model());
}

PastedProgram programFrom(const QString& text, Model model) {
    std::vector<SavedProgram> programs = ProgramText::parse(text, model);
    // Bare step lines without a PROGRAM block are read as one program, so
    // that what is wrong with them can be named.
    if (programs.empty())
        programs =
            ProgramText::parse(QStringLiteral("PROGRAM 1\n") + text + QStringLiteral("\nEND\n"), model);
    if (!programs.empty() && programs[0].error) return {{}, QString::fromStdString(*programs[0].error)};
    if (programs.empty() || programs[0].steps.empty())
        return {{}, QStringLiteral("Die Zwischenablage enthält kein Programm.")};
    return {programs[0].steps, QString()};
}

} // namespace vx::Clipboard
