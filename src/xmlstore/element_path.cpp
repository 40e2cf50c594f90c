#include "xmlstore/element_path.h"

#include <QList>

#include <exception>

namespace pelorix::xmlstore {

namespace {

bool inRange(char32_t c, char32_t low, char32_t high) {
    return c >= low && c <= high;
}

// NameStartChar of XML 1.0 (fifth edition).
bool isNameStartChar(char32_t c) {
    return c == ':' || c == '_' || inRange(c, 'A', 'Z') || inRange(c, 'a', 'z') ||
           inRange(c, 0xC0, 0xD6) || inRange(c, 0xD8, 0xF6) || inRange(c, 0xF8, 0x2FF) ||
           inRange(c, 0x370, 0x37D) || inRange(c, 0x37F, 0x1FFF) || inRange(c, 0x200C, 0x200D) ||
           inRange(c, 0x2070, 0x218F) || inRange(c, 0x2C00, 0x2FEF) || inRange(c, 0x3001, 0xD7FF) ||
           inRange(c, 0xF900, 0xFDCF) || inRange(c, 0xFDF0, 0xFFFD) || inRange(c, 0x10000, 0xEFFFF);
}

bool isNameChar(char32_t c) {
    return isNameStartChar(c) || c == '-' || c == '.' || inRange(c, '0', '9') || c == 0xB7 ||
           inRange(c, 0x300, 0x36F) || inRange(c, 0x203F, 0x2040);
}

}  // namespace

pugi::xml_node firstElementAt(const pugi::xml_document& document, const QString& path) {
    // pugixml reports a malformed expression by exception or by an invalid query, depending on
    // how it was built; paths come from callers and may hold anything.
    try {
        const QByteArray expression = ("//" + path).toUtf8();
        const pugi::xpath_query query(expression.constData());
        if (!query || query.return_type() != pugi::xpath_type_node_set) {
            return {};
        }
        pugi::xpath_node_set nodes = query.evaluate_node_set(document);
        nodes.sort();
        for (const pugi::xpath_node& node : nodes) {
            if (node.node().type() == pugi::node_element) {
                return node.node();
            }
        }
    } catch (const std::exception&) {
    }
    return {};
}

bool isValidElementName(const QString& name) {
    const QList<uint> characters = name.toUcs4();
    if (characters.isEmpty() || !isNameStartChar(characters.front())) {
        return false;
    }
    for (const uint c : characters) {
        if (!isNameChar(c)) {
            return false;
        }
    }
    return true;
}

}  // namespace pelorix::xmlstore
