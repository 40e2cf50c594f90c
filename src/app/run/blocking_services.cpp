#include "app/run/blocking_services.h"

#include "app/run/user_interface.h"

#include <optional>
#include <utility>

namespace pelorix::app {
namespace {

// The result of work handed to the front end's runBlocking.
template <typename Work>
auto runBlocking(UserInterface& ui, Work work) -> decltype(work()) {
    std::optional<decltype(work())> result;
    ui.runBlocking([&] { result.emplace(work()); });
    return std::move(*result);
}

}  // namespace

BlockingServices::BlockingServices(UpdateServices services, UserInterface& ui)
    : inner_(services),
      http_(services.http, ui),
      database_(services.database, ui),
      programs_(services.programs, ui) {}

UpdateServices BlockingServices::services() {
    // The clients of side-by-side downloads run on threads of their own already.
    return {inner_.files, programs_, inner_.processes,    inner_.clock,
            database_,    http_,     inner_.newHttpClient};
}

platform::HttpResult BlockingServices::Http::get(const QString& url,
                                                 const platform::HttpLimits& limits,
                                                 const platform::BodySink& sink) {
    return runBlocking(ui_, [&] { return inner_.get(url, limits, sink); });
}

platform::HttpResult BlockingServices::Http::getFrom(const QString& url,
                                                     const platform::HttpLimits& limits,
                                                     const platform::HttpContinuation& from,
                                                     const platform::BodyStartSink& start,
                                                     const platform::BodySink& sink) {
    return runBlocking(ui_, [&] { return inner_.getFrom(url, limits, from, start, sink); });
}

platform::HttpSizeResult BlockingServices::Http::size(const QString& url,
                                                      const platform::HttpLimits& limits) {
    return runBlocking(ui_, [&] { return inner_.size(url, limits); });
}

platform::DbResult BlockingServices::Database::execute(const QString& connection,
                                                       const QString& statement) {
    return runBlocking(ui_, [&] { return inner_.execute(connection, statement); });
}

platform::QueryResult BlockingServices::Database::query(const QString& connection,
                                                        const QString& statement) {
    return runBlocking(ui_, [&] { return inner_.query(connection, statement); });
}

platform::QueryResult BlockingServices::Database::columns(const QString& connection,
                                                          const QString& statement) {
    return runBlocking(ui_, [&] { return inner_.columns(connection, statement); });
}

platform::DbResult BlockingServices::Database::appendRow(
    const QString& connection, const QString& table,
    const std::vector<platform::FieldValue>& values) {
    return runBlocking(ui_, [&] { return inner_.appendRow(connection, table, values); });
}

platform::Outcome BlockingServices::Programs::start(const QStringList& argv) {
    return runBlocking(ui_, [&] { return inner_.start(argv); });
}

platform::Fallible<int> BlockingServices::Programs::runToEnd(const QStringList& argv) {
    return runBlocking(ui_, [&] { return inner_.runToEnd(argv); });
}

}  // namespace pelorix::app
