#pragma once

#include "app/run/form_model.h"
#include "app/run/outcome.h"
#include "app/run/record.h"
#include "app/run/release_trust.h"
#include "app/run/update_limits.h"
#include "app/run/user_interface.h"
#include "platform/package_places.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace pelorix::platform {
class Clock;
class Database;
class FileSystem;
class HttpClient;
class ProcessTable;
class ProgramStarter;
}  // namespace pelorix::platform

namespace pelorix::i18n {
class Language;
}

namespace pelorix::xmlstore {
class XmlStore;
}

namespace pelorix::app {

class DebugLog;
class StatusOutput;
class Waiter;

// The outside world of the update procedure, replaceable in tests.
struct UpdateServices {
    platform::FileSystem& files;
    platform::ProgramStarter& programs;
    platform::ProcessTable& processes;
    platform::Clock& clock;
    platform::Database& database;
    platform::HttpClient& http;
    // Clients with connections of their own for downloads side by side; without it every file
    // is fetched through `http`, one after the other.
    std::function<std::unique_ptr<platform::HttpClient>()> newHttpClient{};
};

// Everything one press of the update button works with.
struct UpdateContext {
    FormModel& form;
    const ProgramSettings& settings;
    UserInterface& ui;
    StatusOutput& status;
    DebugLog& debugLog;
    Waiter& waiter;
    i18n::Language& language;
    xmlstore::XmlStore& xml;
    UpdateServices services;
    QString updateServerBase;
    QString ownFolder;
    QString controlDocument;
    UpdateLimits limits{};
    platform::PackagePlaces packagePlaces{};
    // What the release check of this run found; empty until it ran.
    std::optional<ReleaseTrust> release{};
    // After a successful update, both services are asked to run again.
    bool startServices = false;
    // An installation that already is the release is left as it is (see installationIsCurrent).
    bool onlyIfNeeded = false;
    // What the run did, for its report.
    RunRecord record{};
    // The signal that asked a headless run to stop, 0 while none has; a window run is never asked.
    std::function<int()> interruptionRequest{};

    int interruption() const { return interruptionRequest ? interruptionRequest() : 0; }

    // Translate of a copy: the caller's literal stays as it is.
    QString tr(const QString& token) const;
    // Sentences translated one by one in reading order (learn mode asks for them in that order)
    // and joined by the line break; an empty token stands for an empty line.
    QString trLines(const QStringList& tokens, const QString& lineBreak) const;
    // A trace line of the procedure, written only when tracing is on.
    void log(const QString& message) const;
    MessageAnswer message(const QString& text, MessageButtons buttons = MessageButtons::Ok) const;
    // Message box, default mouse pointer, end of the procedure.
    RunOutcome generalFailureExit() const;
    // The run stops where a re-run completes it: a message, default mouse pointer, and the debug
    // log names the step (`where`).
    RunOutcome interruptedExit(const QString& where) const;
};

}  // namespace pelorix::app
