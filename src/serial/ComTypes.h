#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>

namespace serial {

// Declaration order is the stored ordinal of every enumeration below.
enum class TBaudRate {
    brCustom,
    br110,
    br300,
    br600,
    br1200,
    br2400,
    br4800,
    br9600,
    br14400,
    br19200,
    br38400,
    br56000,
    br57600,
    br115200,
    br128000,
    br256000
};
enum class TDataBits { dbFive, dbSix, dbSeven, dbEight };
enum class TStopBits { sbOneStopBit, sbOne5StopBits, sbTwoStopBits };
enum class TParityBits { prNone, prOdd, prEven, prMark, prSpace };
enum class TDTRFlowControl { dtrDisable, dtrEnable, dtrHandshake };
enum class TRTSFlowControl { rtsDisable, rtsEnable, rtsHandshake, rtsToggle };
enum class TFlowControl { fcHardware, fcSoftware, fcNone, fcCustom };
enum class TSyncMethod { smThreadSync, smWindowSync, smNone };
enum class TComEvent {
    evRxChar,
    evTxEmpty,
    evRxFlag,
    evRing,
    evBreak,
    evCTS,
    evDSR,
    evError,
    evRLSD,
    evRx80Full
};
enum class TComError { ceFrame, ceRxParity, ceOverrun, ceBreak, ceIO, ceMode, ceRxOver, ceTxFull };

int BaudRateValue(TBaudRate rate, int customBaudRate);
int DataBitsValue(TDataBits bits);

// A set of enumeration values, stored as one bit per ordinal.
template <class E> class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> values) {
        for (E v : values)
            Include(v);
    }
    static constexpr TSet FromBits(uint32_t bits) {
        TSet s;
        s.bits_ = bits;
        return s;
    }
    constexpr void Include(E v) { bits_ |= bit(v); }
    constexpr void Exclude(E v) { bits_ &= ~bit(v); }
    constexpr bool Contains(E v) const { return (bits_ & bit(v)) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr uint32_t Bits() const { return bits_; }
    constexpr bool operator==(const TSet&) const = default;

private:
    static constexpr uint32_t bit(E v) { return 1u << static_cast<unsigned>(v); }
    uint32_t bits_ = 0;
};

using TComEvents = TSet<TComEvent>;
using TComErrors = TSet<TComError>;

inline constexpr TComEvents AllComEvents = TComEvents::FromBits((1u << 10) - 1);

// Setting groups. Each setter compares with the stored value and reports a real change to the
// owning port, which then re-applies that group (or waits for the next open).
class TSettingGroup {
public:
    void SetOnChanged(std::function<void()> onChanged) { onChanged_ = std::move(onChanged); }

protected:
    template <class T> void assign(T& field, T value) {
        if (field == value)
            return;
        field = value;
        if (onChanged_)
            onChanged_();
    }

private:
    std::function<void()> onChanged_;
};

class TComParity : public TSettingGroup {
public:
    TParityBits Bits() const { return bits_; }
    bool Check() const { return check_; }
    bool Replace() const { return replace_; }
    uint8_t ReplaceChar() const { return replaceChar_; }
    void SetBits(TParityBits v) { assign(bits_, v); }
    void SetCheck(bool v) { assign(check_, v); }
    void SetReplace(bool v) { assign(replace_, v); }
    void SetReplaceChar(uint8_t v) { assign(replaceChar_, v); }

private:
    TParityBits bits_ = TParityBits::prNone;
    bool check_ = false;
    bool replace_ = false;
    uint8_t replaceChar_ = 0;
};

class TComFlowControl : public TSettingGroup {
public:
    bool OutCTSFlow() const { return outCTSFlow_; }
    bool OutDSRFlow() const { return outDSRFlow_; }
    TDTRFlowControl ControlDTR() const { return controlDTR_; }
    TRTSFlowControl ControlRTS() const { return controlRTS_; }
    bool XonXoffOut() const { return xonXoffOut_; }
    bool XonXoffIn() const { return xonXoffIn_; }
    bool DSRSensitivity() const { return dsrSensitivity_; }
    bool TxContinueOnXoff() const { return txContinueOnXoff_; }
    uint8_t XonChar() const { return xonChar_; }
    uint8_t XoffChar() const { return xoffChar_; }

    void SetOutCTSFlow(bool v) { assign(outCTSFlow_, v); }
    void SetOutDSRFlow(bool v) { assign(outDSRFlow_, v); }
    void SetControlDTR(TDTRFlowControl v) { assign(controlDTR_, v); }
    void SetControlRTS(TRTSFlowControl v) { assign(controlRTS_, v); }
    void SetXonXoffOut(bool v) { assign(xonXoffOut_, v); }
    void SetXonXoffIn(bool v) { assign(xonXoffIn_, v); }
    void SetDSRSensitivity(bool v) { assign(dsrSensitivity_, v); }
    void SetTxContinueOnXoff(bool v) { assign(txContinueOnXoff_, v); }
    void SetXonChar(uint8_t v) { assign(xonChar_, v); }
    void SetXoffChar(uint8_t v) { assign(xoffChar_, v); }

    // Summary of the fields above.
    TFlowControl FlowControl() const;
    void SetFlowControl(TFlowControl v);

private:
    bool outCTSFlow_ = false;
    bool outDSRFlow_ = false;
    TDTRFlowControl controlDTR_ = TDTRFlowControl::dtrDisable;
    TRTSFlowControl controlRTS_ = TRTSFlowControl::rtsDisable;
    bool xonXoffOut_ = false;
    bool xonXoffIn_ = false;
    bool dsrSensitivity_ = false;
    bool txContinueOnXoff_ = false;
    uint8_t xonChar_ = 0x11;
    uint8_t xoffChar_ = 0x13;
};

// Milliseconds; -1 stands for the largest value (all 32 bits set).
class TComTimeouts : public TSettingGroup {
public:
    int32_t ReadInterval() const { return readInterval_; }
    int32_t ReadTotalMultiplier() const { return readTotalMultiplier_; }
    int32_t ReadTotalConstant() const { return readTotalConstant_; }
    int32_t WriteTotalMultiplier() const { return writeTotalMultiplier_; }
    int32_t WriteTotalConstant() const { return writeTotalConstant_; }
    void SetReadInterval(int32_t v) { assign(readInterval_, v); }
    void SetReadTotalMultiplier(int32_t v) { assign(readTotalMultiplier_, v); }
    void SetReadTotalConstant(int32_t v) { assign(readTotalConstant_, v); }
    void SetWriteTotalMultiplier(int32_t v) { assign(writeTotalMultiplier_, v); }
    void SetWriteTotalConstant(int32_t v) { assign(writeTotalConstant_, v); }

    // How long a write of n bytes may take; negative when the write has no time limit.
    int64_t WriteTimeoutMs(int64_t n) const;

private:
    int32_t readInterval_ = -1;
    int32_t readTotalMultiplier_ = 0;
    int32_t readTotalConstant_ = 0;
    int32_t writeTotalMultiplier_ = 100;
    int32_t writeTotalConstant_ = 1000;
};

class TComBuffer : public TSettingGroup {
public:
    int InputSize() const { return inputSize_; }
    int OutputSize() const { return outputSize_; }
    // An odd positive size stores the size minus one.
    void SetInputSize(int v) { assign(inputSize_, even(v)); }
    void SetOutputSize(int v) { assign(outputSize_, even(v)); }

private:
    static int even(int v) { return (v > 0 && v % 2 != 0) ? v - 1 : v; }
    int inputSize_ = 1024;
    int outputSize_ = 1024;
};

} // namespace serial
