#include "app/run/user_interface.h"

namespace pelorix::app {

QString withNewlines(const QString& text) {
    QString converted = text;
    converted.replace("\r\n", "\n");
    converted.replace('\r', '\n');
    return converted;
}

}  // namespace pelorix::app
