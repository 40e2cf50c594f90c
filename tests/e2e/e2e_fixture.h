#pragma once

#include "expected_output.h"
#include "inspection.h"
#include "sandbox.h"
#include "support/qt_print.h"

#include <gtest/gtest.h>

#include <QMap>

namespace pelorix::e2e {

// A test of the built updater on a sandbox installation with the supervisor and the update
// server running (unless a test stops them).
class EndToEnd : public ::testing::Test {
  protected:
    void SetUp() override;

    // The run went through the whole update: status 0, the status box and the two messages of
    // a full run, the new release installed and registered, the database migrated.
    void expectCompleteUpdate(const RunResult& run, Texts texts, int columns, int deviceTypes,
                              int tables);
    // Of two runs of one installation at once, one updated it completely and the other ended
    // with 9 and the German message, having printed nothing.
    void expectOneUpdatedAndTheOtherEndedWithNine(const RunResult& a, const RunResult& b);
    // The installed files are those of the new release, the libraries registered.
    void expectNewReleaseInstalled();
    // Nothing of the old installation changed since SetUp.
    void expectOldInstallationUntouched();
    // The migration's changes are in the database: the fifteen device types unless
    // `printerTypesAdded` was cleared, the TonerLimits of 0 turned -1 unless
    // `tonerLimitsCorrected` was cleared.
    void expectDatabaseMigrated();

    // The updater's own command line for an unattended update.
    static QStringList unattended(const QStringList& more = {});

    Sandbox sandbox;
    bool printerTypesAdded = true;
    bool tonerLimitsCorrected = true;
    QMap<QString, QByteArray> release;       // the sixteen files of release/Updater as written
    QMap<QString, QByteArray> oldAppFolder;  // the program folder before the first run
    QMap<QString, QByteArray> oldSystemFolder;
};

}  // namespace pelorix::e2e
