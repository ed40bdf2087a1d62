#include "startup/ProgramStart.h"

#include "ch341/PortMap.h"
#include "config/Config.h"

namespace startup {

TProgramStart::TProgramStart() : places_(Settle(config::ExecutableFolder())) {
    ch341::InstallPortMapping();
}

} // namespace startup
