#include "i18n/built_in_texts.h"

#include <algorithm>

namespace pelorix::i18n {

QString builtInText(const QString& token, const QString& code) {
    const auto* found =
        std::find_if(kBuiltInTexts.begin(), kBuiltInTexts.end(),
                     [&token](const BuiltInText& text) { return text.german == token; });
    if (found == kBuiltInTexts.end()) {
        return {};
    }
    if (code == QStringLiteral("DE")) {
        return found->german.toString();
    }
    return code == QStringLiteral("EN") ? found->english.toString() : QString();
}

}  // namespace pelorix::i18n
