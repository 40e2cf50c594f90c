#pragma once

#include "app/run/update_context.h"
#include "platform/database.h"
#include "platform/http_client.h"
#include "platform/program_start.h"

namespace pelorix::app {

class UserInterface;

// The services whose calls can block for long (a download, a database statement, starting the
// registrar), each call handed to the front end's runBlocking so that a window keeps painting
// while it waits. The calls themselves, their order and their results are those of the
// services given.
class BlockingServices {
  public:
    BlockingServices(UpdateServices services, UserInterface& ui);
    BlockingServices(const BlockingServices&) = delete;
    BlockingServices& operator=(const BlockingServices&) = delete;

    // The given services with the blocking ones wrapped.
    UpdateServices services();

  private:
    class Http final : public platform::HttpClient {
      public:
        Http(platform::HttpClient& inner, UserInterface& ui) : inner_(inner), ui_(ui) {}
        platform::HttpResult get(const QString& url, const platform::HttpLimits& limits,
                                 const platform::BodySink& sink) override;
        platform::HttpResult getFrom(const QString& url, const platform::HttpLimits& limits,
                                     const platform::HttpContinuation& from,
                                     const platform::BodyStartSink& start,
                                     const platform::BodySink& sink) override;
        platform::HttpSizeResult size(const QString& url,
                                      const platform::HttpLimits& limits) override;

      private:
        platform::HttpClient& inner_;
        UserInterface& ui_;
    };

    class Database final : public platform::Database {
      public:
        Database(platform::Database& inner, UserInterface& ui) : inner_(inner), ui_(ui) {}
        platform::DbResult execute(const QString& connection, const QString& statement) override;
        platform::QueryResult query(const QString& connection, const QString& statement) override;
        platform::QueryResult columns(const QString& connection, const QString& statement) override;
        platform::DbResult appendRow(const QString& connection, const QString& table,
                                     const std::vector<platform::FieldValue>& values) override;

      private:
        platform::Database& inner_;
        UserInterface& ui_;
    };

    class Programs final : public platform::ProgramStarter {
      public:
        Programs(platform::ProgramStarter& inner, UserInterface& ui) : inner_(inner), ui_(ui) {}
        platform::Outcome start(const QStringList& argv) override;
        platform::Fallible<int> runToEnd(const QStringList& argv) override;

      private:
        platform::ProgramStarter& inner_;
        UserInterface& ui_;
    };

    UpdateServices inner_;
    Http http_;
    Database database_;
    Programs programs_;
};

}  // namespace pelorix::app
