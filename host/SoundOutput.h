// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop's sound server, reached by the PulseAudio protocol (which
// PipeWire's pipewire-pulse serves too). Sounds given here are mixed and
// written by a thread of their own, in chunks of a few milliseconds, so
// that a click starts within a frame of the key. Where there is no server,
// or it goes away, nothing is heard and nothing is said; the calculator
// works on silently, and now and then tries again.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace vx {

class SoundOutput {
  public:
    static constexpr int rate = 48000;
    // Begins to connect at once, in the background: the window does not wait for it.
    SoundOutput();
    ~SoundOutput();
    SoundOutput(const SoundOutput&) = delete;
    SoundOutput& operator=(const SoundOutput&) = delete;

    // Mixes `samples` (mono, at `rate`) into what plays from now on, at `gain`.
    void play(const std::vector<float>& samples, float gain);
    // Drops everything not yet played.
    void silence();
    bool connected() const { return connected_; }
    // For measuring: seconds from the last `play` that began after silence
    // until its first samples were due at the speaker (the chunk written, plus
    // what the server still held before it); negative before any.
    double lastStartLatency() const { return lastStartLatency_; }

  private:
    void run();
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<float> pending_;
    bool stopping_ = false;
    std::atomic<bool> connected_{false};
    std::atomic<double> lastStartLatency_{-1};
    // When a sound began after silence and is not yet written.
    std::optional<std::chrono::steady_clock::time_point> startedAt_;
    std::thread thread_;
};

} // namespace vx
