// The records of one collection and their Level elements in scores.xml.
#include "score/collection_score.h"

#include <algorithm>
#include <cstdlib>

#include <tinyxml.h>

namespace {

// Leading blanks, a sign, then digits up to the first other character, as
// atoi reads them; a value out of range is clamped instead of overflowing.
int32_t parse_count(const char* text) {
    long long value = std::strtoll(text, nullptr, 10);
    return int32_t(std::clamp<long long>(value, INT32_MIN, INT32_MAX));
}

}  // namespace

bool TCollectionScore::get_score(int32_t level, TScore& score) const {
    auto found = level_scores.find(level);
    if (found == level_scores.end()) {
        return false;
    }
    score = found->second;
    return true;
}

void TCollectionScore::set_score(int32_t level, const TScore& score) {
    level_scores[level] = score;
}

bool TCollectionScore::read_from_xml(const TiXmlElement* element) {
    for (const TiXmlElement* child = element->FirstChildElement("Level"); child;
         child = child->NextSiblingElement("Level")) {
        const char* nr = child->Attribute("nr");
        const char* moves = child->Attribute("moves");
        const char* pushes = child->Attribute("pushes");
        if (!nr || !moves || !pushes) {
            continue;
        }
        set_score(parse_count(nr), TScore{parse_count(moves), parse_count(pushes)});
    }
    return true;
}

bool TCollectionScore::write_to_xml(TiXmlElement* element) const {
    for (const auto& [level, score] : level_scores) {
        auto* child = new TiXmlElement("Level");
        child->SetAttribute("nr", level);
        child->SetAttribute("moves", score.moves);
        child->SetAttribute("pushes", score.pushes);
        element->LinkEndChild(child);
    }
    return true;
}
