#pragma once

#include "release_signing.h"

#include <QString>
#include <QtGlobal>

namespace pelorix::tools {

// Lays out a release as the update server holds it: <folder>/Updater/ with the sixteen release
// files, each a few thousand bytes longer than the updater's minimum size for it, and
// <folder>/sources/PX_History.txt. Programs (".exe") are small shell scripts that say they ran.
// Language.ini is Windows-1252: the built-in language file, or `languageSource` (a UTF-8
// language file, for example the demo installation's) when given. A file of that name in
// `payloadFolder` (when given) is taken instead, lengthened to the size. Beside the sixteen files
// it writes SHA256SUMS and SHA256SUMS.minisig, signed with the key pair in `keyFolder` (created
// there when there is none) and the trusted `times`. False and `error` on failure.
bool writeDemoRelease(const QString& folder, const QString& languageSource,
                      const QString& payloadFolder, const QString& keyFolder,
                      const SignatureTimes& times, QString& error);

}  // namespace pelorix::tools
