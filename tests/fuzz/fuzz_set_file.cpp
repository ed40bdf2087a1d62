// A random set file (INI, or JSON when it opens with "{") for a splicer with a random firmware:
// it is either refused with a message that names the file and a key, or says the JSON is no
// document (control bytes escaped), or it gives a block whose every field
// the set supplies lies inside that field's range, the others keeping the splicer's values.
#include "fuzz/Property.h"
#include "paramset/SetFile.h"

#include <fuzzer/FuzzedDataProvider.h>

using namespace params;

namespace {

bool namesAKey(const QString& message) {
    if (message.contains(QLatin1String("[Param]")) || message.contains(QLatin1String("[Device]")))
        return true;
    for (const Field& f : kFields)
        if (message.contains(QLatin1String(f.key)))
            return true;
    return false;
}

bool shows(const QString& message) {
    for (const QChar c : message)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const uint16_t firmware = input.ConsumeIntegral<uint16_t>();
    FusionParams current;
    current.Heat = 0xBEEF; // out of every range: a field taken from here stands out
    const QByteArray content = QByteArray::fromStdString(input.ConsumeRemainingBytesAsString());
    const QString name = QStringLiteral("set.ini");
    try {
        const SetFile set = ParseSetFile(name, content);
        const FusionParams block = BlockForSplicer(set, firmware, current);
        Require(block.FixedOne == 1, "the fixed byte is 1");
        for (const Field& f : kFields) {
            if (set.source && !f.HeldIn(int(set.source->block.size()))) {
                Require(f.Get(block) == f.Get(current), "a field not held keeps its value");
                continue;
            }
            const int64_t value = ToWindow(f.scale, f.Get(block));
            Require(value >= f.minimum && value <= f.maximum, "every value inside its range");
        }
    } catch (const ESetFile& e) {
        const QString message = QString::fromUtf8(e.what());
        Require(message.startsWith(name + QStringLiteral("：")), "the message names the file");
        // A JSON input that is no document has no key to name.
        Require(namesAKey(message) || message.contains(QLatin1String("JSON")),
                "the message names a key");
        Require(shows(message), "control bytes escaped");
    }
    return 0;
}
