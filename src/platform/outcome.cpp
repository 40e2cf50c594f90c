#include "platform/outcome.h"

#include <cstring>

namespace pelorix::platform {

Outcome Outcome::failureFromErrno(int error) {
    // The GNU strerror_r returns the text, which need not be in the buffer.
    char buffer[256] = {};
    return failure(QString::fromLocal8Bit(::strerror_r(error, buffer, sizeof buffer)));
}

}  // namespace pelorix::platform
