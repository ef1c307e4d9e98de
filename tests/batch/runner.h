// SPDX-License-Identifier: GPL-3.0-or-later
// Running the real binary as a script would: no display server, a private
// data and settings folder, stdout and stderr apart.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace vx::test {

namespace fs = std::filesystem;

struct Result {
    int status = -1;
    std::string out;
    std::string err;
    bool operator==(const Result&) const = default;
};
inline void PrintTo(const Result& r, std::ostream* os) {
    *os << "status " << r.status << ", out „" << r.out << "“, err „" << r.err << "“";
}
// What a refused run shows: nothing on standard output, one message on standard error.
inline Result refused(const std::string& message, int status = 2) {
    return {status, "", "veltranix: " + message + "\n"};
}
// What a run that went well shows.
inline Result shows(const std::string& out) {
    return {0, out, ""};
}

inline std::string quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

inline std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

class BatchHome : public ::testing::Test {
  protected:
    void SetUp() override {
        home = fs::temp_directory_path() / ("vxbatch-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(home);
        fs::create_directories(home);
        fs::permissions(home, fs::perms::owner_all);
    }
    void TearDown() override { fs::remove_all(home); }

    // Runs veltranix with `args` in the source folder, so example paths work;
    // `redirect` is added to the shell command as it stands ("< file", ">/dev/full"),
    // `display` says which display server the run may see (none).
    Result run(const std::vector<std::string>& args, const std::string& redirect = "",
               const std::string& display = "-u DISPLAY") {
        std::string cmd = "cd " + quote(SOURCE_DIR) + " && env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " +
                          display + " XDG_DATA_HOME=" + quote((home / "data").string()) +
                          " XDG_CONFIG_HOME=" + quote((home / "config").string()) +
                          " XDG_RUNTIME_DIR=" + quote(home.string()) + " " + quote(VELTRANIX_BINARY);
        for (const auto& a : args) cmd += " " + quote(a);
        cmd += " 2>" + quote((home / "stderr").string()) + " " + redirect;
        Result r;
        FILE* pipe = ::popen(cmd.c_str(), "r");
        char buf[4096];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) r.out.append(buf, n);
        const int status = ::pclose(pipe);
        r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.err = slurp(home / "stderr");
        return r;
    }

    fs::path library(const std::string& text) {
        fs::path p = home / "lib.txt";
        std::ofstream(p, std::ios::binary) << text;
        return p;
    }

    fs::path home;
};

} // namespace vx::test
