#include "support/database_fixture.h"

#include <sqlite3.h>

#include <mutex>

namespace pelorix::test {

// A connection of its own in this process: SQLite's file locks keep out every other connection,
// this process's included.
struct ExclusiveLock::Holder {
    std::mutex mutex;
    sqlite3* connection = nullptr;
};

ExclusiveLock::ExclusiveLock(const QString& file) : holder_(std::make_unique<Holder>()) {
    if (sqlite3_open_v2(file.toUtf8().constData(), &holder_->connection, SQLITE_OPEN_READWRITE,
                        nullptr) != SQLITE_OK) {
        release();
        return;
    }
    sqlite3_busy_timeout(holder_->connection, 5000);
    held_ = sqlite3_exec(holder_->connection, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) ==
            SQLITE_OK;
}

ExclusiveLock::~ExclusiveLock() {
    release();
}

void ExclusiveLock::release() {
    const std::lock_guard guard(holder_->mutex);
    if (holder_->connection != nullptr) {
        sqlite3_close(holder_->connection);  // ends the transaction
        holder_->connection = nullptr;
    }
}

}  // namespace pelorix::test
