// SPDX-License-Identifier: GPL-3.0-or-later
// The number core: 13-digit rounding, the range check and the arithmetic of
// two numbers. Everything the machine computes passes through these.
#pragma once

#include "engine/Types.h"

#include <exception>

namespace vx {

// The failure of an operation. It carries nothing: the machine shows one
// error state whatever went wrong.
struct CalcError : std::exception {
    const char* what() const noexcept override { return "CalcError"; }
};

inline constexpr double pi = 3.141592653589793;
inline constexpr double eulerE = 2.718281828459045;

// Rounds to 13 significant digits.
double r13(double x);
// Rounded, with magnitudes below 1e-99 taken as 0; throws CalcError from 1e100 on.
double checked(double x);
Num compute(Num a, Num b, Op op);

} // namespace vx
