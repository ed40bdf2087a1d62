#pragma once

#include "protocol/IntText.h"

#include <cstdint>
#include <optional>

// What the splicer's firmware version (in hundredths: 134 is V1.34) decides.
namespace firmware {

// From V1.34 on the firmware takes up to the whole parameter block, in the length it answers,
// and restores its factory set on request; before, it takes the first 32 bytes.
inline constexpr uint16_t kFullBlock = 134;
// From V1.38 on the core reset amounts and the push length are counted this many times finer.
inline constexpr uint16_t kFineScale = 138;
inline constexpr int kFineFactor = 8;

inline bool TakesFullBlock(std::optional<uint16_t> version) {
    return version >= kFullBlock;
}
inline bool CountsFine(std::optional<uint16_t> version) {
    return version >= kFineScale;
}

// A value counted in the coarse scale in the fine one, and back (a half to the even neighbour).
inline int32_t ToFine(int32_t coarse) {
    return int32_t(int64_t(coarse) * kFineFactor);
}
inline int32_t ToCoarse(int32_t fine) {
    return int32_t(RoundHalfEven(double(fine) / kFineFactor));
}

} // namespace firmware
