// SPDX-License-Identifier: GPL-3.0-or-later
// The strip above the keyboard: power switch, maker's label and the glowing
// seven-segment display.
#pragma once

#include "display/Cell.h"
#include "display/Shown.h"
#include "engine/Events.h"
#include "engine/Types.h"
#include "panel/Controls.h"

#include <QPainterPath>
#include <QPixmap>
#include <vector>

namespace vx {

class Engine;

namespace DisplayView {
// The segments a character lights, by their usual letters a ... g.
QString segmentsFor(char ch);
// The outline of one segment of the digit in cell `index` of `count` cells
// drawn into `area`.
QPainterPath segmentPath(const QRectF& area, int count, int index, char segment);
// Centre of the decimal point of a cell.
QPointF pointCentre(const QRectF& area, int count, int index);
void paint(QPainter& painter, const QRectF& area, const std::vector<Cell>& cells, bool lit);
} // namespace DisplayView

class DisplayPanel : public ScaledWidget {
    Q_OBJECT
  public:
    // The strip's height in panel units.
    static constexpr double stripHeight = 112;
    DisplayPanel(Engine& engine, QWidget* parent);
    // Where the digits are drawn, in panel units.
    static QRectF digitArea();
    // Repaints what `changes` touched.
    void refresh(const Changes& changes);
    SlideSwitch* powerSwitch() const { return power_; }
    const Engine& engine() const { return engine_; }

  protected:
    void paintEvent(QPaintEvent*) override;
    void layoutContent() override;

  private:
    void paintStatic(QPainter& p) const;
    QRect digitWindow() const;

    Engine& engine_;
    SlideSwitch* power_;
    // What the display shows, as the machine last told it.
    Shown shown_;
    // What assistive technology was last told the display says.
    QString spoken_;
    // Strip, labels and the window's frame, painted once per size and model.
    QPixmap static_;
    Model staticModel_ = Model::orbis410;
};

} // namespace vx
