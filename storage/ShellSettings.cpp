// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/ShellSettings.h"

#include <sstream>

namespace vx {

namespace {
const std::string tempoKey = "tempo", keepKey = "keepMachine", zoomKey = "zoomPercent",
                  keyHelpKey = "showKeyHelp", windowKey = "windowGeometry", oldWindowKey = "windowPosition",
                  sheetKey = "programSheet/geometry", soundKey = "sound", volumeKey = "soundVolume";
} // namespace

Tempo ShellSettings::tempo() const {
    return store_.text(tempoKey) == "fast" ? Tempo::fast : Tempo::original;
}

void ShellSettings::setTempo(Tempo tempo) {
    store_.setText(tempoKey, tempo == Tempo::fast ? "fast" : "original");
}

bool ShellSettings::keepMachine() const {
    return store_.boolean(keepKey).value_or(false);
}

void ShellSettings::setKeepMachine(bool on) {
    store_.setBoolean(keepKey, on);
}

int ShellSettings::zoomPercent() const {
    const long long v = store_.integer(zoomKey).value_or(0);
    return v >= 50 && v <= 150 && v % 10 == 0 ? static_cast<int>(v) : 150;
}

void ShellSettings::setZoomPercent(int percent) {
    store_.setInteger(zoomKey, percent);
}

bool ShellSettings::sound() const {
    return store_.boolean(soundKey).value_or(true);
}

void ShellSettings::setSound(bool on) {
    store_.setBoolean(soundKey, on);
}

int ShellSettings::soundVolume() const {
    const long long v = store_.integer(volumeKey).value_or(50);
    return v == 25 || v == 50 || v == 100 ? static_cast<int>(v) : 50;
}

void ShellSettings::setSoundVolume(int percent) {
    store_.setInteger(volumeKey, percent);
}

bool ShellSettings::keyHelp() const {
    return store_.boolean(keyHelpKey).value_or(true);
}

void ShellSettings::setKeyHelp(bool on) {
    store_.setBoolean(keyHelpKey, on);
}

std::string ShellSettings::windowGeometry() const {
    return store_.bytes(windowKey).value_or(std::string());
}

void ShellSettings::setWindowGeometry(const std::string& geometry) {
    store_.setBytes(windowKey, geometry);
}

std::string ShellSettings::sheetGeometry() const {
    return store_.bytes(sheetKey).value_or(std::string());
}

void ShellSettings::setSheetGeometry(const std::string& geometry) {
    store_.setBytes(sheetKey, geometry);
}

std::optional<std::pair<int, int>> ShellSettings::oldWindowPosition() const {
    const std::optional<std::string> saved = store_.text(oldWindowKey);
    if (!saved) return std::nullopt;
    std::istringstream in(*saved);
    int x = 0, y = 0;
    if (!(in >> x >> y)) return std::nullopt;
    return std::pair{x, y};
}

} // namespace vx
