#pragma once

#include <cstdint>
#include <string>

namespace ch341 {

// Called with a value of 0 or more when a converter arrives and with -n when the converter of
// "COM"n is removed. It may be called on any thread.
using TDevNotifyRoutine = void (*)(int32_t value);

// What the program asks of the USB-serial converter's support library.
class TConverterLibrary {
public:
    virtual ~TConverterLibrary() = default;

    // True when the port "\\.\COM"n belongs to a CH341 converter that is present.
    virtual bool CH341PtNameIsCH341(const std::string& portName) = 0;
    // The device path a serial port named portName ("COM"n, or a path already) opens.
    virtual std::string PortPath(const std::string& portName) = 0;
    // With a routine: from now on report plugging and unplugging to it. With none and none:
    // stop reporting.
    virtual void CH341PtSetDevNotify(const char* deviceName, TDevNotifyRoutine routine) = 0;
};

} // namespace ch341
