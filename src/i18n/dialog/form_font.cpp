#include "i18n/dialog/form_font.h"

#include <QStringList>

namespace pelorix::i18n {

QFont formFont(bool bold) {
    QFont font;
    font.setFamilies({"MS Sans Serif", "Microsoft Sans Serif", "Arial", "Liberation Sans"});
    font.setPointSizeF(8.25);
    font.setStyleHint(QFont::SansSerif);
    font.setBold(bold);
    return font;
}

}  // namespace pelorix::i18n
