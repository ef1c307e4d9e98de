// SPDX-License-Identifier: GPL-3.0-or-later
// Thousands of seeded random keys, switch moves and time steps: no sequence
// may crash, hang or break the machine's invariants.
#include "invariants.h"
#include "support.h"

#include <cmath>
#include <random>

using namespace vx;
using vx::test::Machine;

TEST(RandomKeys, NoSequenceBreaksTheMachine) {
    for (Model model : allModels) {
        Machine m(model);
        std::mt19937 rng(model == Model::orbis410 ? 410 : 412);
        std::vector<Key> keys;
        for (const KeyRow& row : keyRows) keys.push_back(row.key);
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
            ASSERT_EQ(vx::test::brokenInvariant(*m, before, tornOff), "")
                << "model " << rawValue(model) << " event " << i;
        }
    }
}
