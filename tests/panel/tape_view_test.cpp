// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Engine.h"
#include "fixture.h"
#include "panel/CalculatorView.h"
#include "panel/TapeExport.h"
#include "panel/TapeView.h"

#include <QPainter>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace vx;

namespace {

using Panel = vx::test::PanelFixture;

} // namespace

TEST(TapeView, RowsShowTheNewestLinesAndScrollBackToTheLead) {
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

TEST(TapeView, ScrollingJumpsBackOnANewLineAndTheEdgeFollowsTheSeed) {
    Panel panel;
    for (int i = 0; i < 60; ++i) panel.keys({Key::digit(i % 10), KeyKind::printKey});
    TapePaper* paper = panel.view.tapeView()->paper();
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
    EXPECT_EQ(paper->scroll(), 0);

    const QRectF band(0, 0, 226, 4);
    const QPainterPath a = TapeGeometry::tornEdge(band, panel.engine.tearSeed());
    EXPECT_EQ(a, TapeGeometry::tornEdge(band, panel.engine.tearSeed()));
    QTest::mouseClick(panel.view.tapeView()->tearButton(), Qt::LeftButton);
    EXPECT_TRUE(panel.engine.tape().empty());
    EXPECT_NE(a, TapeGeometry::tornEdge(band, panel.engine.tearSeed()));
}

TEST(TapeView, TheStripShowsRedAndBlackInk) {
    Panel panel;
    panel.keys({Key::digit(8), KeyKind::printKey, Key::digit(8), KeyKind::chs, KeyKind::printKey});
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

TEST(TapeView, ARollThatLetItsOldestLinesGoSaysSoAtItsFarEnd) {
    const QSizeF size(226, 300);
    const int r = TapeGeometry::rowHeight(size.width());
    auto leadRowInked = [&](const Tape& tape) {
        QImage image(size.toSize(), QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        TapeGeometry::paint(p, size, tape, 1, 1e9); // scrolled back to the far end
        p.end();
        const int top = static_cast<int>(TapeGeometry::edgeHeight);
        for (int y = top; y < top + r; ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixelColor(x, y).lightness() < 180) return true;
        return false;
    };
    Tape tape;
    for (std::size_t i = 0; i < Tape::bound; ++i) tape.push(TapeLine{i, "", "", false, false, 0});
    EXPECT_FALSE(leadRowInked(tape));
    tape.push(TapeLine{0, "", "", false, false, 0});
    ASSERT_EQ(tape.dropped(), 1u);
    EXPECT_TRUE(leadRowInked(tape));
    EXPECT_EQ(TapeGeometry::droppedNote(1234567), QStringLiteral("… 1.234.567 ältere Zeilen abgerissen"));
}

TEST(TapeView, WhatAScreenReaderHeardOfTheRollIsNeverLongerThanTheRoll) {
    // An endless printing loop in the fast tempo: LABEL 1, 1, ST+ 1, RCL 1, PRINT, JUMP 1.
    Panel panel;
    TapePaper* paper = panel.view.tapeView()->paper();
    panel.engine.loadProgram({129, 1, 193, 1, 200, 1, 28, 232, 1});
    panel.engine.setTempo(Tempo::fast);
    panel.keys({KeyKind::startStop});
    while (panel.engine.tape().printed() < Tape::bound + 5000) {
        panel.clock.runNext(panel.clock.nowNanos());
    }
    panel.keys({KeyKind::startStop});
    panel.clock.runNext(panel.clock.nowNanos());
    EXPECT_EQ(paper->heardLength(), TapeExport::text(panel.engine.tape()).size());
    panel.engine.clearTape();
    EXPECT_EQ(paper->heardLength(), 0);
}
