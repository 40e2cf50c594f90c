#pragma once

#include "platform/outcome.h"

#include <QByteArray>
#include <QString>

#include <pugixml.hpp>

namespace pelorix::xmlstore {

// Elements nested deeper than this make a document one that does not parse: a control document
// needs a handful of levels, and a hostile one must not cost unbounded time or memory.
inline constexpr int kMaxElementDepth = 256;

// Parses a file's bytes: a byte order mark or the encoding of the XML declaration decides how
// they are read (UTF-8 when neither is there; bytes that are not UTF-8 then do not parse).
// Success for a well-formed document with exactly one document element, no document type
// declaration and no element deeper than kMaxElementDepth; on failure the document is left
// empty and the reason says what is wrong (with the byte offset of a syntax error).
platform::Outcome parseDocumentBytes(pugi::xml_document& document, const QByteArray& bytes);

// Parses XML text that is already Unicode; an encoding named in its declaration is ignored.
platform::Outcome parseDocumentText(pugi::xml_document& document, const QString& text);

// The document as UTF-8 bytes in its own layout (nothing is indented); a declaration that names
// another encoding is changed to name UTF-8.
QByteArray serializeDocument(pugi::xml_document& document);

}  // namespace pelorix::xmlstore
