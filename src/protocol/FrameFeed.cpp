#include "protocol/FrameFeed.h"

#include "protocol/FrameScanner.h"

void FrameFeed::scanChunk(FrameScanner& scanner, const QByteArray& chunk,
                          const std::function<void(const QByteArray& frame)>& take,
                          const std::function<void()>& afterStep) {
    const auto reportDiscarded = [&] {
        if (const QByteArray bytes = scanner.TakeDiscarded(); !bytes.isEmpty())
            emit bytesDiscarded(bytes);
    };
    scanner.Append(chunk);
    for (QByteArray frame; scanner.Step(frame);) {
        reportDiscarded();
        if (!frame.isEmpty()) {
            emit frameReceived(frame);
            take(frame);
        }
        if (afterStep)
            afterStep();
    }
    reportDiscarded(); // what the bound dropped as the scan ended
}
