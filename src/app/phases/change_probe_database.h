#pragma once

#include "app/phases/listing_database.h"

#include <QStringList>

namespace pelorix::app {

// The database of a run that only asks whether the migration would change anything: every
// question goes to the real database, no change reaches it. A statement that would change
// something is kept in changes(); an UPDATE that matches no row, an index that exists already
// and a column alteration (which the database cannot tell from one to the type it has) are not.
class ChangeProbeDatabase : public ListingDatabase {
  public:
    ChangeProbeDatabase(platform::Database& real, bool sqlServer)
        : ListingDatabase(real), sqlServer_(sqlServer) {}

    void beginRun(const platform::DatabaseLimits& limits) override { real().beginRun(limits); }
    platform::DbResult execute(const QString& connectionString, const QString& statement) override;

    const QStringList& changes() const { return statements(); }

  private:
    // False only when the real database says the statement would change nothing; a question it
    // cannot answer counts as a change.
    bool wouldChange(const QString& connectionString, const QString& statement);
    bool updateMatchesRows(const QString& connectionString, const QString& statement);
    bool indexIsMissing(const QString& connectionString, const QString& statement);

    bool sqlServer_;
};

}  // namespace pelorix::app
