#pragma once

#include "cli/Results.h"

#include <QString>

namespace cli {

// The results for scripts: one JSON document with English keys and words that stay as they
// are whatever the display language, every key always there (null where it does not apply).
// Firmware versions are numbers as the splicer reports them (134 for V1.34).
class TJsonFormat : public TResultFormat {
public:
    // An array of ports: {com, path, source, usbId, status, errno, group, usbDevice, probe}.
    QString PortList(const std::vector<TPortReport>& reports) const override;
    // {device {id, firmware, fusionCount}, time, source {firmware, block}, params {key: value}},
    // the parameters in the order saving writes them.
    QString ReadResult(const TReadResult& result) const override;
    // {firmware, equal, differences [{key, unit, splicer, file}], notHeld [key], notInSet [key],
    // converted [{key, from, to}]}: the values in the splicer's scale, "from" as the file has it.
    QString DiffResult(const TDiffResult& result) const override;
};

} // namespace cli
