// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/KeyHelp.h"

#include "storage/ShellSettings.h"

namespace vx {

KeyHelp::KeyHelp(ShellSettings& settings, QObject* parent)
    : QObject(parent), enabled_(settings.keyHelp()), settings_(&settings) {}

void KeyHelp::setEnabled(bool on) {
    if (settings_) settings_->setKeyHelp(on);
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
