// SPDX-License-Identifier: GPL-3.0-or-later
// What the machine needs of its host, and nothing more: a way to be called
// back later, a small settings store and a source of random numbers. The
// window gives Qt timers and QSettings; tests and the batch mode give the
// simulated clock and an in-memory store.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <string>

namespace vx {

class Scheduler {
  public:
    using Handle = std::uint64_t;
    virtual ~Scheduler() = default;
    // Runs `fn` once, `seconds` from now. The returned handle is never 0.
    virtual Handle after(double seconds, std::function<void()> fn) = 0;
    // Runs `fn` every `seconds` until cancelled.
    virtual Handle every(double seconds, std::function<void()> fn) = 0;
    // Cancelling a handle that already fired or was cancelled does nothing.
    virtual void cancel(Handle handle) = 0;
    // Seconds since the scheduler was made, on the clock its callbacks keep.
    virtual double now() const = 0;
};

class Settings {
  public:
    virtual ~Settings() = default;
    virtual std::optional<std::string> text(const std::string& key) = 0;
    virtual std::optional<long long> integer(const std::string& key) = 0;
    virtual std::optional<bool> boolean(const std::string& key) = 0;
    virtual void setText(const std::string& key, const std::string& value) = 0;
    virtual void setInteger(const std::string& key, long long value) = 0;
    virtual void setBoolean(const std::string& key, bool value) = 0;
    // Bytes that are no text (a window's geometry, as the toolkit records
    // it); a store that keeps no such type keeps them as text.
    virtual std::optional<std::string> bytes(const std::string& key) { return text(key); }
    virtual void setBytes(const std::string& key, const std::string& value) { setText(key, value); }
};

class Random {
  public:
    virtual ~Random() = default;
    virtual std::uint32_t next32() = 0;
};

// Settings kept in memory only: tests, and the batch mode, which must not
// change what the user has stored.
class MemorySettings : public Settings {
  public:
    std::optional<std::string> text(const std::string& key) override;
    std::optional<long long> integer(const std::string& key) override;
    std::optional<bool> boolean(const std::string& key) override;
    void setText(const std::string& key, const std::string& value) override;
    void setInteger(const std::string& key, long long value) override;
    void setBoolean(const std::string& key, bool value) override;
    int writes = 0;

  private:
    std::map<std::string, std::string> texts_;
    std::map<std::string, long long> integers_;
    std::map<std::string, bool> booleans_;
};

class StdRandom : public Random {
  public:
    StdRandom();
    explicit StdRandom(std::uint32_t seed) : gen_(seed) {}
    std::uint32_t next32() override { return static_cast<std::uint32_t>(gen_()); }

  private:
    std::mt19937 gen_;
};

} // namespace vx
