// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up: the batch mode and the snapshot need no window; otherwise the one
// machine and its window for the life of the process.
#include "app/Batch.h"
#include "app/Dialogs.h"
#include "app/KeptMachine.h"
#include "app/MainWindow.h"
#include "app/Snapshot.h"
#include "app/ZoomSetting.h"
#include "engine/Engine.h"
#include "host/QtScheduler.h"
#include "host/QtSettings.h"
#include "host/SoundOutput.h"
#include "panel/KeyHelp.h"
#include "panel/KeyboardMonitor.h"
#include "panel/SoundPlayer.h"
#include "storage/AppIdentity.h"
#include "storage/Quote.h"
#include "storage/SafeFile.h"
#include "storage/ShellSettings.h"
#include "storage/UserFiles.h"
#include "storage/UserPrograms.h"

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int snapshot(int argc, char** argv, const std::string& path, const char* keys) {
    // A picture never needs a display, whatever DISPLAY says: one that is
    // set but unreachable would otherwise end the program inside Qt.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(vx::quietQt);
    QApplication app(argc, argv);
    vx::setAppIdentity();
    // A path that must not be written is refused before anything is drawn.
    const vx::SafeFile::Target target = vx::SafeFile::target(path, vx::userFiles());
    if (target.refused) {
        std::fprintf(stderr, "veltranix: das Bild kann nicht nach „%s“ geschrieben werden: %s\n",
                     vx::Quote::escaped(path).c_str(), target.refused->toStdString().c_str());
        return 2;
    }
    const auto failure = vx::Snapshot::render(path, QString::fromUtf8(keys ? keys : ""));
    if (failure) {
        std::fprintf(stderr, "veltranix: das Bild kann nicht nach „%s“ geschrieben werden: %s\n",
                     vx::Quote::escaped(path).c_str(), failure->toStdString().c_str());
        return 1;
    }
    return 0;
}

// An option word where a path or a key string should stand: the user left
// out the path, or mixed the snapshot with the batch mode.
bool looksLikeOption(const char* word) {
    return word[0] == '-' && word[1] == '-' && std::isalpha(static_cast<unsigned char>(word[2]));
}

// --snapshot takes a path and at most a key string, nothing else.
int checkedSnapshot(int argc, char** argv, int at) {
    const char* path = argv[at + 1];
    const char* keys = at + 2 < argc ? argv[at + 2] : nullptr;
    if (looksLikeOption(path) || !*path) {
        std::fprintf(stderr, "veltranix: zu --snapshot fehlt der Dateiname des Bildes (veltranix --help)\n");
        return 2;
    }
    for (int i = 1; i < argc; ++i) {
        if (i == at || i == at + 1 || (i == at + 2 && !looksLikeOption(argv[i]))) continue;
        std::fprintf(stderr, "veltranix: --snapshot verträgt keine weiteren Angaben, nicht „%s“\n",
                     vx::Quote::shown(argv[i]).c_str());
        return 2;
    }
    return snapshot(argc, argv, path, keys);
}

// What Qt said while the window's application started.
std::string& startNotes() {
    static std::string notes;
    return notes;
}

// Qt ends the process with abort() when no display server can be reached;
// while the window's application starts, that becomes a German line that
// names the display, then which platform was tried and Qt's own words, and
// exit status 1.
void noWindowSystem(QtMsgType type, const QMessageLogContext&, const QString& message) {
    std::string words = message.simplified().toStdString();
    if (type != QtFatalMsg) {
        if (startNotes().size() < 2000) startNotes() += (startNotes().empty() ? "" : " ") + words;
        return;
    }
    const char* chosen = std::getenv("QT_QPA_PLATFORM");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const char* x11 = std::getenv("DISPLAY");
    const bool waylandTried = chosen && *chosen ? std::strncmp(chosen, "wayland", 7) == 0 : !(x11 && *x11);
    const char* display = waylandTried ? wayland : x11;
    const std::string unset = waylandTried ? "WAYLAND_DISPLAY nicht gesetzt" : "DISPLAY nicht gesetzt";
    std::fprintf(stderr, "veltranix: Das Fenster lässt sich nicht öffnen: kein Bildschirm erreichbar (%s).\n",
                 display && *display ? vx::Quote::shown(display).c_str() : unset.c_str());
    const std::string platform = chosen && *chosen
                                     ? vx::Quote::shown(chosen) + " (aus QT_QPA_PLATFORM)"
                                     : std::string(waylandTried ? "wayland" : "xcb") + " (von Qt gewählt)";
    std::string reason = startNotes().empty() ? words : startNotes() + " " + words;
    std::fprintf(stderr, "veltranix: versuchte Plattform: %s; Qt meldet: %s\n", platform.c_str(),
                 vx::Quote::shown(reason, 400).c_str());
    std::_Exit(1);
}

int window(int argc, char** argv, const char* programFile) {
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
    vx::ShellSettings shell(settings);
    // The library follows the machine's model; the machine does not know it.
    vx::UserPrograms library(engine.model());
    engine.addModelListener([&library](vx::Model model) { library.setModel(model); });
    // With continuous memory on, the machine is back as it was closed.
    const std::optional<QString> notBack = vx::KeptMachine::bringBack(engine, shell);
    vx::KeyHelp help(shell);
    vx::ZoomSetting zoom(shell);
    // The desktop's sound server, found in the background; silent without one.
    vx::SoundOutput speaker;
    vx::MainWindow window(engine, library, help, zoom, shell);
    window.sound().play = [&speaker](const std::vector<float>& samples, float gain) {
        speaker.play(samples, gain);
    };
    window.sound().silence = [&speaker] { speaker.silence(); };
    vx::KeyboardMonitor monitor(engine, help, nullptr);
    monitor.watch(app);
    monitor.setMachineTakes(
        [&window](const QWidget* w, const QWidget* focus) { return window.machineTakes(w, focus); });
    QObject::connect(&monitor, &vx::KeyboardMonitor::pressed, &window, &vx::MainWindow::showPressed);
    window.restorePosition();
    window.show();
    window.raise();
    window.activateWindow();
    if (notBack)
        QTimer::singleShot(0, &window, [&window, why = *notBack] {
            vx::Dialogs::tell(&window, QMessageBox::Warning, QStringLiteral("Dauerspeicher"),
                              QStringLiteral("Der aufgehobene Rechner ließ sich nicht lesen."), why);
        });
    if (programFile)
        QTimer::singleShot(0, &window,
                           [&window, path = std::string(programFile)] { window.importFile(path); });
    return app.exec();
}

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--snapshot") && i + 1 < argc) return checkedSnapshot(argc, argv, i);
    }
    // A single word that is no option is a program file to open the window with.
    if (argc == 2 && argv[1][0] != '-') return window(argc, argv, argv[1]);
    // --snapshot without a path is ignored; every other option is the batch mode's.
    bool batch = false;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--snapshot") != 0) batch = true;
    if (batch) return vx::runBatch(argc, argv);
    return window(argc, argv, nullptr);
}
