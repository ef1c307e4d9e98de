// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/SoundOutput.h"

#include <algorithm>
#include <chrono>
#include <utility>

#ifdef VX_HAVE_PULSE
#include <pulse/error.h>
#include <pulse/simple.h>
#endif

namespace vx {

namespace {
// 5 ms a chunk; the server keeps about four of them ahead.
constexpr std::size_t chunkFrames = SoundOutput::rate / 200;
constexpr auto retryAfter = std::chrono::seconds(5);
} // namespace

SoundOutput::SoundOutput() : thread_([this] { run(); }) {}

SoundOutput::~SoundOutput() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void SoundOutput::play(const std::vector<float>& samples, float gain) {
    {
        const std::lock_guard lock(mutex_);
        if (pending_.empty()) startedAt_ = std::chrono::steady_clock::now();
        if (pending_.size() < samples.size()) pending_.resize(samples.size(), 0.0f);
        for (std::size_t i = 0; i < samples.size(); ++i)
            pending_[i] = std::clamp(pending_[i] + gain * samples[i], -1.0f, 1.0f);
    }
    wake_.notify_all();
}

void SoundOutput::silence() {
    const std::lock_guard lock(mutex_);
    pending_.clear();
}

#ifdef VX_HAVE_PULSE

void SoundOutput::run() {
    const pa_sample_spec spec{PA_SAMPLE_FLOAT32LE, rate, 1};
    pa_buffer_attr buffer{};
    buffer.maxlength = static_cast<std::uint32_t>(-1);
    buffer.tlength = static_cast<std::uint32_t>(4 * chunkFrames * sizeof(float));
    buffer.prebuf = static_cast<std::uint32_t>(chunkFrames * sizeof(float));
    buffer.minreq = static_cast<std::uint32_t>(chunkFrames * sizeof(float));
    buffer.fragsize = static_cast<std::uint32_t>(-1);
    pa_simple* stream = nullptr;
    auto lastTry = std::chrono::steady_clock::now() - retryAfter;
    const auto connect = [&] {
        lastTry = std::chrono::steady_clock::now();
        int error = 0;
        stream = pa_simple_new(nullptr, "Veltranix", PA_STREAM_PLAYBACK, nullptr, "Klang", &spec, nullptr,
                               &buffer, &error);
        connected_ = stream != nullptr;
    };
    connect();
    std::unique_lock lock(mutex_);
    while (true) {
        wake_.wait(lock, [this] { return stopping_ || !pending_.empty(); });
        if (stopping_) break;
        if (!stream) {
            // Nobody to play to: the sound is dropped, and the server looked for again later.
            pending_.clear();
            if (std::chrono::steady_clock::now() - lastTry >= retryAfter) {
                lock.unlock();
                connect();
                lock.lock();
            }
            continue;
        }
        const auto startedAt = std::exchange(startedAt_, std::nullopt);
        const std::size_t frames = std::min(pending_.size(), chunkFrames);
        std::vector<float> chunk(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(frames));
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(frames));
        lock.unlock();
        int error = 0;
        if (pa_simple_write(stream, chunk.data(), chunk.size() * sizeof(float), &error) < 0) {
            // The server went away.
            pa_simple_free(stream);
            stream = nullptr;
            connected_ = false;
        } else if (startedAt) {
            // The chunk just written plays after what the server held before it.
            const double held = static_cast<double>(pa_simple_get_latency(stream, &error)) / 1e6 -
                                static_cast<double>(frames) / rate;
            lastStartLatency_ =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - *startedAt).count() +
                std::max(0.0, held);
        }
        lock.lock();
    }
    lock.unlock();
    if (stream) pa_simple_free(stream);
}

#else

// Built without the sound server's library: every sound is dropped.
void SoundOutput::run() {
    std::unique_lock lock(mutex_);
    while (true) {
        wake_.wait(lock, [this] { return stopping_ || !pending_.empty(); });
        if (stopping_) break;
        pending_.clear();
    }
}

#endif

} // namespace vx
