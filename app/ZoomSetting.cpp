// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ZoomSetting.h"

#include "panel/CalculatorView.h"
#include "storage/QtSettings.h"

#include <cmath>

namespace vx {

ZoomSetting& ZoomSetting::shared() {
    static ZoomSetting* zoom = [] {
        QtSettings settings;
        return new ZoomSetting(savedZoomPercent(settings));
    }();
    return *zoom;
}

const std::vector<int>& ZoomSetting::choices() {
    static const std::vector<int> list = {50, 60, 70, 80, 90, 100, 110, 120, 130, 140, 150};
    return list;
}

void ZoomSetting::setPercent(int percent) {
    QtSettings settings;
    settings.setInteger("zoomPercent", percent);
    if (percent == percent_) return;
    percent_ = percent;
    emit changed();
}

QSize ZoomSetting::size() const {
    const QSizeF base = CalculatorView::baseSize();
    return QSize(static_cast<int>(std::lround(base.width() * factor())),
                 static_cast<int>(std::lround(base.height() * factor())));
}

} // namespace vx
