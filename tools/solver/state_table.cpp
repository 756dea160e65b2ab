// Every search state ever reached, in an open-addressed hash table.
#include "tools/solver/state_table.h"

#include <algorithm>

TStateTable::TStateTable(int32_t boxes) : stride(boxes + 1), slots(1 << 16, -1) {
}

std::pair<int32_t, bool> TStateTable::insert(const std::vector<uint16_t>& state) {
    // Half empty keeps the probe runs short.
    if (static_cast<size_t>(size()) * 2 >= slots.size())
        grow();
    const uint64_t mask = slots.size() - 1;
    for (uint64_t slot = hash(state.data()) & mask;; slot = (slot + 1) & mask) {
        const int32_t id = slots[slot];
        if (id < 0) {
            slots[slot] = size();
            pool.insert(pool.end(), state.begin(), state.end());
            parent.push_back(-1);
            pushes.push_back(0);
            move.push_back(0);
            closed.push_back(0);
            return {slots[slot], true};
        }
        if (std::equal(state.begin(), state.end(), this->state(id)))
            return {id, false};
    }
}

uint64_t TStateTable::hash(const uint16_t* state) const {
    uint64_t value = 0x9e3779b97f4a7c15ull;
    for (size_t i = 0; i < stride; ++i) {
        value ^= state[i];
        value *= 0xff51afd7ed558ccdull;
        value ^= value >> 29;
    }
    return value;
}

void TStateTable::grow() {
    slots.assign(slots.size() * 2, -1);
    const uint64_t mask = slots.size() - 1;
    for (int32_t id = 0; id < size(); ++id) {
        uint64_t slot = hash(state(id)) & mask;
        while (slots[slot] >= 0)
            slot = (slot + 1) & mask;
        slots[slot] = id;
    }
}
