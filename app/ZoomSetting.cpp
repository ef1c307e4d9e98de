// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ZoomSetting.h"

#include "engine/Host.h"

namespace vx {

namespace {
// One of 50, 60 ... 150; anything else reads as 150.
int savedPercent(Settings& settings) {
    const long long v = settings.integer("zoomPercent").value_or(0);
    return v >= 50 && v <= 150 && v % 10 == 0 ? static_cast<int>(v) : 150;
}
} // namespace

ZoomSetting::ZoomSetting(Settings& settings) : settings_(settings), percent_(savedPercent(settings)) {}

const std::vector<int>& ZoomSetting::choices() {
    static const std::vector<int> list = {50, 60, 70, 80, 90, 100, 110, 120, 130, 140, 150};
    return list;
}

void ZoomSetting::setPercent(int percent) {
    settings_.setInteger("zoomPercent", percent);
    if (percent == percent_) return;
    percent_ = percent;
    emit changed();
}

} // namespace vx
