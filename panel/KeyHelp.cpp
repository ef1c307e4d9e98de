// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/KeyHelp.h"

#include "engine/Host.h"

namespace vx {

// On unless a Boolean "off" is stored: a value that is no Boolean reads as on.
KeyHelp::KeyHelp(Settings& settings, QObject* parent)
    : QObject(parent), enabled_(settings.boolean("showKeyHelp").value_or(true)), settings_(&settings) {}

void KeyHelp::setEnabled(bool on) {
    if (settings_) settings_->setBoolean("showKeyHelp", on);
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
