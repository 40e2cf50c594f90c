#include <unistd.h>
#include <QString>
