#pragma once

#include "i18n/form_captions.h"
#include "platform/cached_profile.h"

#include <QString>

namespace pelorix::platform {
class Clock;
class FileSystem;
}  // namespace pelorix::platform

namespace pelorix::i18n {

class LearningDialog;

// Token translation through the language file; in learn mode a missing text is asked of a
// translator through the learning dialog and stored at once. The texts this updater added to the
// original set have built-in German and English texts for language files that lack them.
class Language {
  public:
    // Without a dialog, learn mode answers every question like "Translate Later".
    Language(platform::FileSystem& files, QString languageFile, QString languageSetting,
             QString learningLanguage, LearningDialog* dialog, platform::Clock& clock);

    // The text to show; in learn mode the token may come back edited.
    QString Translate(QString& token);
    void TranslateForm(FormCaptions& form);

    const QString& languageFile() const { return languageFile_; }
    // The code texts are looked up under: the setting's, or "DE" when the file does not list it.
    QString interfaceLanguage();

  private:
    QString learn(const QString& code, QString& token);

    platform::FileSystem& files_;
    QString languageFile_;
    // Read once; a text learned or a language file installed since is seen at the next lookup.
    platform::CachedProfile texts_;
    QString languageSetting_;
    QString learningLanguage_;
    LearningDialog* dialog_;
    platform::Clock& clock_;
};

// "/n" in the file is a line break ("\r\n") in memory.
QString fromFileText(const QString& stored);
QString toFileText(const QString& text);

}  // namespace pelorix::i18n
