#include "app/phases/release_check.h"

#include "app/phases/download_error.h"
#include "app/release/trust.h"
#include "app/run/update_context.h"

namespace pelorix::app {
namespace {

RunOutcome refuseRelease(UpdateContext& ctx, const QString& reason) {
    ctx.log("Release refused (key " + ctx.release->keyPath + "): " + reason);
    ShowDownloadError(ctx, reason);
    return RunOutcome::DownloadError;
}

}  // namespace

RunOutcome runReleaseCheck(UpdateContext& ctx) {
    ctx.release = checkReleaseTrust(ctx);
    const ReleaseTrust& trust = *ctx.release;
    switch (trust.state) {
        case ReleaseTrust::State::NoKey:
            ctx.log("Release not verified: no trusted release key.");
            return RunOutcome::Continue;
        case ReleaseTrust::State::KeyUnusable:
            ctx.log("The release key " + trust.keyPath + " is unusable: " + trust.reason);
            return ctx.generalFailureExit();
        case ReleaseTrust::State::Refused:
            return refuseRelease(ctx, trust.reason);
        case ReleaseTrust::State::Verified:
            break;
    }
    QString error;
    if (!rememberAcceptedRelease(ctx, trust, error)) {
        return refuseRelease(ctx, error);
    }
    ctx.log(QStringLiteral("Release checksum list verified with key %1 (timestamp %2).")
                .arg(trust.keyPath)
                .arg(trust.manifest->timestamp));
    return RunOutcome::Continue;
}

}  // namespace pelorix::app
