#include "app/run/update_context.h"
#include "platform/file_system.h"
