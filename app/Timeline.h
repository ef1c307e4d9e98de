// SPDX-License-Identifier: GPL-3.0-or-later
// The last run as a timeline ("Verlauf"): a slider over its executed steps
// with its printed lines and pauses marked, the step and the original's time
// there, and one step back or forth. Dragging moves the whole machine.
#pragma once

#include <QSlider>
#include <QWidget>

#include <cstdint>
#include <vector>

class QLabel;
class QPushButton;

namespace vx {

class Engine;
class History;

// A slider with marks under its groove, at fractions of its length.
class MarkedSlider : public QSlider {
  public:
    using QSlider::QSlider;
    std::vector<double> marks;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

class Timeline : public QWidget {
    Q_OBJECT
  public:
    Timeline(Engine& engine, History& history, QWidget* parent);
    // Reads the history afresh; called once a change of the machine is done,
    // never from inside one.
    void refresh();
    // Asks for a `refresh` once the event loop turns, however often asked.
    void refreshSoon();
    MarkedSlider* slider() const { return slider_; }
    QLabel* label() const { return label_; }

  private:
    Engine& engine_;
    History& history_;
    MarkedSlider* slider_;
    QLabel* label_;
    QPushButton* back_;
    QPushButton* forward_;
    // Steps per slider value: 1, unless a run is longer than a slider counts.
    std::uint64_t scale_ = 1;
    bool refreshing_ = false;
    bool due_ = false;
};

} // namespace vx
