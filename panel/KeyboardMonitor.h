// SPDX-License-Identifier: GPL-3.0-or-later
// The host keyboard as a second way into the machine: an application-wide
// event filter that turns the keys standing for panel keys into presses and
// lets everything else through.
#pragma once

#include "engine/Types.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QGuiApplication;
class QKeyEvent;
class QWidget;

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
    // The windows the calculator's keys act in (the panel's, the program
    // sheet's): in any other (the guide, a dialog) keys are that window's.
    // Until the shell says, every window.
    void setMachineWindows(std::function<bool(const QWidget*)> isMachineWindow) {
        isMachineWindow_ = std::move(isMachineWindow);
    }
    // Told of every panel key the keyboard pressed, so the panel can show it.
    std::function<void(Key)> pressed;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The window `receiver` belongs to is not one of the machine's, or the
    // focus is in a part marked "ownKeys" (a text editor): its keys are its own.
    bool ownsKeys(const QObject* receiver) const;
    std::function<bool(const QWidget*)> isMachineWindow_;
    Engine& engine_;
    KeyHelp& help_;
    // A dead circumflex was just turned into aˣ: the key that would complete
    // it into a "^" (a space, or the circumflex again) belongs to it.
    bool circumflexPending_ = false;
};

} // namespace vx
