// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/Formatter.h"
#include "panel/DisplayPanel.h"

#include <QPainter>

#include <gtest/gtest.h>

using namespace vx;

namespace {

QImage renderDisplay(const std::vector<Cell>& cells, bool lit, QRectF& area) {
    QImage image(800, 100, QImage::Format_ARGB32);
    image.fill(Qt::black);
    area = QRectF(0, 10, 800, 80);
    QPainter p(&image);
    DisplayView::paint(p, area, cells, lit);
    return image;
}

bool glowing(const QImage& image, QPointF at) {
    const QColor c = image.pixelColor(at.toPoint());
    return c.red() > 200 && c.green() > 60 && c.green() < 140 && c.blue() < 80;
}

QPointF centre(const QPainterPath& path) {
    return path.boundingRect().center();
}

} // namespace

TEST(DisplayPanel, SegmentsGlowWhereTheCellsSay) {
    std::vector<Cell> cells = Formatter::blank();
    const std::string text = "0123456789-E    ";
    for (std::size_t i = 0; i < cells.size(); ++i) cells[i].ch = text[i];
    QRectF area;
    const QImage image = renderDisplay(cells, true, area);
    for (int i = 0; i < 16; ++i) {
        const QString on = DisplayView::segmentsFor(text[static_cast<std::size_t>(i)]);
        for (char seg : std::string("abcdefg")) {
            const bool lit = glowing(image, centre(DisplayView::segmentPath(area, 16, i, seg)));
            EXPECT_EQ(lit, on.contains(QLatin1Char(seg))) << "cell " << i << " segment " << seg;
        }
    }
    EXPECT_TRUE(DisplayView::segmentsFor('X').isEmpty());
}

TEST(DisplayPanel, PowerOffLeavesOnlyTheGhostAndTheCommaHasATail) {
    std::vector<Cell> cells(16, Cell{'8', true, false});
    cells[3].comma = true;
    QRectF area;
    const QImage off = renderDisplay(cells, false, area);
    for (int i = 0; i < 16; ++i)
        for (char seg : std::string("abcdefg"))
            EXPECT_FALSE(glowing(off, centre(DisplayView::segmentPath(area, 16, i, seg))));
    const QColor ghost = off.pixelColor(centre(DisplayView::segmentPath(area, 16, 5, 'g')).toPoint());
    EXPECT_GT(ghost.red(), 0); // the faint ghost of the unlit bar is there

    const QImage on = renderDisplay(cells, true, area);
    const double t = 0.17 * 0.58 * (800.0 / 16);
    for (int i : {2, 3}) {
        const QPointF dot = DisplayView::pointCentre(area, 16, i);
        EXPECT_TRUE(glowing(on, dot));
        const QPointF tail = dot + QPointF(-0.2 * t, 0.85 * t);
        EXPECT_EQ(glowing(on, tail), i == 3) << i;
    }
    QImage empty(10, 10, QImage::Format_ARGB32);
    QPainter p(&empty);
    DisplayView::paint(p, QRectF(0, 0, 10, 10), {}, true); // draws nothing, does not fail
}
