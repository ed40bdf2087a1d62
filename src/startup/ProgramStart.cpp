#include "startup/ProgramStart.h"

#include "ch341/PortMap.h"

namespace startup {

TProgramStart::TProgramStart() : places_(Settle(ExecutableFolder())) {
    ch341::InstallPortMapping();
}

} // namespace startup
