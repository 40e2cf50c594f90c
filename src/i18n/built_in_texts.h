#pragma once

#include <QString>
#include <QStringView>

#include <array>

namespace pelorix::i18n {

// A text this updater shows beyond the original set: its token (the German text) and its
// English text. Language files written for the original updater lack these.
struct BuiltInText {
    QStringView german;
    QStringView english;
};

// A new text shown to the user belongs here too, and in the demo language file.
inline constexpr std::array<BuiltInText, 9> kBuiltInTexts{{
    {u"Ein anderes Update dieser Installation läuft bereits.",
     u"Another update of this installation is running."},
    {u"Das Update wurde unterbrochen.", u"The update was interrupted."},
    {u"Führen Sie das Update erneut aus, um es abzuschließen.",
     u"Run the update again to complete it."},
    {u"Die vorherige Version wurde nach einem abgebrochenen Update wiederhergestellt.",
     u"The previous version was restored after an interrupted update."},
    {u"Die vorherige Version konnte nicht vollständig wiederhergestellt werden.",
     u"The previous version could not be restored completely."},
    {u"Starte den PelorixService", u"Starting PelorixService"},
    {u"Starte den HavrelService", u"Starting HavrelService"},
    {u"Der PelorixService konnte nicht gestartet werden.", u"PelorixService could not be started."},
    {u"Der HavrelService konnte nicht gestartet werden.", u"HavrelService could not be started."},
}};

// The built-in text of a token in the language `code`: German for "DE", English for "EN";
// empty for any other language and for a token of the original set.
QString builtInText(const QString& token, const QString& code);

}  // namespace pelorix::i18n
