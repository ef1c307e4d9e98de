// SPDX-License-Identifier: GPL-3.0-or-later
// The host keyboard as a second way into the machine: an application-wide
// event filter that turns the keys standing for panel keys into presses and
// lets everything else through.
#pragma once

#include "engine/Types.h"

#include <QObject>
#include <QString>

#include <optional>

class QGuiApplication;
class QKeyEvent;

namespace vx {

class Engine;
class KeyHelp;

class KeyboardMonitor : public QObject {
    Q_OBJECT
  public:
    // The panel key a host key stands for, if any.
    static std::optional<Key> keyFor(const QKeyEvent& event);
    static QString keyMapHelp();
    // The host keys that press a panel key, as a screen reader says them
    // ("e", "Eingabetaste oder ="); empty for keys reached by the mouse only.
    static QString hostKeys(Key key);
    KeyboardMonitor(Engine& engine, KeyHelp& help, QObject* parent);
    // Watches every key of the application; Alt is let go when it loses focus.
    void watch(QGuiApplication& app);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The focus is in a window marked "ownKeys": its keys are its own.
    static bool ownsKeys();
    Engine& engine_;
    KeyHelp& help_;
    // A dead circumflex was just turned into aˣ: the key that would complete
    // it into a "^" (a space, or the circumflex again) belongs to it.
    bool circumflexPending_ = false;
};

} // namespace vx
