// SPDX-License-Identifier: GPL-3.0-or-later
// The library text reader takes any bytes without failing, and what it reads
// is stable: writing it and reading that again gives the same programs.
#include "storage/ProgramText.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = vx::ProgramText::decode(
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    for (vx::Model model : vx::allModels) {
        const auto first = vx::ProgramText::parse(text, model);
        const QString written = vx::ProgramText::format(first, model);
        const auto second = vx::ProgramText::parse(written, model);
        if (vx::ProgramText::format(second, model) != written) std::abort();
        if (second.size() != first.size()) std::abort();
        for (std::size_t i = 0; i < first.size(); ++i) {
            if (first[i].number != second[i].number || first[i].steps.size() < second[i].steps.size())
                std::abort();
            if (second[i].steps.size() > 416) std::abort();
        }
    }
    return 0;
}
