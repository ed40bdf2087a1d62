#pragma once

#include "ch341/PortSurvey.h"
#include "paramset/ParamSet.h"
#include "paramset/SetCompare.h"
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

enum ExitCode {
    ExitDone = 0,
    ExitNoSplicer = 1,
    ExitSetDiffers = 1, // --diff, as diff(1) has it
    ExitFailed = 2,
    ExitDiffers = 3,
};

// The port survey's results are the converter layer's (ch341/PortSurvey.h).
using ch341::PortSource;
using ch341::PortStatus;
using ch341::TPortReport;
using ch341::TPortState;
using ch341::TProbeResult;

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

// --diff: the splicer's firmware and each field of the set beside the splicer's.
struct TDiffResult {
    uint16_t firmware = 0;
    std::vector<params::CompareRow> rows{};
};

// Turns results into output. The text formatter gives what a technician reads; output for
// scripts or another language is another formatter.
class TResultFormat {
public:
    virtual ~TResultFormat() = default;
    virtual QString PortList(const std::vector<TPortReport>& reports) const = 0;
    virtual QString ReadResult(const TReadResult& result) const = 0;
    virtual QString DiffResult(const TDiffResult& result) const = 0;
};

} // namespace cli
