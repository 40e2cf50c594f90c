#pragma once

#include <QString>

#include <vector>

namespace pelorix::i18n {

// A control as the form translation sees it: its type name decides whether it is translated.
struct ControlCaption {
    QString name;
    QString typeName;  // "Label", "CommandButton", "CheckBox", "TextBox", "ProgressBar", ...
    QString caption;
};

struct FormCaptions {
    QString caption;
    std::vector<ControlCaption> controls;  // in the form's own order

    QString captionOf(const QString& controlName) const;
};

}  // namespace pelorix::i18n
