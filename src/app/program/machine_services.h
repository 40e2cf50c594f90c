#pragma once

#include "app/run/update_context.h"
#include "platform/database/database_qtsql.h"

namespace pelorix::app {

struct Installation;

// The services of this machine, its databases reached as the installation says.
class MachineServices {
  public:
    explicit MachineServices(const Installation& installation);
    MachineServices(const MachineServices&) = delete;
    MachineServices& operator=(const MachineServices&) = delete;

    UpdateServices services();

  private:
    platform::QtSqlDatabase database_;
};

}  // namespace pelorix::app
