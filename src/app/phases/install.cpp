#include "app/phases/install.h"

#include "app/phases/download.h"
#include "app/phases/registrar.h"
#include "app/replacement/plan.h"
#include "app/replacement/transaction.h"
#include "app/run/status_output.h"
#include "app/run/update_context.h"
#include "app/run/waiter.h"
#include "platform/file_system.h"
#include "platform/program_start.h"

namespace pelorix::app {

namespace {

class Replacement {
  public:
    explicit Replacement(UpdateContext& ctx)
        : ctx_(ctx),
          files_(ctx.services.files),
          registrar_(findRegistrar(ctx.packagePlaces.privateProgramFolder, ctx.ownFolder)),
          journal_(ctx.settings.appPath, ctx.services.files),
          transaction_(journal_, replacementJournalTools(ctx)) {}

    RunOutcome run() {
        const bool done = begin() && unregisterLibraries() && removeOldFiles() &&
                          replaceLanguageFile() && installNewFiles() && registerLibraries();
        if (!done) {
            return outcome_;
        }
        transaction_.commit();
        return RunOutcome::Continue;
    }

  private:
    QString folder(InstallFolder folder) const {
        return folder == InstallFolder::SystemFolder ? ctx_.form.systemFolder
                                                     : ctx_.settings.appPath;
    }
    // The registrar is not case-blind: it gets the path as found on disk.
    QString libraryPath(const ComLibrary& library) const {
        return files_.resolve(ctx_.form.systemFolder + "/" + library.name.toString());
    }

    void openLine(const QString& translatedText) { ctx_.status.openStep(translatedText); }
    void closeLine() { ctx_.status.closeStep("OK"); }

    // The old release is restored before the user hears of the failure.
    bool failureExit() {
        if (transaction_.rollBack()) {
            // Every old file is back as it was: the installation's content did not change.
            ctx_.record.installedContentChanged = false;
        }
        outcome_ = ctx_.generalFailureExit();
        return false;
    }

    bool begin() {
        return transaction_.begin({ctx_.settings.appPath, ctx_.form.systemFolder},
                                  localReleaseFiles(ctx_)) ||
               failureExit();
    }

    bool unregisterLibraries() {
        openLine(ctx_.tr("Entferne Registrierung für DLL's ..."));
        for (const ComLibrary& library : plan::kComLibraries) {
            if (!transaction_.recordUnregistration(libraryPath(library))) {
                return failureExit();
            }
            if (!startRegistrar({libraryPath(library), "/u", "/s"},
                                library.unregistrationErrorMode)) {
                return false;
            }
        }
        closeLine();
        // The only time the registrars get before their libraries are deleted.
        ctx_.waiter.WaitSeconds(2);
        return true;
    }

    bool registerLibraries() {
        openLine(ctx_.tr("Registriere neue DLL's ..."));
        for (const ComLibrary& library : plan::kComLibraries) {
            if (!registerLibrary(libraryPath(library))) {
                return failureExit();
            }
        }
        closeLine();
        return true;
    }

    // The registrar is awaited: a library it did not register is a failed step.
    bool registerLibrary(const QString& library) {
        if (!transaction_.recordRegistration(library)) {
            return false;
        }
        const QStringList argv{registrar_, library, "/s"};
        const platform::Fallible<int> status = ctx_.services.programs.runToEnd(argv);
        if (!status) {
            ctx_.log("Error starting " + argv.join(' ') + ": " + status.reason());
        } else if (*status != 0) {
            ctx_.log(
                QStringLiteral("Error registering %1: exit status %2").arg(library).arg(*status));
        }
        return status == 0;
    }

    // The library path stays one argument, whatever blanks it holds.
    bool startRegistrar(const QStringList& arguments, ErrorMode errorMode) {
        const QStringList argv = QStringList{registrar_} + arguments;
        const platform::Outcome started = ctx_.services.programs.start(argv);
        if (started) {
            return true;
        }
        ctx_.log("Error starting " + argv.join(' ') + ": " + started.reason());
        return errorMode == ErrorMode::Skip || failureExit();
    }

    bool removeOldFiles() {
        for (const RemovalStep& step : plan::kRemovalSteps) {
            openLine(ctx_.tr(step.statusText.toString()));
            for (const RemovalRow& row : step.rows) {
                if (!remove(row)) {
                    return false;
                }
            }
            closeLine();
        }
        return true;
    }

    // The translation of the new line is taken while the old language file can still be read:
    // between its removal and the move of the new one there is no language file to look in.
    bool replaceLanguageFile() {
        const QString installText = ctx_.tr("Installiere neue Sprachdatei ...");
        openLine(ctx_.tr("Entferne alte Sprachdatei ..."));
        if (!remove(plan::kOldLanguageFile)) {
            return false;
        }
        closeLine();
        openLine(installText);
        if (!install(*plan::kNewLanguageFile)) {
            return false;
        }
        closeLine();
        return true;
    }

    bool installNewFiles() {
        for (const InstallStep& step : plan::kInstallSteps) {
            openLine(ctx_.tr(step.statusText.toString()));
            for (const ReleaseComponent* component : step.components) {
                if (!install(*component)) {
                    return false;
                }
            }
            if (step.waitBeforeClosing) {
                ctx_.waiter.WaitSeconds(1);
            }
            closeLine();
        }
        return true;
    }

    bool remove(const RemovalRow& row) {
        const QString path = folder(row.folder) + "/" + row.name.toString();
        for (platform::Outcome removed = tryRemove(path, row.kind); !removed;
             removed = tryRemove(path, row.kind)) {
            ctx_.log("Error deleting " + path + ": " + removed.reason());
            switch (row.errorMode) {
                case ErrorMode::Skip:
                    return true;
                case ErrorMode::FailureExit:
                    return failureExit();
                case ErrorMode::RetryOnce:
                    if (!allowRetry()) {
                        return false;
                    }
                    break;
            }
        }
        return true;
    }

    // A missing entry counts as removed; a folder is removed as far as it can be.
    platform::Outcome tryRemove(const QString& path, EntryKind kind) {
        if (kind == EntryKind::Folder) {
            return files_.entryExists(path) ? transaction_.removeFolder(path)
                                            : platform::Outcome::success();
        }
        return files_.normalFileExists(path) ? transaction_.removeFile(path)
                                             : platform::Outcome::success();
    }

    // The retry counter belongs to the whole run: the second failure of a retried step ends it,
    // on whichever file.
    bool allowRetry() {
        ++retryCount_;
        if (retryCount_ >= 2) {
            return failureExit();
        }
        ctx_.ui.setMousePointer(MousePointer::Default);
        ctx_.message(ctx_.trLines({"Der PelorixService konnte nicht deinstalliert werden.",
                                   "Bitte prüfen Sie, ob alle Meldungsfenster vom Service "
                                   "geschlossen sind, bevor Sie dieses Fenster bestätigen.",
                                   "Der Vorgang wird nun ein mal wiederholt."},
                                  "\r"));
        ctx_.ui.setMousePointer(MousePointer::Wait);
        return true;
    }

    bool install(const ReleaseComponent& component) {
        const QString from = component.temporaryPath(ctx_.settings.appPath);
        const QString to = folder(component.installFolder) + "/" + component.fileName.toString();
        const platform::Outcome moved = transaction_.install(from, to);
        if (moved) {
            return true;
        }
        ctx_.log("Error moving " + from + " to " + to + ": " + moved.reason());
        return failureExit();
    }

    UpdateContext& ctx_;
    platform::FileSystem& files_;
    const QString registrar_;
    ReplacementJournal journal_;
    ReplacementTransaction transaction_;
    qint16 retryCount_ = 0;
    RunOutcome outcome_ = RunOutcome::GeneralFailure;
};

}  // namespace

JournalTools replacementJournalTools(const UpdateContext& ctx) {
    return {ctx.services.files, ctx.services.programs,
            findRegistrar(ctx.packagePlaces.privateProgramFolder, ctx.ownFolder),
            [&ctx](const QString& message) { ctx.log(message); }};
}

void showRecovery(UpdateContext& ctx, Recovery recovery) {
    if (recovery == Recovery::Restored) {
        ctx.status.showLine(
            ctx.tr("Die vorherige Version wurde nach einem abgebrochenen "
                   "Update wiederhergestellt."));
    } else if (recovery == Recovery::Failed) {
        ctx.status.showLine(
            ctx.tr("Die vorherige Version konnte nicht vollständig wiederhergestellt werden."));
    }
}

RunOutcome runReplacement(UpdateContext& ctx) {
    return Replacement(ctx).run();
}

}  // namespace pelorix::app
