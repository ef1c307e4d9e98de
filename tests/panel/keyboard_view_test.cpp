// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Engine.h"
#include "fixture.h"
#include "panel/CalculatorView.h"
#include "panel/DisplayPanel.h"
#include "panel/KeyHelp.h"
#include "panel/KeyboardView.h"
#include "panel/Layout.h"

#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace vx;

namespace {

using Panel = vx::test::PanelFixture;

} // namespace

TEST(KeyboardView, ClickingTheCentreOfEveryKeyPressesExactlyThatKey) {
    for (double factor : {1.0, 0.5}) {
        Panel panel;
        panel.view.setFactor(factor);
        std::vector<Key> pressed;
        QObject::connect(panel.view.keyboard(), &KeyboardView::keyClicked,
                         [&](Key k) { pressed.push_back(k); });
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

TEST(KeyboardView, KeysActOnReleaseAndWorkTheMachine) {
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

TEST(KeyboardView, TheFKeyShinesWhileTheShiftIsPending) {
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

TEST(KeyboardView, SwitchesTakeClicksAndDragsToTheirPositions) {
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

TEST(KeyboardView, HelpLabelsOnHoverWithAltAndByTheSwitch) {
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
