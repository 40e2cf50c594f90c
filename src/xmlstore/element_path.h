#pragma once

#include <QString>

#include <pugixml.hpp>

namespace pelorix::xmlstore {

// The first element, in document order, that the XPath "//" + path selects; a null node when
// there is none or the expression is rejected.
pugi::xml_node firstElementAt(const pugi::xml_document& document, const QString& path);

// Whether the text is an XML element name, the only kind of step that can be created.
bool isValidElementName(const QString& name);

}  // namespace pelorix::xmlstore
