#include "xmlstore/element_text.h"

#include <string>

namespace pelorix::xmlstore {

namespace {

bool isWhitespaceOnly(const char* text) {
    for (; *text; ++text) {
        if (*text != ' ' && *text != '\t' && *text != '\n' && *text != '\r') {
            return false;
        }
    }
    return true;
}

// pugixml walks the subtree without recursion, so deeply nested documents are safe. Text nodes
// of whitespace alone are the document's layout, kept only to be written back.
class TextCollector : public pugi::xml_tree_walker {
  public:
    bool for_each(pugi::xml_node& node) override {
        if (node.type() == pugi::node_cdata ||
            (node.type() == pugi::node_pcdata && !isWhitespaceOnly(node.value()))) {
            text += node.value();
        }
        return true;
    }
    std::string text;
};

}  // namespace

QString elementText(pugi::xml_node element) {
    TextCollector collector;
    element.traverse(collector);
    return QString::fromUtf8(collector.text);
}

void replaceElementText(pugi::xml_node element, const QString& value) {
    element.remove_children();
    element.append_child(pugi::node_pcdata).set_value(value.toUtf8().constData());
}

}  // namespace pelorix::xmlstore
