// SPDX-License-Identifier: GPL-3.0-or-later
// One named program of the library.
#pragma once

#include "program/Codes.h"

#include <optional>
#include <string>
#include <vector>

namespace vx {

struct SavedProgram {
    long long number = 0;
    std::string name;
    std::vector<Step> steps;
    std::optional<std::string> error;

    // The menu label: "3  Zins", or "3  Zins  (mehr als 416 Schritte)".
    std::string title() const {
        std::string t = std::to_string(number) + "  " + name;
        if (error) t += "  (" + *error + ")";
        return t;
    }
    bool operator==(const SavedProgram&) const = default;
};

} // namespace vx
