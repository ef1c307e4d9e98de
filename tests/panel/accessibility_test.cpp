// SPDX-License-Identifier: GPL-3.0-or-later
// The panel through Qt's accessibility API, as a screen reader meets it.
#include "display/Formatter.h"
#include "engine/Engine.h"
#include "engine/SimulatedClock.h"
#include "fixture.h"
#include "panel/Accessibility.h"
#include "panel/CalculatorView.h"
#include "panel/Controls.h"
#include "panel/DisplayPanel.h"
#include "panel/KeyHelp.h"
#include "panel/KeyboardMonitor.h"
#include "panel/KeyboardView.h"
#include "panel/Layout.h"
#include "panel/TapeView.h"

#include <QAccessible>
#include <QKeyEvent>

#include <gtest/gtest.h>

#include <vector>

using namespace vx;
using namespace Qt::StringLiterals;

namespace {

struct Panel : vx::test::PanelFixture {
    std::vector<std::pair<QObject*, QAccessible::Event>> events;
    Panel() {
        // The events the toolkit would pass to the accessibility bus.
        QObject::connect(&view, &CalculatorView::announced,
                         [this](QObject* part, QAccessible::Event type) { events.emplace_back(part, type); });
    }
    QAccessibleInterface* of(QObject* o) { return QAccessible::queryAccessibleInterface(o); }
    QAccessibleInterface* key(Key k) { return of(view.keyboard()->button(k)); }
    void press(std::initializer_list<Key> keys) {
        for (Key k : keys) key(k)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    }
    QString display() { return of(view.displayPanel())->text(QAccessible::Value); }
    int count(QObject* o, QAccessible::Event type) {
        int n = 0;
        for (const auto& [object, t] : events) n += object == o && t == type;
        return n;
    }
};

} // namespace

TEST(Accessibility, EveryKeyIsAButtonThatSaysHowToReachIt) {
    Panel panel;
    for (const auto& [k, rect] : Layout::keys()) {
        QAccessibleInterface* key = panel.key(k);
        ASSERT_TRUE(key) << keyName(k);
        EXPECT_EQ(key->role(), QAccessible::Button) << keyName(k);
        EXPECT_EQ(key->text(QAccessible::Name), Layout::accessibleName(k));
        ASSERT_TRUE(key->actionInterface());
        EXPECT_EQ(key->actionInterface()->actionNames(),
                  QStringList{QAccessibleActionInterface::pressAction()});
        EXPECT_EQ(key->actionInterface()->localizedActionName(QAccessibleActionInterface::pressAction()),
                  u"Drücken"_s);
        const QString description = key->text(QAccessible::Description);
        const QString host = KeyboardMonitor::hostKeys(k);
        EXPECT_TRUE(description.startsWith(host.isEmpty() ? u"Auf der Tastatur: keine Taste."_s
                                                          : u"Auf der Tastatur: %1."_s.arg(host)))
            << description.toStdString();
        // A host key named by one character presses this very key.
        if (host.size() == 1) {
            QKeyEvent typed(QEvent::KeyPress, 0, Qt::NoModifier, host);
            EXPECT_EQ(KeyboardMonitor::keyFor(typed), k) << host.toStdString();
        }
        if (Layout::fHelp(k) || !Layout::printedShiftLegend(k).isEmpty()) {
            EXPECT_TRUE(description.contains(u" Mit f: "_s)) << description.toStdString();
        }
    }
    EXPECT_EQ(panel.key(KeyKind::clear)->text(QAccessible::Description),
              u"Auf der Tastatur: Esc oder Rücktaste. Mit f: CLEAR ALL."_s);
    EXPECT_EQ(panel.key(KeyKind::ln)->text(QAccessible::Description),
              u"Auf der Tastatur: keine Taste. Mit f: eˣ."_s);
}

TEST(Accessibility, PressingThroughTheInterfaceIsAClick) {
    Panel panel;
    panel.press({Key::digit(1), KeyKind::plus, Key::digit(2), KeyKind::equals});
    EXPECT_EQ(panel.engine.E().v, 3);
    EXPECT_EQ(panel.display(), u"3.0000"_s);
    // The f key shows that it waits.
    QAccessibleInterface* f = panel.key(KeyKind::f);
    EXPECT_FALSE(f->state().checked);
    panel.press({KeyKind::f});
    EXPECT_TRUE(f->state().checkable);
    EXPECT_TRUE(f->state().checked);
    EXPECT_EQ(panel.count(panel.view.keyboard()->button(KeyKind::f), QAccessible::StateChanged), 1);
    panel.press({Key::digit(7)}); // f 7: π
    EXPECT_FALSE(f->state().checked);
    EXPECT_EQ(panel.display(), u"3.1415"_s);
    // The machine's gates hold: a running program takes only START STOP.
    panel.engine.loadProgram({129, 232, 1});
    panel.press({KeyKind::startStop, Key::digit(5)});
    EXPECT_TRUE(panel.engine.running());
    EXPECT_FALSE(panel.engine.entry().has_value());
    EXPECT_EQ(panel.display(), u"Programm läuft"_s);
}

TEST(Accessibility, SwitchesTellAndTakeTheirPosition) {
    Panel panel;
    struct Expect {
        SlideSwitch* slide;
        const char* name;
        const char* value;
        int positions;
    };
    KeyboardView* k = panel.view.keyboard();
    for (const auto& [slide, name, value, positions] :
         {Expect{k->printerSwitch(), "Drucker", "EIN", 2}, Expect{k->modeSwitch(), "Betriebsart", "RUN", 3},
          Expect{k->tapeSwitch(), "Streifen", "EIN", 2}, Expect{k->angleSwitch(), "Winkeleinheit", "DEG", 2},
          Expect{panel.view.displayPanel()->powerSwitch(), "Netzschalter", "EIN", 2}}) {
        QAccessibleInterface* s = panel.of(slide);
        EXPECT_EQ(s->role(), QAccessible::Slider);
        EXPECT_EQ(s->text(QAccessible::Name), QString::fromUtf8(name));
        EXPECT_EQ(s->text(QAccessible::Value), QString::fromUtf8(value));
        EXPECT_EQ(s->valueInterface()->maximumValue().toInt(), positions - 1);
    }
    QAccessibleInterface* mode = panel.of(k->modeSwitch());
    mode->valueInterface()->setCurrentValue(2);
    EXPECT_EQ(panel.engine.mode(), Mode::load);
    EXPECT_EQ(mode->text(QAccessible::Value), u"LOAD"_s);
    EXPECT_EQ(panel.count(k->modeSwitch(), QAccessible::ValueChanged), 1);
    EXPECT_EQ(panel.display(), u"Schritt 001: leer"_s);
    panel.press({KeyKind::sin});
    EXPECT_EQ(panel.display(), u"Schritt 002: leer"_s);
    mode->setText(QAccessible::Value, u"RUN"_s);
    EXPECT_EQ(panel.engine.mode(), Mode::run);
    panel.of(k->printerSwitch())->valueInterface()->setCurrentValue(1);
    EXPECT_FALSE(panel.engine.printerOn());
}

TEST(Accessibility, TheDisplayReadsAsItShowsAndSpeaksOncePerChange) {
    Panel panel;
    QAccessibleInterface* display = panel.of(panel.view.displayPanel());
    EXPECT_EQ(display->role(), QAccessible::StaticText);
    EXPECT_EQ(display->text(QAccessible::Name), u"Anzeige"_s);
    EXPECT_TRUE(display->state().readOnly);
    ASSERT_TRUE(display->textInterface());
    panel.press({Key::digit(4), Key::digit(2)});
    EXPECT_EQ(display->textInterface()->text(0, display->textInterface()->characterCount()), u"42.0000"_s);
    // One event a change: five keys, five new texts; a running program's blink says nothing new.
    panel.press({KeyKind::reset});
    panel.events.clear();
    panel.press({Key::digit(1), KeyKind::plus, Key::digit(2), KeyKind::equals});
    EXPECT_EQ(panel.count(panel.view.displayPanel(), QAccessible::TextUpdated), 3); // "1.", "2.", "3.0000"
    panel.engine.loadProgram({129, 232, 1});
    panel.events.clear();
    panel.press({KeyKind::startStop});
    panel.clock.advance(3);
    EXPECT_EQ(panel.count(panel.view.displayPanel(), QAccessible::TextUpdated), 1); // "Programm läuft"
    panel.engine.setPower(false);
    EXPECT_EQ(display->text(QAccessible::Value), QString());
}

TEST(Accessibility, TheScreenReaderSaysWhatThePanelPaints) {
    // Each state the display can be in, from one machine value: the words
    // said and the cells painted come from the same reading.
    const struct {
        const char* script;
        const char* says;
    } cases[] = {
        {"12345 chs =", "-12,345.0000"},
        {"2 / 3 = setDP exp", "6.666666666 E-01"},
        {"( ( 4", "4.0000 (2 Klammern offen)"},
        {"1 / 0 =", "Fehler"},
        // An error left behind in LOAD mode: the display shows the step, and so does the reader.
        {"7 + 10 exp 99 mode:load", "Schritt 001: leer"},
        {"mode:load sin", "Schritt 002: leer"},
        {"power:off", ""},
    };
    for (const auto& c : cases) {
        Panel panel;
        vx::test::play(panel.engine, c.script);
        const Shown shown = panel.engine.shown();
        EXPECT_EQ(shown.cells, panel.engine.cells()) << c.script;
        EXPECT_EQ(panel.display().toStdString(), c.says) << c.script;
    }
    // A running program, and the single step's moment of its own code.
    Panel panel;
    vx::test::play(panel.engine, "mode:load f fwd 1 jump 1 mode:run startStop");
    EXPECT_EQ(panel.engine.shown().kind, Shown::Kind::running);
    EXPECT_EQ(panel.display(), u"Programm läuft"_s);
    vx::test::play(panel.engine, "startStop mode:step startStop");
    ASSERT_EQ(panel.engine.shown().kind, Shown::Kind::temporary);
    EXPECT_EQ(panel.display(), QString::fromStdString(Formatter::text(panel.engine.cells())).simplified());
}

TEST(Accessibility, TheTapeIsAReadOnlyTextThatGrowsLineByLine) {
    Panel panel;
    TapePaper* paper = panel.view.tapeView()->paper();
    QAccessibleInterface* tape = panel.of(paper);
    EXPECT_EQ(tape->role(), QAccessible::EditableText);
    EXPECT_EQ(tape->text(QAccessible::Name), u"Papierstreifen"_s);
    EXPECT_TRUE(tape->state().readOnly);
    EXPECT_TRUE(tape->state().multiLine);
    panel.press({Key::digit(5), KeyKind::minus, Key::digit(8), KeyKind::equals});
    const QString text = tape->textInterface()->text(0, tape->textInterface()->characterCount());
    EXPECT_EQ(text, u"      5.0000 -\n      8.0000 =\n     -3.0000\n"_s);
    EXPECT_EQ(panel.count(paper, QAccessible::TextInserted), 3);
    int start = 0, end = 0;
    EXPECT_EQ(tape->textInterface()->attributes(static_cast<int>(text.indexOf(u"-3"_s)), &start, &end),
              Accessibility::inkAttribute(true));
    EXPECT_EQ(text.mid(start, end - start), u"     -3.0000\n"_s);
    EXPECT_EQ(tape->textInterface()->attributes(0, &start, &end), Accessibility::inkAttribute(false));
    EXPECT_NE(Accessibility::inkAttribute(true), Accessibility::inkAttribute(false));
    panel.engine.clearTape();
    EXPECT_EQ(tape->textInterface()->characterCount(), 0);
    EXPECT_EQ(panel.count(paper, QAccessible::TextRemoved), 1);
}

TEST(Accessibility, TheErrorStateSaysHowToLeaveIt) {
    Panel panel;
    panel.keys({Key::digit(1), KeyKind::divide, Key::digit(0), KeyKind::equals});
    ASSERT_TRUE(panel.engine.error());
    const QString hint = u"Fehler: CLEAR (Esc) oder RESET (Umschalt+Esc) beendet ihn."_s;
    EXPECT_EQ(panel.view.displayPanel()->toolTip(), hint);
    EXPECT_EQ(panel.of(panel.view.displayPanel())->text(QAccessible::Description), hint);
    panel.keys({KeyKind::clear});
    EXPECT_EQ(panel.view.displayPanel()->toolTip(), QString());
}
