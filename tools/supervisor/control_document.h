#pragma once

#include <pugixml.hpp>

#include <string>

namespace pelorix::supervisor {

// Reads and parses the document; false when it is missing or does not parse.
bool loadControlDocument(const std::string& path, pugi::xml_document& document);

// Writes a temporary file beside the document and renames it over the document, so a reader
// sees either the old or the new document, never a half-written one.
bool saveControlDocument(const pugi::xml_document& document, const std::string& path);

// A document with PelorixService and HavrelService both running (target and current status "1").
void fillInitialDocument(pugi::xml_document& document);

}  // namespace pelorix::supervisor
