#pragma once

#include "platform/database.h"

#include <QStringList>

#include <functional>
#include <vector>

namespace pelorix::test {

// A database that records what it is asked and answers as the test scripts it.
class RecordingDatabase : public platform::Database {
  public:
    struct Call {
        QString kind;  // "execute", "query" or "append"
        QString connection;
        QString text;  // the statement, or the table of an append
        std::vector<platform::FieldValue> values;
    };

    std::function<platform::QueryResult(const QString&)> onQuery = [](const QString&) {
        return platform::QueryResult{false, "Invalid object name.", {}, {}};
    };
    std::function<platform::DbResult(const QString&)> onExecute = [](const QString&) {
        return platform::DbResult{true, {}};
    };

    platform::DbResult execute(const QString& connection, const QString& statement) override {
        calls.push_back({"execute", connection, statement, {}});
        return onExecute(statement);
    }
    platform::QueryResult query(const QString& connection, const QString& statement) override {
        calls.push_back({"query", connection, statement, {}});
        return onQuery(statement);
    }
    platform::DbResult appendRow(const QString& connection, const QString& table,
                                 const std::vector<platform::FieldValue>& values) override {
        calls.push_back({"append", connection, table, values});
        return {true, {}};
    }

    QStringList texts() const {
        QStringList result;
        for (const Call& call : calls) {
            result << call.kind + ": " + call.text;
        }
        return result;
    }

    std::vector<Call> calls;
};

}  // namespace pelorix::test
