#pragma once

#include "cli/Results.h"

#include <QString>

namespace cli {

// The results as a technician reads them.
class TTextFormat : public TResultFormat {
public:
    // One line per port: COM number (or "-"), path (or "-"), source, state, each of the first
    // three padded to its column (the path's at least 20 wide), then "；" and the probe's result
    // when there is one.
    QString PortList(const std::vector<TPortReport>& reports) const override;
    // Comment lines about the splicer, then the set as saving it from the window writes it.
    QString ReadResult(const TReadResult& result) const override;
    // One line per differing field: key, unit ("-" for none), the splicer's value, the file's
    // in the splicer's scale, each of the first three padded to its column. Nothing when equal.
    QString DiffResult(const TDiffResult& result) const override;
};

} // namespace cli
