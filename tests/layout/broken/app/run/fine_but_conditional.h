#ifdef _WIN32
#endif
#include "files/downloader.h"
