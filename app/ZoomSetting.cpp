// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ZoomSetting.h"

#include "storage/ShellSettings.h"

namespace vx {

ZoomSetting::ZoomSetting(ShellSettings& settings) : settings_(settings), percent_(settings.zoomPercent()) {}

const std::vector<int>& ZoomSetting::choices() {
    static const std::vector<int> list = {50, 60, 70, 80, 90, 100, 110, 120, 130, 140, 150};
    return list;
}

void ZoomSetting::setPercent(int percent) {
    settings_.setZoomPercent(percent);
    if (percent == percent_) return;
    percent_ = percent;
    emit changed();
}

} // namespace vx
