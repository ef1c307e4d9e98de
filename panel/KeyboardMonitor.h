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
    // Where the calculator's keys act, by the window a key was typed into and
    // the focus there (the panel, the program sheet's listing); anywhere else
    // (the guide, a dialog, the sheet's editor and buttons) keys are that
    // window's. Until the shell says, everywhere.
    using MachineTakes = std::function<bool(const QWidget* window, const QWidget* focus)>;
    void setMachineTakes(MachineTakes machineTakes) { machineTakes_ = std::move(machineTakes); }

  signals:
    // Every panel key the keyboard pressed, so the panel can show it.
    void pressed(Key key);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The window `receiver` belongs to, or the focus in it, is not the
    // machine's: its keys are its own.
    bool ownsKeys(const QObject* receiver) const;
    MachineTakes machineTakes_;
    Engine& engine_;
    KeyHelp& help_;
    // A dead circumflex was just turned into aˣ: the key that would complete
    // it into a "^" (a space, or the circumflex again) belongs to it.
    bool circumflexPending_ = false;
};

} // namespace vx
