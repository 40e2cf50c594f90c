#include "platform/outcome.h"

#include <system_error>

namespace pelorix::platform {

Outcome Outcome::failureFromErrno(int error) {
    // The C library's text for the number, thread-safe on every platform.
    return failure(QString::fromLocal8Bit(std::generic_category().message(error)));
}

}  // namespace pelorix::platform
