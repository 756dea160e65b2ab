// Every search state ever reached, packed: the sorted boxes and the keeper region's smallest square, with bookkeeping.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

class TStateTable {
public:
    explicit TStateTable(int32_t boxes);

    int32_t size() const { return static_cast<int32_t>(parent.size()); }
    // Valid until the next insert.
    const uint16_t* state(int32_t id) const { return &pool[static_cast<size_t>(id) * stride]; }

    // The id of the state, and whether it was new.
    std::pair<int32_t, bool> insert(const std::vector<uint16_t>& state);

    std::vector<int32_t> parent;
    std::vector<int32_t> pushes;
    // The pushed box's square before the push times four, plus the direction.
    std::vector<int32_t> move;
    std::vector<uint8_t> closed;

private:
    uint64_t hash(const uint16_t* state) const;
    void grow();

    size_t stride;
    std::vector<uint16_t> pool;
    std::vector<int32_t> slots;
};
