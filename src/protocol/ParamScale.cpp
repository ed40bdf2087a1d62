#include "protocol/ParamScale.h"

#include "protocol/IntText.h"

namespace params {

int64_t ToBlock(Scale scale, int32_t v) {
    switch (scale) {
    case Scale::Heat:
        return int64_t(v) * 100;
    case Scale::Current:
        return RoundHalfEven(double(v) * 40.96);
    case Scale::Time:
        return int64_t(v) * 10;
    case Scale::Flag:
        return v ? 1 : 0;
    case Scale::AsIs:
        break;
    }
    return v;
}

int64_t ToWindow(Scale scale, uint32_t v) {
    switch (scale) {
    case Scale::Heat:
        return RoundHalfEven(double(v) / 100);
    case Scale::Current:
        return RoundHalfEven(double(v) / 40.96);
    case Scale::Time:
        return RoundHalfEven(double(v) / 10);
    case Scale::Flag:
    case Scale::AsIs:
        break;
    }
    return v;
}

uint16_t CurrentWord(int32_t windowCurrent) {
    return uint16_t(ToBlock(Scale::Current, windowCurrent));
}
uint16_t TimeWord(int32_t windowTime) {
    return uint16_t(ToBlock(Scale::Time, windowTime));
}

} // namespace params
