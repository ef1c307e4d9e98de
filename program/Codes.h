// SPDX-License-Identifier: GPL-3.0-or-later
// The step-code table: every operation of the machine is one 8-bit code with
// a mnemonic (the saved-program text) and a tape symbol. Pure functions over
// tables built once.
#pragma once

#include "engine/Types.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace vx {

using Step = std::optional<int>;

namespace Codes {

inline constexpr int steps = 416;

std::optional<int> unshifted(Key key);
std::optional<int> shifted(Key key);
inline bool needsOperand(int code) {
    return (code >= 192 && code <= 213) || (code >= 232 && code <= 247);
}
inline bool isRegisterOp(int code) {
    return code >= 192 && code <= 213;
}
const std::string& mnemonic(int code); // "?" for an undefined code
const std::string& symbol(int code);   // "?" for an undefined code
std::string keySymbol(int index);
std::string opSuffix(int k);
std::string mnemonicSuffix(int k);
std::string condSuffix(int bits);
std::string decimal(Step step); // "%03d", three blanks when empty
std::string octal(Step step);   // three octal digits, three blanks when empty
std::string registerMnemonic(int operand);
std::optional<int> registerOperand(std::string_view text);
std::string normalized(std::string_view text);
std::optional<int> code(std::string_view forMnemonic);
const std::map<std::string, int>& codesByMnemonic();
const std::map<int, double>& metricFactors();

} // namespace Codes
} // namespace vx
