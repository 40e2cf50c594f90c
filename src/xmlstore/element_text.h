#pragma once

#include <QString>

#include <pugixml.hpp>

namespace pelorix::xmlstore {

// The DOM text of an element: the text of the element and all its descendants, concatenated;
// text nodes of whitespace alone (the layout between elements) do not count.
QString elementText(pugi::xml_node element);

// Replaces all content of the element, child elements included, by one text node.
void replaceElementText(pugi::xml_node element, const QString& value);

}  // namespace pelorix::xmlstore
