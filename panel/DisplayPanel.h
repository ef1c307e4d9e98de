// SPDX-License-Identifier: GPL-3.0-or-later
// The strip above the keyboard: power switch, maker's label and the glowing
// seven-segment display.
#pragma once

#include "display/Cell.h"
#include "panel/Controls.h"

#include <QPainterPath>
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
    static constexpr double height = 112;
    DisplayPanel(Engine& engine, QWidget* parent);
    // Where the digits are drawn, in panel units.
    static QRectF digitArea();
    void refresh();
    SlideSwitch* powerSwitch() const { return power_; }

  protected:
    void paintEvent(QPaintEvent*) override;
    void layoutContent() override;

  private:
    Engine& engine_;
    SlideSwitch* power_;
};

} // namespace vx
