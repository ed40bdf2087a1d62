#pragma once

#include "paramset/ParamFields.h"
#include "protocol/FusionParams.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>

// A parameter set file as the command line writes it to the splicer: read whole and checked
// whole before anything goes out, so a bad file never leaves the splicer with half a set.
namespace params {

// A set file that cannot be written; the text names the file, the key, the value and what is
// allowed.
class ESetFile : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The splicer a set was read from, kept beside it in section "Device" (which loading in the
// window does not read): numbers only, whatever the display language.
struct SetSource {
    uint16_t firmware = 0;
    QByteArray block; // as its parameter answer held it, in hexadecimal in the file
};
QString DeviceSectionText(const SetSource& source);

// What can be checked without the splicer: section "Param" there, each of its keys once and an
// integer, inside its field's range where that does not depend on the firmware's scale (check
// boxes 0 or 1); section "Device", when there, complete and in range.
struct SetFile {
    QString name;                                 // as messages show it, escaped
    std::array<int32_t, kFields.size()> values{}; // as the file has them, by kFields' order
    std::optional<SetSource> source;
};
SetFile ParseSetFile(const QString& name, const QByteArray& content);

// The block for a splicer with this firmware whose block is current now. The set's values are
// brought into the firmware's scale (exactly from the recorded source's scale; by their size, as
// loading in the window does, without a record) and checked against their fields' ranges there;
// fields the source did not hold keep their current value, and a value left as the source's block
// gave it goes back as that block had it, not rounded through the window's units. Raises
// ESetFile.
FusionParams BlockForSplicer(const SetFile& set, uint16_t firmware, const FusionParams& current);

} // namespace params
