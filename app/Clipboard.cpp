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

QString outOfRange() {
    return QStringLiteral("Die Zahl liegt außerhalb des Bereichs.");
}

// Takes a leading "+", "-" or "−" off the text; answers whether it was a minus.
bool takeSign(QString& text) {
    if (text.isEmpty()) return false;
    const QChar c = text[0];
    if (c != QLatin1Char('-') && c != QChar(0x2212) && c != QLatin1Char('+')) return false;
    text.remove(0, 1);
    return c != QLatin1Char('+');
}

// Cuts the exponent (E or e, an optional sign, up to four digits) off the
// text; what is refused when it is malformed.
std::optional<QString> cutExponent(QString& text, std::optional<int>& exponent) {
    const qsizetype e = text.indexOf(QLatin1Char('e'), 0, Qt::CaseInsensitive);
    if (e < 0) return std::nullopt;
    QString tail = text.mid(e + 1);
    const bool negative = takeSign(tail);
    if (tail.size() > 4) return outOfRange();
    if (tail.isEmpty()) return QString();
    for (QChar c : tail)
        if (!c.isDigit() || c.unicode() > '9') return QString();
    exponent = tail.toInt() * (negative ? -1 : 1);
    text.truncate(e);
    return std::nullopt;
}

// The digits and separators, blanks kept only as grouping between digits;
// empty when anything else is in the text.
QString mantissaOf(const QString& text) {
    QString mantissa;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!isBlank(text[i])) {
            mantissa += text[i];
            continue;
        }
        if (i == 0 || i + 1 >= text.size() || !text[i - 1].isDigit() || !text[i + 1].isDigit()) return {};
        mantissa += QLatin1Char(' ');
    }
    for (QChar c : mantissa)
        if (!(c >= QLatin1Char('0') && c <= QLatin1Char('9')) && c != QLatin1Char('.') &&
            c != QLatin1Char(',') && c != QLatin1Char(' '))
            return {};
    return mantissa;
}

// Which of "." and "," is the decimal point: the last of two different ones;
// a single one unless it can only be grouping; where it could be either (one
// separator before three digits), the locale's reading. Null: none; absent:
// the separators make no number.
std::optional<QChar> decimalPointOf(const QString& mantissa, bool hasExponent, const QLocale& locale) {
    const qsizetype dots = mantissa.count(QLatin1Char('.')), commas = mantissa.count(QLatin1Char(','));
    if (dots && commas) {
        const QChar decimal = mantissa.lastIndexOf(QLatin1Char('.')) > mantissa.lastIndexOf(QLatin1Char(','))
                                  ? QLatin1Char('.')
                                  : QLatin1Char(',');
        if (mantissa.count(decimal) > 1) return std::nullopt;
        return decimal;
    }
    if (dots + commas != 1) return QChar();
    const QChar sep = dots ? QLatin1Char('.') : QLatin1Char(',');
    const QStringList parts = mantissa.split(sep);
    const bool couldGroup = parts[1].size() == 3 && !parts[0].isEmpty() &&
                            !parts[0].contains(QLatin1Char(' ')) && parts[0].size() <= 3 && !hasExponent;
    return couldGroup && locale.groupSeparator() == QString(sep) ? QChar() : sep;
}

// The whole and fractional digits, grouping removed; false when the
// separators make no number.
bool splitNumber(const QString& mantissa, QChar decimal, QString& whole, QString& fraction) {
    whole = mantissa;
    if (!decimal.isNull()) {
        const qsizetype at = mantissa.lastIndexOf(decimal);
        whole = mantissa.left(at);
        fraction = mantissa.mid(at + 1);
        if (fraction.contains(QLatin1Char(' ')) || fraction.contains(QLatin1Char('.')) ||
            fraction.contains(QLatin1Char(',')))
            return false;
    }
    // Whatever separates the whole part must be grouping in threes.
    for (QChar group : {QLatin1Char('.'), QLatin1Char(','), QLatin1Char(' ')}) {
        if (!whole.contains(group)) continue;
        if (!groupsOfThree(whole.split(group))) return false;
        whole.remove(group);
    }
    if (whole.contains(QLatin1Char('.')) || whole.contains(QLatin1Char(','))) return false;
    return !(whole.isEmpty() && fraction.isEmpty());
}

// The keys that type a number of up to 13 digits: plain where it fits the
// display's fixed form, else mantissa and exponent.
std::vector<Key> keysTyping(const std::string& digits, int decimalExponent, bool plainForm, bool negative) {
    std::vector<Key> keys;
    auto digit = [&](char d) { keys.push_back(Key::digit(d - '0')); };
    if (plainForm && decimalExponent >= 0 && decimalExponent < 12) {
        const std::size_t wholeDigits = static_cast<std::size_t>(decimalExponent) + 1;
        for (std::size_t i = 0; i < std::max(wholeDigits, digits.size()); ++i) {
            if (i == wholeDigits) keys.push_back(Key(KeyKind::dot));
            digit(i < digits.size() ? digits[i] : '0');
        }
    } else if (plainForm && decimalExponent < 0 && decimalExponent >= -9) {
        keys.push_back(Key(KeyKind::dot));
        for (int i = 0; i < -decimalExponent - 1; ++i) digit('0');
        for (char d : digits) digit(d);
    } else {
        digit(digits[0]);
        if (digits.size() > 1) {
            keys.push_back(Key(KeyKind::dot));
            for (std::size_t i = 1; i < digits.size(); ++i) digit(digits[i]);
        }
        if (negative) keys.push_back(Key(KeyKind::chs));
        negative = false;
        keys.push_back(Key(KeyKind::exp));
        const int magnitude = std::abs(decimalExponent);
        if (magnitude >= 10) digit(static_cast<char>('0' + magnitude / 10));
        digit(static_cast<char>('0' + magnitude % 10));
        if (decimalExponent < 0) keys.push_back(Key(KeyKind::chs));
    }
    if (negative) keys.push_back(Key(KeyKind::chs));
    return keys;
}

} // namespace

Typed keysFor(const QString& raw, const QLocale& locale) {
    QString text = raw.trimmed();
    if (text.isEmpty()) return refused(QStringLiteral("Die Zwischenablage enthält keine Zahl."));
    const Typed notANumber = refused(QStringLiteral("„%1“ ist keine Zahl.").arg(text.left(40)));

    const bool negative = takeSign(text);
    std::optional<int> exponent;
    if (const std::optional<QString> why = cutExponent(text, exponent))
        return why->isEmpty() ? notANumber : refused(*why);
    const QString mantissa = mantissaOf(text);
    if (mantissa.isEmpty()) return notANumber;
    const std::optional<QChar> decimal = decimalPointOf(mantissa, exponent.has_value(), locale);
    QString whole, fraction;
    if (!decimal || !splitNumber(mantissa, *decimal, whole, fraction)) return notANumber;

    // To 13 significant digits.
    const QString plain = (whole.isEmpty() ? QStringLiteral("0") : whole) + QLatin1Char('.') +
                          (fraction.isEmpty() ? QStringLiteral("0") : fraction);
    const double mant = plain.toDouble();
    if (!std::isfinite(mant)) return refused(outOfRange());
    if (mant == 0) {
        std::vector<Key> keys{Key::digit(0)};
        if (negative) keys.push_back(Key(KeyKind::chs));
        return {keys, QString()};
    }
    auto [digits, scale] = Formatter::digits13(mant);
    const int decimalExponent = scale + exponent.value_or(0);
    if (decimalExponent >= 100 || decimalExponent < -99) return refused(outOfRange());
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    return {keysTyping(digits, decimalExponent, !exponent, negative), QString()};
}

QString programText(const Engine& engine, long long number, const std::string& name) {
    return ProgramText::format({SavedProgram{number, name, engine.programSteps(), std::nullopt}},
                               engine.model());
}

PastedProgram programFrom(const QString& text, Model model) {
    const ProgramText::OneProgram one = ProgramText::firstProgram(text, model);
    if (one.problem) return {{}, *one.problem};
    if (one.steps.empty()) return {{}, QStringLiteral("Die Zwischenablage enthält kein Programm.")};
    return {one.steps, QString()};
}

} // namespace vx::Clipboard
