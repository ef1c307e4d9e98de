// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/ProgramText.h"

#include "storage/Quote.h"

#include <QStringDecoder>

#include <cstdio>
#include <limits>

namespace vx::ProgramText {

namespace {

bool isLineBreak(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 0x0A && u <= 0x0D) || u == 0x85 || u == 0x2028 || u == 0x2029;
}

bool isBlank(QChar c) {
    return c == QLatin1Char('\t') || c.category() == QChar::Separator_Space;
}

QString trimmed(const QString& s) {
    qsizetype a = 0, b = s.size();
    while (a < b && isBlank(s[a])) ++a;
    while (b > a && isBlank(s[b - 1])) --b;
    return s.mid(a, b - a);
}

std::optional<long long> parseNumber(const QString& text) {
    if (text.isEmpty()) return std::nullopt;
    qsizetype i = 0;
    bool negative = false;
    if (text[0] == QLatin1Char('+') || text[0] == QLatin1Char('-')) {
        negative = text[0] == QLatin1Char('-');
        i = 1;
    }
    if (i == text.size()) return std::nullopt;
    unsigned long long magnitude = 0;
    const unsigned long long limit = negative ? 9223372036854775808ULL : 9223372036854775807ULL;
    for (; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u < '0' || u > '9') return std::nullopt;
        const unsigned digit = u - '0';
        if (magnitude > (limit - digit) / 10) return std::nullopt;
        magnitude = magnitude * 10 + digit;
    }
    if (negative)
        return magnitude == limit ? std::numeric_limits<long long>::min()
                                  : -static_cast<long long>(magnitude);
    return static_cast<long long>(magnitude);
}

// A mnemonic as the code table reads it. The table itself ignores case and
// blanks in ASCII; this adds the rest of Unicode (a no-break space, say).
std::string tableText(const QString& s) {
    return s.toUpper().simplified().toStdString();
}

bool isOperandValue(int value) {
    return (value >= 0 && value <= Codes::highestRegister) ||
           (value >= Codes::indirect && value <= Codes::indirect + Codes::highestRegister);
}

} // namespace

QString format(const std::vector<SavedProgram>& programs, Model model) {
    QString text =
        QStringLiteral("VELTRANIX ") + QString::fromStdString(rawValue(model)) + QStringLiteral("\n\n");
    for (const SavedProgram& p : programs) {
        text += QStringLiteral("PROGRAM ") + QString::number(p.number) + QLatin1Char('\n');
        text += QStringLiteral("NAME ") + QString::fromStdString(p.name) + QStringLiteral("\n\n");
        for (std::size_t i = 0; i < p.steps.size(); ++i) {
            char number[32];
            std::snprintf(number, sizeof number, "%03zu  ", i + 1);
            text += QLatin1String(number);
            const Step& step = p.steps[i];
            if (!step) {
                text += QStringLiteral("---");
            } else if (twoDigitRegisters(model) && isOperandValue(*step) &&
                       ((i > 0 && p.steps[i - 1] && Codes::isRegisterOp(*p.steps[i - 1])) ||
                        Codes::mnemonic(*step) == "?")) {
                // The operand after a register code is written in its two-digit
                // form. So is a value that has no mnemonic (the labels "(" and
                // ")" are 14 and 15), which would otherwise be written as "?"
                // and lost; and a code after a register code that is no operand
                // (keyed over one in LOAD mode) keeps its mnemonic, so every
                // step reads back as it was.
                text += QString::fromStdString(Codes::registerMnemonic(*step));
            } else {
                text += QString::fromStdString(Codes::mnemonic(*step));
            }
            text += QLatin1Char('\n');
        }
        text += QStringLiteral("\nEND\n\n");
    }
    // The lines are joined with line feeds and the last line is an empty one,
    // so the file ends in "END" (or the header) and a single line feed.
    text.chop(1);
    return text;
}

namespace {

// One step line of a block: "mnemonic" or "NNN mnemonic". The first fault
// of a block is kept as its error; an unknown step stays as an empty one.
void addStep(const QString& line, Model model, std::vector<Step>& steps, std::optional<std::string>& error) {
    QString mnemonic = line;
    const qsizetype space = line.indexOf(QLatin1Char(' '));
    if (space == 3 && line[0].isNumber() && line[1].isNumber() && line[2].isNumber())
        mnemonic = trimmed(line.mid(space + 1));
    if (steps.size() >= static_cast<std::size_t>(Codes::steps)) {
        if (!error) error = "mehr als " + std::to_string(Codes::steps) + " Schritte";
    } else if (mnemonic == QLatin1String("---")) {
        steps.push_back(std::nullopt);
    } else if (auto operand =
                   twoDigitRegisters(model) ? Codes::registerOperand(tableText(mnemonic)) : std::nullopt) {
        steps.push_back(*operand);
    } else if (auto code = Codes::code(tableText(mnemonic))) {
        steps.push_back(*code);
    } else {
        if (!error)
            error = "Schritt " + std::to_string(steps.size() + 1) + ": „" +
                    Quote::shown(mnemonic.toStdString()) + "“ unbekannt";
        steps.push_back(std::nullopt);
    }
}

} // namespace

std::vector<SavedProgram> parse(const QString& text, Model model) {
    return parse(text, model, nullptr);
}

std::vector<SavedProgram> parse(const QString& text, Model model, std::vector<int>* errorLines) {
    std::vector<SavedProgram> finished;
    std::optional<long long> number;
    QString name;
    std::vector<Step> steps;
    std::optional<std::string> error;
    int lineNumber = 0, errorLine = 0;

    auto finish = [&] {
        if (!number) return;
        while (!steps.empty() && !steps.back()) steps.pop_back();
        if (name.isEmpty()) name = QStringLiteral("Programm ") + QString::number(*number);
        finished.push_back(SavedProgram{*number, name.toStdString(), steps, error});
        if (errorLines) errorLines->push_back(errorLine);
        number.reset();
    };

    qsizetype start = 0;
    const qsizetype n = text.size();
    while (start <= n) {
        ++lineNumber;
        qsizetype end = start;
        while (end < n && !isLineBreak(text[end])) ++end;
        QString line = text.mid(start, end - start);
        start = end + 1;
        // Files pasted together bring their byte-order marks along; one at
        // the start of a line is no part of it.
        while (line.startsWith(QChar(0xFEFF))) line.remove(0, 1);

        const qsizetype comment = line.indexOf(QLatin1Char(';'));
        if (comment >= 0) line.truncate(comment);
        line = trimmed(line);
        if (line.isEmpty()) continue;
        const QString upper = line.toUpper();

        if (upper.startsWith(QLatin1String("PROGRAM"))) {
            finish();
            number = parseNumber(trimmed(line.mid(7))).value_or(static_cast<long long>(finished.size()) + 1);
            name.clear();
            steps.clear();
            error.reset();
            errorLine = 0;
        } else if (upper.startsWith(QLatin1String("NAME"))) {
            name = trimmed(line.mid(4));
        } else if (upper == QLatin1String("END")) {
            finish();
        } else if (!number) {
            // The header and anything between blocks.
        } else {
            const bool hadError = error.has_value();
            addStep(line, model, steps, error);
            if (!hadError && error) errorLine = lineNumber;
        }
        if (end >= n) break;
    }
    finish();
    return finished;
}

OneProgram firstProgram(const QString& text, Model model) {
    std::vector<int> lines;
    std::vector<SavedProgram> programs = parse(text, model, &lines);
    int shift = 0;
    // Bare step lines without a PROGRAM block are read as one program, so
    // that what is wrong with them can be named.
    if (programs.empty()) {
        lines.clear();
        programs = parse(QStringLiteral("PROGRAM 1\n") + text + QStringLiteral("\nEND\n"), model, &lines);
        shift = 1;
    }
    if (programs.empty()) return {};
    OneProgram one{programs[0].steps, true, std::nullopt, 0};
    if (programs[0].error) {
        one.problem = QString::fromStdString(*programs[0].error);
        one.line = lines[0] - shift;
    }
    return one;
}

Decoded read(const QByteArray& bytes) {
    const auto startsWith = [&](const char* mark) { return bytes.startsWith(QByteArray(mark, 2)); };
    const bool little = startsWith("\xFF\xFE"), big = startsWith("\xFE\xFF");
    if (little || big) {
        QStringDecoder utf16(little ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
        QString text = utf16(bytes.mid(2));
        if (utf16.hasError() || bytes.size() % 2 != 0)
            return {text, QStringLiteral("ist kein gültiger UTF-16-Text")};
        return {text, std::nullopt};
    }
    // No text editor writes zero bytes into a text; a file that has them is
    // in an encoding this reader does not know.
    if (bytes.contains('\0'))
        return {QString(),
                QStringLiteral("ist in einer unbekannten Kodierung (keine UTF-8- oder UTF-16-Textdatei)")};
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (!utf8.hasError()) return {text, std::nullopt};
    return {QString::fromLatin1(bytes), std::nullopt};
}

QString decode(const QByteArray& bytes) {
    return read(bytes).text;
}

} // namespace vx::ProgramText
