// SPDX-License-Identifier: GPL-3.0-or-later
// The real binary in a real X server: it starts, has the zoomed size, takes
// typed keys and ends when its window is closed, whatever lies at the
// library's path.
#include "panel/DisplayPanel.h"

#include <QRectF>

#include <gtest/gtest.h>

// Xlib's macros clash with everything; it comes last.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <pwd.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

bool onPath(const char* tool) {
    return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

pid_t spawn(const std::vector<std::string>& args, const std::vector<std::string>& env = {}) {
    const pid_t pid = fork();
    if (pid == 0) {
        for (const auto& e : env) putenv(const_cast<char*>(e.c_str()));
        std::vector<char*> argv;
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        if (!freopen("/dev/null", "w", stderr)) _exit(126);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    return pid;
}

Window findWindow(Display* d, Window w, const std::string& name) {
    char* title = nullptr;
    if (XFetchName(d, w, &title) && title) {
        const bool match = name == title;
        XFree(title);
        if (match) return w;
    }
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(d, w, &root, &parent, &children, &count)) return 0;
    Window found = 0;
    for (unsigned i = 0; i < count && !found; ++i) found = findWindow(d, children[i], name);
    if (children) XFree(children);
    return found;
}

// Reading a window that is not yet viewable is an X error; the default
// handler would end the test process and leave the application running.
int ignoreXErrors(Display*, XErrorEvent*) {
    return 0;
}

struct Server {
    int number = 0;
    pid_t pid = -1;
    Display* display = nullptr;
    std::string screen = "1600x1000x24";
    bool start() {
        for (number = 77; number < 99; ++number)
            if (!fs::exists("/tmp/.X" + std::to_string(number) + "-lock")) break;
        pid = spawn({"Xvfb", ":" + std::to_string(number), "-screen", "0", screen, "-nolisten", "tcp"});
        const std::string name = ":" + std::to_string(number);
        for (int i = 0; i < 100 && !display; ++i) {
            std::this_thread::sleep_for(50ms);
            display = XOpenDisplay(name.c_str());
        }
        if (display) XSetErrorHandler(ignoreXErrors);
        return display != nullptr;
    }
    ~Server() {
        if (display) XCloseDisplay(display);
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    }
};

// Where a window's own top left corner is on the screen (inside any frame).
std::pair<int, int> placeOf(Display* d, Window w) {
    int x = -1, y = -1;
    Window child = 0;
    XTranslateCoordinates(d, w, DefaultRootWindow(d), 0, 0, &x, &y, &child);
    return {x, y};
}

bool lit(Display* d, Window w, int contentTop, int cell, char segment) {
    const QPointF p = vx::DisplayView::segmentPath(vx::DisplayPanel::digitArea(), 16, cell, segment)
                          .boundingRect()
                          .center();
    XImage* image = XGetImage(d, w, static_cast<int>(p.x()), static_cast<int>(p.y()) + contentTop, 1, 1,
                              AllPlanes, ZPixmap);
    if (!image) return false;
    const unsigned long pixel = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    const int red = static_cast<int>((pixel >> 16) & 0xFF), blue = static_cast<int>(pixel & 0xFF);
    return red > 200 && blue < 100;
}

// The calculator started in a private X server with a private home; its
// window found, mapped and painted.
struct RealApp {
    Server server;
    fs::path home = fs::temp_directory_path() / ("vxwindow-" + std::to_string(getpid()));
    std::string display;
    pid_t pid = -1;
    Window window = 0;
    int contentTop = 0;

    pid_t manager = -1;
    // More of the application's environment (a sound server's address).
    std::vector<std::string> extraEnv;

    // Starts the binary; `prepare` may put things into the home first. With
    // `managed`, a real window manager (openbox) frames the window.
    void start(const std::function<void(const fs::path&)>& prepare = {},
               const std::vector<std::string>& args = {}, bool managed = false) {
        ASSERT_TRUE(server.start()) << "Xvfb did not start";
        fs::create_directories(home / "runtime");
        fs::permissions(home / "runtime", fs::perms::owner_all);
        display = "DISPLAY=:" + std::to_string(server.number);
        if (managed) {
            manager = spawn({"openbox", "--sm-disable"}, {display});
            std::this_thread::sleep_for(500ms);
        }
        if (prepare) prepare(home);
        launch(args);
    }
    // Starts the binary (again) in the running server and waits for its window.
    void launch(const std::vector<std::string>& args = {}) {
        window = 0;
        const std::vector<std::string> env = {display, "XDG_DATA_HOME=" + (home / "data").string(),
                                              "XDG_CONFIG_HOME=" + (home / "config").string(),
                                              "XDG_RUNTIME_DIR=" + (home / "runtime").string(),
                                              "QT_QPA_PLATFORM=xcb"};
        std::vector<std::string> all = env;
        all.insert(all.end(), extraEnv.begin(), extraEnv.end());
        std::vector<std::string> command = {VELTRANIX_BINARY};
        command.insert(command.end(), args.begin(), args.end());
        pid = spawn(command, all);
        for (int i = 0; i < 200 && !window; ++i) {
            std::this_thread::sleep_for(50ms);
            window = findWindow(server.display, DefaultRootWindow(server.display), "Veltranix 410 Numerist");
        }
        ASSERT_NE(window, 0u) << "no window appeared";
        XWindowAttributes attributes{};
        for (int i = 0; i < 100; ++i) {
            XGetWindowAttributes(server.display, window, &attributes);
            if (attributes.map_state == IsViewable && attributes.width == 1290) break;
            std::this_thread::sleep_for(50ms);
        }
        EXPECT_EQ(attributes.width, 1290);
        // The panel is 607 high at 150 %; the menu bar sits above it in the window.
        contentTop = attributes.height - 607;
        EXPECT_GE(contentTop, 0);
        EXPECT_LT(contentTop, 60);
        // Painted: the last cell shows the 0 of 0.0000.
        ASSERT_TRUE(waitFor(15, 'a')) << "the display never lit";
    }
    bool lit(int cell, char segment) const {
        return ::lit(server.display, window, contentTop, cell, segment);
    }
    bool waitFor(int cell, char segment, bool on = true) const {
        for (int i = 0; i < 100; ++i) {
            if (lit(cell, segment) == on) return true;
            std::this_thread::sleep_for(50ms);
        }
        return false;
    }
    // The seven segments of a cell as lit ("abcdefg" for an 8).
    std::string segments(int cell) const {
        std::string on;
        for (char s : std::string("abcdefg"))
            if (lit(cell, s)) on += s;
        return on;
    }
    int run(const std::string& command) const { return std::system((display + " " + command).c_str()); }
    std::pair<int, int> place() const { return placeOf(server.display, window); }
    ~RealApp() {
        for (pid_t* p : {&pid, &manager})
            if (*p > 0 && waitpid(*p, nullptr, WNOHANG) == 0) {
                kill(*p, SIGKILL);
                waitpid(*p, nullptr, 0);
            }
        std::error_code ignored; // a server's last files may go meanwhile; a destructor must not throw
        fs::remove_all(home, ignored);
    }
};

// Asks the window to close as a window manager would, and waits for the end.
int closeAndWait(RealApp& app) {
    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = app.window;
    close.xclient.message_type = XInternAtom(app.server.display, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = static_cast<long>(XInternAtom(app.server.display, "WM_DELETE_WINDOW", False));
    close.xclient.data.l[1] = CurrentTime;
    XSendEvent(app.server.display, app.window, False, NoEventMask, &close);
    XFlush(app.server.display);
    for (int i = 0; i < 100; ++i) {
        int status = 0;
        if (waitpid(app.pid, &status, WNOHANG) == app.pid) {
            app.pid = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        std::this_thread::sleep_for(50ms);
    }
    return -1;
}

// A private sound server (PulseAudio with a sink that plays into nothing),
// run as an unprivileged user as a desktop's is, and a recorder on what
// the sink plays.
struct SoundServer {
    fs::path dir = fs::temp_directory_path() / ("vxsound-" + std::to_string(getpid()));
    pid_t server = -1, recorder = -1;
    std::string address() const { return "PULSE_SERVER=unix:" + (dir / "socket").string(); }
    bool start() {
        fs::create_directories(dir);
        fs::permissions(dir, fs::perms::all);
        std::vector<std::string> command;
        if (getuid() == 0) {
            // A server's folder must be its user's own.
            const passwd* nobody = getpwnam("nobody");
            if (!nobody || chown(dir.c_str(), nobody->pw_uid, nobody->pw_gid) != 0) return false;
            command = {"runuser", "-u", "nobody", "--"};
        }
        for (const std::string& a :
             {std::string("env"), "HOME=" + dir.string(), "XDG_RUNTIME_DIR=" + dir.string(),
              std::string("pulseaudio"), std::string("-n"), std::string("--daemonize=no"),
              std::string("--exit-idle-time=-1"), std::string("--disable-shm=yes"), std::string("-L"),
              std::string("module-null-sink sink_name=vx rate=48000"), std::string("-L"),
              "module-native-protocol-unix socket=" + (dir / "socket").string() + " auth-anonymous=1"})
            command.push_back(a);
        server = spawn(command);
        for (int i = 0; i < 100 && !fs::exists(dir / "socket"); ++i) std::this_thread::sleep_for(50ms);
        return fs::exists(dir / "socket");
    }
    void record() {
        recorder = spawn({"parec", "-d", "vx.monitor", "--latency-msec=20", "--format=s16le", "--rate=48000",
                          "--channels=1", (dir / "rec.raw").string()},
                         {address()});
        // The monitor's first second or so never reaches the recording.
        std::this_thread::sleep_for(2500ms);
    }
    // Where sounds begin, in seconds from the recording's start. A strike or
    // click is sharp, the paper's move a slow swell: what counts is the
    // change from one sample to the next, per 5 ms window. A sound begins
    // where a window gets loud (a quarter of the loudest) after 120 ms without one.
    std::vector<double> onsets() {
        kill(recorder, SIGINT);
        waitpid(recorder, nullptr, 0);
        recorder = -1;
        std::ifstream in(dir / "rec.raw", std::ios::binary);
        std::vector<int> peaks;
        std::int16_t v = 0, before = 0;
        for (int n = 0, peak = 0; in.read(reinterpret_cast<char*>(&v), 2); before = v) {
            peak = std::max(peak, std::abs(static_cast<int>(v) - before));
            if (++n == 240) {
                peaks.push_back(peak);
                n = peak = 0;
            }
        }
        const int loudest = peaks.empty() ? 0 : *std::max_element(peaks.begin(), peaks.end());
        std::vector<double> found;
        double last = -1;
        for (std::size_t i = 0; i < peaks.size(); ++i) {
            if (peaks[i] < std::max(200, loudest / 4)) continue;
            const double at = static_cast<double>(i) * 240 / 48000;
            if (last < 0 || at - last > 0.12) found.push_back(at);
            last = at;
        }
        return found;
    }
    ~SoundServer() {
        for (pid_t p : {recorder, server})
            if (p > 0) {
                kill(p, SIGTERM);
                waitpid(p, nullptr, 0);
            }
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
};

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The application's settings file in a private home, as the toolkit writes it.
void settle(const fs::path& home, const std::string& lines) {
    fs::create_directories(home / "config" / "Veltranix");
    std::ofstream(home / "config" / "Veltranix" / "Veltranix.conf") << "[General]\n" << lines;
}

// A window's property of 32-bit items (atoms, cardinals).
std::vector<long> property(Display* d, Window w, const char* name, Atom type) {
    Atom actual = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<long> items;
    if (XGetWindowProperty(d, w, XInternAtom(d, name, False), 0, 64, False, type, &actual, &format, &count,
                           &after, &data) == Success &&
        data) {
        items.assign(reinterpret_cast<long*>(data), reinterpret_cast<long*>(data) + count);
        XFree(data);
    }
    return items;
}

bool toolsPresent() {
    return onPath("Xvfb") && onPath("xdotool");
}

} // namespace

TEST(RealWindow, StartsTakesKeysAndEndsWhenClosed) {
    if (!toolsPresent()) GTEST_SKIP() << "Xvfb and xdotool are needed (./dev.sh test installs them)";
    RealApp app;
    // A FIFO where the library belongs: reading it would wait for a writer
    // for ever; the window must come up all the same.
    app.start([](const fs::path& home) {
        fs::create_directories(home / "data" / "Veltranix 410");
        ASSERT_EQ(mkfifo((home / "data" / "Veltranix 410" / "Veltranix410Programs.txt").c_str(), 0644), 0);
    });
    if (HasFatalFailure()) return;
    EXPECT_FALSE(app.lit(1, 'b'));
    ASSERT_EQ(app.run("xdotool type --delay 30 '12+3=i'"), 0);
    // The identification display shows " 15." from cell 1.
    EXPECT_TRUE(app.waitFor(1, 'b'));
    EXPECT_TRUE(app.waitFor(2, 'g'));
    EXPECT_FALSE(app.lit(1, 'a'));

    // Close the window the way a window manager asks for it.
    const int status = closeAndWait(app);
    EXPECT_EQ(status, 0) << "the application did not end well when its window was closed";
}

// A German keyboard: "^" is a dead key, ( ) = / * lie on shifted keys, and
// the numeric keypad has a decimal comma.
TEST(RealWindow, AGermanKeyboardReachesEveryKey) {
    if (!toolsPresent() || !onPath("setxkbmap"))
        GTEST_SKIP() << "Xvfb, xdotool and setxkbmap are needed (./dev.sh test installs them)";
    RealApp app;
    app.start();
    if (HasFatalFailure()) return;
    ASSERT_EQ(app.run("setxkbmap de"), 0);
    const struct {
        const char* keys;
        const char* digit; // the segments of cell 11, where the result's units digit stands
    } cases[] = {
        {"2 dead_circumflex 3 equal", "abcdefg"},                      // 2 ^ 3 = 8
        {"2 dead_circumflex space 3 equal", "abcdefg"},                // ^ completed by a space
        {"parenleft 1 plus 2 parenright asterisk 3 Return", "abcdfg"}, // (1 + 2) * 3 = 9
        {"KP_1 KP_Decimal KP_5 KP_Multiply KP_2 KP_Enter", "abcdg"},   // 1,5 * 2 = 3
        {"7 minus 1 slash 2 equal", "abcdg"},                          // (7 - 1) / 2 = 3
        {"2 0 colon 4 equal", "acdfg"},                                // 20 : 4 = 5
    };
    // Cell 11 shows `digit` (its segments) soon after the keys.
    const auto shows = [&app](const std::string& keys, const char* digit) {
        if (app.run("xdotool key --delay 40 " + keys) != 0) return false;
        for (int i = 0; i < 60; ++i) {
            if (app.segments(11) == digit) return true;
            std::this_thread::sleep_for(50ms);
        }
        return false;
    };
    for (const auto& c : cases) {
        ASSERT_EQ(app.run("xdotool key --delay 40 shift+Escape"), 0);
        ASSERT_TRUE(app.waitFor(11, 'g', false));
        EXPECT_TRUE(shows(c.keys, c.digit)) << c.keys << ": cell 11 shows segments " << app.segments(11);
        // Nothing else reached the machine: no program started, no second digit.
        EXPECT_EQ(app.segments(10), "") << c.keys;
    }
    // Ctrl+Z takes the last key back and Ctrl+Shift+Z does it again, where the
    // German keyboard has its Z.
    EXPECT_TRUE(shows("2 plus 3 equal ctrl+z", "abcdg")) << app.segments(11);
    EXPECT_TRUE(shows("ctrl+shift+z", "acdfg")) << app.segments(11);
}

// The window where it was closed last, a program file given on the command
// line imported, and with continuous memory on, the machine kept at the close.
TEST(RealWindow, ComesBackWhereItWasImportsItsFileAndKeepsTheMachine) {
    if (!toolsPresent()) GTEST_SKIP() << "Xvfb and xdotool are needed (./dev.sh test installs them)";
    RealApp app;
    const fs::path program = app.home / "sieben.txt";
    app.start(
        [&program](const fs::path& home) {
            settle(home, "keepMachine=true\nwindowPosition=@Point(200 150)\n");
            std::ofstream(program) << "PROGRAM 1\nNAME Sieben\n001  7\n002  7\n003  STOP\nEND\n";
        },
        {program.string()});
    if (HasFatalFailure()) return;
    EXPECT_EQ(app.place(), std::make_pair(200, 150));
    std::this_thread::sleep_for(300ms); // the import runs once the window is up
    EXPECT_EQ(closeAndWait(app), 0);
    const std::string kept = slurp(app.home / "data" / "Veltranix" / "Veltranix.state");
    EXPECT_NE(kept.find("step 1 7\nstep 2 7\nstep 3 27\n"), std::string::npos) << kept;
    // The place is remembered in the toolkit's record, and the next start comes back to it.
    const std::string remembered = slurp(app.home / "config" / "Veltranix" / "Veltranix.conf");
    EXPECT_NE(remembered.find("windowGeometry=@ByteArray("), std::string::npos) << remembered;
    app.launch();
    if (HasFatalFailure()) return;
    EXPECT_EQ(app.place(), std::make_pair(200, 150));
}

// On a first start the collection is in the menus, and "Aktion suchen …"
// finds its programs like every other entry; loading one leaves the user's
// library file as it was, byte for byte.
TEST(RealWindow, TheCollectionLoadsOnAFirstStartAndLeavesTheLibraryAlone) {
    if (!toolsPresent()) GTEST_SKIP() << "Xvfb and xdotool are needed (./dev.sh test installs them)";
    RealApp app;
    const std::string library = "VELTRANIX 410\n\nPROGRAM 1\nNAME Eigenes\n\n001  SIN\n\nEND\n";
    const fs::path file = app.home / "data" / "Veltranix 410" / "Veltranix410Programs.txt";
    app.start([&](const fs::path& home) {
        settle(home, "keepMachine=true\n");
        fs::create_directories(file.parent_path());
        std::ofstream(file) << library;
    });
    if (HasFatalFailure()) return;
    ASSERT_EQ(app.run("xdotool key ctrl+alt+i"), 0);
    std::this_thread::sleep_for(500ms);
    ASSERT_EQ(app.run("xdotool type --delay 30 'Kubische'"), 0);
    ASSERT_EQ(app.run("xdotool key Return"), 0);
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(closeAndWait(app), 0);
    const std::string kept = slurp(app.home / "data" / "Veltranix" / "Veltranix.state");
    // DP 4, LABEL 1, STOP, PRINT: the collection's cubic equation.
    EXPECT_NE(kept.find("step 1 148\nstep 2 129\nstep 3 27\nstep 4 28\n"), std::string::npos) << kept;
    EXPECT_EQ(slurp(file), library);
}

// Under a window manager that frames the window, ten starts leave it where it
// was put, also after the user moved it; a window that cannot grow offers no
// maximize.
TEST(RealWindow, StaysWhereItWasPutUnderAWindowManager) {
    if (!toolsPresent() || !onPath("openbox"))
        GTEST_SKIP() << "Xvfb, xdotool and openbox are needed (./dev.sh test installs them)";
    RealApp app;
    app.start({}, {}, true);
    if (HasFatalFailure()) return;
    auto near = [](std::pair<int, int> a, std::pair<int, int> b) {
        return std::abs(a.first - b.first) <= 1 && std::abs(a.second - b.second) <= 1;
    };
    const auto actions = property(app.server.display, app.window, "_NET_WM_ALLOWED_ACTIONS", XA_ATOM);
    ASSERT_FALSE(actions.empty()) << "the window manager names the actions it offers";
    for (long action : actions) {
        char* name = XGetAtomName(app.server.display, static_cast<Atom>(action));
        EXPECT_EQ(std::string(name).find("MAXIMIZE"), std::string::npos) << name;
        XFree(name);
    }
    for (int round = 0; round < 12; ++round) {
        if (round == 6) {
            // The user moves it: from then on it comes back there.
            app.run("xdotool windowmove " + std::to_string(app.window) + " 300 200");
            std::this_thread::sleep_for(300ms);
        }
        const auto before = app.place();
        ASSERT_EQ(closeAndWait(app), 0);
        app.launch();
        if (HasFatalFailure()) return;
        EXPECT_TRUE(near(app.place(), before))
            << "start " << round + 1 << ": " << app.place().first << "," << app.place().second
            << " instead of " << before.first << "," << before.second;
    }
}

TEST(RealWindow, TheGuideOpensWhollyOnALaptopScreen) {
    if (!toolsPresent() || !onPath("openbox"))
        GTEST_SKIP() << "Xvfb, xdotool and openbox are needed (./dev.sh test installs them)";
    RealApp app;
    app.server.screen = "1366x768x24";
    app.start({}, {}, true);
    if (HasFatalFailure()) return;
    app.run("xdotool windowactivate --sync " + std::to_string(app.window) + " key F1");
    Display* d = app.server.display;
    Window guide = 0;
    XWindowAttributes a{};
    for (int i = 0; i < 100; ++i) {
        if (!guide) guide = findWindow(d, DefaultRootWindow(d), "Bedienungsanleitung");
        if (guide && XGetWindowAttributes(d, guide, &a) && a.map_state == IsViewable) break;
        std::this_thread::sleep_for(50ms);
    }
    ASSERT_NE(guide, 0u) << "F1 opened no guide";
    std::this_thread::sleep_for(300ms); // the window manager places it
    XGetWindowAttributes(d, guide, &a);
    const auto [x, y] = placeOf(d, guide);
    // The frame the window manager put around it counts too: left, right, top, bottom.
    std::vector<long> frame = property(d, guide, "_NET_FRAME_EXTENTS", XA_CARDINAL);
    frame.resize(4);
    EXPECT_GE(x - frame[0], 0);
    EXPECT_GE(y - frame[2], 0);
    EXPECT_LE(x + a.width + frame[1], 1366) << "width " << a.width;
    EXPECT_LE(y + a.height + frame[3], 768)
        << "height " << a.height << " at " << x << "," << y << " frame " << frame[0] << " " << frame[1] << " "
        << frame[2] << " " << frame[3];
    EXPECT_GT(a.height, 400) << "a guide to read, not a strip";
}

TEST(RealWindow, TheMachineIsHeardInTimeWithItsTape) {
    if (!toolsPresent() || !onPath("pulseaudio") || !onPath("parec"))
        GTEST_SKIP() << "Xvfb, xdotool, pulseaudio and parec are needed (./dev.sh test installs them)";
    SoundServer sound;
    ASSERT_TRUE(sound.start()) << "the sound server did not start";
    RealApp app;
    app.extraEnv = {sound.address()};
    // Six lines half a second apart, then STOP; heard at full volume.
    const fs::path program = app.home / "sechs.txt";
    const auto settings = [](const fs::path& home, const std::string& lines) {
        settle(home, "soundVolume=100\n" + lines);
    };
    app.start(
        [&](const fs::path& home) {
            std::ofstream(program)
                << "PROGRAM 1\nNAME Sechs\n1\nPRINT\nPRINT\nPRINT\nPRINT\nPRINT\nPRINT\nSTOP\nEND\n";
            settings(home, "");
        },
        {program.string()});
    if (HasFatalFailure()) return;
    sound.record();
    for (const char* key : {"1", "2", "3", "space"}) {
        ASSERT_EQ(app.run(std::string("xdotool key ") + key), 0);
        std::this_thread::sleep_for(400ms);
    }
    std::this_thread::sleep_for(3500ms);
    const std::vector<double> heard = sound.onsets();
    // Three keys, then START STOP with the first line, then five more lines.
    std::string times;
    for (double t : heard) times += std::to_string(t) + " ";
    // (When the keys come depends on how soon xdotool runs; only the printer keeps time.)
    ASSERT_EQ(heard.size(), 9u) << times;
    // The printer's pace: the first line starts with START STOP's own click.
    EXPECT_NEAR(heard[4] - heard[3], 0.5, 0.03) << times;
    for (std::size_t i = 5; i < 9; ++i)
        EXPECT_NEAR(heard[i] - heard[i - 1], 0.5, 0.02) << "line " << i - 2 << ": " << times;
    ASSERT_EQ(closeAndWait(app), 0);

    // "Klang" off, and the fast tempo: keys and lines, and nothing heard.
    for (const char* choice : {"sound=false\n", "tempo=fast\n"}) {
        settings(app.home, choice);
        app.launch({program.string()});
        if (HasFatalFailure()) return;
        sound.record();
        ASSERT_EQ(app.run("xdotool type --delay 100 '45'"), 0);
        ASSERT_EQ(app.run("xdotool key space"), 0);
        std::this_thread::sleep_for(1500ms);
        EXPECT_TRUE(sound.onsets().empty()) << choice;
        ASSERT_EQ(closeAndWait(app), 0);
    }
}
