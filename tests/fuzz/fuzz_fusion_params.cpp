// Decoding a received block and encoding it again gives back its bytes: the first 38, with
// missing bytes as zeros.
#include "fuzz/Property.h"
#include "protocol/FusionParams.h"

#include <cstddef>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QByteArray expected = bytes.left(FusionParams::kSize);
    expected.append(FusionParams::kSize - expected.size(), '\0');
    const FusionParams decoded = FusionParams::Decode(bytes);
    Require(decoded.Encode() == expected, "decode then encode gives the bytes back");
    Require(FusionParams::Decode(expected) == decoded, "missing bytes decode as zeros");
    return 0;
}
