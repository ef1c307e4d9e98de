// SPDX-License-Identifier: GPL-3.0-or-later
// Thousands of seeded random keys, switch moves and time steps: no sequence
// may crash, hang or break the machine's invariants.
#include "support.h"

#include <cmath>
#include <random>

using namespace vx;
using vx::test::Machine;

namespace {

void checkInvariants(Engine& e, std::size_t tapeBefore, bool tornOff) {
    ASSERT_EQ(e.cells().size(), 16u);
    ASSERT_GE(e.pc(), 1);
    ASSERT_LE(e.pc(), 416);
    ASSERT_EQ(e.program().size(), 416u);
    ASSERT_LE(e.parenLevel(), 4);
    ASSERT_LE(e.returnDepthUsed(), 6u);
    ASSERT_EQ(e.registers().size(), static_cast<std::size_t>(registerCount(e.model())));
    ASSERT_TRUE(std::isfinite(e.E().v));
    for (const Num& r : e.registers()) {
        ASSERT_TRUE(std::isfinite(r.v));
    }
    if (!tornOff) {
        ASSERT_GE(e.tape().size(), tapeBefore);
    }
    for (const auto& line : e.tape()) {
        ASSERT_LE(utf8Length(line.printed()), 18u);
    }
}

} // namespace

TEST(RandomKeys, NoSequenceBreaksTheMachine) {
    for (Model model : allModels) {
        Machine m(model);
        std::mt19937 rng(model == Model::orbis410 ? 410 : 412);
        std::vector<Key> keys(allKeysBegin(), allKeysEnd());
        for (int i = 0; i < 4000; ++i) {
            const std::size_t before = m->tape().size();
            bool tornOff = false;
            const int what = static_cast<int>(rng() % 100);
            if (what < 80) {
                m->press(keys[rng() % keys.size()]);
            } else if (what < 86) {
                // Mostly RUN, so the keys compute; LOAD and STEP now and then.
                const int r = static_cast<int>(rng() % 6);
                m->setMode(r < 4 ? Mode::run : r == 4 ? Mode::step : Mode::load);
            } else if (what < 89) {
                m->setPrinterOn(rng() % 2);
            } else if (what < 91) {
                m->setGradMode(rng() % 2);
            } else if (what < 92) {
                m->setPower(rng() % 4 != 0);
            } else if (what < 99) {
                m.advance(static_cast<double>(rng() % 2000) / 1000.0);
            } else {
                m->clearTape();
                tornOff = true;
            }
            checkInvariants(*m, before, tornOff);
            if (HasFatalFailure()) {
                ADD_FAILURE() << "model " << rawValue(model) << " event " << i;
                return;
            }
        }
    }
}
