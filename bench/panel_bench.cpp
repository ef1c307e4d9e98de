// SPDX-License-Identifier: GPL-3.0-or-later
// Repainting the panel: the tape however long it is, and the whole panel at 150 %.
#include "engine/Engine.h"
#include "engine/SimulatedClock.h"
#include "panel/CalculatorView.h"
#include "panel/KeyHelp.h"
#include "panel/TapeView.h"
#include "tests/panel/fixture.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

using namespace vx;

namespace {

using Panel = vx::test::PanelFixture;

void tapeLineAndRepaint(benchmark::State& state) {
    Panel panel;
    for (Key k : {Key::digit(1), Key(KeyKind::dot), Key::digit(5)}) panel.engine.press(k);
    for (int i = 0; i < 100000; ++i) panel.engine.press(Key(KeyKind::printKey));
    TapePaper* paper = panel.view.tapeView()->paper();
    QImage image(paper->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        panel.engine.press(Key(KeyKind::printKey));
        QPainter p(&image);
        paper->render(&p);
    }
    state.counters["lines"] = static_cast<double>(panel.engine.tape().size());
}
BENCHMARK(tapeLineAndRepaint)->Unit(benchmark::kMillisecond);

void fullPanelRepaint(benchmark::State& state) {
    Panel panel;
    for (Key k : {Key::digit(1), Key::digit(2), Key(KeyKind::plus), Key::digit(3), Key(KeyKind::equals)})
        panel.engine.press(k);
    QImage image(panel.view.size(), QImage::Format_ARGB32_Premultiplied);
    {
        QPainter warm(&image);
        panel.view.render(&warm); // the keyboard picture is scaled once per size
    }
    for (auto _ : state) {
        QPainter p(&image);
        panel.view.render(&p);
    }
}
BENCHMARK(fullPanelRepaint)->Unit(benchmark::kMillisecond);

} // namespace
