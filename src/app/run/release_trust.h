#pragma once

#include "files/release_verification.h"

#include <QString>

#include <optional>

namespace pelorix::app {

// Whether the release on the server (or in the local folder) is one the updater may install.
struct ReleaseTrust {
    enum class State {
        NoKey,        // no trusted key: the release is installed unverified, as always
        KeyUnusable,  // a key file exists but is no minisign public key
        Refused,      // the checksum list or its signature is missing, wrong or too old
        Verified,     // every file must match `manifest`
    };
    State state = State::NoKey;
    QString keyPath;
    QString reason;  // why the key is unusable or the release refused
    std::optional<files::VerifiedManifest> manifest;
};

}  // namespace pelorix::app
