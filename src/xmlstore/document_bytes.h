#pragma once

#include <QByteArray>
#include <QString>

#include <pugixml.hpp>

namespace pelorix::xmlstore {

// Parses a file's bytes: a byte order mark or the encoding of the XML declaration decides how
// they are read (UTF-8 when neither is there). True for a well-formed document with exactly one
// document element; on failure the document is left empty.
bool parseDocumentBytes(pugi::xml_document& document, const QByteArray& bytes);

// Parses XML text that is already Unicode; an encoding named in its declaration is ignored.
bool parseDocumentText(pugi::xml_document& document, const QString& text);

// The document as UTF-8 bytes with an indented layout; a declaration that names another
// encoding is changed to name UTF-8.
QByteArray serializeDocument(pugi::xml_document& document);

}  // namespace pelorix::xmlstore
