#pragma once

#include "paramset/SetFile.h"

#include <QByteArray>

#include <cstdint>
#include <optional>

// What the library and the comparison need of the main window: its fields as a set file, the
// firmware a set is converted to, and the fields to load a set into.
class TSetTarget {
public:
    virtual ~TSetTarget() = default;
    // The fields as a set file: the --read format, with the connected splicer's record when a
    // parameter answer came on this connection. Raises the conversion error for a field whose
    // text is not an integer.
    virtual QByteArray FieldsAsSetFile() const = 0;
    // The connected splicer's firmware; none without a splicer (a set then keeps its scale).
    virtual std::optional<uint16_t> TargetFirmware() const = 0;
    // Puts the values the set supplies into the fields, each marked green or red against what
    // it showed, as a parameter answer marks them; the others stay as they are, black.
    virtual void LoadIntoFields(const params::ConvertedSet& set) = 0;
};
