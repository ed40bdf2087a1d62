#pragma once

#include "config/IniFile.h"
#include "paramset/ParamFields.h"
#include "protocol/FusionParams.h"

#include <QByteArray>
#include <QDateTime>
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
inline const QString kDeviceSection = QStringLiteral("Device");
inline const QString kFirmwareKey = QStringLiteral("Firmware");
struct SetSource {
    uint16_t firmware = 0;
    QByteArray block; // as its parameter answer held it, in hexadecimal in the file
};
QString DeviceSectionText(const SetSource& source);

// What the splicer said about itself when the set was taken, continuing section "Device" in
// keys that read the same in every language.
struct SetFacts {
    QString id; // escaped, as DeviceIdText gives it
    uint16_t fusionCount = 0;
    QDateTime when;
};
QString DeviceFactsText(const SetFacts& facts);
// The identifier and the time a set file records; empty and invalid where it has none.
SetFacts DeviceFactsOf(const QByteArray& content);

// What can be checked without the splicer: section "Param" there, each of its keys once and an
// integer, inside its field's range where that does not depend on the firmware's scale (check
// boxes 0 or 1); section "Device", when there, complete and in range.
struct SetFile {
    QString name;                                 // as messages show it, escaped
    std::array<int32_t, kFields.size()> values{}; // as the file has them, by kFields' order
    std::optional<SetSource> source;
};
// No parameter set is larger.
inline constexpr qsizetype kMaxSetFileBytes = config::kMaxIniBytes;

// content is INI text, or the JSON document --read --json prints when its first byte other
// than a blank is "{": the same checks and messages for both.
SetFile ParseSetFile(const QString& name, const QByteArray& content);
// A set file's content as INI text: the JSON document's members as the sections --read prints,
// INI text as it is.
QByteArray SetFileAsIni(const QByteArray& content);

// One field of a set brought into a splicer's firmware.
struct ConvertedField {
    bool supplied = false; // the set gives the field: its source's block held it
    int32_t value = 0;     // in the window's units and the firmware's scale
    int32_t fileValue = 0; // as the set has it
    bool Converted() const { return supplied && value != fileValue; }
};
using ConvertedSet = std::array<ConvertedField, kFields.size()>;
// The set's values in the scale of a splicer with this firmware (exactly from the recorded
// source's scale; by their size, as loading in the window does, without a record; no firmware:
// left in the set's own scale), each checked against its field's range there. Raises ESetFile.
ConvertedSet ConvertForFirmware(const SetFile& set, std::optional<uint16_t> firmware);

// The block for a splicer with this firmware whose block is current now. The set's values are
// brought into the firmware's scale (exactly from the recorded source's scale; by their size, as
// loading in the window does, without a record) and checked against their fields' ranges there;
// fields the source did not hold keep their current value, and a value left as the source's block
// gave it goes back as that block had it, not rounded through the window's units. Raises
// ESetFile.
FusionParams BlockForSplicer(const SetFile& set, uint16_t firmware, const FusionParams& current);

} // namespace params
