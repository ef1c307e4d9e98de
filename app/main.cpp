// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up: the batch mode and the snapshot need no window; otherwise the one
// machine and its window for the life of the process.
#include "app/Batch.h"
#include "app/MainWindow.h"
#include "app/Snapshot.h"
#include "app/ZoomSetting.h"
#include "engine/Engine.h"
#include "panel/KeyHelp.h"
#include "panel/KeyboardMonitor.h"
#include "storage/AppIdentity.h"
#include "storage/QtScheduler.h"
#include "storage/QtSettings.h"
#include "storage/UserPrograms.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Headless runs report their own failures in one line; Qt's notes about the
// session (a missing runtime folder, fonts) would only clutter a script's output.
void quietQt(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg) std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

int snapshot(int argc, char** argv, const char* path, const char* keys) {
    // A picture never needs a display, whatever DISPLAY says: one that is
    // set but unreachable would otherwise end the program inside Qt.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietQt);
    QApplication app(argc, argv);
    vx::setAppIdentity();
    const auto failure =
        vx::Snapshot::render(QString::fromLocal8Bit(path), QString::fromUtf8(keys ? keys : ""));
    if (failure) {
        std::fprintf(stderr, "veltranix: %s: %s\n", path, failure->toLocal8Bit().constData());
        return 1;
    }
    return 0;
}

// Qt ends the process with abort() when no display server can be reached;
// while the window's application starts, that becomes one German line and
// exit status 1.
void noWindowSystem(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type != QtFatalMsg) return;
    const char* display =
        std::getenv("WAYLAND_DISPLAY") ? std::getenv("WAYLAND_DISPLAY") : std::getenv("DISPLAY");
    std::fprintf(stderr, "veltranix: Das Fenster lässt sich nicht öffnen: kein Bildschirm erreichbar (%s).\n",
                 display && *display ? display : "weder DISPLAY noch WAYLAND_DISPLAY gesetzt");
    (void)message;
    std::_Exit(1);
}

int window(int argc, char** argv) {
    const QtMessageHandler previous = qInstallMessageHandler(noWindowSystem);
    QApplication app(argc, argv);
    qInstallMessageHandler(previous);
    vx::setAppIdentity();
    QGuiApplication::setDesktopFileName(QString::fromLatin1(vx::desktopId));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icon.png")));
    QTranslator qtGerman;
    if (qtGerman.load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"),
                      QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtGerman);

    vx::QtScheduler scheduler;
    vx::QtSettings settings;
    vx::StdRandom random;
    vx::Engine engine(scheduler, settings, random);
    // The library follows the machine's model; the machine does not know it.
    vx::UserPrograms library(engine.model());
    engine.addModelListener([&library](vx::Model model) { library.setModel(model); });
    vx::KeyHelp help(settings);
    vx::ZoomSetting zoom(settings);
    vx::MainWindow window(engine, library, help, zoom);
    vx::KeyboardMonitor monitor(engine, help, nullptr);
    monitor.watch(app);
    window.show();
    window.raise();
    window.activateWindow();
    return app.exec();
}

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--snapshot") && i + 1 < argc)
            return snapshot(argc, argv, argv[i + 1], i + 2 < argc ? argv[i + 2] : nullptr);
    }
    // --snapshot without a path is ignored; every other option is the batch mode's.
    bool batch = false;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--snapshot") != 0) batch = true;
    if (batch) return vx::runBatch(argc, argv);
    return window(argc, argv);
}
