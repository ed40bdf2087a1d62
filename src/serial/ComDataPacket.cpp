#include "serial/ComDataPacket.h"

#include "serial/ComPort.h"

#include <exception>

namespace serial {
namespace {

QByteArray upperAscii(QByteArray s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

} // namespace

TComDataPacket::TComDataPacket() {
    link_.OnRxBuf = [this](TCustomComPort&, const uint8_t* buffer, int count) {
        AddData(QByteArray(reinterpret_cast<const char*>(buffer), count));
    };
}

TComDataPacket::~TComDataPacket() {
    SetComPort(nullptr);
}

void TComDataPacket::SetComPort(TCustomComPort* port) {
    if (port == comPort_)
        return;
    if (comPort_) {
        comPort_->RemoveFreeNotification(this);
        TCustomComPort* old = comPort_;
        comPort_ = nullptr;
        old->DetachLink(&link_);
    }
    comPort_ = port;
    if (comPort_) {
        comPort_->AddFreeNotification(this, [this] { SetComPort(nullptr); });
        comPort_->AttachLink(&link_);
    }
}

void TComDataPacket::SetCaseInsensitive(bool on) {
    if (on == caseInsensitive_)
        return;
    caseInsensitive_ = on;
    emptyBuffer();
}

void TComDataPacket::SetStartString(const QByteArray& s) {
    if (s == startString_)
        return;
    startString_ = s;
    emptyBuffer();
}

void TComDataPacket::SetStopString(const QByteArray& s) {
    if (s == stopString_)
        return;
    stopString_ = s;
    emptyBuffer();
}

void TComDataPacket::SetSize(int size) {
    if (size == size_)
        return;
    size_ = size;
    emptyBuffer();
}

bool TComDataPacket::hasStopCondition() const {
    return size_ > 0 || !stopString_.isEmpty() || OnCustomStop;
}

void TComDataPacket::AddData(const QByteArray& str) {
    if (!hasStopCondition()) {
        if (OnPacket)
            OnPacket(*this, str);
        return;
    }
    buffer_.append(str);
    handleBuffer();
}

void TComDataPacket::handleBuffer() {
    // The limit is checked however the handling ends. A handler's error travels on afterwards,
    // unless the discard handler raises one of its own, which then takes its place.
    std::exception_ptr error;
    try {
        for (;;) {
            if (!inPacket_)
                checkStart();
            if (!inPacket_ || !checkStop())
                break;
        }
    } catch (...) {
        error = std::current_exception();
    }
    if (maxBufferSize_ > 0 && buffer_.size() >= maxBufferSize_)
        emptyBuffer();
    if (error)
        std::rethrow_exception(error);
}

void TComDataPacket::checkStart() {
    int pos = -1;
    if (OnCustomStart)
        OnCustomStart(*this, buffer_, pos);
    if (pos > 0) {
        discardUpTo(pos);
        return;
    }
    if (pos != -1)
        return;
    if (startString_.isEmpty()) {
        inPacket_ = true;
        return;
    }
    pos = find(startString_, buffer_);
    if (pos > 0)
        discardUpTo(pos);
}

bool TComDataPacket::checkStop() {
    int pos = -1;
    if (OnCustomStop)
        OnCustomStop(*this, buffer_, pos);
    int length = 0;
    if (pos > 0) {
        length = pos;
    } else if (pos == -1) {
        if (size_ > 0 && buffer_.size() >= size_) {
            length = size_;
        } else {
            const int q = find(stopString_, buffer_.mid(startString_.size()));
            if (q > 0)
                length = q + static_cast<int>(stopString_.size() + startString_.size()) - 1;
        }
    }
    if (length <= 0)
        return false;
    inPacket_ = false;
    formPacket(length);
    return true;
}

void TComDataPacket::discardUpTo(int pos) {
    inPacket_ = true;
    if (pos <= 1)
        return;
    const QByteArray discarded = buffer_.left(pos - 1);
    buffer_.remove(0, pos - 1);
    if (OnDiscard)
        OnDiscard(*this, discarded);
}

void TComDataPacket::formPacket(int length) {
    QByteArray packet = buffer_.left(length);
    buffer_.remove(0, length);
    if (!includeStrings_) {
        if (!startString_.isEmpty() && find(startString_, packet) == 1)
            packet.remove(0, startString_.size());
        const int stopLength = static_cast<int>(stopString_.size());
        if (stopLength > 0 && find(stopString_, packet) == packet.size() - stopLength + 1)
            packet.chop(stopLength);
    }
    if (OnPacket)
        OnPacket(*this, packet);
}

void TComDataPacket::emptyBuffer() {
    struct Clear {
        TComDataPacket& self;
        ~Clear() {
            self.buffer_.clear();
            self.inPacket_ = false;
        }
    } clear{*this};
    if (!buffer_.isEmpty() && OnDiscard)
        OnDiscard(*this, buffer_);
}

int TComDataPacket::find(const QByteArray& what, const QByteArray& in) const {
    if (what.isEmpty())
        return 0;
    const qsizetype at =
        caseInsensitive_ ? upperAscii(in).indexOf(upperAscii(what)) : in.indexOf(what);
    return static_cast<int>(at + 1);
}

} // namespace serial
