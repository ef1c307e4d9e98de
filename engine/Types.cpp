// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Types.h"

#include "engine/Host.h"
#include "program/Codes.h"

#include <array>

namespace vx {

std::string rawValue(Model m) {
    return m == Model::orbis412 ? "412" : "410";
}

std::optional<Model> modelFromRaw(std::string_view raw) {
    if (raw == "410") return Model::orbis410;
    if (raw == "412") return Model::orbis412;
    return std::nullopt;
}

Model savedModel(Settings& settings) {
    auto stored = settings.text("model");
    return stored && *stored == "412" ? Model::orbis412 : Model::orbis410;
}

void saveModel(Settings& settings, Model m) {
    settings.setText("model", rawValue(m));
}

std::optional<int> labelIndex(Model m, Key key) {
    const std::optional<int> index = keyRow(key).index;
    if (index && *index > maxLabel(m)) return std::nullopt;
    return index;
}

int Prefix::provisionalOperand() const {
    return (ind ? Codes::indirect : 0) + 10 * digit.value_or(0);
}

std::optional<int> Prefix::provisionalCode() const {
    switch (kind) {
    case Kind::none: return std::nullopt;
    case Kind::f: return Codes::shiftedDigits;
    case Kind::setDP: return Codes::decimals;
    case Kind::label: return Codes::label;
    case Kind::metric: return base;
    case Kind::reg: return base + off;
    case Kind::cond: return base + bits;
    }
    return std::nullopt;
}

} // namespace vx
