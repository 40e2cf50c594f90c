#include "i18n/language.h"

#include "i18n/built_in_texts.h"

#include <QStringList>

namespace pelorix::i18n {

namespace {
const QStringList kTranslatedControlTypes = {"Label",        "CommandButton", "Frame",
                                             "OptionButton", "CheckBox",      "Menu"};
}

QString fromFileText(const QString& stored) {
    QString text = stored;
    return text.replace("/n", "\r\n");
}

// A bare "\r" or "\n" is a line break too; written as it is, it would split the entry's line.
QString toFileText(const QString& text) {
    QString stored = text;
    return stored.replace("\r\n", "/n").replace('\r', "/n").replace('\n', "/n");
}

Language::Language(platform::FileSystem& files, QString languageFile, QString languageSetting,
                   QString learningLanguage, LearningDialog* dialog, platform::Clock& clock)
    : files_(files),
      languageFile_(std::move(languageFile)),
      texts_(files_, languageFile_),
      languageSetting_(std::move(languageSetting)),
      learningLanguage_(std::move(learningLanguage)),
      dialog_(dialog),
      clock_(clock) {}

QString Language::Translate(QString& token) {
    if (token.isEmpty()) {
        return {};
    }
    const QString code = interfaceLanguage();
    const bool learnMode = languageSetting_.mid(2, 1).compare("L", Qt::CaseInsensitive) == 0;
    QString text = fromFileText(texts_.read(token, code, ""));
    // A language file written before a text was added lacks it: the updater's own German or
    // English text is shown unmarked and is not asked for. A translator of another language is
    // asked; without a translation, English serves such a language better than a marked token.
    if (text.isEmpty()) {
        text = builtInText(token, code);
    }
    if (learnMode && text.isEmpty()) {
        text = learn(code, token);
    }
    if (text.isEmpty()) {
        text = builtInText(token, QStringLiteral("EN"));
    }
    if (text.isEmpty()) {
        text = token + "!";
    }
    return text;
}

QString Language::interfaceLanguage() {
    const QString code = languageSetting_.left(2);
    const QString supported = texts_.read("LanguageSettings", "SupportedLanguages", "");
    return supported.contains(code, Qt::CaseSensitive) ? code : QStringLiteral("DE");
}

void Language::TranslateForm(FormCaptions& form) {
    form.caption = Translate(form.caption);
    for (ControlCaption& control : form.controls) {
        if (kTranslatedControlTypes.contains(control.typeName)) {
            QString token = control.caption;
            control.caption = Translate(token);
        }
    }
}

}  // namespace pelorix::i18n
