// SPDX-License-Identifier: GPL-3.0-or-later
// The step-code table: every operation of the machine is one 8-bit code with
// a mnemonic (the saved-program text) and a tape symbol. Pure functions over
// tables built once.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace vx {

using Step = std::optional<int>;

namespace Codes {

inline constexpr int steps = 416;
// The step after `step`: the counter runs from 416 round to 1.
inline constexpr int next(int step) {
    return step % steps + 1;
}
// A register operand of 100 + n addresses the register whose number register n holds (412).
inline constexpr int indirect = 100;
// The highest register an operand may name (the 412 has 44).
inline constexpr int highestRegister = 43;

// Every code by name. The families are a base plus an index: the key of the
// index (0 ... 9 . CHS EXP D/M/S ( )), the arithmetic modifier of a register
// operation or the condition bits of a jump.
inline constexpr int dot = 10, chs = 11, exp = 12, dms = 13;
inline constexpr int equals = 16, add = 17, subtract = 18, multiply = 19, divide = 20, power = 21;
inline constexpr int openParen = 22, closeParen = 23, returnStep = 24, ident = 26, stop = 27;
inline constexpr int print = 28, advance = 29, reset = 30, clear = 31, tapeWP = 32, tapeTR = 33;
inline constexpr int sigma = 40, deviation = 41, ln = 48, log = 49, sqrt = 50, reciprocal = 51;
inline constexpr int sin = 56, cos = 57, tan = 58, toRect = 59, toRadians = 60;
inline constexpr int shiftedDigits = 64; // F 0 ... F 9 follow in digit order
inline constexpr int clearStatistics = 64, euler = 65, abs = 66, mean = 67, shiftedDeviation = 68;
inline constexpr int fraction = 69, integer = 70, pi = 71, round = 72, shiftedIdent = 73, dots = 74;
inline constexpr int selfTest = 75, pause = 76, flipDms = 77, clearAll = 95, tapePB = 96;
inline constexpr int minusSigma = 104, shiftedMean = 105, expE = 112, exp10 = 113, square = 114;
inline constexpr int factorial = 115, asin = 120, acos = 121, atan = 122, toPolar = 123;
inline constexpr int fromRadians = 124, tapeWD = 224;

inline constexpr int label = 128;      // LABEL 0 ... LABEL )
inline constexpr int decimals = 144;   // DP 0 ... DP 9, DP . and DP CHS do nothing
inline constexpr int scientific = 156; // DP EXP
inline constexpr int toMetric = 160;   // ->METRIC 0 ... ->METRIC CHS
inline constexpr int fromMetric = 176; // METRIC-> 0 ... METRIC-> CHS
inline constexpr int metricUnits = 12;
inline constexpr int store = 192, recall = 200, exchange = 208; // each + modifier 0 ... 5
inline constexpr int jump = 232, branch = 240;                  // each + condition bits 0 ... 7
inline constexpr int labels = 16, modifiers = 6, conditions = 8;
// The label operand of a jump that means "step 1" (the START/STOP key).
inline constexpr int jumpToStart = stop;

inline constexpr bool isEntry(int code) {
    return code >= 0 && code <= dms;
}
inline constexpr bool isDigit(int code) {
    return code >= 0 && code <= 9;
}
inline constexpr bool isLabel(int code) {
    return code >= label && code < label + labels;
}
inline constexpr int labelOf(int code) {
    return code - label;
}
inline constexpr bool isDecimalSetting(int code) {
    return code >= decimals && code <= decimals + 9;
}
inline constexpr int decimalsOf(int code) {
    return code - decimals;
}
inline constexpr bool isMetric(int code) {
    return (code >= toMetric && code < toMetric + metricUnits) ||
           (code >= fromMetric && code < fromMetric + metricUnits);
}
inline constexpr bool isRegisterOp(int code) {
    return code >= store && code <= exchange + modifiers - 1;
}
// STORE, RECALL or EXCHANGE, whatever the modifier.
inline constexpr int registerBase(int code) {
    return code < recall ? store : code < exchange ? recall : exchange;
}
inline constexpr int modifierOf(int code) {
    return code - registerBase(code);
}
inline constexpr bool isJump(int code) {
    return code >= jump && code < jump + conditions;
}
inline constexpr bool isBranch(int code) {
    return code >= branch && code < branch + conditions;
}
inline constexpr int conditionOf(int code) {
    return code & (conditions - 1);
}
inline constexpr bool needsOperand(int code) {
    return isRegisterOp(code) || isJump(code) || isBranch(code);
}
// The one-operand functions: the value in E is replaced by f(E).
bool isFunction(int code);

const std::string& mnemonic(int code); // "?" for an undefined code
const std::string& symbol(int code);   // "?" for an undefined code
std::string keySymbol(int index);
std::string opSuffix(int k);
std::string mnemonicSuffix(int k);
std::string condSuffix(int bits);
std::string decimal(Step step); // "%03d", three blanks when empty
std::string octal(Step step);   // three octal digits, three blanks when empty
// The register number of an operand as two digits, without the indirect mark.
std::string registerDigits(int operand);
std::string registerMnemonic(int operand); // "07", "IND 12"
std::optional<int> registerOperand(std::string_view text);
std::string normalized(std::string_view text);
std::optional<int> code(std::string_view forMnemonic);
const std::map<std::string, int>& codesByMnemonic();
const std::map<int, double>& metricFactors();

} // namespace Codes
} // namespace vx
