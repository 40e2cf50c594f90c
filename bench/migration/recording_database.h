#pragma once

#include "platform/database.h"

#include <QString>
#include <QStringList>

namespace pelorix::bench {

// Passes every call on to the real database and keeps the statement that SQLite itself
// receives for it, so that the sqlite3 shell can run the very same statements.
class RecordingDatabase : public platform::Database {
  public:
    explicit RecordingDatabase(platform::Database& target) : target_(target) {}

    platform::DbResult execute(const QString& connection, const QString& statement) override;
    platform::QueryResult query(const QString& connection, const QString& statement) override;
    platform::DbResult appendRow(const QString& connection, const QString& table,
                                 const std::vector<platform::FieldValue>& values) override;

    const QStringList& sqliteStatements() const { return statements_; }
    void clear() { statements_.clear(); }

  private:
    platform::Database& target_;
    QStringList statements_;
};

}  // namespace pelorix::bench
