#pragma once

#include "paramset/ParamSet.h"
#include "paramset/SetFile.h"
#include "protocol/DeviceState.h"
#include "protocol/ResponseText.h"

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// What the command line finds out, apart from how it is worded: a formatter turns these into
// the output. Messages on standard error are not results.
namespace cli {

enum ExitCode { ExitDone = 0, ExitNoSplicer = 1, ExitFailed = 2, ExitDiffers = 3 };

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
    int osError = 0;              // errno of the open, 0 when it opened
    QString group{};              // NoPermission: the group that may use the device
    QString usbDevice{};          // NoTty: the converter's USB device ("1-2")
    bool brlttyInstalled = false; // NoTty: the braille daemon may have taken it
};

// What makes a port a converter's.
enum class PortSource { PortMap, Ch341Driver, UsbBus };

// The handshake on a port, with --probe.
struct TProbeResult {
    enum class Outcome { Answered, Silent, Failed };
    Outcome outcome = Outcome::Silent;
    std::optional<uint16_t> firmware{}; // Answered: the version the query sequence reported
    QString error{};                    // Failed: the serial component's text
};

// One port of --list: a port the search would try, or a converter that no port reaches.
struct TPortReport {
    int comNumber = 0; // the n of COMn; 0 when no COM number belongs to it
    QString path{};    // the device the port opens; empty when there is none
    PortSource source = PortSource::PortMap;
    QString usbId{}; // UsbBus: vendor and product ("1a86:7523")
    TPortState state{};
    std::optional<TProbeResult> probe{};

    bool Openable() const { return state.status == PortStatus::Opens; }
};

// What the splicer says about itself after a connection.
struct TDeviceInfo {
    QString id{};
    uint16_t firmware = 0;
    uint16_t fusionCount = 0;
};

inline TDeviceInfo DeviceInfoOf(const DeviceState& state) {
    return {DeviceIdText(state.DeviceId), state.FirmwareVersion, state.FusionCount};
}

// --read: the splicer and its parameter set, as the window's fields would show it, and where the
// set came from, so that --write can give the splicer back exactly its bytes.
struct TReadResult {
    TDeviceInfo device{};
    QDateTime when{};
    params::TParamSet set{};
    params::SetSource source{};
};

// --write as it went, whatever came of it: what a service record keeps. The blocks are the
// bytes on the line.
struct TWriteResult {
    TDeviceInfo device{};
    QByteArray before{};   // the block the splicer answered on connecting
    QByteArray sent{};     // the bytes of the block sent, or on its way when the line failed
    QByteArray readBack{}; // as many bytes of the block read back; empty when none came
    ExitCode outcome = ExitFailed; // ExitDone, ExitNoSplicer or ExitDiffers
};

// Turns results into output. The text formatter gives what a technician reads; output for
// scripts or another language is another formatter.
class TResultFormat {
public:
    virtual ~TResultFormat() = default;
    virtual QString PortList(const std::vector<TPortReport>& reports) const = 0;
    virtual QString ReadResult(const TReadResult& result) const = 0;
};

} // namespace cli
