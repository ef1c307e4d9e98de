// SPDX-License-Identifier: GPL-3.0-or-later
// The whole calculator in one object: every register, flag and buffer, the
// program memory and the paper tape. Its operations live in the folder of the
// subsystem that owns them (number entry in engine/entry.cpp, the run loop in
// program/run.cpp, ...), while the state stays here in one place.
#pragma once

#include "display/Cell.h"
#include "display/Shown.h"
#include "engine/Entry.h"
#include "engine/Events.h"
#include "engine/Host.h"
#include "engine/MachineState.h"
#include "engine/Number.h"
#include "engine/Types.h"
#include "printer/TapeLine.h"
#include "program/Codes.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vx {

// How fast a run goes: at the original's pace (12 steps, then 4 ms or half a
// second per printed line), or as fast as the host allows, in chunks between
// which the host's event loop turns. PAUSE keeps its three seconds in both.
enum class Tempo { original, fast };

// The current or last run: steps executed and how long the original would
// have taken for them (slices, printer and PAUSE), in nanoseconds.
struct RunFigures {
    std::uint64_t steps = 0;
    std::int64_t originalNanos = 0;
    bool operator==(const RunFigures&) const = default;
};

class Engine {
  public:
    Engine(Scheduler& scheduler, Settings& settings, Random& random);
    ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // --- the switches ---
    Model model() const { return sw_.model; }
    bool power() const { return sw_.power; }
    bool printerOn() const { return sw_.printerOn; }
    Mode mode() const { return sw_.mode; }
    bool gradMode() const { return sw_.gradMode; }
    bool tapeWritesProgram() const { return sw_.tapeWritesProgram; }
    void select(Model m);
    void setPower(bool on);
    void setMode(Mode m);
    void setPrinterOn(bool on);
    void setGradMode(bool on);
    void setTapeWritesProgram(bool on);

    // --- what the panel, the batch mode and the library read ---
    const Tape& tape() const { return paper_.tape; }
    // Shapes the torn edge of the paper; a new one with every tear.
    std::uint32_t tearSeed() const { return paper_.tearSeed; }
    // The phase of the flashing display during a run.
    bool blinkOn() const { return timed_.blinkOn; }
    // The number register: the shown value once an entry is committed.
    Num E() const { return calc_.E; }
    // The number being keyed in, if any.
    const std::optional<Entry>& entry() const { return calc_.entry; }
    const std::vector<Num>& registers() const { return mem_.registers; }
    int decimals() const { return calc_.dp; }
    bool sciMode() const { return calc_.sciMode; }
    bool error() const { return calc_.error; }
    // A "+ - × ÷ aˣ" or coordinate conversion is waiting for its second number.
    bool operationPending() const { return calc_.current.numOp.has_value(); }
    // After "=" the operation stays as the constant that a repeated "="
    // applies again ("5 + 1 = =" gives 11): it waits for no second number.
    bool operationIsConstant() const { return calc_.current.numOp && !calc_.current.pendingExec; }
    int parenLevel() const { return static_cast<int>(calc_.parens.size()); }
    // All 416 steps, empty ones included.
    const std::vector<Step>& program() const { return mem_.program.codes(); }
    // The program up to its last non-empty step.
    std::vector<Step> programSteps() const;
    int pc() const { return mem_.pc; }
    // Step index + 1 as the LOAD display shows it: three octal digits, or
    // decimal for a 412 register operand, blanks when empty or outside memory.
    std::string codeText(int index) const;
    // The step at `index` is a 412 register operand, shown in decimal and
    // printed without a symbol.
    bool isRegisterOperand(int index) const;
    int returnDepthUsed() const { return static_cast<int>(mem_.returnStack.size()); }
    bool running() const { return timed_.running; }
    bool paused() const { return timed_.paused; }
    bool entryFlag() const { return calc_.entryFlag; }
    const Prefix& prefix() const { return calc_.prefix; }
    // The calculation in progress: the pending operation of the current
    // level and of every open parenthesis (outermost first), a coordinate
    // pair, a statistics entry, the return addresses of the open branches.
    const std::optional<std::pair<Num, Op>>& pendingOperation() const { return calc_.current.numOp; }
    const std::vector<ParenLevel>& parens() const { return calc_.parens; }
    const std::optional<Polar>& coordinatePair() const { return calc_.polar; }
    const std::optional<SigmaPending>& statisticsEntry() const { return calc_.sigmaPending; }
    const std::vector<int>& returnAddresses() const { return mem_.returnStack; }
    bool listing() const { return timed_.listing; }
    bool stepBusy() const { return timed_.stepBusy; }
    // The self-test, a step shown by FWD or the single step's own display.
    bool temporaryDisplay() const { return timed_.overrideCells.has_value(); }
    std::vector<Cell> cells() const;
    // The cells with what they are: what the painter and the screen reader share.
    Shown shown() const;
    // How often the display was worked out (`shown`, `cells`): for its
    // listeners once per change, and by nobody else while they listen.
    std::uint64_t shownReadings() const { return shownReadings_; }
    // True while something timed is still in progress (a run, a single step,
    // a listing, a temporary display).
    bool busy() const {
        return timed_.running || timed_.stepBusy || timed_.listing || timed_.overrideCells.has_value();
    }

    // Observation: told what happened, as it happens, and after every
    // change a view must show which parts changed.
    using Listener = std::function<void(const MachineEvent&)>;
    int addListener(Listener listener);
    void removeListener(int id) {
        std::erase_if(listeners_, [id](const auto& entry) { return entry.first == id; });
    }
    // Called with the new model after a model change; the program library follows it.
    void addModelListener(std::function<void(Model)> listener) {
        modelListeners_.push_back(std::move(listener));
    }

    // --- what a user does ---
    void press(Key key);
    void clearTape();
    // Forgets the lines printed so far without tearing the paper: for a host
    // that has already passed them on (the batch mode's streamed output), so
    // that a long run does not keep its whole tape.
    void releaseTape() { paper_.tape.clear(); }
    // Puts a program into memory as LOAD mode would, counter at step 1; the
    // library and the clipboard load programs this way.
    void loadProgram(const std::vector<Step>& steps);
    // Puts an edited program into memory as `loadProgram` does, but each
    // step the edit left alone keeps its breakpoint and count.
    void reviseProgram(const std::vector<Step>& steps);
    // Puts the program counter at a step (1 ... 416), as BACK and FWD in LOAD
    // mode would one by one.
    void setCounter(int step);

    // --- the pace ---
    Tempo tempo() const { return tempo_; }
    // Takes effect at the next slice, also during a run.
    void setTempo(Tempo tempo) { tempo_ = tempo; }
    const RunFigures& lastRun() const { return lastRun_; }
    // How often each step (index = step - 1) was executed since the program
    // memory was last cleared or loaded.
    std::vector<std::uint64_t> executionCounts() const { return mem_.program.counts(); }
    void resetExecutionCounts();

    // --- breakpoints: a run stops before their steps; STEP mode ignores them ---
    bool breakpoint(int step) const { return mem_.program.breakpoint(step); }
    void setBreakpoint(int step, bool on);
    void clearBreakpoints();

    // --- keeping the machine ---
    // Stops whatever runs in time, as the mode switch stops a run: a program,
    // a single step not yet carried out, a listing, a temporary display.
    void stopActivity();
    // The machine at rest as one value (call `stopActivity` first to keep a
    // running machine).
    MachineState state() const;
    // Takes a kept machine back; a model change is announced as `select`
    // announces it. Refuses (and changes nothing) a state this machine could
    // never have been in: wrong register count, a counter outside memory,
    // too many parentheses or open branches, numbers out of range.
    // Taken by value: a kept tape of a million lines is moved in, not copied.
    bool restore(MachineState kept);
    // The machine as `state` gives it, but without the tape's lines (their
    // count is `tape().printed()`): cheap enough to take after every action.
    MachineState bareState() const;

  private:
    // The machine's pace and limits.
    static constexpr double pauseSeconds = 3.0;
    static constexpr double printLineSeconds = 0.5;
    static constexpr double sliceWaitSeconds = 0.004;
    static constexpr double singleStepSeconds = 0.7;
    static constexpr double blinkSeconds = 0.3;
    static constexpr double selfTestSeconds = 2.0;
    static constexpr double stepShowSeconds = 1.5;
    static constexpr int stepsPerSlice = 12;
    // A fast run hands the host back its event loop after this many steps,
    // or this many printed lines, whichever comes first.
    static constexpr std::uint64_t fastChunkSteps = 40000;
    static constexpr std::ptrdiff_t fastChunkLines = 1000;
    static constexpr int returnDepth = 6;
    static constexpr int maxParens = 4;

    Assembled assemble(Key key);
    Assembled assemblePlain(Key key);
    Assembled assembleShifted(Key key);
    Assembled assembleRegister(const Prefix& p, Key key);
    Assembled assembleCondition(const Prefix& p, Key key);
    void pressInLoadMode(const Assembled& result);
    void pressCode(int code, std::optional<int> operand);
    void showStep(double seconds);

    void execute(int code, std::optional<int> operand = std::nullopt);
    void executeCaught(int code, std::optional<int> operand);
    bool arithmeticCode(int code);
    bool statisticsCode(int code);
    bool numberCode(int code);
    bool printerCode(int code);
    bool machineCode(int code);
    void applyFunction(int code);
    void flipDms();
    void raiseError();
    void binaryOp(Op op, int code);
    double function(double x, int code) const;
    double angleFunction(double x, int code) const;
    double halfTurn() const;
    void sigmaAdd(double x, double sign);
    void addToSums(double count, double sum, double squares); // may fail with CalcError

    void printNumber(Num num, const std::string& symbol, bool force);
    void appendLine(std::string text, std::string symbol = {}, bool red = false, bool left = false);

    void putProgram(const std::vector<Step>& steps, bool revised);
    void storeStep(int code, bool print);
    void printListing(int step, bool red);
    void printLoadLine(int step, const std::string& code, const std::string& symbol, bool red);

    void startRun();
    void singleStep();
    bool executeStep();
    std::optional<bool> controlStep(int code, std::optional<int> operand);
    void goTo(int label);
    void showTemporarily(std::vector<Cell> cells, double seconds);
    void startListing();

    void clearMachine();
    void modeChanged();
    // Tells every listener which parts of the machine changed since the last time.
    void bump();
    void tell(const MachineEvent& event);
    void tellKey(Key key, bool taken);
    void tellSwitch(SwitchId which);
    void stopRun(RunEnd why);
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
    void printProvisional();
    struct Slice {
        std::ptrdiff_t newLines = 0;
        bool paused = false;
    };
    // Up to 12 steps, but no further than the run's step `until`.
    Slice slice(std::uint64_t until = UINT64_MAX);
    void runSlice();
    void runFast();
    void afterSlice(std::ptrdiff_t newLines, bool pausedSlice);
    void countWaits(const Slice& done, bool pause);
    void waited(double seconds);
    void endPause();
    void listingStep();
    std::uint64_t newLineId();

    Scheduler& scheduler_;
    Settings& settings_;
    Random& random_;

    // Counts every change a view must show.

    // The machine's state in the groups a kept machine is written from.
    MachineState::Switches sw_;
    MachineState::Paper paper_;
    MachineState::Calculation calc_;
    MachineState::Memory mem_;

    // The timed work: what is scheduled and the flags that say what runs.
    struct Timed {
        bool running = false;
        bool paused = false;
        bool stepBusy = false;
        bool listing = false;
        bool blinkOn = true;
        // Set while a running program executes a step: only a forced print reaches the tape.
        bool suppressPrint = false;
        // The first step of a run passes its breakpoint.
        bool firstStepOfRun = false;
        // The step whose execution prints now, 0 while keys print.
        int printingStep = 0;
        int listedLines = 0;
        std::optional<std::vector<Cell>> overrideCells;
        std::uint64_t overrideToken = 0;
        Scheduler::Handle blinkTimer = 0;
        std::optional<Scheduler::Handle> runTask;
        std::optional<Scheduler::Handle> stepTask;
        std::optional<Scheduler::Handle> listingTask;
        std::optional<Scheduler::Handle> overrideTask;
    } timed_;

    std::vector<std::pair<int, Listener>> listeners_;
    // The history's hold on the machine (engine/History.h): told at the start
    // of every slice of a run, handed the roll a tear takes off, and able to
    // replay a run without telling anyone.
    friend class History;
    std::function<void()> sliceStarts_;
    std::function<void(Tape&)> tornRoll_;
    bool quiet_ = false;
    void replayTo(std::uint64_t steps);
    // What the listeners were last told the machine is.
    struct Published {
        Shown shown;
        std::uint64_t printed = 0;
        std::uint32_t tearSeed = 0;
        MachineState::Switches switches;
        bool running = false, paused = false, stepBusy = false, listing = false;
        ProgramMemory program;
        int pc = 1;
        std::vector<int> returns;
        std::vector<Num> registers;
        MachineState::Calculation calculation;
    } published_;
    Published publishedNow() const;
    mutable std::uint64_t shownReadings_ = 0;
    int lastListener_ = 0;
    std::vector<std::function<void(Model)>> modelListeners_;

    Tempo tempo_ = Tempo::original;
    RunFigures lastRun_;
};

} // namespace vx
