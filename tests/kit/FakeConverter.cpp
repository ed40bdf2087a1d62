#include "kit/FakeConverter.h"

#include "ch341/Ch341Recognition.h"
#include "serial/PortName.h"

std::string FakeConverter::PortPath(const std::string& name) {
    const auto it = ports.find(serial::ComPortNumber(name));
    return it != ports.end() ? it->second : serial::DefaultPortPath(name);
}

bool FakeConverter::CH341PtNameIsCH341(const std::string& portName) {
    return ports.count(ch341::ConverterPortNumber(portName)) > 0;
}

void FakeConverter::CH341PtSetDevNotify(const char*, ch341::TDevNotifyRoutine r) {
    routine = r;
    (r ? notifyRequests : notifyCancels)++;
}
