#pragma once

#include "cli/Results.h"

#include <QString>

#include <functional>
#include <optional>

namespace params {
struct SetFile;
}

// What the command line does with the splicer, through its exchange: the window's frames with
// the window's waits. Failures are raised as errors with their texts; a stop signal ends any of
// them with EStopped.
namespace cli {

class TSplicerExchange;

// Connects: by the search, or on the port given. True when connected; when not, the caller is
// told "未发现有设备连接！" by the command that asked.
using TConnect = std::function<bool()>;
// Asks before the block goes out: true to write.
using TConfirm = std::function<bool()>;

// --read: connects and takes the parameter answer of the connection. None when no splicer
// answered.
std::optional<TReadResult> ReadSplicer(TSplicerExchange& exchange, const TConnect& connect);

// --write: connects, brings the set into the connected firmware's scale and range, asks, writes
// it as the window's write does and reads it back. ExitDiffers when what came back is not what
// was sent, when the splicer takes a block of no bytes, or when the line failed after the block
// went out (not verified). What it did is in the result whatever came of it; an error before
// the block (the set refused, not confirmed, the splicer gone) is raised.
TWriteResult WriteSplicer(TSplicerExchange& exchange, const params::SetFile& set,
                          const TConnect& connect, const TConfirm& confirm);

// --probe: the handshake on the device at path, and what came of it.
TProbeResult Probe(TSplicerExchange& exchange, const QString& path);

} // namespace cli
