// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Engine.h"
#include "engine/SimulatedClock.h"
#include "storage/UserPrograms.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QSysInfo>
#include <QTimer>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sys/stat.h>

using namespace vx;
using Steps = std::vector<Step>;

namespace {

class UserProgramsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        QDir(dataHome()).removeRecursively();
        QDir().mkpath(dataHome());
    }
    static QString dataHome() {
        return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    }
    // The library as "number name|…".
    static std::string names(UserPrograms& library) {
        std::string out;
        for (const SavedProgram& p : library.programs())
            out += (out.empty() ? "" : "|") + std::to_string(p.number) + " " + p.name;
        return out;
    }
    static void writeFile(const QString& path, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    static QByteArray readFile(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // Moves the file's modification time, as an edit a second later would.
    static void touchLater(const QString& path, int seconds) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(QFileInfo(path).lastModified().addSecs(seconds),
                                  QFileDevice::FileModificationTime));
    }
};

} // namespace

TEST_F(UserProgramsTest, SaveReplaceAndDelete) {
    UserPrograms library(Model::orbis410);
    EXPECT_TRUE(library.programs().empty());
    int notices = 0;
    QObject::connect(&library, &UserPrograms::revisionChanged, [&] { ++notices; });

    ASSERT_TRUE(library.save({56}, "Sinus", std::nullopt));
    ASSERT_TRUE(library.saveNumber({57}, "Cosinus", 9)); // a number that is not there appends
    ASSERT_TRUE(library.save({58}, "Tangens", std::nullopt));
    EXPECT_EQ(library.revision(), 3);
    EXPECT_EQ(notices, 3);
    EXPECT_EQ(names(library), "1 Sinus|2 Cosinus|3 Tangens");
    ASSERT_TRUE(library.saveNumber({60, 61}, "Neu", 2));
    EXPECT_EQ(names(library), "1 Sinus|2 Neu|3 Tangens");
    EXPECT_EQ(library.programs()[1].steps, (Steps{60, 61}));
    ASSERT_TRUE(library.removeNumber(2));
    EXPECT_EQ(names(library), "1 Sinus|2 Tangens");

    // A second reader sees exactly what was written.
    EXPECT_EQ(UserPrograms::readFile(library.url(), Model::orbis410).programs, library.programs());
}

TEST_F(UserProgramsTest, ReplacingClearsAnErrorAndDeletingRenumbersDuplicates) {
    UserPrograms library(Model::orbis410);
    writeFile(library.url(),
              "PROGRAM 4\nNAME A\nFOO\nEND\nPROGRAM 4\nNAME B\nSIN\nEND\nPROGRAM 9\nNAME C\nCOS\nEND\n");
    ASSERT_EQ(library.programs()[0].error, "Schritt 1: „FOO“ unbekannt");
    ASSERT_TRUE(library.saveNumber({56}, "A2", 4));
    EXPECT_FALSE(library.programs()[0].error);
    EXPECT_EQ(names(library), "4 A2|4 B|9 C");
    ASSERT_TRUE(library.removeNumber(77));
    EXPECT_EQ(names(library), "1 A2|2 B|3 C");
    ASSERT_TRUE(library.removeNumber(2));
    EXPECT_EQ(names(library), "1 A2|2 C");
    // Deleting one of several entries of a number keeps the others.
    writeFile(library.url(), "PROGRAM 2\nNAME x\nSIN\nEND\nPROGRAM 2\nNAME y\nCOS\nEND\n"
                             "PROGRAM 2\nNAME z\nTAN\nEND\n");
    touchLater(library.url(), 2);
    library.checkForChanges();
    ASSERT_TRUE(library.remove(library.programs()[1]));
    EXPECT_EQ(names(library), "1 x|2 z");
}

TEST_F(UserProgramsTest, EveryRewriteKeepsThePreviousFileAndHandEditsForGood) {
    UserPrograms library(Model::orbis410);
    const QDir folder(library.folder());
    auto handEdits = [&] { return folder.entryList({"Veltranix410Programs.txt.handedit-*"}, QDir::Files); };
    const QByteArray handWritten = "; my notes\nPROGRAM 1\nNAME Mine\n001  SIN ; the sine\nEND\n";
    writeFile(library.url(), handWritten);
    ASSERT_TRUE(library.save({57}, "Second", std::nullopt));
    EXPECT_EQ(readFile(library.url() + ".bak"), handWritten);
    ASSERT_EQ(handEdits().size(), 1);
    EXPECT_TRUE(
        handEdits()[0].contains(QRegularExpression("^Veltranix410Programs\\.txt\\.handedit-\\d{8}-\\d{6}$")));

    // Writer-form files are only ever kept as .bak; the hand edit stays.
    ASSERT_TRUE(library.saveNumber({58}, "Third", std::nullopt));
    const QByteArray written = readFile(library.url());
    ASSERT_TRUE(library.removeNumber(3));
    EXPECT_EQ(readFile(library.url() + ".bak"), written);
    ASSERT_EQ(handEdits().size(), 1);
    EXPECT_EQ(readFile(folder.filePath(handEdits()[0])), handWritten);

    // A second hand edit gets a copy of its own; the first is never replaced.
    const QByteArray secondEdit = readFile(library.url()) + "; noch eine Notiz\n";
    writeFile(library.url(), secondEdit);
    touchLater(library.url(), 2);
    ASSERT_TRUE(library.save({59}, "Fourth", std::nullopt));
    QStringList kept = handEdits();
    ASSERT_EQ(kept.size(), 2);
    QSet<QByteArray> contents;
    for (const QString& name : kept) contents.insert(readFile(folder.filePath(name)));
    EXPECT_EQ(contents, (QSet<QByteArray>{handWritten, secondEdit}));
}

TEST_F(UserProgramsTest, AChangeWaitsForTheChosenEntryToBeWhereTheMenuShowedIt) {
    UserPrograms library(Model::orbis410);
    const QByteArray abc =
        "PROGRAM 1\nNAME a\nSIN\nEND\nPROGRAM 2\nNAME b\nCOS\nEND\nPROGRAM 3\nNAME c\nTAN\nEND\n";
    writeFile(library.url(), abc);
    const SavedProgram b = library.programs()[1];
    // Another window deletes 1 within the same second: the file is "1 b, 2 c"
    // while our cache still says "1 a, 2 b, 3 c".
    UserPrograms other(Model::orbis410);
    ASSERT_TRUE(other.remove(other.programs()[0]));
    const QByteArray bc = readFile(library.url());
    const int revision = library.revision();

    UserPrograms::Failure failure;
    EXPECT_FALSE(library.save({60}, "neu", b, &failure));
    EXPECT_TRUE(failure.changedMeanwhile);
    EXPECT_EQ(failure.why, "Die Bibliothek wurde inzwischen geändert.");
    EXPECT_EQ(readFile(library.url()), bc);  // "c" intact
    EXPECT_GT(library.revision(), revision); // the menu is rebuilt
    EXPECT_FALSE(library.remove(b, &failure));
    EXPECT_TRUE(failure.changedMeanwhile);

    // Chosen afresh, the same entry is changed.
    const SavedProgram fresh = library.programs()[0];
    ASSERT_EQ(fresh.name, "b");
    ASSERT_TRUE(library.save({60}, "neu", fresh));
    EXPECT_EQ(names(library), "1 neu|2 c");

    // Rewritten elsewhere under the same number and name: no longer the program chosen.
    const SavedProgram c = library.programs()[1];
    ASSERT_TRUE(other.save({56, 57}, "c", other.programs()[1]));
    EXPECT_FALSE(library.remove(c, &failure));
    EXPECT_TRUE(failure.changedMeanwhile);
    EXPECT_EQ(other.programs().size(), 2u);
}

// A FIFO or a folder where the library belongs: read without blocking,
// refused with a reason, never replaced.
TEST_F(UserProgramsTest, OnlyARegularFileIsReadAndAnUnreadableOneIsNeverOverwritten) {
    UserPrograms library(Model::orbis410);
    QDir().mkpath(library.folder());
    for (bool fifo : {true, false}) {
        if (fifo)
            ASSERT_EQ(mkfifo(library.url().toLocal8Bit().constData(), 0644), 0);
        else
            QDir().mkpath(library.url() + "/x");
        library.checkForChanges();
        EXPECT_TRUE(library.programs().empty());
        EXPECT_EQ(library.problem(), "ist keine Datei");
        UserPrograms::Failure failure;
        EXPECT_FALSE(library.save({56}, "A", std::nullopt, &failure));
        EXPECT_EQ(failure.why, "„" + library.url() + "“ ist keine Datei");
        EXPECT_FALSE(library.removeNumber(1, &failure));
        EXPECT_EQ(QFileInfo(library.url()).isDir(), !fifo);
        EXPECT_FALSE(QFileInfo(library.url()).isFile());
        QFile::remove(library.url());
    }

    // A sparse file just over the bound costs nothing to make.
    const QString big = dataHome() + "/big.txt";
    {
        QFile f(big);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(UserPrograms::maxFileBytes + 1));
    }
    EXPECT_EQ(UserPrograms::readFile(big, Model::orbis410).problem, "ist zu groß (mehr als 64 MiB)");
    EXPECT_EQ(UserPrograms::readFile(dataHome() + "/missing.txt", Model::orbis410).problem, std::nullopt);
}

TEST_F(UserProgramsTest, OutsideEditsAreNoticedByTheirDate) {
    UserPrograms library(Model::orbis410);
    EXPECT_TRUE(library.programs().empty());
    library.checkForChanges();
    EXPECT_EQ(library.revision(), 0);
    writeFile(library.url(), "PROGRAM 1\nSIN\nEND\n");
    library.checkForChanges();
    EXPECT_EQ(library.revision(), 1);
    ASSERT_EQ(library.programs().size(), 1u);

    writeFile(library.url(), "PROGRAM 1\nSIN\nEND\nPROGRAM 2\nCOS\nEND\n");
    touchLater(library.url(), 2);
    library.checkForChanges();
    EXPECT_EQ(library.revision(), 2);
    EXPECT_EQ(library.programs().size(), 2u);
    library.checkForChanges();
    EXPECT_EQ(library.revision(), 2);
}

// A folder and a file per model; switching the model reads the other file.
TEST_F(UserProgramsTest, SwitchingTheModelReadsTheOtherFile) {
    writeFile(UserPrograms::fileFor(Model::orbis410), "PROGRAM 1\nNAME Klein\nSIN\nEND\n");
    writeFile(UserPrograms::fileFor(Model::orbis412), "PROGRAM 1\nNAME Gross\nRCL\n07\nEND\n");
    UserPrograms library(Model::orbis410);
    EXPECT_EQ(library.url(), dataHome() + "/Veltranix 410/Veltranix410Programs.txt");
    EXPECT_EQ(library.programs()[0].name, "Klein");
    const int revision = library.revision();
    library.setModel(Model::orbis412);
    EXPECT_EQ(library.folder(), dataHome() + "/Veltranix 412");
    EXPECT_EQ(library.programs()[0].name, "Gross");
    EXPECT_EQ(library.programs()[0].steps, (Steps{200, 7}));
    EXPECT_EQ(library.revision(), revision + 1);
    library.setModel(Model::orbis412);
    EXPECT_EQ(library.revision(), revision + 1) << "the same model again reads nothing";
    library.setModel(Model::orbis410);
    EXPECT_EQ(library.programs()[0].name, "Klein");
}

TEST_F(UserProgramsTest, AFolderOrBackupThatCannotBeMadeFailsAndChangesNothing) {
    // A regular file where the folder belongs: even root cannot make the folder.
    writeFile(dataHome() + "/Veltranix 410", "in the way");
    UserPrograms library(Model::orbis410);
    UserPrograms::Failure error;
    EXPECT_FALSE(library.save({56}, "X", std::nullopt, &error));
    EXPECT_EQ(error.why, "Der Ordner „" + library.folder() +
                             "“ lässt sich nicht anlegen: ein Teil des Pfads ist kein Ordner");
    EXPECT_EQ(library.revision(), 0);
    EXPECT_TRUE(library.programs().empty());
    EXPECT_EQ(readFile(dataHome() + "/Veltranix 410"), "in the way");

    // The backup name taken by a folder: the rewrite must stop before it touches the file.
    QFile::remove(dataHome() + "/Veltranix 410");
    ASSERT_TRUE(library.save({56}, "A", std::nullopt));
    const int revision = library.revision();
    QDir().mkpath(library.url() + ".bak/inside");
    EXPECT_FALSE(library.save({57}, "B", std::nullopt, &error));
    EXPECT_EQ(error.why, "„" + library.url() + ".bak“: ist ein Ordner");
    EXPECT_EQ(library.revision(), revision);
    EXPECT_EQ(library.programs().size(), 1u);
    EXPECT_EQ(UserPrograms::readFile(library.url(), Model::orbis410).programs.size(), 1u);
}

TEST_F(UserProgramsTest, Utf16WithItsMarkReadsAndSavesWithoutLoss) {
    UserPrograms library(Model::orbis410);
    const QString text = QStringLiteral("PROGRAM 1\nNAME Größe\nSIN\nEND\nPROGRAM 2\nNAME Zwei\nCOS\nEND\n");
    for (const bool little : {true, false}) {
        QByteArray bytes = little ? QByteArray("\xFF\xFE") : QByteArray("\xFE\xFF");
        for (QChar c : text) {
            const char lo = static_cast<char>(c.unicode() & 0xFF), hi = static_cast<char>(c.unicode() >> 8);
            bytes.append(little ? lo : hi).append(little ? hi : lo);
        }
        writeFile(library.url(), bytes);
        touchLater(library.url(), little ? 10 : 20);
        library.checkForChanges();
        ASSERT_EQ(library.programs().size(), 2u) << little;
        EXPECT_EQ(library.programs()[0].name, "Größe");
        EXPECT_EQ(library.programs()[1].steps, (Steps{57}));
        ASSERT_TRUE(library.save({58}, "Drei", std::nullopt));
        // Rewritten in UTF-8 with all three; the UTF-16 file is kept beside it.
        const auto back = UserPrograms::readFile(library.url(), Model::orbis410).programs;
        ASSERT_EQ(back.size(), 3u);
        EXPECT_EQ(back[0].name, "Größe");
        EXPECT_EQ(readFile(library.url() + ".bak"), bytes);
    }
    // Zero bytes without a mark: an encoding the reader does not know is
    // said, never shown as an empty library, and never overwritten.
    QByteArray wide;
    for (char c : QByteArray("PROGRAM 1\nSIN\nEND\n")) wide.append(c).append('\0');
    writeFile(library.url(), wide);
    touchLater(library.url(), 30);
    library.checkForChanges();
    library.programs();
    EXPECT_EQ(library.problem(), "ist in einer unbekannten Kodierung (keine UTF-8- oder UTF-16-Textdatei)");
    EXPECT_FALSE(library.save({56}, "X", std::nullopt));
    EXPECT_EQ(readFile(library.url()), wide);
    // A mark with an odd byte left over is no UTF-16 text either.
    writeFile(library.url(), QByteArray("\xFF\xFEP\0R\0X"));
    EXPECT_EQ(UserPrograms::readFile(library.url(), Model::orbis410).problem,
              "ist kein gültiger UTF-16-Text");
}

TEST_F(UserProgramsTest, AStuckLockIsNamedAndTheEventLoopTurnsWhileItWaits) {
    UserPrograms library(Model::orbis410);
    library.setLockWait(300);
    QDir().mkpath(library.folder());
    const QString lockPath = library.url() + ".lock";
    QLockFile held(lockPath);
    ASSERT_TRUE(held.tryLock(0));
    int turns = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&turns] { ++turns; });
    ticker.start(20);
    UserPrograms::Failure error;
    EXPECT_FALSE(library.save({56}, "X", std::nullopt, &error));
    EXPECT_GE(turns, 5) << "the window must keep drawing while a save waits";
    EXPECT_EQ(
        error.why.toStdString(),
        QStringLiteral("Die Bibliothek ist gesperrt: die Sperrdatei „%1“ wird gehalten (von Prozess %2 „%3“ "
                       "auf %4). Wenn gerade ein anderes Fenster speichert, bitte gleich noch einmal "
                       "versuchen; sonst die Sperrdatei löschen.")
            .arg(lockPath)
            .arg(QCoreApplication::applicationPid())
            .arg(QFileInfo(QCoreApplication::applicationFilePath()).fileName(), QSysInfo::machineHostName())
            .toStdString());
    held.unlock();
    // A folder, a FIFO or an endless device where the lock belongs: refused
    // at once (a FIFO would hang the locking, /dev/zero fill the memory).
    const QByteArray lock = QFile::encodeName(lockPath);
    const std::pair<std::function<void()>, QString> hostile[] = {
        {[&] { QDir().mkpath(lockPath); }, "ist ein Ordner"},
        {[&] { ::mkfifo(lock.constData(), 0600); }, "ist eine Pipe (FIFO), keine Datei"},
        {[&] { QFile::link("/dev/zero", lockPath); }, "ist ein Gerät, keine Datei"},
    };
    for (const auto& [make, why] : hostile) {
        QDir().rmdir(lockPath);
        QFile::remove(lockPath);
        make();
        QElapsedTimer took;
        took.start();
        EXPECT_FALSE(library.save({56}, "X", std::nullopt, &error));
        EXPECT_LT(took.elapsed(), 1000);
        EXPECT_EQ(error.why, "Die Sperrdatei „" + lockPath + "“ lässt sich nicht anlegen: " + why + ".");
        EXPECT_FALSE(QFile::exists(library.url()));
    }
}
