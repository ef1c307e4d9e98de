// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/Formatter.h"
#include "engine/Engine.h"
#include "engine/SimulatedClock.h"
#include "fixture.h"
#include "panel/CalculatorView.h"
#include "panel/DisplayPanel.h"
#include "panel/KeyHelp.h"
#include "panel/KeyboardView.h"
#include "panel/Layout.h"
#include "panel/TapeView.h"

#include <QPainter>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace vx;

namespace {

using Panel = vx::test::PanelFixture;

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

TEST(Display, SegmentsGlowWhereTheCellsSay) {
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

TEST(Display, PowerOffLeavesOnlyTheGhostAndTheCommaHasATail) {
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

TEST(Keyboard, ClickingTheCentreOfEveryKeyPressesExactlyThatKey) {
    for (double factor : {1.0, 0.5}) {
        Panel panel;
        panel.view.setFactor(factor);
        std::vector<Key> pressed;
        panel.view.keyboard()->onKey = [&](Key k) { pressed.push_back(k); };
        const double s = panel.view.keyboard()->imageScale();
        for (const auto& [key, rect] : Layout::keys()) {
            const QPoint at = (rect.center() * s).toPoint();
            QWidget* target = panel.view.keyboard()->childAt(at);
            ASSERT_NE(target, nullptr) << keyName(key);
            QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(panel.view.keyboard(), at));
            ASSERT_FALSE(pressed.empty());
            EXPECT_EQ(pressed.back(), key) << keyName(key) << " at " << factor;
            EXPECT_EQ(target->accessibleName(), Layout::accessibleName(key));
        }
        EXPECT_EQ(pressed.size(), 49u);
    }
}

TEST(Keyboard, KeysActOnReleaseAndWorkTheMachine) {
    Panel panel;
    for (Key k : {Key::digit(1), Key::digit(2), Key(KeyKind::plus), Key::digit(3), Key(KeyKind::equals)})
        QTest::mouseClick(panel.view.keyboard()->button(k), Qt::LeftButton);
    EXPECT_EQ(panel.engine.E().v, 15);
    // Press, drag off the key, release elsewhere: still one press.
    KeyButton* seven = panel.view.keyboard()->button(Key::digit(7));
    QTest::mousePress(seven, Qt::LeftButton);
    EXPECT_FALSE(panel.engine.entry().has_value());
    QTest::mouseRelease(seven, Qt::LeftButton, {}, QPoint(-50, -50));
    ASSERT_TRUE(panel.engine.entry().has_value());
    EXPECT_EQ(panel.engine.entry()->mant, "7");
}

TEST(Keyboard, TheFKeyShinesWhileTheShiftIsPending) {
    // A yellow frame on the key and a glow around it, outside the key's edge, at every zoom.
    for (double factor : {1.0, 60.0 / 150.0}) {
        Panel panel;
        panel.view.setFactor(factor);
        KeyboardView* keyboard = panel.view.keyboard();
        KeyButton* f = keyboard->button(KeyKind::f);
        auto render = [&] {
            keyboard->refresh();
            QImage image(keyboard->size(), QImage::Format_ARGB32);
            keyboard->render(&image);
            return image;
        };
        const QImage plain = render();
        panel.keys({KeyKind::f});
        const QImage lit = render();
        const QRect key = f->geometry();
        const int mid = key.center().y();
        auto yellowness = [](const QColor& c) { return c.red() + c.green() - 2 * c.blue(); };
        // Just inside the key: its frame.
        EXPECT_GT(yellowness(lit.pixelColor(key.left() + 2, mid)),
                  yellowness(plain.pixelColor(key.left() + 2, mid)) + 60)
            << factor;
        // Outside its edge, within the glow's reach, left and right.
        const int reach = std::max(2, static_cast<int>(3 * panel.view.keyboard()->scale()));
        for (int x : {key.left() - reach, key.right() + reach})
            EXPECT_GT(yellowness(lit.pixelColor(x, mid)), yellowness(plain.pixelColor(x, mid)) + 40)
                << factor << " x " << x;
        // Further out the panel is as it was.
        const int far = static_cast<int>(12 * panel.view.keyboard()->scale()) + 2;
        EXPECT_EQ(lit.pixelColor(key.right() + far, mid), plain.pixelColor(key.right() + far, mid)) << factor;
        panel.keys({Key::digit(7)});
        const QImage after = render();
        EXPECT_EQ(after.pixelColor(key.right() + reach, mid), plain.pixelColor(key.right() + reach, mid))
            << factor;
    }
}

TEST(Switches, ClicksAndDragsChooseTheirPositions) {
    Panel panel;
    SlideSwitch* mode = panel.view.keyboard()->modeSwitch();
    const int h = mode->height();
    QTest::mouseClick(mode, Qt::LeftButton, {}, QPoint(mode->width() / 2, h * 5 / 6));
    EXPECT_EQ(panel.engine.mode(), Mode::load);
    QTest::mouseClick(mode, Qt::LeftButton, {}, QPoint(mode->width() / 2, h / 6));
    EXPECT_EQ(panel.engine.mode(), Mode::run);
    panel.view.keyboard()->refresh();

    // Drag the knob from the top to 60 % of its travel: STEP.
    const double travel = h - h * 0.42;
    const QPoint start(mode->width() / 2, static_cast<int>(h * 0.2));
    QTest::mousePress(mode, Qt::LeftButton, {}, start);
    QMouseEvent move(QEvent::MouseMove, QPointF(start + QPoint(0, static_cast<int>(0.6 * travel))),
                     mode->mapToGlobal(QPointF(start + QPoint(0, static_cast<int>(0.6 * travel)))),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(mode, &move);
    QTest::mouseRelease(mode, Qt::LeftButton, {}, start + QPoint(0, static_cast<int>(0.6 * travel)));
    EXPECT_EQ(panel.engine.mode(), Mode::step);

    // The other switches write their properties; position 0 is on.
    QTest::mouseClick(panel.view.keyboard()->printerSwitch(), Qt::LeftButton, {},
                      QPoint(5, panel.view.keyboard()->printerSwitch()->height() - 3));
    EXPECT_FALSE(panel.engine.printerOn());
    QTest::mouseClick(panel.view.keyboard()->angleSwitch(), Qt::LeftButton, {}, QPoint(5, 3));
    EXPECT_TRUE(panel.engine.gradMode());
    QTest::mouseClick(panel.view.keyboard()->tapeSwitch(), Qt::LeftButton, {},
                      QPoint(5, panel.view.keyboard()->tapeSwitch()->height() - 3));
    EXPECT_FALSE(panel.engine.tapeWritesProgram());
    QTest::mouseClick(panel.view.displayPanel()->powerSwitch(), Qt::LeftButton, {},
                      QPoint(5, panel.view.displayPanel()->powerSwitch()->height() - 3));
    EXPECT_FALSE(panel.engine.power());
}

TEST(Tape, RowsShowTheNewestLinesAndScrollBackToTheLead) {
    using TapeGeometry::rows;
    auto r = rows(0, 566.8, 24, 0);
    EXPECT_EQ(r.fullRows, 23);
    EXPECT_EQ(r.total, 2); // one lead row and one feed row of blank paper
    EXPECT_EQ(r.start, 0);
    EXPECT_EQ(r.end, 2);
    r = rows(100, 566.8, 24, 0);
    EXPECT_EQ(r.end, 102);
    EXPECT_EQ(r.start, 102 - 24);
    r = rows(100, 566.8, 24, 1000);
    EXPECT_EQ(r.scrolledRows, 102 - 23);
    EXPECT_EQ(r.start, 0); // the lead row reaches the top and no further
    EXPECT_EQ(TapeGeometry::maxScroll(100, 566.8, 24), 79);
}

TEST(Tape, ScrollingJumpsBackOnANewLineAndTheEdgeFollowsTheSeed) {
    Panel panel;
    for (int i = 0; i < 60; ++i) panel.keys({Key::digit(i % 10), KeyKind::printKey});
    TapePaper* paper = panel.view.tapeView()->paper();
    paper->refresh();
    QWheelEvent wheel(QPointF(20, 20), paper->mapToGlobal(QPointF(20, 20)), QPoint(), QPoint(0, 120 * 5),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(paper, &wheel);
    EXPECT_EQ(paper->scroll(), 5);
    QWheelEvent far(QPointF(20, 20), paper->mapToGlobal(QPointF(20, 20)), QPoint(), QPoint(0, 120 * 500),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(paper, &far);
    const QSizeF size = paper->paperSize();
    EXPECT_EQ(paper->scroll(),
              TapeGeometry::maxScroll(60, size.height(), TapeGeometry::rowHeight(size.width())));
    panel.keys({KeyKind::printKey});
    paper->refresh();
    EXPECT_EQ(paper->scroll(), 0);

    const QRectF band(0, 0, 226, 4);
    const QPainterPath a = TapeGeometry::tornEdge(band, panel.engine.tearSeed());
    EXPECT_EQ(a, TapeGeometry::tornEdge(band, panel.engine.tearSeed()));
    QTest::mouseClick(panel.view.tapeView()->tearButton(), Qt::LeftButton);
    EXPECT_TRUE(panel.engine.tape().empty());
    EXPECT_NE(a, TapeGeometry::tornEdge(band, panel.engine.tearSeed()));
}

TEST(Tape, TheStripShowsRedAndBlackInk) {
    Panel panel;
    panel.keys({Key::digit(8), KeyKind::printKey, Key::digit(8), KeyKind::chs, KeyKind::printKey});
    panel.view.tapeView()->refresh();
    TapePaper* paper = panel.view.tapeView()->paper();
    QImage image(paper->size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    paper->render(&image);
    const int r = TapeGeometry::rowHeight(paper->paperSize().width());
    auto inkIn = [&](int rowFromBottom, bool wantRed) {
        const int top = image.height() - (rowFromBottom + 1) * r;
        for (int y = top; y < top + r; ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                const bool red = c.red() > 120 && c.green() < 80;
                const bool black = c.lightness() < 80;
                if (wantRed ? red : black) return true;
            }
        return false;
    };
    EXPECT_TRUE(inkIn(1, true));  // -8 in red, just above the feed row
    EXPECT_TRUE(inkIn(2, false)); // 8 in black above it
    EXPECT_FALSE(inkIn(2, true));
}

TEST(KeyHelpLabels, HoverAltAndTheSwitch) {
    Panel panel;
    KeyboardView* kb = panel.view.keyboard();
    EXPECT_TRUE(kb->labels().empty());
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(kb->button(Key::digit(7)), &enter);
    ASSERT_EQ(kb->labels().size(), 1u);
    EXPECT_EQ(kb->labels()[0].text, QStringLiteral("PI"));
    // Moving straight onto the neighbour leaves the neighbour hovered.
    QApplication::sendEvent(kb->button(Key::digit(8)), &enter);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(kb->button(Key::digit(7)), &leave);
    ASSERT_EQ(kb->labels().size(), 1u);
    EXPECT_EQ(kb->labels()[0].text, QStringLiteral("ROUND"));
    QApplication::sendEvent(kb->button(KeyKind::sin), &enter);
    EXPECT_TRUE(kb->labels().empty()); // no label for a key without one

    panel.help.setOptionDown(true);
    EXPECT_EQ(kb->labels().size(), 16u);
    panel.help.setEnabled(false);
    EXPECT_TRUE(kb->labels().empty());
}
