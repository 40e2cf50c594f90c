#pragma once

#include <QString>

namespace pelorix::app {

struct UpdateContext;

// A service as the control document of the supervising service names it.
struct SupervisedService {
    const char* name;
    const char* targetPath;
    const char* currentPath;
};

extern const SupervisedService kPelorixServiceEntry;
extern const SupervisedService kHavrelServiceEntry;

// A service's step in the phase that stops or starts it: the status line, the message when the
// service does not follow, and the debug-log entry for that.
struct ServiceStep {
    const char* stepText;
    const SupervisedService& service;
    const char* failureText;
    const char* logText;
};

inline const QString kServiceStopped = QStringLiteral("0");
inline const QString kServiceRunning = QStringLiteral("1");

// The debug-log entry of a failed action ("loading", "saving") on the document, with its reason.
void logControlDocumentFailure(const UpdateContext& ctx, const QString& action,
                               const QString& document, const QString& reason);

// Writes the service's target status into the document and saves it. A document that does not
// parse is read again for as long as a service is given to change, then left alone rather than
// replaced by an empty one: it belongs to the supervising service.
bool requestTargetStatus(UpdateContext& ctx, const QString& document,
                         const SupervisedService& service, const QString& status);

// Polls the document until the service's current status reads `status` (one missing from the
// document reads `missing`), for at most the time a service is given to stop.
bool awaitCurrentStatus(UpdateContext& ctx, const QString& document,
                        const SupervisedService& service, const QString& status,
                        const QString& missing);

}  // namespace pelorix::app
