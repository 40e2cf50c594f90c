#pragma once

#include "platform/outcome.h"

#include <QByteArray>
#include <QString>

namespace pelorix::platform {

// Appends to a file (created when missing) and returns only once the bytes, and a newly created
// file's entry in its folder, are on the disk: a journal line written this way survives a crash.
Outcome appendDurably(const QString& path, const QByteArray& bytes);

}  // namespace pelorix::platform
