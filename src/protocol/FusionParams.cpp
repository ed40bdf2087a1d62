#include "protocol/FusionParams.h"

#include "protocol/Firmware.h"

#include <algorithm>

namespace {

// One walk over the fields in block order serves both directions.
template <class Params, class Visit> void eachField(Params& p, Visit visit) {
    visit(p.Heat);
    visit(p.FixedOne);
    visit(p.Current1);
    visit(p.Time1);
    visit(p.Current2);
    visit(p.Time2);
    visit(p.Current3);
    visit(p.Time3);
    visit(p.Current4);
    visit(p.Time4);
    visit(p.Current5);
    visit(p.Time5);
    visit(p.PushLeft);
    visit(p.PushRight);
    visit(p.AdjustLeft);
    visit(p.AdjustRight);
    visit(p.PullPush);
    visit(p.ClearDust);
    visit(p.AdjustReset);
    visit(p.DustCurrent);
    visit(p.DustTime);
    visit(p.FusePushLength);
    visit(p.FusePushSpeed);
}

} // namespace

QByteArray FusionParams::Encode() const {
    QByteArray out;
    out.reserve(kSize);
    eachField(*this, [&](auto field) {
        for (size_t i = 0; i < sizeof field; ++i)
            out.append(char(uint8_t(field >> (8 * i))));
    });
    return out;
}

FusionParams FusionParams::Decode(const QByteArray& bytes) {
    FusionParams p;
    qsizetype at = 0;
    eachField(p, [&](auto& field) {
        using T = std::remove_reference_t<decltype(field)>;
        uint32_t value = 0;
        for (size_t i = 0; i < sizeof(T); ++i, ++at)
            if (at < bytes.size())
                value |= uint32_t(uint8_t(bytes[at])) << (8 * i);
        field = T(value);
    });
    return p;
}

int FusionParams::WriteCount(uint16_t version, uint16_t blockLength) {
    return firmware::TakesFullBlock(version) ? std::min<int>(blockLength, kSize) : kShortSize;
}
