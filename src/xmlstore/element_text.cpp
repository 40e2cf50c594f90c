#include "xmlstore/element_text.h"

#include <string>

namespace pelorix::xmlstore {

namespace {

// pugixml walks the subtree without recursion, so deeply nested documents are safe.
class TextCollector : public pugi::xml_tree_walker {
  public:
    bool for_each(pugi::xml_node& node) override {
        if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) {
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
