// The best results of one collection, by level number.
#pragma once

#include <cstdint>
#include <map>

class TiXmlElement;

// A best result: moves first, then pushes.
struct TScore {
    int32_t moves = 0;
    int32_t pushes = 0;
};

class TCollectionScore {
public:
    bool get_score(int32_t level, TScore& score) const;
    void set_score(int32_t level, const TScore& score);
    bool read_from_xml(const TiXmlElement* element);
    bool write_to_xml(TiXmlElement* element) const;

    std::map<int32_t, TScore> level_scores;
};
