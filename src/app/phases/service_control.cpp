#include "app/phases/service_control.h"

#include "app/run/update_context.h"
#include "platform/clock.h"
#include "xmlstore/xml_store.h"

#include <chrono>

namespace pelorix::app {

const SupervisedService kPelorixServiceEntry{
    "PelorixService",
    R"(processes/process[@name="PelorixService"]/targetstatus)",
    R"(processes/process[@name="PelorixService"]/currentstatus)",
};

const SupervisedService kHavrelServiceEntry{
    "HavrelService",
    R"(processes/process[@name="HavrelService"]/targetstatus)",
    R"(processes/process[@name="HavrelService"]/currentstatus)",
};

namespace {

constexpr std::chrono::milliseconds kPollInterval{10};

// Measured on a monotonic clock: a clock change (the end of daylight saving) must neither end
// the wait at once nor stretch it.
class StopDeadline {
  public:
    explicit StopDeadline(const UpdateContext& ctx)
        : clock_(ctx.services.clock),
          end_(clock_.monotonicNow() + std::chrono::seconds(ctx.limits.stopTimeoutSeconds)) {}
    bool passed() const { return clock_.monotonicNow() >= end_; }

  private:
    const platform::Clock& clock_;
    std::chrono::steady_clock::time_point end_;
};

// The document as it is now; one that does not parse is read again, as the poll does: the
// supervising service may be rewriting it this moment.
bool loadDocument(UpdateContext& ctx, const QString& document) {
    const StopDeadline deadline(ctx);
    for (platform::Outcome loaded = ctx.xml.XMLLoadFile(document); !loaded;
         loaded = ctx.xml.XMLLoadFile(document)) {
        if (deadline.passed()) {
            logControlDocumentFailure(ctx, "loading", document, loaded.reason());
            return false;
        }
        ctx.services.clock.sleepFor(kPollInterval);
        ctx.ui.processEvents();
    }
    return true;
}

// A document that cannot be read or parsed (say, while it is rewritten) says nothing.
bool reportsStatus(UpdateContext& ctx, const QString& document, const SupervisedService& service,
                   const QString& status, const QString& missing) {
    return ctx.xml.XMLLoadFile(document) &&
           ctx.xml.XMLGetValue(service.currentPath, missing) == status;
}

}  // namespace

void logControlDocumentFailure(const UpdateContext& ctx, const QString& action,
                               const QString& document, const QString& reason) {
    ctx.log("Error " + action + " the control document " + document + ": " + reason);
}

bool requestTargetStatus(UpdateContext& ctx, const QString& document,
                         const SupervisedService& service, const QString& status) {
    if (!loadDocument(ctx, document)) {
        return false;
    }
    const QString before = ctx.xml.XMLGetValue(service.targetPath, "");
    ctx.xml.XMLSetValue(service.targetPath, status);
    if (const platform::Outcome saved = ctx.xml.XMLSave(""); !saved) {
        logControlDocumentFailure(ctx, "saving", document, saved.reason());
        return false;
    }
    // A service the document does not list keeps what it had: nothing could be stored.
    ctx.record.noteTargetStatus(service.name, before, ctx.xml.XMLGetValue(service.targetPath, ""));
    return true;
}

bool awaitCurrentStatus(UpdateContext& ctx, const QString& document,
                        const SupervisedService& service, const QString& status,
                        const QString& missing) {
    const StopDeadline deadline(ctx);
    bool reached = false;
    do {
        reached = reportsStatus(ctx, document, service, status, missing);
        ctx.services.clock.sleepFor(kPollInterval);
        ctx.ui.processEvents();
    } while (!reached && !deadline.passed());
    return reached;
}

}  // namespace pelorix::app
