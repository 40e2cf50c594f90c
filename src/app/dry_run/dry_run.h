#pragma once

#include "app/release/trust.h"
#include "app/run/record.h"

#include <QString>

#include <chrono>
#include <functional>
#include <optional>
#include <vector>

namespace pelorix::app {

struct ReleaseComponent;
struct UpdateContext;

// Prints one line of the plan.
using PlanPrinter = std::function<void(const QString&)>;

// Checks everything an unattended run needs and changes nothing anywhere: no write to the
// control document, the database, the program or system folder, the registrar's registry or
// the debug log. The plan is printed line by line; the checks and what a real run would do are
// noted in the context's record.
class DryRun {
  public:
    DryRun(UpdateContext& ctx, PlanPrinter print);

    // 0 when a real run is expected to succeed, otherwise the status it would end with.
    int run();
    // The plan's check lines, for the report.
    const std::vector<StatusLine>& lines() const { return lines_; }

  private:
    void checkProgramFolder();
    void checkMainProgram();
    void checkInstallationLock();
    void checkRelease();
    void checkControlDocument();
    void checkDatabase();
    bool checkDatabaseReachable();
    void checkDatabaseWritable(const QString& file);
    void listMigration();
    void checkFiles();
    // The SHA-256 the verified checksum list gives the file; empty without one.
    QByteArray listedDigest(const QString& fileName) const;
    void checkLocalFile(const QString& folder, const ReleaseComponent& component);
    void checkServerFile(const ReleaseComponent& component);
    void checkFolders();
    void checkFreeSpace();
    void checkRegistrar();

    // A line of the plan with its verdict; a failed check sets the expected status unless an
    // earlier step of the real run fails first.
    void check(const QString& subject, bool ok, const QString& detail, int failureStatus);
    // A line of the plan without a verdict.
    void note(const QString& subject, const QString& detail);
    void print(const QString& subject, const QString& verdict, const QString& detail,
               std::optional<QString> result);

    UpdateContext& ctx_;
    PlanPrinter print_;
    std::vector<StatusLine> lines_;
    std::chrono::steady_clock::time_point lineStarted_;
    ReleaseTrust release_;
    qint64 bytesNeeded_ = 0;
    int status_ = 0;
};

}  // namespace pelorix::app
