// SPDX-License-Identifier: GPL-3.0-or-later
#include "panel/Layout.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>

using namespace vx;

namespace {
QColor at(const QImage& image, double x, double y) {
    const double s = image.width() / Layout::imageSize.width();
    return image.pixelColor(static_cast<int>(x * s), static_cast<int>(y * s));
}
double distance(const QColor& a, const QColor& b) {
    return std::hypot(a.red() - b.red(), a.green() - b.green(), a.blue() - b.blue());
}
// Walking from the flat well towards the key: where the first clear change
// in colour happens, as a fraction of the way.
double firstEdge(const QImage& image, QPointF from, QPointF to) {
    const int steps = 48;
    const QColor well = at(image, from.x(), from.y());
    for (int i = 1; i <= steps; ++i) {
        const QPointF p = from + (to - from) * (static_cast<double>(i) / steps);
        if (distance(at(image, p.x(), p.y()), well) > 30) return (i - 0.5) / steps;
    }
    return 1;
}
QColor mean(const QImage& image, const QRectF& area) {
    double r = 0, g = 0, b = 0;
    int n = 0;
    for (double x = area.left(); x < area.right(); x += 0.5)
        for (double y = area.top(); y < area.bottom(); y += 0.5) {
            const QColor c = at(image, x, y);
            r += c.red();
            g += c.green();
            b += c.blue();
            ++n;
        }
    return n ? QColor(static_cast<int>(r / n), static_cast<int>(g / n), static_cast<int>(b / n)) : QColor();
}
} // namespace

TEST(PanelPicture, EveryKeyAndSwitchLiesWhereTheLayoutSays) {
    const QImage& image = Layout::keyboardImage();
    ASSERT_EQ(image.size(), QSize(3136, 1492));
    for (const auto& [key, rect] : Layout::keys()) {
        // The cap's left and top edges: coming from the well, the picture
        // changes within a unit and a half (outline and shadow) of where the layout puts them.
        const double y = rect.top() + rect.height() * 0.5;
        const double left =
            rect.left() - 6 + 12 * firstEdge(image, {rect.left() - 6, y}, {rect.left() + 6, y});
        EXPECT_NEAR(left, rect.left(), 1.5) << keyName(key);
        const double x = rect.left() + rect.width() * 0.2;
        const double top = rect.top() - 6 + 12 * firstEdge(image, {x, rect.top() - 6}, {x, rect.top() + 6});
        EXPECT_NEAR(top, rect.top(), 1.5) << keyName(key);
    }
    for (const QRectF& slot :
         {Layout::printerSwitch(), Layout::modeSwitch(), Layout::tapeSwitch(), Layout::angleSwitch()}) {
        EXPECT_LT(mean(image, slot.adjusted(8, 8, -8, -8)).lightnessF(), 0.25);
        EXPECT_GT(mean(image, QRectF(slot.left(), slot.bottom() + 10, slot.width(), 6)).lightnessF(), 0.35);
    }
}

TEST(PanelPicture, KeyHelpLabelsLeaveTheWellsEdgesAlone) {
    const QImage& image = Layout::keyboardImage();
    // The wells lie where the layout says: dark inside the bottom edge, the light plate below it.
    for (const QRectF& well : Layout::wells()) {
        const double x = well.center().x();
        const double inside = mean(image, QRectF(x - 20, well.bottom() - 5, 40, 3)).lightnessF();
        const double below = mean(image, QRectF(x - 20, well.bottom() + 3, 40, 3)).lightnessF();
        EXPECT_GT(below - inside, 0.04) << well.left() << "," << well.top() << ": " << inside << " " << below;
    }
    // No label shown with the key help (Alt held) lies across a well's edge and its shadow.
    for (const auto& [key, rect] : Layout::keys()) {
        if (!Layout::fHelp(key)) continue;
        const QRectF label = Layout::helpRect(key, rect);
        for (const QRectF& well : Layout::wells()) {
            const bool inside = well.adjusted(4, 4, -4, -4).contains(label);
            const bool apart = !well.adjusted(-4, -4, 4, 4).intersects(label);
            EXPECT_TRUE(inside || apart)
                << keyName(key) << " covers the edge of the well at " << well.left() << "," << well.top();
        }
    }
}
