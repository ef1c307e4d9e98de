// SPDX-License-Identifier: GPL-3.0-or-later
// Nothing lost on closing: the question before an unsaved program goes, the
// continuous memory, program files in and out, and a file dropped on the panel.
#include "app/Dialogs.h"
#include "app/KeptMachine.h"
#include "app/ProgramFiles.h"
#include "display/Formatter.h"
#include "fixture.h"
#include "storage/UserFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>

#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace vx;
using namespace vx::test;
using namespace Qt::StringLiterals;

namespace {
// Settings with "Dauerspeicher" on or off.
struct Kept {
    MemorySettings store;
    ShellSettings shell{store};
    explicit Kept(bool on) { shell.setKeepMachine(on); }
};
} // namespace

TEST_F(AppTest, ClosingWithAnUnsavedProgramAsksAndEachAnswerDoesWhatItSays) {
    Window w(*engine);
    engine->loadProgram({56, 57});
    // "Abbrechen": the window stays. The desktop session ending meanwhile
    // waits for the answer instead of asking again over it.
    expectDialog([&w](QDialog& d) {
        EXPECT_TRUE(dialogText(d).contains(u"Das Programm im Speicher ist nicht gesichert."_s));
        EXPECT_FALSE(w.window.sessionMayEnd());
        clickButton(d, u"Abbrechen"_s);
    });
    EXPECT_FALSE(w.window.close());
    EXPECT_TRUE(w.window.isVisible());
    // The session ending asks as closing does.
    expectMessage({}, u"Abbrechen"_s);
    EXPECT_FALSE(w.window.sessionMayEnd());
    // "Sichern …", then cancelling the name: still nothing lost.
    expectMessage({}, u"Sichern …"_s);
    expectMessage({}, u"Abbrechen"_s);
    EXPECT_FALSE(w.window.close());
    // "Sichern …" with a name: saved, and the window closes.
    expectMessage({}, u"Sichern …"_s);
    expectName(u"Vor dem Schließen"_s);
    EXPECT_TRUE(w.window.close());
    ASSERT_EQ(w.library.programs().size(), 1u);
    EXPECT_EQ(w.library.programs()[0].steps, (std::vector<Step>{56, 57}));
}

TEST_F(AppTest, ClosingAsksNothingWhenNothingIsLost) {
    {
        Window empty(*engine);
        EXPECT_TRUE(empty.window.close()); // an empty memory
    }
    {
        Window w(*engine);
        engine->loadProgram({58});
        expectMessage({}, u"Nicht sichern"_s);
        EXPECT_TRUE(w.window.close());
    }
    {
        // The memory as it is in the library (loaded from it, or keyed in the same).
        Window w(*engine);
        ASSERT_TRUE(w.library.save({56, 57}, "A", std::nullopt));
        engine->loadProgram({56, 57});
        EXPECT_TRUE(w.window.close());
    }
    {
        // The memory just pasted or exported: known, until a key changes it.
        Window w(*engine);
        engine->loadProgram({60});
        w.window.programKnown();
        EXPECT_FALSE(w.window.programUnsaved());
        engine->setMode(Mode::load);
        engine->press(Key::digit(3));
        EXPECT_TRUE(w.window.programUnsaved());
        engine->setMode(Mode::run);
        w.shell.setKeepMachine(true); // continuous memory keeps it all
        EXPECT_TRUE(w.window.close());
    }
}

TEST_F(AppTest, ContinuousMemoryKeepsTheWholeMachineAcrossAClose) {
    for (Model model : allModels) {
        engine->select(model);
        engine->loadProgram({Codes::label + 1, Codes::stop});
        for (const char* k : {"2", "+", "(", "3", "*", "4"}) engine->press(*keyForCharacter(k[0]));
        engine->press(Key(KeyKind::f));
        {
            Window w(*engine);
            w.shell.setKeepMachine(true);
            EXPECT_TRUE(w.window.close());
        }
        ASSERT_TRUE(QFileInfo::exists(stateFile()));

        SimulatedClock otherClock;
        MemorySettings otherSettings;
        StdRandom otherRandom{5};
        Engine next(otherClock, otherSettings, otherRandom);
        const Kept on(true), off(false);
        EXPECT_EQ(KeptMachine::bringBack(next, on.shell), std::nullopt);
        EXPECT_EQ(next.state(), engine->state());
        // The next key does what it would have done.
        for (Engine* e : {engine.get(), &next}) {
            e->press(Key(KeyKind::sin));
            e->press(*keyForCharacter(')'));
            e->press(Key(KeyKind::equals));
        }
        EXPECT_EQ(Formatter::text(next.cells()), Formatter::text(engine->cells()));
        EXPECT_EQ(next.registers(), engine->registers());
        // Off: nothing is brought back.
        Engine fresh(otherClock, otherSettings, otherRandom);
        EXPECT_EQ(KeptMachine::bringBack(fresh, off.shell), std::nullopt);
        EXPECT_TRUE(fresh.programSteps().empty());
        QFile::remove(stateFile());
    }
}

TEST_F(AppTest, AHostileLockBesideTheKeptMachineIsNamedAndTheWindowStillCloses) {
    QDir().mkpath(QFileInfo(stateFile()).path());
    const QString lock = stateFile() + ".lock";
    ASSERT_EQ(::mkfifo(QFile::encodeName(lock).constData(), 0600), 0);
    engine->loadProgram({56});
    Window w(*engine);
    w.shell.setKeepMachine(true);
    expectMessage({u"Der Rechner ließ sich nicht aufheben."_s,
                   "die Sperrdatei „" + lock + "“ ist eine Pipe (FIFO), keine Datei"},
                  u"Abbrechen"_s);
    QElapsedTimer took;
    took.start();
    EXPECT_FALSE(w.window.close());
    EXPECT_LT(took.elapsed(), 1000);
    expectMessage({}, u"Trotzdem schließen"_s);
    EXPECT_TRUE(w.window.close());
    EXPECT_FALSE(QFileInfo::exists(stateFile()));
}

TEST_F(AppTest, AKeptMachineThatCannotBeReadStartsFreshSaysSoOnceAndIsKeptAside) {
    const Kept on(true);
    const QString path = stateFile();
    const std::pair<std::function<void()>, QString> damaged[] = {
        {[&] { put(path, "VELTRANIX ZUSTAND 1\nmodel 410\n"); }, u"die Angabe „E“ fehlt"_s},
        {[&] { put(path, "VELTRANIX ZUSTAND 9\n"); },
         u"die erste Zeile ist nicht „VELTRANIX ZUSTAND 1“ (eine andere Fassung?)"_s},
        {[&] { QDir().mkpath(path); }, u"ist keine Datei"_s}};
    for (const auto& [damage, why] : damaged) {
        damage();
        engine->loadProgram({56});
        const auto said = KeptMachine::bringBack(*engine, on.shell);
        ASSERT_TRUE(said) << why.toStdString();
        EXPECT_TRUE(said->startsWith(u"Der aufgehobene Rechner ließ sich nicht lesen ("_s + why +
                                     u"). Der Rechner beginnt frisch; die Datei liegt jetzt unter „"_s +
                                     path + u".beschädigt-"_s))
            << said->toStdString();
        EXPECT_EQ(engine->programSteps(), (std::vector<Step>{56})) << "the machine is left as it started";
        EXPECT_FALSE(QFileInfo::exists(path));
        EXPECT_EQ(KeptMachine::bringBack(*engine, on.shell), std::nullopt) << "said once";
    }
    const QStringList aside =
        QDir(QFileInfo(path).path()).entryList({u"Veltranix.state.beschädigt-*"_s}, QDir::AllEntries);
    EXPECT_EQ(aside.size(), std::size(damaged));
}

TEST_F(AppTest, AProgramExportedAndImportedIsTheSameMemory) {
    const std::vector<Step> programs[] = {{200, 5, 56, std::nullopt, 27, 192, 11},
                                          {200, 105, 192, 43, 56, 232, 14, 233, 15, 27}};
    QDir().mkpath(dataHome());
    for (Model model : allModels) {
        engine->select(model);
        const std::vector<Step>& program = programs[model == Model::orbis412];
        engine->loadProgram(program);
        const QString file = dataHome() + "/Zins.txt";
        ASSERT_EQ(ProgramFiles::exportTo(*engine, file, u"Zins"_s), std::nullopt);
        EXPECT_TRUE(bytes(file).startsWith("VELTRANIX " + QByteArray::fromStdString(rawValue(model)) +
                                           "\n\nPROGRAM 1\nNAME Zins\n\n001  "));
        engine->loadProgram({});
        EXPECT_TRUE(ProgramFiles::importFrom(*engine, file, nullptr));
        EXPECT_EQ(engine->programSteps(), program);
        // A program in memory is replaced only when the user says so.
        engine->loadProgram({57});
        expectMessage({u"Programmspeicher überschreiben?"_s}, u"Abbrechen"_s);
        EXPECT_FALSE(ProgramFiles::importFrom(*engine, file, nullptr));
        EXPECT_EQ(engine->programSteps(), (std::vector<Step>{57}));
    }
}

TEST_F(AppTest, ImportingALibraryOffersItsPrograms) {
    const QString file = dataHome() + "/bibliothek.txt";
    put(file, "VELTRANIX 410\nPROGRAM 1\nNAME Eins\nSIN\nEND\nPROGRAM 2\nNAME Zwei\nCOS\nTAN\nEND\n");
    expectDialog([](QDialog& d) {
        auto* list = d.findChild<QListWidget*>();
        ASSERT_NE(list, nullptr);
        ASSERT_EQ(list->count(), 2);
        EXPECT_EQ(list->item(1)->text(), u"2  Zwei"_s);
        list->setCurrentRow(1);
        clickButton(d, u"Laden"_s);
    });
    EXPECT_TRUE(ProgramFiles::importFrom(*engine, file, nullptr));
    EXPECT_EQ(engine->programSteps(), (std::vector<Step>{57, 58}));
}

TEST_F(AppTest, BadProgramFilesAreRefusedWithAReasonAndChangeNothing) {
    engine->loadProgram({56});
    const QString folder = dataHome();
    QDir().mkpath(folder);
    put(folder + "/binär.txt", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    put(folder + "/gross.txt", "");
    ASSERT_EQ(::truncate(QFile::encodeName(folder + "/gross.txt").constData(), ProgramFiles::maxBytes + 1),
              0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder + "/fifo.txt").constData(), 0600), 0);
    put(folder + "/412.txt", "VELTRANIX 412\n\nPROGRAM 1\nNAME X\n\n001  RCL\n002  05\n\nEND\n");
    put(folder + "/falsch.txt", "PROGRAM 1\n001  SINUS\nEND\n");
    put(folder + "/leer.txt", "; nichts\n");
    const std::pair<QString, QString> bad[] = {
        {"binär.txt", "ist in einer unbekannten Kodierung (keine UTF-8- oder UTF-16-Textdatei)"},
        {"gross.txt", "ist zu groß (mehr als 64 MiB)"},
        {"fifo.txt", "ist keine Datei"},
        {"fehlt.txt", "gibt es nicht"},
        {"412.txt",
         "Die Datei enthält Programme für den Orbis 412 Numerist; eingestellt ist der Orbis 410 Numerist."},
        {"falsch.txt", "enthält kein Programm (Schritt 1: „SINUS“ unbekannt)"},
        {"leer.txt", "enthält kein Programm"}};
    for (const auto& [name, why] : bad) {
        const QString path = folder + "/" + name;
        expectDialog([path, why = why](QDialog& d) {
            EXPECT_TRUE(dialogText(d).contains(u"„%1“: %2"_s.arg(path, why))) << dialogText(d).toStdString();
            // Wide enough for its whole title, however short the message.
            EXPECT_GE(d.width(),
                      d.fontMetrics().horizontalAdvance(d.windowTitle()) + Dialogs::minimumTitleRoom);
            d.accept();
        });
        EXPECT_FALSE(ProgramFiles::importFrom(*engine, path, nullptr)) << name.toStdString();
        EXPECT_EQ(engine->programSteps(), (std::vector<Step>{56}));
    }
    // Nor is a program exported onto the library or a FIFO.
    EXPECT_EQ(ProgramFiles::exportTo(*engine, folder + "/fifo.txt", u"X"_s),
              u"ist eine Pipe (FIFO), keine Datei"_s);
    put(UserPrograms::fileFor(Model::orbis410), "PROGRAM 1\nCOS\nEND\n");
    EXPECT_EQ(ProgramFiles::exportTo(*engine, UserPrograms::fileFor(Model::orbis410), u"X"_s),
              u"ist eine Datei, die Veltranix liest (Bibliothek, Skript, Zustand, Einstellungen)"_s);
}

TEST_F(AppTest, AFileDroppedOnThePanelIsImportedByTheBytesOfItsName) {
    Window w(*engine);
    QDir().mkpath(dataHome());
    // A file manager sends a name that is not UTF-8 percent-encoded.
    const QByteArray names[] = {"drop.txt", "\xff\xfe-quadrat.txt",
                                "Gr\xf6\xdf"
                                "e.txt"};
    const char* const steps[] = {"LN", "SIN", "COS"};
    for (std::size_t i = 0; i < std::size(names); ++i) {
        const QByteArray path = QFile::encodeName(dataHome()) + "/" + names[i];
        std::ofstream(path.toStdString()) << "PROGRAM 1\nNAME Fallen\n" << steps[i] << "\nEND\n";
        QMimeData data;
        data.setUrls({QUrl::fromEncoded("file://" + path.toPercentEncoding("/"))});
        const QPoint middle = w.window.rect().center();
        QDragEnterEvent enter(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w.window, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(middle), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w.window, &drop);
        if (i > 0) expectMessage({}, u"Überschreiben"_s);
        QTest::qWait(20);
        EXPECT_EQ(engine->programSteps(), (std::vector<Step>{Codes::code(steps[i]).value()}))
            << names[i].toStdString();
        EXPECT_FALSE(w.window.programUnsaved()) << "an imported program is known";
    }
}
