#include "score/collection_score.h"

#include <climits>
#include <cstdlib>

#include <tinyxml.h>

namespace {

// Leading blanks, a sign, then digits up to the first other character, as
// atoi reads them; a value out of range is clamped instead of overflowing.
int32_t parse_count(const char* text) {
    while (*text == ' ' || (*text >= '\t' && *text <= '\r')) {
        ++text;
    }
    bool negative = false;
    if (*text == '+' || *text == '-') {
        negative = *text == '-';
        ++text;
    }
    int64_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        if (value <= int64_t(INT32_MAX) + 1) {
            value = value * 10 + (*text - '0');
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > INT32_MAX) {
        return INT32_MAX;
    }
    if (value < INT32_MIN) {
        return INT32_MIN;
    }
    return int32_t(value);
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
        TScore score;
        score.moves = parse_count(moves);
        score.pushes = parse_count(pushes);
        set_score(parse_count(nr), score);
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
