#pragma once

#include <cstdio>

namespace pelorix::platform {

// Whether the stream is written to a terminal (a console), not to a file or a pipe.
bool isTerminal(FILE* stream);

}  // namespace pelorix::platform
