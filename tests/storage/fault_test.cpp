// SPDX-License-Identifier: GPL-3.0-or-later
// The library file under faults: a folder that cannot be made, a read-only
// file, a full disk, and a writer killed at random moments. The user's
// programs must never be lost or half written.
#include "storage/ProgramText.h"
#include "storage/UserPrograms.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <random>
#include <set>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace vx;

namespace {

struct WriterRun {
    int status;
    std::string err;
    bool operator==(const WriterRun&) const = default;
};
void PrintTo(const WriterRun& r, std::ostream* os) {
    *os << "status " << r.status << ", „" << r.err << "“";
}

// The writer where an ordinary user can run it: the build tree may lie in a
// home folder nobody else may enter (a container's /root, mode 700).
std::string reachableWriter(const QString& folder) {
    const QString copy = folder + "/library_writer";
    if (!QFile::exists(copy)) {
        QFile::copy(QStringLiteral(LIBRARY_WRITER), copy);
        QFile::setPermissions(copy, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                        QFileDevice::ReadOther | QFileDevice::ExeOther |
                                        QFileDevice::ReadGroup | QFileDevice::ExeGroup);
    }
    return copy.toStdString();
}

// Starts the writer with the library in `dataHome`, its messages to `err`
// (nowhere when -1), as an ordinary user when we are root and `unprivileged`.
// Status 3: the switch to that user was refused.
pid_t launch(const QString& dataHome, std::vector<std::string> args, int err = -1,
             bool unprivileged = false) {
    const std::string program = unprivileged && geteuid() == 0 ? reachableWriter(QFileInfo(dataHome).path())
                                                               : std::string(LIBRARY_WRITER);
    const pid_t pid = fork();
    if (pid != 0) return pid;
    dup2(err >= 0 ? err : open("/dev/null", O_WRONLY), STDERR_FILENO);
    setenv("XDG_DATA_HOME", dataHome.toLocal8Bit().constData(), 1);
    // nobody: permission bits hold for this writer as they do for a user.
    if (unprivileged && geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(3);
    std::vector<char*> argv = {const_cast<char*>(program.c_str())};
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
}

// Runs the writer to its end: its status and what it said.
WriterRun writer(const QString& dataHome, std::vector<std::string> args, bool unprivileged) {
    int pipefd[2];
    if (pipe(pipefd) != 0) return {-1, "pipe"};
    const pid_t pid = launch(dataHome, std::move(args), pipefd[1], unprivileged);
    close(pipefd[1]);
    std::string err;
    char buf[512];
    ssize_t n;
    while ((n = read(pipefd[0], buf, sizeof buf)) > 0) err.append(buf, static_cast<std::size_t>(n));
    close(pipefd[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, err};
}

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class Faults : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        chmod(home.path().toLocal8Bit().constData(), 0755);
        data = home.path() + "/data";
        file = data + "/Veltranix 410/Veltranix410Programs.txt";
    }
    void seed(const QByteArray& text = "PROGRAM 1\nNAME Alt\nSIN\nEND\n") {
        QDir().mkpath(data + "/Veltranix 410");
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    std::vector<SavedProgram> read() const {
        return ProgramText::parse(ProgramText::decode(contents(file)), Model::orbis410);
    }
    QTemporaryDir home;
    QString data, file;
};

} // namespace

// Run as an ordinary user: a folder it may not write, a file it may only read.
TEST_F(Faults, AFolderThatCannotBeCreatedOrAReadOnlyFile) {
    for (const bool folder : {true, false}) {
        QDir(data).removeRecursively();
        if (folder) {
            QDir().mkpath(data);
            chmod(data.toLocal8Bit().constData(), 0555);
        } else {
            seed();
            chmod((data + "/Veltranix 410").toLocal8Bit().constData(), 0777);
            chmod(file.toLocal8Bit().constData(), 0444);
        }
        const QByteArray before = contents(file);
        const WriterRun result = writer(data, {"save", "Neu"}, true);
        if (result.status == 3)
            GTEST_SKIP() << "this machine does not let the test switch to the user nobody";
        const QString why =
            folder ? "Der Ordner „" + data + "/Veltranix 410“ lässt sich nicht anlegen" : "„" + file + "“";
        EXPECT_EQ(result, (WriterRun{1, (why + ": keine Berechtigung\n").toStdString()}));
        EXPECT_EQ(contents(file), before);
        EXPECT_EQ(QFile::exists(file), !folder) << "no file where the folder could not be made";
    }
}

TEST_F(Faults, AFullDisk) {
    if (geteuid() != 0) GTEST_SKIP() << "a small tmpfs for the full disk needs root";
    const QString disk = home.path() + "/disk";
    QDir().mkpath(disk);
    if (mount("tmpfs", disk.toLocal8Bit().constData(), "tmpfs", 0, "size=256k") != 0)
        GTEST_SKIP() << "this machine does not let the test mount a tmpfs";
    struct Unmount {
        QByteArray path;
        ~Unmount() { umount(path.constData()); }
    } unmount{disk.toLocal8Bit()};
    data = disk;
    file = data + "/Veltranix 410/Veltranix410Programs.txt";
    seed();
    const QByteArray before = contents(file);
    // Fill the disk to the last byte.
    {
        QFile filler(disk + "/filler");
        filler.open(QIODevice::WriteOnly);
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
    }
    EXPECT_EQ(writer(data, {"save", std::string(3000, 'N')}, false),
              (WriterRun{1, ("Die Sperrdatei „" + file +
                             ".lock“ lässt sich nicht anlegen: kein Platz mehr auf dem Datenträger.\n")
                                .toStdString()}));
    EXPECT_EQ(contents(file), before);
}

TEST_F(Faults, AWriterKilledAtAnyMomentLeavesOneWholeLibrary) {
    // 100 full programs: a rewrite takes long enough to be killed halfway.
    std::vector<SavedProgram> library;
    for (long long p = 1; p <= 100; ++p) {
        SavedProgram prog{p, p == 1 ? "Stand 0" : "Programm " + std::to_string(p), {}, std::nullopt};
        for (int s = 0; s < 416; ++s) prog.steps.push_back((s + p) % 14); // digits and entry codes
        library.push_back(prog);
    }
    seed(ProgramText::format(library, Model::orbis410).toUtf8());
    auto modified = [&] {
        struct stat st {};
        stat(file.toLocal8Bit().constData(), &st);
        return st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec;
    };
    // How long the writer takes to start and finish its first save on this
    // build (a sanitizer build is much slower); the kills fall anywhere in
    // twice that time, so they hit start-up, whole saves and saves half done.
    const auto before = modified();
    const auto t0 = std::chrono::steady_clock::now();
    pid_t pid = launch(data, {"loop"});
    while (modified() == before) {
        ASSERT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(60))
            << "the writer never saved";
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    const auto firstSave = std::chrono::steady_clock::now() - t0;
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);

    std::mt19937 rng(2026);
    const auto window = std::chrono::duration_cast<std::chrono::microseconds>(firstSave * 2).count();
    // Under the address sanitizer every writer and every check of the file
    // is many times slower: fewer kills there, still falling on start-up,
    // whole saves and saves half done, keep the test within its time.
#if defined(__SANITIZE_ADDRESS__)
    constexpr int allKills = 60;
#else
    constexpr int allKills = 200;
#endif
    int kills = 0, afterASave = 0;
    for (; kills < allKills; ++kills) {
        pid = launch(data, {"loop"});
        std::this_thread::sleep_for(std::chrono::microseconds(rng() % static_cast<unsigned>(window)));
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);

        const auto programs = read();
        ASSERT_EQ(programs.size(), 100u) << "after kill " << kills;
        for (std::size_t i = 1; i < programs.size(); ++i)
            ASSERT_EQ(programs[i], library[i]) << "after kill " << kills;
        ASSERT_EQ(programs[0].steps, library[0].steps);
        ASSERT_EQ(programs[0].name.rfind("Stand ", 0), 0u) << programs[0].name;
        if (programs[0].name != "Stand 0") ++afterASave;
    }
    EXPECT_GT(afterASave, 0); // some kills came after whole saves, not only during start-up
}

// Eight windows saving at once: every program any of them saved is there,
// exactly once, and the file reads cleanly.
TEST_F(Faults, WritersSavingAtOnceLoseNothing) {
    for (const bool churn : {false, true}) {
        QDir(data).removeRecursively();
        std::vector<pid_t> writers;
        for (int w = 0; w < 8; ++w)
            writers.push_back(
                launch(data, {"many", "W" + std::to_string(w), "25", churn ? "churn" : "plain"}, 2));
        for (pid_t pid : writers) {
            int status = 0;
            waitpid(pid, &status, 0);
            ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
                << "churn " << churn << ", status " << status;
        }
        const auto programs = read();
        std::multiset<std::string> names;
        for (const SavedProgram& p : programs) {
            EXPECT_FALSE(p.error) << p.name;
            names.insert(p.name);
        }
        std::multiset<std::string> expected;
        for (int w = 0; w < 8; ++w)
            for (int i = 1; i <= 25; ++i)
                if (!churn || i % 5 != 4) expected.insert("W" + std::to_string(w) + "-" + std::to_string(i));
        EXPECT_EQ(names, expected) << "churn " << churn;
        for (std::size_t i = 0; i < programs.size(); ++i)
            EXPECT_EQ(programs[i].number, static_cast<long long>(i) + 1);
        EXPECT_FALSE(QFile::exists(file + ".lock"));
    }
}

// A lock held by a live writer makes a save wait, then fail without a
// change; one left by a writer that died is taken over.
TEST_F(Faults, TheLockBesideTheLibrary) {
    seed();
    const QByteArray before = contents(file);
    {
        QLockFile held(file + ".lock");
        ASSERT_TRUE(held.tryLock(0));
        EXPECT_EQ(writer(data, {"save", "Neu"}, false),
                  (WriterRun{
                      1, QStringLiteral("Die Bibliothek ist gesperrt: die Sperrdatei „%1.lock“ wird gehalten "
                                        "(von Prozess %2 „%3“ auf %4). Wenn gerade ein anderes Fenster "
                                        "speichert, bitte gleich noch einmal versuchen; sonst die "
                                        "Sperrdatei löschen.\n")
                             .arg(file)
                             .arg(::getpid())
                             .arg(QString::fromLocal8Bit(program_invocation_short_name),
                                  QSysInfo::machineHostName())
                             .toStdString()}));
        EXPECT_EQ(contents(file), before);
    }
    QFile stale(file + ".lock");
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write("2147480000\nlibrary_writer\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    stale.close();
    EXPECT_EQ(writer(data, {"save", "Neu"}, false), (WriterRun{0, ""}));
    EXPECT_EQ(read().size(), 2u);
}
