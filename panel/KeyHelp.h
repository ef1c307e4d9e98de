// SPDX-License-Identifier: GPL-3.0-or-later
// Whether the shifted-function labels may show, and whether the host's
// Alt key is held (all labels at once).
#pragma once

#include <QObject>

namespace vx {

class KeyHelp : public QObject {
    Q_OBJECT
  public:
    // The one key-help switch of the application, read from the settings.
    static KeyHelp& shared();
    explicit KeyHelp(bool enabled, QObject* parent = nullptr) : QObject(parent), enabled_(enabled) {}

    bool enabled() const { return enabled_; }
    // Remembered as "showKeyHelp" when the object is the shared one.
    void setEnabled(bool on);
    bool optionDown() const { return optionDown_; }
    void setOptionDown(bool down);

  signals:
    void changed();

  private:
    bool enabled_;
    bool optionDown_ = false;
    bool remembers_ = false;
};

} // namespace vx
