// SPDX-License-Identifier: GPL-3.0-or-later
// Whether the shifted-function labels may show, and whether the host's
// Alt key is held (all labels at once).
#pragma once

#include <QObject>

namespace vx {

class ShellSettings;

class KeyHelp : public QObject {
    Q_OBJECT
  public:
    explicit KeyHelp(bool enabled, QObject* parent = nullptr) : QObject(parent), enabled_(enabled) {}
    // Starts from the remembered "showKeyHelp" and remembers every change there.
    explicit KeyHelp(ShellSettings& settings, QObject* parent = nullptr);

    bool enabled() const { return enabled_; }
    void setEnabled(bool on);
    bool optionDown() const { return optionDown_; }
    void setOptionDown(bool down);

  signals:
    void changed();

  private:
    bool enabled_;
    bool optionDown_ = false;
    ShellSettings* settings_ = nullptr;
};

} // namespace vx
