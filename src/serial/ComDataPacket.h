#pragma once

#include "serial/ComLink.h"

#include <QByteArray>

#include <functional>

namespace serial {

class TCustomComPort;

// Turns the bytes a port receives into packets: by start and stop strings, a fixed size or
// two hooks. Without a stop condition every received chunk passes through whole.
class TComDataPacket {
public:
    using TComStrEvent = std::function<void(TComDataPacket& sender, const QByteArray& str)>;
    using TCustPacketEvent =
        std::function<void(TComDataPacket& sender, const QByteArray& str, int& pos)>;

    TComDataPacket();
    TComDataPacket(const TComDataPacket&) = delete;
    TComDataPacket& operator=(const TComDataPacket&) = delete;
    ~TComDataPacket();

    TCustomComPort* ComPort() const { return comPort_; }
    void SetComPort(TCustomComPort* port);

    bool CaseInsensitive() const { return caseInsensitive_; }
    void SetCaseInsensitive(bool on);
    bool IncludeStrings() const { return includeStrings_; }
    void SetIncludeStrings(bool on) { includeStrings_ = on; }
    int MaxBufferSize() const { return maxBufferSize_; }
    void SetMaxBufferSize(int size) { maxBufferSize_ = size; }
    const QByteArray& StartString() const { return startString_; }
    void SetStartString(const QByteArray& s);
    const QByteArray& StopString() const { return stopString_; }
    void SetStopString(const QByteArray& s);
    int Size() const { return size_; }
    void SetSize(int size);

    TComStrEvent OnDiscard;
    TComStrEvent OnPacket;
    TCustPacketEvent OnCustomStart;
    TCustPacketEvent OnCustomStop;

    // What is buffered and whether a packet has begun.
    const QByteArray& Buffer() const { return buffer_; }
    bool InPacket() const { return inPacket_; }

    // One received chunk, as the port's link delivers it.
    void AddData(const QByteArray& str);

private:
    bool hasStopCondition() const;
    void handleBuffer();
    void checkStart();
    bool checkStop();
    void discardUpTo(int pos);
    void formPacket(int length);
    void emptyBuffer();
    int find(const QByteArray& what, const QByteArray& in) const;

    TCustomComPort* comPort_ = nullptr;
    TComLink link_;
    bool caseInsensitive_ = false;
    bool includeStrings_ = false;
    int maxBufferSize_ = 1024;
    QByteArray startString_;
    QByteArray stopString_;
    int size_ = 0;
    QByteArray buffer_;
    bool inPacket_ = false;
};

} // namespace serial
