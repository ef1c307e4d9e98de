// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/KeyHelp.h"

#include "storage/QtSettings.h"

namespace vx {

KeyHelp& KeyHelp::shared() {
    static KeyHelp* help = [] {
        QtSettings settings;
        auto* h = new KeyHelp(savedShowKeyHelp(settings));
        h->remembers_ = true;
        return h;
    }();
    return *help;
}

void KeyHelp::setEnabled(bool on) {
    if (remembers_) {
        QtSettings settings;
        settings.setBoolean("showKeyHelp", on);
    }
    if (on == enabled_) return;
    enabled_ = on;
    emit changed();
}

void KeyHelp::setOptionDown(bool down) {
    if (down == optionDown_) return;
    optionDown_ = down;
    emit changed();
}

} // namespace vx
