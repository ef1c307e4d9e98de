// SPDX-License-Identifier: GPL-3.0-or-later
// The machine's scheduler in the window: Qt timers on the main thread,
// precise ones so the 4 ms run slice keeps the machine's pace.
#pragma once

#include "engine/Host.h"

#include <QObject>

#include <unordered_map>

#include <QElapsedTimer>

class QTimer;

namespace vx {

class QtScheduler : public QObject, public Scheduler {
  public:
    explicit QtScheduler(QObject* parent = nullptr) : QObject(parent) { clock_.start(); }
    ~QtScheduler() override;
    Handle after(double seconds, std::function<void()> fn) override;
    Handle every(double seconds, std::function<void()> fn) override;
    void cancel(Handle handle) override;
    double now() const override { return static_cast<double>(clock_.nsecsElapsed()) / 1e9; }

  private:
    QElapsedTimer clock_;
    Handle start(double seconds, bool repeat, std::function<void()> fn);
    Handle next_ = 1;
    std::unordered_map<Handle, QTimer*> timers_;
};

} // namespace vx
