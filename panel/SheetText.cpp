// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/SheetText.h"

#include "display/Formatter.h"
#include "engine/Engine.h"

#include <QRegularExpression>
#include <QStringList>

#include <cmath>
#include <cstdio>

namespace vx::SheetText {

namespace {

QString three(int step) {
    return QString::asprintf("%03d", step);
}

QString reg(int number, bool twoDigits) {
    return QStringLiteral("Register ") +
           (twoDigits ? QString::asprintf("%02d", number) : QString::number(number));
}

QString noteFor(const ProgramFacts::StepFacts& f, Model model, bool& missing) {
    using Kind = ProgramFacts::StepFacts::Kind;
    if (f.kind == Kind::operand) return QStringLiteral("Operand von Schritt ") + three(f.owner);
    if (f.kind != Kind::code) return {};
    if (f.label) return QStringLiteral("Marke ") + QString::number(*f.label);
    if (f.reg) {
        const QString named = reg(*f.reg, twoDigitRegisters(model));
        return f.indirect ? QStringLiteral("indirekt über ") + named : named;
    }
    if (f.toStart || f.jumpLabel) {
        if (f.target) return QStringLiteral("→ ") + three(*f.target);
        missing = true;
        return QStringLiteral("Marke %1 fehlt").arg(*f.jumpLabel);
    }
    return {};
}

QString opText(Op op) {
    switch (op) {
    case Op::add: return QStringLiteral("+");
    case Op::sub: return QStringLiteral("−");
    case Op::mul: return QStringLiteral("×");
    case Op::div: return QStringLiteral("÷");
    case Op::pow: return QStringLiteral("aˣ");
    case Op::toRect: return QStringLiteral("→XY");
    case Op::toPolar: return QStringLiteral("→θr");
    }
    return {};
}

QString operation(const std::optional<std::pair<Num, Op>>& pending) {
    if (!pending) return {};
    return number(pending->first.v) + QLatin1Char(' ') + opText(pending->second);
}

} // namespace

Row row(const Engine& engine, const std::vector<ProgramFacts::StepFacts>& facts, int step) {
    const int index = step - 1;
    Row r;
    r.step = three(step);
    const Step value = engine.program()[static_cast<std::size_t>(index)];
    if (!value) return r;
    r.code = QString::fromStdString(engine.codeText(index));
    if (!engine.isRegisterOperand(index)) r.symbol = QString::fromStdString(Codes::symbol(*value));
    r.note = noteFor(facts[static_cast<std::size_t>(index)], engine.model(), r.missing);
    return r;
}

QString sentence(const Row& row, bool breakpoint, std::uint64_t count) {
    QString s = QStringLiteral("Schritt ") + row.step + QStringLiteral(": ");
    if (row.code.isEmpty()) {
        s += QStringLiteral("leer");
    } else {
        s += row.code;
        if (!row.symbol.isEmpty()) s += QLatin1Char(' ') + row.symbol;
        if (!row.note.isEmpty()) s += QStringLiteral(", ") + row.note;
    }
    if (breakpoint) s += QStringLiteral(", Haltepunkt");
    if (count > 0) s += QStringLiteral(", ") + grouped(count) + QStringLiteral("-mal ausgeführt");
    return s;
}

QString number(double x) {
    char text[40];
    std::snprintf(text, sizeof text, "%.13g", x);
    QString s = QString::fromLatin1(text);
    s.replace(QLatin1String("e+"), QLatin1String("E"));
    s.replace(QLatin1String("e-"), QLatin1String("E-"));
    // "1E05" reads as the display writes it: "1E5".
    const qsizetype e = s.indexOf(QLatin1Char('E'));
    if (e >= 0) {
        qsizetype digit = s.indexOf(QRegularExpression(QStringLiteral("[1-9]")), e);
        const qsizetype start = s.at(e + 1) == QLatin1Char('-') ? e + 2 : e + 1;
        if (digit > start) s.remove(start, digit - start);
    }
    if (s == QLatin1String("-0")) s = QStringLiteral("0");
    return s;
}

// Thousands apart by a narrow space: a point or a comma would read as the
// decimal mark of the machine's numbers shown beside the counts.
QString grouped(std::uint64_t n) {
    QString digits = QString::number(n);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3) digits.insert(at, QChar(0x202F));
    return digits;
}

QString numberRegister(const Engine& engine) {
    if (const auto& entry = engine.entry()) return number(entry->value()) + QStringLiteral("  (Eingabe)");
    const Num e = engine.E();
    QString s = number(e.v);
    if (e.dms)
        s += QStringLiteral("  (D/M/S ") + QString::fromStdString(Formatter::dmsString(e.v, 4, 4)) +
             QLatin1Char(')');
    return s;
}

QString calculation(const Engine& engine) {
    QString s;
    for (const ParenLevel& level : engine.parens()) {
        if (level.numOp) s += operation(level.numOp) + QLatin1Char(' ');
        s += QLatin1Char('(');
    }
    const QString current = operation(engine.pendingOperation());
    s += engine.operationIsConstant() ? QStringLiteral("Konstante für „=“: ") + current : current;
    return s.trimmed();
}

QString pending(const Engine& engine) {
    if (const auto& sigma = engine.statisticsEntry())
        return QStringLiteral("Statistikeingabe: x = ") + number(sigma->x) +
               (sigma->sign < 0 ? QStringLiteral(" (wird abgezogen)") : QString());
    if (const auto& pair = engine.coordinatePair())
        return QStringLiteral("Koordinatenpaar: ") + number(pair->a.v) + QStringLiteral("; ") +
               number(pair->b.v);
    return {};
}

QString returns(const std::vector<int>& addresses) {
    if (addresses.empty()) return {};
    QStringList steps;
    for (int a : addresses) steps << three(a);
    return QStringLiteral("Rücksprung nach ") + steps.join(QStringLiteral(", "));
}

QString registerName(int index, Model model) {
    return QLatin1Char('R') +
           (twoDigitRegisters(model) ? QString::asprintf("%02d", index) : QString::number(index));
}

QString registerValue(Num value, int decimals, bool sci) {
    return QString::fromStdString(Formatter::text(Formatter::numberCells(value, decimals, sci))).trimmed();
}

} // namespace vx::SheetText
