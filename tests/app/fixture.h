// SPDX-License-Identifier: GPL-3.0-or-later
// The shared fixture of the window and dialog tests: a private data and
// settings folder per test, the off-screen platform, and a watchdog that
// fails the test (instead of hanging) when a dialog opens that the test did
// not ask for.
#pragma once

#include "app/MainWindow.h"
#include "app/ZoomSetting.h"
#include "engine/Engine.h"
#include "engine/SimulatedClock.h"
#include "panel/KeyHelp.h"
#include "panel/KeyboardMonitor.h"
#include "storage/ShellSettings.h"
#include "storage/UserPrograms.h"
#include "tests/panel/fixture.h"

#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>

namespace vx::test {

class AppTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // The next modal dialog is handed to `handler`, which must close it.
    void expectDialog(std::function<void(QDialog&)> handler) { handlers_.push_back(std::move(handler)); }
    // The next dialog says each of `says`; `button` closes it (or it is accepted).
    void expectMessage(const QStringList& says, const QString& button = {});
    // The next dialog asks for a name: `name` is given and saved.
    void expectName(const QString& name);
    QString dataHome() const { return home_->path() + "/data"; }
    // The menu entry with exactly that text; a test failure (and a dummy
    // entry, so that the test goes on) when there is none.
    QAction* entry(QMenu& menu, const QString& text);
    QMenu* submenu(QMenu& menu, const QString& text);

    SimulatedClock clock;
    MemorySettings settings;
    StdRandom random{11};
    std::unique_ptr<Engine> engine;

  private:
    void watch();
    std::unique_ptr<QTemporaryDir> home_;
    std::deque<std::function<void(QDialog&)>> handlers_;
    QMenu missing_;
    QTimer watchdog_;
};

// The real window around the test's machine, shown and active, with the
// host keyboard's monitor installed.
struct Window {
    Window(Engine& engine)
        : engine(engine), shell(settings), library(Model::orbis410), help(true), zoom(shell),
          window(engine, library, help, zoom, shell, Collection(SOURCE_DIR "/examples")),
          monitor(engine, help, nullptr) {
        qApp->installEventFilter(&monitor);
        monitor.setMachineTakes(
            [this](const QWidget* w, const QWidget* focus) { return window.machineTakes(w, focus); });
        QObject::connect(&monitor, &KeyboardMonitor::pressed, &window, &MainWindow::showPressed);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    ~Window() { qApp->removeEventFilter(&monitor); }
    // Typed into the window; the machine after them, to read at once.
    Engine& type(const QString& text) {
        for (QChar c : text) QTest::keyClick(window.windowHandle(), c.toLatin1());
        return engine;
    }
    Engine& key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(window.windowHandle(), key, modifiers);
        return engine;
    }
    Engine& engine;
    MemorySettings settings;
    ShellSettings shell;
    UserPrograms library;
    KeyHelp help;
    ZoomSetting zoom;
    MainWindow window;
    KeyboardMonitor monitor;
};

// A file's bytes (empty when it cannot be read), and a file written whole,
// its folder made first.
QByteArray bytes(const QString& path);
void put(const QString& path, const QByteArray& text);
// The library as "number name|…".
std::string listed(UserPrograms& library);
// The entries' texts of a menu, with their shortcuts after a tab, joined by "|".
QString texts(const QMenu& menu);
// Text of every QLabel of a dialog, joined by line feeds.
QString dialogText(QWidget& dialog);
// Clicks the dialog button with that text.
void clickButton(QWidget& dialog, const QString& text);

} // namespace vx::test
