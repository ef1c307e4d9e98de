// SPDX-License-Identifier: GPL-3.0-or-later
// What the panel shows of a run: a fast run drawn at a bounded rate, the
// run in words, and tape lines that name the step that printed them.
#include "fixture.h"
#include "panel/DisplayPanel.h"
#include "panel/RunSummary.h"
#include "panel/TapeView.h"
#include "program/BatchScript.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace vx;
using vx::test::PanelFixture;
using vx::test::play;

TEST(RunView, AFastRunIsShownAtMostThirtyTimesASecond) {
    PanelFixture f;
    play(f.engine, "printer:off mode:load f fwd 1 printKey jump 1 mode:run printer:on");
    f.engine.setCounter(1);
    f.engine.setTempo(Tempo::fast);
    f.engine.press(KeyKind::startStop);
    const int before = f.view.refreshes();
    QElapsedTimer wall;
    wall.start();
    int chunks = 0;
    while (wall.elapsed() < 400) {
        f.clock.runNext(f.clock.nowNanos());
        QCoreApplication::processEvents();
        ++chunks;
    }
    const int shown = f.view.refreshes() - before;
    EXPECT_GT(chunks, 20);
    EXPECT_GT(f.engine.tape().size(), 10000u) << "a fast printing loop prints thousands of lines";
    EXPECT_LE(shown, 400 / 33 + 2) << "chunks: " << chunks;
    EXPECT_GE(shown, 3) << "but it is shown";
    // Stopped: shown at once, as in the original tempo.
    f.engine.press(KeyKind::startStop);
    EXPECT_EQ(f.view.refreshes(), before + shown + 1);
}

TEST(RunView, TheRunInWords) {
    const std::pair<double, const char*> durations[] = {{0.04, "0,0 s"},
                                                        {2.06, "2,1 s"},
                                                        {59.9, "59,9 s"},
                                                        {59.97, "1 min 0 s"},
                                                        {412.3, "6 min 52 s"},
                                                        {3725, "1 h 2 min"},
                                                        {2 * 86400 + 4 * 3600 + 59, "2 d 4 h"}};
    for (const auto& [seconds, words] : durations)
        EXPECT_EQ(spokenDuration(seconds), QString::fromUtf8(words)) << seconds;
    EXPECT_EQ(runSummary(RunFigures{1234567, 412'300'000'000}, 2.1),
              QStringLiteral("Lauf: 1\u202F234\u202F567 Schritte in 2,1 s – auf dem Original 6 min 52 s"));
    EXPECT_EQ(runSummary(RunFigures{1, 0}, 0),
              QStringLiteral("Lauf: 1 Schritt in 0,0 s – auf dem Original 0,0 s"));

    PanelFixture f;
    EXPECT_TRUE(f.view.runText().isEmpty());
    play(f.engine, "printer:off mode:load 1 + 2 = startStop mode:run");
    f.engine.setCounter(1);
    f.engine.press(KeyKind::startStop);
    f.clock.advance(1);
    EXPECT_TRUE(f.view.runText().startsWith(QStringLiteral("Lauf: 5 Schritte in ")))
        << f.view.runText().toStdString();
    EXPECT_EQ(f.view.displayPanel()->toolTip(), f.view.runText());
}

TEST(RunView, ATapeLineNamesItsStepOnHoverAndOnClick) {
    PanelFixture f;
    f.view.resize(f.view.zoomedSize());
    play(f.engine, "printer:off mode:load 5 printKey startStop mode:run printer:on 7 printKey");
    f.engine.setCounter(1);
    f.engine.press(KeyKind::startStop);
    f.clock.advance(1);
    ASSERT_EQ(f.engine.tape().size(), 2u);
    EXPECT_EQ(TapePaper::printedBy(f.engine.tape()[0]), QString());
    EXPECT_EQ(TapePaper::printedBy(f.engine.tape()[1]), QStringLiteral("gedruckt von Schritt 002"));

    TapePaper* paper = f.view.tapeView()->paper();
    const QSizeF size = paper->paperSize();
    const int row = TapeGeometry::rowHeight(size.width());
    // The newest line stands one row (the feed) above the foot of the paper.
    const double newest = size.height() - 1.5 * row, older = size.height() - 2.5 * row;
    EXPECT_EQ(TapeGeometry::lineAt(2, size, 0, newest), std::optional<std::size_t>(1));
    EXPECT_EQ(TapeGeometry::lineAt(2, size, 0, older), std::optional<std::size_t>(0));
    EXPECT_EQ(TapeGeometry::lineAt(2, size, 0, size.height() - 0.5 * row), std::nullopt);

    QSignalSpy chosen(paper, &TapePaper::stepChosen);
    QTest::mouseClick(paper, Qt::LeftButton, {}, QPoint(paper->width() / 2, static_cast<int>(older)));
    EXPECT_EQ(chosen.count(), 0) << "a line a key printed names no step";
    QTest::mouseClick(paper, Qt::LeftButton, {}, QPoint(paper->width() / 2, static_cast<int>(newest)));
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.at(0).at(0).toInt(), 2);
}

TEST(RunView, TheViewsReadTheDisplayOnlyAsTheMachineTellsIt) {
    // The same keys on a bare machine with one listener and under the whole
    // panel: the panel's views compute no display of their own.
    const char* const script = "1 2 + 3 4 = ( 5 * 6 ) mode:load sin cos mode:run f 7 printKey";
    std::uint64_t told = 0;
    SimulatedClock clock;
    MemorySettings settings;
    StdRandom random{99};
    Engine alone(clock, settings, random);
    alone.addListener([&told](const MachineEvent& e) { told += e.kind == MachineEvent::Kind::changed; });
    const std::uint64_t before = alone.shownReadings();
    play(alone, script);
    PanelFixture f;
    const std::uint64_t panelBefore = f.engine.shownReadings();
    play(f.engine, script);
    EXPECT_EQ(f.engine.shownReadings() - panelBefore, alone.shownReadings() - before);
    EXPECT_GE(alone.shownReadings() - before, told) << "each change carries the display it read";
}
