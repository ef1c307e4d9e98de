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

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
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

// Ends the application whatever happens to the test.
struct Reaper {
    pid_t pid;
    ~Reaper() {
        if (pid > 0 && waitpid(pid, nullptr, WNOHANG) == 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
};

struct Server {
    int number = 0;
    pid_t pid = -1;
    Display* display = nullptr;
    bool start() {
        for (number = 77; number < 99; ++number)
            if (!fs::exists("/tmp/.X" + std::to_string(number) + "-lock")) break;
        pid =
            spawn({"Xvfb", ":" + std::to_string(number), "-screen", "0", "1600x1000x24", "-nolisten", "tcp"});
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

} // namespace

TEST(RealWindow, StartsTakesKeysAndEndsWhenClosed) {
    if (!onPath("Xvfb") || !onPath("xdotool"))
        GTEST_SKIP() << "Xvfb and xdotool are needed (./dev.sh test installs them)";
    Server server;
    ASSERT_TRUE(server.start()) << "Xvfb did not start";
    const fs::path home = fs::temp_directory_path() / ("vxwindow-" + std::to_string(getpid()));
    fs::create_directories(home / "runtime");
    fs::permissions(home / "runtime", fs::perms::owner_all);
    const std::string display = "DISPLAY=:" + std::to_string(server.number);
    const std::vector<std::string> env = {
        display, "XDG_DATA_HOME=" + (home / "data").string(), "XDG_CONFIG_HOME=" + (home / "config").string(),
        "XDG_RUNTIME_DIR=" + (home / "runtime").string(), "QT_QPA_PLATFORM=xcb"};
    // A FIFO where the library belongs: reading it would wait for a writer
    // for ever; the window must come up all the same.
    fs::create_directories(home / "data" / "Veltranix 410");
    ASSERT_EQ(mkfifo((home / "data" / "Veltranix 410" / "Veltranix410Programs.txt").c_str(), 0644), 0);
    const pid_t app = spawn({VELTRANIX_BINARY}, env);
    Reaper reaper{app};

    Window window = 0;
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
    const int contentTop = attributes.height - 607;
    EXPECT_GE(contentTop, 0);
    EXPECT_LT(contentTop, 60);

    // Wait until the panel is painted: the last cell shows the 0 of 0.0000.
    auto waitFor = [&](int cell, char segment) {
        for (int i = 0; i < 100; ++i) {
            if (lit(server.display, window, contentTop, cell, segment)) return true;
            std::this_thread::sleep_for(50ms);
        }
        return false;
    };
    ASSERT_TRUE(waitFor(15, 'a')) << "the display never lit";
    EXPECT_FALSE(lit(server.display, window, contentTop, 1, 'b'));
    const std::string type = display + " xdotool type --delay 30 '12+3=i'";
    ASSERT_EQ(std::system(type.c_str()), 0);
    // The identification display shows " 15." from cell 1.
    EXPECT_TRUE(waitFor(1, 'b'));
    EXPECT_TRUE(waitFor(2, 'g'));
    EXPECT_FALSE(lit(server.display, window, contentTop, 1, 'a'));

    // Close the window the way a window manager asks for it.
    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = window;
    close.xclient.message_type = XInternAtom(server.display, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = static_cast<long>(XInternAtom(server.display, "WM_DELETE_WINDOW", False));
    close.xclient.data.l[1] = CurrentTime;
    XSendEvent(server.display, window, False, NoEventMask, &close);
    XFlush(server.display);
    int status = -1;
    for (int i = 0; i < 100; ++i) {
        if (waitpid(app, &status, WNOHANG) == app) break;
        std::this_thread::sleep_for(50ms);
        status = -1;
    }
    if (status == -1) {
        ADD_FAILURE() << "the application did not end when its window was closed";
    } else {
        reaper.pid = -1;
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    fs::remove_all(home);
}
