#include "i18n/form_captions.h"

namespace pelorix::i18n {

QString FormCaptions::captionOf(const QString& controlName) const {
    for (const ControlCaption& control : controls) {
        if (control.name == controlName) {
            return control.caption;
        }
    }
    return {};
}

}  // namespace pelorix::i18n
