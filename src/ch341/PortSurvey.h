#pragma once

#include "ch341/Ch341Recognition.h"
#include "ch341/PortMap.h"
#include "serial/OpenFailure.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// The ports a search would try and the converters it cannot reach, each with how it stands for
// this user and what to do about it: --list and the window's connection help show the same.
namespace ch341 {

// How a port stands for this user. The first six come from opening the device, the last three
// from a converter on the USB bus that the search cannot reach.
enum class PortStatus {
    Opens,
    NoPermission, // EACCES, EPERM
    Held,         // another program has it
    Missing,      // no such device
    NotSerial,    // opens, but is no terminal device
    OpenFailed,   // any other reason, in osError
    NoTty,        // a converter without a tty
    NoDeviceNode, // a tty without its /dev node
    BeyondSearch, // a tty beyond COM21
};

struct TPortState {
    PortStatus status = PortStatus::Opens;
    int osError = 0;                   // errno of the open, 0 when it opened
    serial::TOpenFailureFacts facts{}; // a failed open: group, holders
    QString usbDevice{};               // NoTty: the converter's USB device ("1-2")
    bool brlttyInstalled = false;      // NoTty: the braille daemon may have taken it
};

// What makes a port a converter's.
enum class PortSource { PortMap, Ch341Driver, UsbBus };

// The handshake on a port (--list --probe).
struct TProbeResult {
    enum class Outcome { Answered, Silent, Failed };
    Outcome outcome = Outcome::Silent;
    std::optional<uint16_t> firmware{}; // Answered: the version the query sequence reported
    QString error{};                    // Failed: the serial component's text
};

// One port: a port the search would try, or a converter that no port reaches.
struct TPortReport {
    int comNumber = 0; // the n of COMn; 0 when no COM number belongs to it
    QString path{};    // the device the port opens; empty when there is none
    PortSource source = PortSource::PortMap;
    QString usbId{}; // UsbBus: vendor and product ("1a86:7523")
    TPortState state{};
    std::optional<TProbeResult> probe{};

    bool Openable() const { return state.status == PortStatus::Opens; }
};

// COM1 to COM21 where config.ini maps the name or a ch341-uart tty sits, in that order, each
// opened once the way the window opens it; then CH341 converters on the USB bus whose tty is
// missing or out of reach. brlttyInstalled adds the braille daemon to the advice for a
// converter without a tty.
std::vector<TPortReport> SurveyPorts(const TPortMap& ports, const TSysfsLayout& layout,
                                     bool brlttyInstalled);

// How a port stands after an open of path that ended with osError (errno), 0 for one that worked.
TPortState OpenState(int osError, const QString& path);
// That state in words: the explanation --list gives.
QString OpenVerdict(int osError, const QString& path);

// Why the port counts as a converter's: "config.ini", "ch341-uart" or "USB 1a86:7523".
QString PortSourceText(const TPortReport& report);
// How a port stands, with what to do about it.
QString PortStateText(const TPortState& state, const QString& path);

// What an empty survey means, with what to check.
QString NoCandidateText();

// The braille display daemon, whose udev rules take some CH341 converters away from their tty.
bool BrlttyInstalled();

} // namespace ch341
