// The best-score store: look-ups, records, and reading and writing scores.xml with TinyXML.
#include "score/high_score.h"

#include <cerrno>

#include <tinyxml.h>

#include "level/text_file.h"
#include "score/score_file.h"
#include "score/score_text.h"

namespace {

enum TScoreRead {
    SCORE_READ_OK,
    SCORE_READ_MISSING,
    SCORE_READ_FAILED,
};

// Reads and parses the file; TinyXML never sees text that fails the check.
// A missing file is told apart from one that exists and cannot be read.
TScoreRead load_document(const std::string& file_name, TiXmlDocument& document) {
    const std::optional<std::string> text = read_text_file(file_name, SCORE_MAX_FILE_SIZE);
    if (!text) {
        return errno == ENOENT ? SCORE_READ_MISSING : SCORE_READ_FAILED;
    }
    if (!is_safe_score_text(*text)) {
        return SCORE_READ_FAILED;
    }
    document.Parse(text->c_str(), nullptr, TIXML_ENCODING_UTF8);
    return document.Error() ? SCORE_READ_FAILED : SCORE_READ_OK;
}

}  // namespace

bool THighScore::get_score(const std::string& collection, int32_t level, TScore& score) const {
    auto found = collection_scores.find(collection);
    return found != collection_scores.end() && found->second->get_score(level, score);
}

void THighScore::set_score(const std::string& collection, int32_t level, const TScore& score) {
    auto& entry = collection_scores[collection];
    if (!entry) {
        entry = std::make_unique<TCollectionScore>();
    }
    entry->set_score(level, score);
}

bool THighScore::read_from_xml(const std::string& file_name) {
    remove_score_leftover(file_name);
    TiXmlDocument document;
    TScoreRead state = load_document(file_name, document);
    if (state == SCORE_READ_FAILED) {
        unreadable_file = file_name;
    }
    if (state != SCORE_READ_OK) {
        return false;
    }
    for (const TiXmlElement* element = document.FirstChildElement("Collection"); element;
         element = element->NextSiblingElement("Collection")) {
        const std::string* name = element->Attribute(std::string("name"));
        if (!name || name->empty()) {
            continue;
        }
        auto scores = std::make_unique<TCollectionScore>();
        scores->read_from_xml(element);
        collection_scores[name_from_xml(*name)] = std::move(scores);
    }
    return true;
}

bool THighScore::keep_unreadable_file() {
    if (!unreadable_file.empty() && !keep_score_backup(unreadable_file)) {
        return false;
    }
    unreadable_file.clear();
    return true;
}

bool THighScore::write_to_xml(const std::string& file_name) {
    TiXmlDocument document;
    document.LinkEndChild(new TiXmlDeclaration("1.0", "UTF-8", ""));
    for (const auto& [name, scores] : collection_scores) {
        auto* element = new TiXmlElement("Collection");
        element->SetAttribute("name", name_to_xml(name));
        scores->write_to_xml(element);
        document.LinkEndChild(element);
    }
    TiXmlPrinter printer;
    document.Accept(&printer);
    return (file_name != unreadable_file || keep_unreadable_file()) && replace_score_file(file_name, printer.Str());
}
