#include "startup/ProgramStart.h"

namespace startup {

TProgramStart::TProgramStart()
    : places_(Settle(ExecutableFolder())), ports_(places_.settingsFile), converter_(ports_) {}

} // namespace startup
