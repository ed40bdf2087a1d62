#pragma once

#include "ch341/ConverterLibrary.h"

#include <map>
#include <string>

// A converter library whose converter ports are the pseudo-terminals a test registers. The port
// mapping of the serial component is pointed at them while the fake lives.
class FakeConverter : public ch341::TConverterLibrary {
public:
    void AddPort(int n, const std::string& path) { ports[n] = path; }
    void RemovePort(int n) { ports.erase(n); }

    bool CH341PtNameIsCH341(const std::string& portName) override;
    std::string PortPath(const std::string& portName) override;
    void CH341PtSetDevNotify(const char* deviceName, ch341::TDevNotifyRoutine routine) override;

    std::map<int, std::string> ports;
    ch341::TDevNotifyRoutine routine = nullptr;
    int notifyRequests = 0;
    int notifyCancels = 0;
};
