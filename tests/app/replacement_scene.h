#pragma once

#include "app/run/update_context.h"
#include "app/update_harness.h"
#include "platform/program_start.h"
#include "support/expected_texts.h"
#include "support/forwarding_file_system.h"

#include <QMap>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace pelorix::test {

// The real file system, except that deletes of chosen file names fail a given number of times.
class FaultyFileSystem : public ForwardingFileSystem {
  public:
    platform::Outcome deleteFile(const QString& path) override;
    platform::Outcome moveFile(const QString& from, const QString& to) override;

    // File name -> how many of its next deletes fail.
    QMap<QString, int> deleteFailures;
    // Run before every delete and move, e.g. to look at the installation in the middle of the
    // phase.
    std::function<void(const QString& path)> beforeDelete;
    std::function<void(const QString& from, const QString& to)> beforeMove;
};

// Records program starts; a start for which `fails` answers true fails, a program run to its
// end for which `exitsWithError` answers true exits with 1.
class SelectiveProgramStarter : public platform::ProgramStarter {
  public:
    platform::Outcome start(const QStringList& argv) override {
        started.push_back(argv);
        if (fails && fails(argv)) {
            return platform::Outcome::failure("failing on purpose: " + argv.value(0));
        }
        return platform::Outcome::success();
    }
    platform::Fallible<int> runToEnd(const QStringList& argv) override {
        if (const platform::Outcome outcome = start(argv); !outcome) {
            return outcome;
        }
        return exitsWithError && exitsWithError(argv) ? 1 : 0;
    }
    std::vector<QStringList> started;
    std::function<bool(const QStringList& argv)> fails;
    std::function<bool(const QStringList& argv)> exitsWithError;
};

// The registrar's start for this library: unregistering ("/u" "/s") or registering ("/s").
std::function<bool(const QStringList&)> registrarStart(const QString& library, bool unregister);

// An installed old release beside the downloaded new one, in the harness's scratch folders.
// Old files hold "old <name>", new ones "new <name>" under their temporary names.
class ReplacementScene {
  public:
    ReplacementScene();

    // The harness context with this scene's file system and program starter.
    app::UpdateContext& context();

    void writeOldInstallation();
    void writeDownloadedFiles();
    // A language file whose every token of the phase translates to itself plus `mark`.
    QByteArray languageFile(const QString& mark) const;

    QString appFile(const QString& name) const { return harness.settings.appPath + "/" + name; }
    QString systemFile(const QString& name) const { return harness.form.systemFolder + "/" + name; }
    QString statusText() const { return harness.form.statusText; }
    QStringList messageTexts() const;

    UpdateHarness harness;
    FaultyFileSystem files;
    SelectiveProgramStarter programs;
    // What the context starts programs with; `programs` unless a test chooses another.
    platform::ProgramStarter* starter = &programs;

  private:
    std::unique_ptr<app::UpdateContext> context_;
};

// A closed status line of 40 characters.
QString closedLine(const QString& text, const QString& result = "OK");
QString readText(const QString& path);

}  // namespace pelorix::test
