#include "score/high_score.h"

#include <cstdio>

#include <tinyxml.h>

bool THighScore::get_score(const std::string& collection, int32_t level, TScore& score) const
{
    auto found = collection_scores.find(collection);
    return found != collection_scores.end() && found->second->get_score(level, score);
}

void THighScore::set_score(const std::string& collection, int32_t level, const TScore& score)
{
    auto& entry = collection_scores[collection];
    if (!entry) {
        entry = std::make_unique<TCollectionScore>();
    }
    entry->set_score(level, score);
}

bool THighScore::read_from_xml(const std::string& file_name)
{
    TiXmlDocument document;
    if (!document.LoadFile(file_name.c_str(), TIXML_ENCODING_UTF8)) {
        return false;
    }
    for (const TiXmlElement* element = document.FirstChildElement("Collection"); element;
         element = element->NextSiblingElement("Collection")) {
        const char* name = element->Attribute("name");
        if (!name || !*name) {
            continue;
        }
        auto scores = std::make_unique<TCollectionScore>();
        scores->read_from_xml(element);
        collection_scores[name] = std::move(scores);
    }
    return true;
}

bool THighScore::write_to_xml(const std::string& file_name)
{
    TiXmlDocument document;
    document.LinkEndChild(new TiXmlDeclaration("1.0", "UTF-8", ""));
    for (const auto& [name, scores] : collection_scores) {
        auto* element = new TiXmlElement("Collection");
        element->SetAttribute("name", name);
        scores->write_to_xml(element);
        document.LinkEndChild(element);
    }
    return document.SaveFile(file_name.c_str());
}
