#pragma once

#include "serial/LineEvents.h"

#include <QByteArray>
#include <QObject>

#include <functional>

class FrameScanner;

// Every frame the program writes to the splicer and every frame it cuts from what the splicer
// sent, whole and in the order they passed, the received bytes that belonged to no frame
// when the scan dropped them, and what the serial line reported besides data (errors, modem
// lines). The side that talks to the splicer emits; the
// traffic monitor and the trace file listen. Nobody listening costs one check per frame:
// nothing is formatted or kept.
class FrameFeed : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    void frameSent(const QByteArray& frame);
    void frameReceived(const QByteArray& frame);
    void bytesDiscarded(const QByteArray& bytes);
    void lineReported(const serial::TLineReport& report);

protected:
    // Scans a received chunk: each frame cut passes frameReceived, then take; the bytes the scan
    // drops pass bytesDiscarded where they fall. afterStep, when given, runs after every step,
    // whether or not it cut a frame.
    void scanChunk(FrameScanner& scanner, const QByteArray& chunk,
                   const std::function<void(const QByteArray& frame)>& take,
                   const std::function<void()>& afterStep = {});
};
