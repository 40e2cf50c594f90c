#pragma once

#include <QString>

namespace pelorix::platform {

// The embedded database plays the Jet engine, so a column declared with a Jet type has to
// behave as that type. SQLite would give "string (50)", "date" and "counter" numeric affinity
// and turn a text such as '0042' into the number 42. This rewrites the type of every column
// definition in CREATE TABLE and ALTER TABLE … ADD/ALTER COLUMN statements (Jet's names in any
// case) into a SQLite declaration of the same meaning:
//   counter [(seed, step)] -> INTEGER PRIMARY KEY AUTOINCREMENT (INTEGER when the column
//                             already says PRIMARY KEY)
//   integer -> INTEGER, string -> VARCHAR (length kept), MEMO -> TEXT, yesno -> BOOLEAN,
//   date -> DATETIME, and "WITH COMPRESSION" / "WITH COMP" is dropped.
// Names, defaults, literals and every other statement pass unchanged.
QString jetTypesToSqlite(const QString& statement);

// Jet compares text without regard to case, SQLite by its bytes: a text literal compared with
// =, <>, <, >, <= or >= gets COLLATE NOCASE, so that WHERE Field = 'Version' finds 'VERSION'.
QString jetComparisonsToSqlite(const QString& statement);

}  // namespace pelorix::platform
