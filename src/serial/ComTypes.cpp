#include "serial/ComTypes.h"

#include <array>

namespace serial {

int BaudRateValue(TBaudRate rate, int customBaudRate) {
    static constexpr std::array<int, 16> kRates = {0,     110,    300,    600,   1200,  2400,
                                                   4800,  9600,   14400,  19200, 38400, 56000,
                                                   57600, 115200, 128000, 256000};
    if (rate == TBaudRate::brCustom)
        return customBaudRate;
    return kRates[static_cast<size_t>(rate)];
}

int DataBitsValue(TDataBits bits) {
    return 5 + static_cast<int>(bits);
}

TFlowControl TComFlowControl::FlowControl() const {
    const bool xonXoff = xonXoffIn_ && xonXoffOut_;
    const bool noXonXoff = !xonXoffIn_ && !xonXoffOut_;
    if (controlRTS_ == TRTSFlowControl::rtsHandshake && outCTSFlow_ && noXonXoff)
        return TFlowControl::fcHardware;
    if (controlRTS_ == TRTSFlowControl::rtsDisable && !outCTSFlow_ && xonXoff)
        return TFlowControl::fcSoftware;
    if (controlRTS_ == TRTSFlowControl::rtsDisable && !outCTSFlow_ && noXonXoff)
        return TFlowControl::fcNone;
    return TFlowControl::fcCustom;
}

void TComFlowControl::SetFlowControl(TFlowControl v) {
    if (v == TFlowControl::fcCustom)
        return;
    SetControlRTS(TRTSFlowControl::rtsDisable);
    SetOutCTSFlow(false);
    SetXonXoffIn(false);
    SetXonXoffOut(false);
    if (v == TFlowControl::fcHardware) {
        SetControlRTS(TRTSFlowControl::rtsHandshake);
        SetOutCTSFlow(true);
    } else if (v == TFlowControl::fcSoftware) {
        SetXonXoffIn(true);
        SetXonXoffOut(true);
    }
}

int64_t TComTimeouts::WriteTimeoutMs(int64_t n) const {
    // Both totals zero means no total time-out, as with the serial drivers the values come from.
    if (writeTotalMultiplier_ == 0 && writeTotalConstant_ == 0)
        return -1;
    const auto asUnsigned = [](int32_t v) {
        return static_cast<int64_t>(static_cast<uint32_t>(v));
    };
    return asUnsigned(writeTotalMultiplier_) * n + asUnsigned(writeTotalConstant_);
}

} // namespace serial
