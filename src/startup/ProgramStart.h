#pragma once

#include "ch341/LinuxConverterLibrary.h"
#include "startup/ProgramPlaces.h"

namespace startup {

// The one start-up of the window and the command line: the places of the running executable
// settled, the settings file's [ports] map, and this machine's converter layer, which tells
// every serial port of a link the device its name stands for.
class TProgramStart {
public:
    TProgramStart();

    const TProgramPlaces& Places() const { return places_; }
    const ch341::TPortMap& Ports() const { return ports_; }
    ch341::TConverterLibrary& Converter() { return converter_; }

private:
    TProgramPlaces places_;
    ch341::TPortMap ports_;
    ch341::TLinuxConverterLibrary converter_;
};

} // namespace startup
