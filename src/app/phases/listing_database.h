#pragma once

#include "platform/database.h"

#include <QStringList>

namespace pelorix::app {

// A database that changes nothing (the dry run's, the probe of --if-needed): every question goes
// to the real database, every change is only listed, as the database would receive it, and
// answered as if it had succeeded.
class ListingDatabase : public platform::Database {
  public:
    explicit ListingDatabase(platform::Database& real) : real_(real) {}

    platform::DbResult execute(const QString& connectionString, const QString& statement) override;
    platform::QueryResult query(const QString& connectionString, const QString& statement) override;
    platform::QueryResult columns(const QString& connectionString,
                                  const QString& statement) override;
    // Listed as the INSERT that stores the row.
    platform::DbResult appendRow(const QString& connectionString, const QString& table,
                                 const std::vector<platform::FieldValue>& values) override;

    const QStringList& statements() const { return statements_; }

  protected:
    platform::Database& real() { return real_; }

  private:
    platform::Database& real_;
    QStringList statements_;
};

}  // namespace pelorix::app
