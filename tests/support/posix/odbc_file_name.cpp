#include "support/database_fixture.h"

namespace pelorix::test {

QString odbcDriverFileName(const QString& file) {
    return file;
}

}  // namespace pelorix::test
