// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainWindow.h"
#include "app/ProgramActions.h"
#include "app/ProgramName.h"
#include "app/Snapshot.h"
#include "app/ZoomSetting.h"
#include "fixture.h"
#include "panel/CalculatorView.h"
#include "panel/DisplayPanel.h"
#include "panel/KeyHelp.h"
#include "panel/KeyboardMonitor.h"
#include "panel/PanelKeys.h"
#include "panel/SoundPlayer.h"
#include "panel/TapeView.h"
#include "storage/Collection.h"
#include "storage/SafeFile.h"
#include "storage/UserPrograms.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

#include <map>

using namespace vx;
using namespace vx::test;
using namespace Qt::StringLiterals;

TEST_F(AppTest, TypedKeysReachTheMachineExactlyOnce) {
    Window w(*engine);
    EXPECT_EQ(w.type("12+3=").E().v, 15);
    EXPECT_EQ(engine->tape().size(), 3u);
    w.type("2,5*2");
    EXPECT_EQ(w.key(Qt::Key_Return).E().v, 5);
    w.type("7+");
    EXPECT_FALSE(w.key(Qt::Key_Escape, Qt::ShiftModifier).operationPending());
    w.type("F");
    EXPECT_EQ(engine->prefix(), Prefix::none()); // upper case F is not the f key
    EXPECT_EQ(w.type("f").prefix().kind, Prefix::Kind::f);
    ASSERT_FALSE(w.key(Qt::Key_Escape).tape().empty());
    EXPECT_TRUE(w.key(Qt::Key_K, Qt::ControlModifier).tape().empty());
    w.key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(engine->prefix(), Prefix::none()); // Ctrl+letters are never calculator keys
}

TEST_F(AppTest, AltShowsAllLabelsWhileHeld) {
    Window w(*engine);
    QTest::keyPress(w.window.windowHandle(), Qt::Key_Alt, Qt::AltModifier);
    EXPECT_TRUE(w.help.optionDown());
    QTest::keyClick(w.window.windowHandle(), '5', Qt::AltModifier);
    EXPECT_EQ(engine->entry()->mant, "5");
    QTest::keyRelease(w.window.windowHandle(), Qt::Key_Alt, Qt::NoModifier);
    EXPECT_FALSE(w.help.optionDown());
}

TEST_F(AppTest, KeysTypedIntoTheNamingDialogGoIntoItsField) {
    Window w(*engine);
    engine->loadProgram({56});
    expectDialog([&](QDialog& d) {
        auto* field = d.findChild<QLineEdit*>();
        ASSERT_NE(field, nullptr);
        for (char c : std::string("Zins 1+2")) QTest::keyClick(d.windowHandle(), c);
        EXPECT_EQ(field->text(), u"Zins 12"_s); // "+" is not allowed in a name
        clickButton(d, u"Speichern"_s);
    });
    ProgramActions::save(*engine, w.library, std::nullopt, &w.window);
    EXPECT_FALSE(engine->entry().has_value());
    ASSERT_EQ(w.library.programs().size(), 1u);
    EXPECT_EQ(w.library.programs()[0].name, "Zins 12");
}

TEST_F(AppTest, SavingCollapsesSpacesAndReasksAnEmptyName) {
    UserPrograms library(Model::orbis410);
    engine->loadProgram({56, 57});
    expectDialog([](QDialog& d) {
        EXPECT_TRUE(dialogText(d).contains(u"Programm speichern"_s));
        EXPECT_TRUE(dialogText(d).contains(u"Höchstens 48 Zeichen."_s));
        d.findChild<QLineEdit*>()->setText(u"   "_s);
        clickButton(d, u"Speichern"_s);
    });
    expectName(u"  Zins   2 "_s);
    ProgramActions::save(*engine, library, std::nullopt, nullptr);
    ASSERT_EQ(library.programs().size(), 1u);
    EXPECT_EQ(library.programs()[0].name, "Zins 2");
    EXPECT_EQ(library.programs()[0].steps, (std::vector<Step>{56, 57}));

    // Overwriting offers the old name and keeps the number.
    engine->loadProgram({58});
    expectDialog([](QDialog& d) {
        EXPECT_TRUE(dialogText(d).contains(u"Programm 1 „Zins 2“ überschreiben"_s));
        EXPECT_EQ(d.findChild<QLineEdit*>()->text(), u"Zins 2"_s);
        clickButton(d, u"Speichern"_s);
    });
    ProgramActions::save(*engine, library, library.programs()[0], nullptr);
    EXPECT_EQ(library.programs()[0].steps, (std::vector<Step>{58}));
}

TEST_F(AppTest, TheNameFilterKeepsWhatANameMayHold) {
    EXPECT_EQ(NameFilter::filtered(u"A;B"_s), u"AB"_s);
    EXPECT_EQ(NameFilter::filtered(u"Größe (m/s), 2.-3"_s), u"Größe (m/s), 2.-3"_s);
    EXPECT_EQ(NameFilter::filtered(u"a_b:c+d\"e\tf"_s), u"abcdef"_s);
    EXPECT_EQ(NameFilter::filtered(QString(60, QLatin1Char('x'))).size(), 48);
    QLineEdit field;
    new NameFilter(&field);
    QTest::keyClicks(&field, u"A;B"_s);
    EXPECT_EQ(field.text(), u"AB"_s);
    EXPECT_EQ(ProgramActions::collapsedName(u"  Zins   2 "_s), u"Zins 2"_s);
}

TEST_F(AppTest, AnEmptyMemoryDeletesAfterAskingOrHasNothingToSave) {
    UserPrograms library(Model::orbis410);
    for (const char* name : {"Eins", "Zwei", "Drei"})
        ASSERT_TRUE(library.save({56}, QString::fromUtf8(name), std::nullopt));
    expectMessage({u"Der Programmspeicher ist leer."_s, u"Es gibt nichts zu speichern."_s});
    ProgramActions::save(*engine, library, std::nullopt, nullptr);
    expectMessage({u"Programm 2 „Zwei“ löschen?"_s}, u"Abbrechen"_s);
    ProgramActions::save(*engine, library, library.programs()[1], nullptr);
    EXPECT_EQ(listed(library), "1 Eins|2 Zwei|3 Drei");
    expectMessage({}, u"Löschen"_s);
    ProgramActions::save(*engine, library, library.programs()[1], nullptr);
    EXPECT_EQ(listed(library), "1 Eins|2 Drei");

    // "Programm löschen …" reaches the same without emptying the memory.
    engine->loadProgram({57});
    QMenu menu;
    ProgramActions::fillMenu(menu, *engine, library, nullptr);
    expectDialog([](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), u"Programm löschen"_s);
        d.findChild<QListWidget*>()->setCurrentRow(0);
        clickButton(d, u"Auswählen"_s);
    });
    expectMessage({u"Programm 1 „Eins“ löschen?"_s}, u"Löschen"_s);
    entry(menu, u"Programm löschen …"_s)->trigger();
    EXPECT_EQ(listed(library), "1 Drei");
    EXPECT_EQ(engine->programSteps(), (std::vector<Step>{57}));
}

TEST_F(AppTest, TheProgramMenuListsTheLibrary) {
    UserPrograms library(Model::orbis410);
    QMenu empty;
    ProgramActions::fillMenu(empty, *engine, library, nullptr);
    QMenu* load = submenu(empty, u"Programm laden"_s);
    EXPECT_EQ(texts(*load), u"Keine gespeicherten Programme"_s);
    EXPECT_FALSE(load->actions()[0]->isEnabled());
    EXPECT_EQ(texts(*submenu(empty, u"Programm speichern"_s)), u"Neu …"_s); // no separator

    put(library.url(), "PROGRAM 1\nNAME Gut\nSIN\nEND\nPROGRAM 2\nNAME Kaputt\nFOO\nEND\n");
    library.checkForChanges();
    QMenu menu;
    ProgramActions::fillMenu(menu, *engine, library, nullptr);
    load = submenu(menu, u"Programm laden"_s);
    const QString broken = u"2  Kaputt  (Schritt 1: „FOO“ unbekannt)"_s;
    EXPECT_EQ(texts(*load), u"1  Gut|"_s + broken);
    EXPECT_FALSE(entry(*load, broken)->isEnabled());
    entry(*load, u"1  Gut"_s)->trigger();
    EXPECT_EQ(engine->programSteps(), (std::vector<Step>{56}));
    QMenu* save = submenu(menu, u"Programm speichern"_s);
    EXPECT_EQ(texts(*save), u"1  Gut|"_s + broken + u"||Neu …"_s);
    EXPECT_TRUE(entry(*save, broken)->isEnabled()) << "a damaged program may be replaced";
    EXPECT_EQ(texts(menu).toStdString(),
              "Programm laden|Programm speichern|Programm löschen …|Programm kopieren|Programm "
              "einfügen|Programm exportieren …|"
              "Programm importieren …||Programmordner im Dateimanager zeigen");
    QMenu tape;
    ProgramActions::fillTapeMenu(tape, *engine, nullptr);
    EXPECT_EQ(texts(tape).toStdString(),
              "Papierstreifen abreißen\tCtrl+K|Papierstreifen kopieren\tCtrl+Shift+C|"
              "Papierstreifen sichern …\tCtrl+S|Papierstreifen drucken …\tCtrl+P");
    // Nothing on the tape yet: nothing to copy, save or print.
    for (const char* tapeEntry :
         {"Papierstreifen kopieren", "Papierstreifen sichern …", "Papierstreifen drucken …"})
        EXPECT_FALSE(entry(tape, QString::fromUtf8(tapeEntry))->isEnabled()) << tapeEntry;

    engine->setPower(false);
    QMenu off;
    ProgramActions::fillMenu(off, *engine, library, nullptr);
    for (const QString& name : {u"Programm laden"_s, u"Programm speichern"_s, u"Programm importieren …"_s})
        EXPECT_FALSE(entry(off, name)->isEnabled()) << name.toStdString();
    QMenu tapeOff;
    ProgramActions::fillTapeMenu(tapeOff, *engine, nullptr);
    EXPECT_TRUE(entry(tapeOff, u"Papierstreifen abreißen"_s)->isEnabled());
    EXPECT_TRUE(entry(off, u"Programmordner im Dateimanager zeigen"_s)->isEnabled());
}

// The collection is there from the first start, with an area per submenu;
// loading from it and copying into the library never write the collection,
// and loading leaves the user's library file as it was, byte for byte.
TEST_F(AppTest, TheCollectionLoadsWithoutTouchingTheLibraryAndCopiesIntoIt) {
    const Collection collection(QStringLiteral(SOURCE_DIR "/examples"));
    UserPrograms library(Model::orbis410);
    ASSERT_TRUE(library.save({56}, u"Eigenes"_s, std::nullopt));
    const QByteArray before = bytes(library.url());
    QMenu menu;
    ProgramActions::fillMenu(menu, *engine, library, nullptr, {}, &collection);
    QMenu* shelf = submenu(menu, u"Programmsammlung"_s);
    EXPECT_EQ(texts(*shelf), u"Mathematik|Statistik|Finanzen|Technik und Vermessung|Zeit und Kalender||"
                             u"In meine Bibliothek übernehmen"_s);
    QAction* adoptIt = entry(*shelf, u"In meine Bibliothek übernehmen"_s);
    EXPECT_FALSE(adoptIt->isEnabled()) << "the memory holds no collection program";
    EXPECT_EQ(submenu(*shelf, u"Finanzen"_s)->actions().size(), 9) << "the 410 has no indirect registers";

    entry(*submenu(*shelf, u"Mathematik"_s), u"Kubische Gleichung"_s)->trigger();
    EXPECT_EQ(engine->programSteps(), collection.areas(Model::orbis410)[0].programs[1].steps);
    EXPECT_EQ(bytes(library.url()), before);

    QMenu again;
    ProgramActions::fillMenu(again, *engine, library, nullptr, {}, &collection);
    adoptIt = entry(*submenu(again, u"Programmsammlung"_s), u"In meine Bibliothek übernehmen"_s);
    ASSERT_TRUE(adoptIt->isEnabled());
    adoptIt->trigger();
    EXPECT_EQ(listed(library), "1 Eigenes|2 Kubische Gleichung");
    EXPECT_EQ(library.programs()[1].steps, engine->programSteps());
    expectMessage({u"Programm 2 „Kubische Gleichung“ steht schon in Ihrer Bibliothek."_s});
    adoptIt->trigger();
    EXPECT_EQ(listed(library), "1 Eigenes|2 Kubische Gleichung");

    engine->select(Model::orbis412);
    QMenu other;
    ProgramActions::fillMenu(other, *engine, library, nullptr, {}, &collection);
    EXPECT_NE(entry(*submenu(*submenu(other, u"Programmsammlung"_s), u"Finanzen"_s), u"Interner Zinsfuß"_s),
              nullptr);
    engine->setPower(false);
    QMenu off;
    const Collection none{QString()};
    ProgramActions::fillMenu(off, *engine, library, nullptr, {}, &none);
    shelf = submenu(off, u"Programmsammlung"_s);
    EXPECT_FALSE(shelf->isEnabled());
    EXPECT_FALSE(entry(*submenu(*shelf, u"Statistik"_s), u"Keine Programme"_s)->isEnabled());
}

TEST_F(AppTest, TheWindowFollowsTheZoomAndAsksBeforeAModelChange) {
    Window w(*engine);
    w.zoom.setPercent(150);
    EXPECT_EQ(w.window.calculator()->size(), QSize(1290, 607));
    EXPECT_EQ(w.window.windowTitle(), u"Veltranix 410 Numerist"_s);
    w.window.move(120, 80);
    const QPoint topLeft = w.window.pos();
    w.zoom.setPercent(60);
    EXPECT_EQ(w.window.calculator()->size(), QSize(516, 243));
    EXPECT_EQ(w.window.pos(), topLeft);
    w.zoom.setPercent(150);

    engine->loadProgram({56});
    expectMessage({u"Auf Orbis 412 Numerist umschalten?"_s,
                   u"Programmspeicher und Register werden gelöscht, wie beim Ausschalten."_s},
                  u"Abbrechen"_s);
    w.window.chooseModel(1);
    EXPECT_EQ(engine->model(), Model::orbis410);
    EXPECT_EQ(engine->programSteps().size(), 1u);
    expectMessage({}, u"Umschalten"_s);
    w.window.chooseModel(1);
    EXPECT_EQ(engine->model(), Model::orbis412);
    EXPECT_EQ(w.window.windowTitle(), u"Veltranix 412 Numerist"_s);
    w.window.chooseModel(0); // an empty memory: no question
    EXPECT_EQ(engine->model(), Model::orbis410);
}

// The key map's lines say what the host keys press; pressed here, they do.
TEST_F(AppTest, TheKeyMapHelpSaysWhatEachHostKeyDoes) {
    const std::map<QString, std::pair<int, Qt::KeyboardModifiers>> named = {
        {u"Return"_s, {Qt::Key_Return, Qt::NoModifier}},
        {u"Esc"_s, {Qt::Key_Escape, {}}},
        {u"⇧Esc"_s, {Qt::Key_Escape, Qt::ShiftModifier}},
        {u"⌫"_s, {Qt::Key_Backspace, {}}},
        {u"Leertaste"_s, {Qt::Key_Space, {}}},
        {u"→"_s, {Qt::Key_Right, {}}},
        {u"←"_s, {Qt::Key_Left, {}}}};
    for (const KeyMapLine& line : keyMapLines) {
        QStringList hosts = QString::fromUtf8(line.hosts).split(QLatin1Char(' '));
        if (hosts.front() == u"0–9"_s) hosts = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", ",", "."};
        if (hosts.size() > line.count) hosts.removeAll(u"/"_s); // "/" is a key on the operations' line
        if (line.count == 0) continue;                          // holding Alt presses nothing
        ASSERT_GE(hosts.size(), line.count) << line.hosts;      // more: alternatives for the last key
        for (qsizetype i = 0; i < hosts.size(); ++i) {
            const QString host = hosts[i] == u"−"_s ? u"-"_s : hosts[i];
            const auto it = named.find(host);
            const std::optional<Key> pressed =
                it != named.end()
                    ? KeyboardMonitor::keyFor(
                          QKeyEvent(QEvent::KeyPress, it->second.first, it->second.second))
                    : KeyboardMonitor::keyFor(QKeyEvent(QEvent::KeyPress, 0, Qt::NoModifier, host));
            EXPECT_EQ(pressed, line.keys[static_cast<std::size_t>(std::min<qsizetype>(i, line.count - 1))])
                << host.toStdString();
        }
    }
    // In two columns, as the guide shows them.
    for (const QString& line : KeyboardMonitor::keyMapHelp().split(QLatin1Char('\n')))
        EXPECT_TRUE(line[14] == QLatin1Char(' ') && line[15] != QLatin1Char(' ')) << line.toStdString();
    const QString text = QString::fromUtf8(bytes(QStringLiteral(SOURCE_DIR "/docs/Bedienungsanleitung.md")));
    const QString marker = u"<!-- keymap -->\n```\n"_s;
    const qsizetype start = text.indexOf(marker) + marker.size();
    ASSERT_GE(start, marker.size());
    EXPECT_EQ(text.mid(start, text.indexOf(u"\n```"_s, start) - start), KeyboardMonitor::keyMapHelp());
}

TEST_F(AppTest, ASnapshotShowsTheSumOrSaysWhyNot) {
    const QString path = dataHome() + "/snap.png";
    QDir().mkpath(dataHome());
    ASSERT_FALSE(Snapshot::render(SafeFile::fromQt(path), u"12+3="_s));
    QImage image(path);
    ASSERT_EQ(image.size(), QSize(1290, 607));
    // "15.0000" fills cells 10 ... 15: check the segments of the "1" and the "5".
    const QRectF area = DisplayPanel::digitArea();
    auto segments = [&](int cell) {
        std::string on;
        for (char seg : std::string("abcdefg")) {
            const QPoint at = DisplayView::segmentPath(area, 16, cell, seg).boundingRect().center().toPoint();
            if (image.pixelColor(at).red() > 200 && image.pixelColor(at).blue() < 100) on += seg;
        }
        return on;
    };
    EXPECT_EQ(segments(9) + "|" + segments(10) + "|" + segments(11), "|bc|acdfg");

    put(dataHome() + "/file", {});
    const auto failure = Snapshot::render(SafeFile::fromQt(dataHome() + "/file/below.png"), QString());
    EXPECT_EQ(failure, "ein Teil des Pfads ist kein Ordner");
}

namespace {

QByteArray numbered(int count) {
    QByteArray text;
    for (int i = 1; i <= count; ++i)
        text += "PROGRAM " + QByteArray::number(i) + "\nNAME P" + QByteArray::number(i) + "\nSIN\nEND\n";
    return text;
}

} // namespace

TEST_F(AppTest, ALongLibraryShowsFortyEntriesAndTheRestInAFilteredList) {
    UserPrograms library(Model::orbis410);
    put(library.url(), numbered(120) + "PROGRAM 121\nNAME " + QByteArray(5000, 'L') + "\nCOS\nEND\n");
    QMenu menu;
    ProgramActions::fillMenu(menu, *engine, library, nullptr);
    QMenu* load = submenu(menu, u"Programm laden"_s);
    // The fortieth, then the rest.
    EXPECT_TRUE(texts(*load).endsWith(u"|39  P39|40  P40|Alle Programme …"_s));
    EXPECT_EQ(load->actions().size(), ProgramActions::menuEntries + 1);
    QMenu* save = submenu(menu, u"Programm speichern"_s);
    EXPECT_TRUE(texts(*save).endsWith(u"|40  P40|Alle Programme …||Neu …"_s));
    EXPECT_EQ(save->actions().size(), ProgramActions::menuEntries + 3);

    // Typing filters the whole list; Return loads the first match.
    expectDialog([](QDialog& d) {
        auto* filter = d.findChild<QLineEdit*>(u"filter"_s);
        auto* list = d.findChild<QListWidget*>(u"programs"_s);
        ASSERT_TRUE(filter && list);
        EXPECT_EQ(list->count(), 121);
        QTest::keyClicks(filter, u"p11"_s);
        int visible = 0;
        for (int row = 0; row < list->count(); ++row) visible += !list->item(row)->isHidden();
        EXPECT_EQ(visible, 11); // P11, P110 ... P119
        EXPECT_EQ(list->currentItem()->text(), u"11  P11"_s);
        QTest::keyClick(filter, Qt::Key_Down);
        EXPECT_EQ(list->currentItem()->text(), u"110  P110"_s);
        QTest::keyClick(filter, Qt::Key_Return);
    });
    entry(*load, u"Alle Programme …"_s)->trigger();
    EXPECT_EQ(engine->programSteps(), (std::vector<Step>{56}));

    // A very long name is cut in the menu and the list.
    expectDialog([](QDialog& d) {
        auto* list = d.findChild<QListWidget*>(u"programs"_s);
        const QString last = list->item(120)->text();
        EXPECT_TRUE(last.startsWith(u"121  LLL"_s));
        EXPECT_TRUE(last.endsWith(u"…"_s));
        EXPECT_LT(last.size(), 200);
        d.reject();
    });
    entry(*save, u"Alle Programme …"_s)->trigger();
}

TEST_F(AppTest, AStaleMenuChangesNothingAndSaysSo) {
    UserPrograms library(Model::orbis410);
    put(library.url(),
        "PROGRAM 1\nNAME a\nSIN\nEND\nPROGRAM 2\nNAME b\nCOS\nEND\nPROGRAM 3\nNAME c\nTAN\nEND\n");
    const SavedProgram b = library.programs()[1];
    UserPrograms other(Model::orbis410);
    ASSERT_TRUE(other.remove(other.programs()[0])); // another window: now "1 b, 2 c"
    const QByteArray after = bytes(library.url());
    engine->loadProgram({58});
    expectMessage({u"Programm 2 „b“ überschreiben"_s}, u"Speichern"_s);
    expectMessage({u"Die Bibliothek wurde inzwischen geändert."_s});
    ProgramActions::save(*engine, library, b, nullptr);
    EXPECT_EQ(bytes(library.url()), after);
    EXPECT_EQ(listed(library), "1 b|2 c");
}

TEST_F(AppTest, ALibraryThatIsNoFileShowsWhyAndIsNotReplaced) {
    UserPrograms library(Model::orbis410);
    QDir().mkpath(library.url() + "/inside");
    QMenu menu;
    ProgramActions::fillMenu(menu, *engine, library, nullptr);
    const QString why = u"„%1“ ist keine Datei"_s.arg(library.url());
    for (const QString& name : {u"Programm laden"_s, u"Programm speichern"_s})
        EXPECT_FALSE(entry(*submenu(menu, name), why)->isEnabled());
    engine->loadProgram({56});
    expectName(u"Neu"_s);
    expectMessage({u"Speichern fehlgeschlagen"_s, why});
    ProgramActions::save(*engine, library, std::nullopt, nullptr);
    EXPECT_TRUE(QFileInfo(library.url()).isDir());
}

TEST_F(AppTest, TheEditMenuTakesNumbersOutAndInButLeavesDialogsTheirShortcuts) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    Window w(*engine);
    w.type("12+3.5=");
    w.key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"15,5"_s);
    w.type("*");
    QGuiApplication::clipboard()->setText(u"2,5"_s);
    w.key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(w.type("=").E().v, 38.75);

    // In the naming dialog the same keys copy and paste the name field's text.
    engine->loadProgram({56});
    expectDialog([&](QDialog& d) {
        auto* field = d.findChild<QLineEdit*>();
        QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(field->text(), u"2,5"_s);
        clickButton(d, u"Abbrechen"_s);
    });
    ProgramActions::save(*engine, w.library, std::nullopt, &w.window);
    EXPECT_EQ(engine->E().v, 38.75);
    EXPECT_FALSE(engine->entry().has_value());
    QLocale::setDefault(QLocale::c());
}

TEST_F(AppTest, TheAboutBoxNamesVersionAndLicence) {
    EXPECT_EQ(
        MainWindow::aboutText(),
        QStringLiteral("<b>Veltranix</b> " VX_VERSION "<br>Nachbildung der programmierbaren Tischrechner "
                       "Orbis 410 und 412 Numerist mit Papierstreifendrucker.<br><br>Freie Software unter "
                       "der GNU General Public License, Version 3 oder neuer (GPL-3.0-or-later)."));
}

TEST_F(AppTest, TheDeadCircumflexOfGermanKeyboardsIsTheAxKey) {
    Window w(*engine);
    QWindow* window = w.window.windowHandle();
    // ^ alone ("~" is the dead key, which the X server sends without text), ^ completed by
    // a space, ^ typed twice, a plain ^: each is one aˣ, and the key after it counts.
    for (const char* keys : {"2~3=", "2~ 3=", "2~~3=", "2^3="}) {
        w.key(Qt::Key_Escape, Qt::ShiftModifier);
        engine->clearTape();
        for (const char* k = keys; *k; ++k) {
            if (*k == '~')
                QTest::sendKeyEvent(QTest::Click, window, Qt::Key_Dead_Circumflex, QString(), {});
            else if (*k == '^')
                QTest::sendKeyEvent(QTest::Click, window, Qt::Key_AsciiCircum, u"^"_s, {});
            else if (*k == ' ')
                QTest::keyClick(window, Qt::Key_Space);
            else
                QTest::keyClick(window, *k);
        }
        EXPECT_EQ(engine->E().v, 8) << keys;
        EXPECT_FALSE(engine->running());
        ASSERT_EQ(engine->tape().size(), 3u);
        EXPECT_EQ(engine->tape()[0].printed(), "      2.0000 aˣ");
    }
    // A space that completes nothing is START STOP as ever.
    engine->loadProgram({27});
    QTest::keyClick(window, Qt::Key_Space);
    EXPECT_TRUE(engine->running());
}

TEST_F(AppTest, TheWindowsOwnWords) {
    Window w(*engine);
    EXPECT_EQ(texts(*w.window.applicationMenu()).toStdString(),
              "Modell|Größe||Tastenhilfe|Dauerspeicher|Tempo|Klang|Lautstärke||Beenden\tCtrl+Q");
    EXPECT_EQ(texts(*w.window.menuBar()->actions().constLast()->menu()).toStdString(),
              "Bedienungsanleitung\tF1|Aktion suchen …\tCtrl+Alt+I|Tastaturbelegung …||Über Veltranix");
    EXPECT_EQ(w.window.windowTitle(), u"Veltranix 410 Numerist"_s);
    EXPECT_EQ(w.window.calculator()->tapeView()->tearButton()->toolTip(),
              u"Papierstreifen abreißen (Strg+K)"_s);
    // The panel's own menu: the number, the program and the tape entries.
    QString shown;
    QTimer::singleShot(50, [&shown] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu) shown = texts(*menu);
        if (menu) menu->close();
    });
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(20, 20),
                            w.window.calculator()->mapToGlobal(QPoint(20, 20)));
    QCoreApplication::sendEvent(w.window.calculator(), &click);
    EXPECT_TRUE(shown.contains(u"|Programm laden|"_s) &&
                shown.endsWith(u"Papierstreifen drucken …\tCtrl+P"_s))
        << shown.toStdString();
}

TEST_F(AppTest, TheMachineIsHeardUnlessSilencedOrFast) {
    Window w(*engine);
    SoundPlayer& sound = w.window.sound();
    std::vector<float> gains;
    sound.play = [&gains](const Sounds::Samples&, float gain) { gains.push_back(gain); };
    // A key, a key that prints (a click and the printer's line), a switch, a tear.
    w.type(u"5p"_s);
    engine->setPrinterOn(false);
    engine->clearTape();
    EXPECT_EQ(gains.size(), 5u);
    EXPECT_EQ(gains.front(), 0.5f) << "a moderate volume at first";
    // "Lautstärke" and "Klang" in the application's menu, remembered.
    QMenu* menu = w.window.applicationMenu();
    QAction* on = entry(*menu, u"Klang"_s);
    ASSERT_TRUE(on && on->isChecked());
    entry(*submenu(*menu, u"Lautstärke"_s), u"Laut"_s)->trigger();
    w.type(u"6"_s);
    EXPECT_EQ(gains.back(), 1.0f);
    EXPECT_EQ(w.shell.soundVolume(), 100);
    on->trigger();
    EXPECT_FALSE(w.shell.sound());
    const std::size_t heard = gains.size();
    w.type(u"7p"_s);
    EXPECT_EQ(gains.size(), heard) << "Klang off";
    // The fast tempo: keys and printer are silent; a switch is still heard.
    on->trigger();
    engine->setTempo(Tempo::fast);
    w.type(u"8p"_s);
    EXPECT_EQ(gains.size(), heard);
    engine->setPrinterOn(true);
    EXPECT_EQ(gains.size(), heard + 1);
}
