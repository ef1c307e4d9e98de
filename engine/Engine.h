// SPDX-License-Identifier: GPL-3.0-or-later
// The whole calculator in one object: every register, flag and buffer, the
// program memory and the paper tape. Its operations live in the folder of the
// subsystem that owns them (number entry in engine/entry.cpp, the run loop in
// program/run.cpp, ...), while the state stays here in one place.
#pragma once

#include "display/Cell.h"
#include "engine/Entry.h"
#include "engine/Host.h"
#include "engine/Types.h"
#include "printer/TapeLine.h"
#include "program/Codes.h"

#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vx {

// The failure of an operation. It carries nothing: the machine shows one
// error state whatever went wrong.
struct CalcError : std::exception {
    const char* what() const noexcept override { return "CalcError"; }
};

double r13(double x);
double checked(double x);
Num compute(Num a, Num b, Op op);

struct ParenLevel {
    std::optional<std::pair<Num, Op>> numOp;
    bool pendingExec = false;
    bool operator==(const ParenLevel&) const = default;
};

struct Polar {
    Num a;
    Num b;
    bool showB = true;
    bool operator==(const Polar&) const = default;
};

struct SigmaPending {
    double x = 0;
    double sign = 1;
    bool entered = false;
    bool operator==(const SigmaPending&) const = default;
};

class Engine {
  public:
    static constexpr double pauseSeconds = 3.0;
    static constexpr double printLineSeconds = 0.5;
    static constexpr double sliceWaitSeconds = 0.004;
    static constexpr double singleStepSeconds = 0.7;
    static constexpr double blinkSeconds = 0.3;
    static constexpr int stepsPerSlice = 12;
    static constexpr int returnDepth = 6;
    static constexpr int maxParens = 4;

    Engine(Scheduler& scheduler, Settings& settings, Random& random);
    ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // --- observable state (switches are written through their setters) ---
    Model model() const { return model_; }
    bool power() const { return power_; }
    bool printerOn() const { return printerOn_; }
    Mode mode() const { return mode_; }
    bool gradMode() const { return gradMode_; }
    bool tapeWritesProgram() const { return tapeWritesProgram_; }
    std::uint64_t tick = 0;
    std::vector<TapeLine> tape;
    std::uint32_t tearSeed = 1;
    bool blinkOn = true;

    // --- working state ---
    Num E;
    std::optional<Entry> entry;
    std::optional<std::pair<Num, Op>> numOp;
    bool pendingExec = false;
    std::vector<ParenLevel> parens;
    std::vector<Num> regs;
    int dp = 4;
    bool sciMode = false;
    bool error = false;
    Num errorSaved;
    bool identMode = false;
    bool entryReady = true;
    std::optional<Polar> polar;
    std::optional<SigmaPending> sigmaPending;
    std::vector<Step> program;
    int pc = 1;
    std::vector<int> returnStack;
    bool running = false;
    bool paused = false;
    bool entryFlag = false;
    Prefix prefix;
    std::optional<Scheduler::Handle> runTask;
    std::optional<std::vector<Cell>> overrideCells;
    std::uint64_t overrideToken = 0;
    bool stepBusy = false;
    bool suppressPrint = false;
    bool loadPrefixPrinted = false;
    bool listing = false;

    int parenLevel() const { return static_cast<int>(parens.size()); }

    // --- lifecycle and switches ---
    void select(Model m);
    void setPower(bool on);
    void setMode(Mode m);
    void setPrinterOn(bool on);
    void setGradMode(bool on);
    void setTapeWritesProgram(bool on);

    // Observation: called after every change the panel must show.
    using Listener = std::function<void()>;
    int addListener(Listener listener) {
        listeners_.emplace_back(++lastListener_, std::move(listener));
        return lastListener_;
    }
    void removeListener(int id) {
        std::erase_if(listeners_, [id](const auto& entry) { return entry.first == id; });
    }
    // Called with the new model after a model change; the program library follows it.
    void addModelListener(std::function<void(Model)> listener) {
        modelListeners_.push_back(std::move(listener));
    }

    // --- keys ---
    void press(Key key);
    Assembled assemble(Key key);

    // --- execution ---
    void execute(int code, std::optional<int> operand = std::nullopt);
    void raiseError();
    void binaryOp(Op op, int code);
    double function(double x, int code) const;
    void sigmaAdd(double x, double sign);

    // --- printer ---
    void printNumber(Num num, const std::string& symbol, bool force);
    void appendLine(std::string text, std::string symbol = {}, bool red = false, bool left = false);
    void clearTape();

    // --- program memory ---
    void storeStep(int code, bool print);
    void printListing(int step, bool red);
    void printLoadLine(int step, const std::string& code, const std::string& symbol, bool red);
    std::string codeText(int index) const;
    bool isRegisterOperand(int index) const;
    std::vector<Step> programSteps() const;
    void loadProgram(const std::vector<Step>& steps);

    // --- run control ---
    void startRun();
    void stopRun();
    void singleStep();
    bool executeStep();
    void goTo(int label);
    void showTemporarily(std::vector<Cell> cells, double seconds);
    void startListing();

    // --- display ---
    std::vector<Cell> cells() const;

    // True while something timed is still in progress (a run, a single step,
    // a listing, a temporary display).
    bool busy() const { return running || stepBusy || listing || overrideCells.has_value(); }

  private:
    void clearMachine();
    void modeChanged();
    void bump();
    void changed();
    void commitEntry(); // may fail with CalcError
    bool commitOrRaise();
    void editEntry(int code);
    void equals();
    void openParen();
    void closeParen();
    void frequencyCompletion(const SigmaPending& pending);
    void metric(int code);
    void registerOp(int code, int operand);
    void convertPair(Num first, Op op);
    bool conditionHolds(int bits);
    void executeCaught(int code, std::optional<int> operand);
    void printProvisional();
    void runSlice();
    void afterSlice(std::ptrdiff_t newLines, bool pausedSlice);
    void endPause();
    void listingStep();
    std::uint64_t newLineId();

    Scheduler& scheduler_;
    Settings& settings_;
    Random& random_;

    Model model_;
    bool power_ = true;
    bool printerOn_ = true;
    Mode mode_ = Mode::run;
    bool gradMode_ = false;
    bool tapeWritesProgram_ = true;

    std::vector<std::pair<int, Listener>> listeners_;
    int lastListener_ = 0;
    std::vector<std::function<void(Model)>> modelListeners_;
    Scheduler::Handle blinkTimer_ = 0;
    std::optional<Scheduler::Handle> stepTask_;
    std::optional<Scheduler::Handle> listingTask_;
    std::optional<Scheduler::Handle> overrideTask_;
    int listedLines_ = 0;
};

} // namespace vx
