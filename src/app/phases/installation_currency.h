#pragma once

#include <QString>

namespace pelorix::app {

struct UpdateContext;

// A run with --if-needed, after the release check and before any service stops: true when the
// installation already is the release, so the run ends here having changed nothing. That needs
// a verified checksum list that every installed file matches, no old entry the replacement
// would remove, and a database the migration would not change. Says on the status box and in
// the debug log which it is, and why it cannot know without a trusted key.
bool installationIsCurrent(UpdateContext& ctx);

}  // namespace pelorix::app
