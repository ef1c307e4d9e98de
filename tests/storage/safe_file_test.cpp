// SPDX-License-Identifier: GPL-3.0-or-later
// The one place every file is read and written through: what may be read
// (a regular file of bounded size, never a blocking FIFO or an endless
// device) and where a write may land (never a folder, a device, a FIFO or a
// file the same run reads). The library, the kept machine, program files,
// the tape and the batch mode each show once that they go through here.
#include "storage/SafeFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace vx;
namespace fs = std::filesystem;

namespace {

class SafeFileTest : public ::testing::Test {
  protected:
    fs::path at(const char* name) const { return fs::path(dir.path().toStdString()) / name; }
    static std::string text(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    QTemporaryDir dir;
};

constexpr qint64 bound = 1024 * 1024;

} // namespace

TEST_F(SafeFileTest, OnlyARegularFileWithinItsBoundIsRead) {
    const fs::path fifo = at("fifo"), big = at("big.txt"), fits = at("fits.txt"), link = at("link.txt");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::ofstream(big).close();
    fs::resize_file(big, bound + 1); // sparse: costs no disk
    std::ofstream(fits) << "PROGRAM 1\n";
    fs::create_symlink(fits, link);
    const struct {
        fs::path path;
        const char* problem;
    } refused[] = {
        {fifo, "ist keine Datei"}, // read without blocking: no writer ever comes
        {"/dev/zero", "ist keine Datei"},
        {"/proc/self/mem", "ist nicht lesbar: Ein-/Ausgabefehler des Datenträgers"},
        {dir.path().toStdString(), "ist keine Datei"},
        {big, "ist zu groß (mehr als 1 MiB)"},
    };
    for (const auto& [path, problem] : refused) {
        const SafeFile::Read r = SafeFile::read(path.string(), bound);
        EXPECT_EQ(r.problem, QString::fromUtf8(problem)) << path;
        EXPECT_FALSE(r.missing) << path;
        EXPECT_TRUE(r.bytes.isEmpty()) << path;
    }
    for (const fs::path& path : {fits, link}) {
        const SafeFile::Read r = SafeFile::read(path.string(), bound);
        EXPECT_EQ(r.problem, std::nullopt) << path;
        EXPECT_EQ(r.bytes, "PROGRAM 1\n") << path;
    }
    for (const fs::path& path : {at("missing.txt"), fits / "below"}) {
        const SafeFile::Read r = SafeFile::read(path.string(), bound);
        EXPECT_TRUE(r.missing) << path;
        EXPECT_EQ(r.problem, std::nullopt) << path;
    }
}

TEST_F(SafeFileTest, AWriteLandsOnlyOnARegularFileOrWhereThereIsNone) {
    const fs::path fifo = at("fifo.txt"), folder = at("ordner.txt"), input = at("eingabe.txt");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_directory(folder);
    fs::create_symlink(fifo, at("fifo-link.txt"));
    // A device made here when the test may (as root): a writer that wrongly
    // replaced it must not replace the system's own /dev/null.
    if (::mknod(at("null.txt").c_str(), S_IFCHR | 0666, ::makedev(1, 3)) != 0)
        fs::create_symlink("/dev/null", at("null.txt"));
    std::ofstream(input) << "gelesen";
    fs::create_symlink(input, at("eingabe-link.txt"));
    const struct {
        fs::path path;
        const char* why;
    } refused[] = {
        {fifo, "ist eine Pipe (FIFO), keine Datei"},
        {at("fifo-link.txt"), "ist eine Pipe (FIFO), keine Datei"},
        {at("null.txt"), "ist ein Gerät, keine Datei"},
        {folder, "ist ein Ordner"},
        {at("fehlt") / "x.txt", "der Ordner fehlt"},
        {at("eingabe-link.txt"),
         "ist eine Datei, die Veltranix liest (Bibliothek, Skript, Zustand, Einstellungen)"},
    };
    for (const auto& [path, why] : refused)
        EXPECT_EQ(SafeFile::writeChecked(path.string(), "neu", {input.string()}), QString::fromUtf8(why))
            << path;
    // Each is still what it was.
    struct stat info {};
    EXPECT_TRUE(::stat(fifo.c_str(), &info) == 0 && S_ISFIFO(info.st_mode));
    EXPECT_TRUE(::stat(at("null.txt").c_str(), &info) == 0 && S_ISCHR(info.st_mode));
    EXPECT_TRUE(fs::is_directory(folder) && fs::is_empty(folder));
    EXPECT_EQ(text(input), "gelesen");

    // A new file, and a link to a regular file: the file the link names is
    // replaced, the link stays a link.
    const fs::path made = at("neu.txt"), target = at("ziel.txt");
    std::ofstream(target) << "alt";
    fs::create_symlink(target, at("ziel-link.txt"));
    EXPECT_EQ(SafeFile::writeChecked(made.string(), "eins"), std::nullopt);
    EXPECT_EQ(SafeFile::writeChecked(at("ziel-link.txt").string(), "zwei"), std::nullopt);
    EXPECT_EQ(text(made), "eins");
    EXPECT_EQ(text(target), "zwei");
    EXPECT_TRUE(fs::is_symlink(at("ziel-link.txt")));
}

TEST_F(SafeFileTest, ALockFileIsAbsentOrASmallRegularFile) {
    const fs::path fifo = at("fifo.lock"), big = at("big.lock"), small = at("small.lock");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::ofstream(small) << "4711\nveltranix\nhost\n";
    std::ofstream(big).close();
    fs::resize_file(big, SafeFile::maxLockBytes + 1);
    fs::create_symlink(small, at("to-small.lock"));
    fs::create_symlink("/dev/zero", at("zero.lock"));
    fs::create_symlink(fifo, at("to-fifo.lock"));
    fs::create_symlink(at("nowhere"), at("dangling.lock"));
    fs::create_directory(at("folder.lock"));
    const struct {
        fs::path path;
        std::optional<QString> refused;
    } cases[] = {
        {at("absent.lock"), std::nullopt},
        {small, std::nullopt},
        {at("to-small.lock"), std::nullopt},
        {fifo, "ist eine Pipe (FIFO), keine Datei"},
        {at("to-fifo.lock"), "ist eine Pipe (FIFO), keine Datei"},
        {at("zero.lock"), "ist ein Gerät, keine Datei"},
        {at("folder.lock"), "ist ein Ordner"},
        {big, "ist zu groß für eine Sperrdatei"},
        {at("dangling.lock"),
         "ist ein Verweis auf „" + QString::fromStdString(at("nowhere").string()) + "“, das es nicht gibt"},
    };
    for (const auto& [path, refused] : cases)
        EXPECT_EQ(SafeFile::lockRefused(path.string()), refused) << path;
}

TEST_F(SafeFileTest, OneFileNamedTwoWaysIsOneTarget) {
    std::ofstream(at("da.txt")) << "x";
    fs::create_directory(at("sub"));
    fs::create_hard_link(at("da.txt"), at("hart.txt"));
    const std::string d = dir.path().toStdString();
    const struct {
        std::string a, b;
        bool same;
    } cases[] = {
        {d + "/da.txt", d + "/./da.txt", true},
        {d + "/da.txt", d + "/sub/../da.txt", true},
        {d + "/da.txt", d + "/hart.txt", true},
        {d + "/neu.txt", d + "/sub/../neu.txt", true}, // not there yet: its folder decides
        {d + "/neu.txt", d + "/sub/neu.txt", false},
        {d + "/da.txt", d + "/neu.txt", false},
    };
    for (const auto& [a, b, same] : cases) EXPECT_EQ(SafeFile::sameTarget(a, b), same) << a << " ~ " << b;
}

TEST_F(SafeFileTest, ANameNearTheLimitOrNotUtf8IsWrittenAndFoundByItsBytes) {
    // 255 bytes is the system's limit for a name; the temporary file beside
    // it must not be longer.
    const fs::path longest = at((std::string(251, 'a') + ".txt").c_str());
    EXPECT_EQ(SafeFile::writeChecked(longest.string(), "lang"), std::nullopt);
    EXPECT_EQ(text(longest), "lang");
    // A name that is not UTF-8 reaches the toolkit with replacement
    // characters (a file dialog, a drop); it is found back to its bytes.
    const fs::path odd = at("\xff\xfe-quadrat.txt");
    std::ofstream(odd) << "VELTRANIX 410\n";
    const QString shown = QFile::decodeName(QByteArray::fromStdString(odd.string()));
    ASSERT_TRUE(shown.contains(QChar::ReplacementCharacter));
    EXPECT_EQ(SafeFile::fromQt(shown), odd.string());
    EXPECT_EQ(SafeFile::read(SafeFile::fromQt(shown), bound).bytes, "VELTRANIX 410\n");
    EXPECT_EQ(SafeFile::fromQt(QStringLiteral("/tmp/ganz-normal.txt")), "/tmp/ganz-normal.txt");
}
