// With random settings and a stop condition, the packet detector delivers the same packets and
// discards, and keeps the same buffer, whether the stream comes in one chunk or in random ones.
// Size and stop string are not combined: together they cut by whichever end a chunk reveals
// first, which depends on the split by design. The buffer limit lies beyond the stream for the
// same reason.
#include "fuzz/Property.h"
#include "serial/ComDataPacket.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QByteArrayList>

#include <random>

using serial::TComDataPacket;

namespace {

struct Settings {
    bool caseInsensitive, includeStrings;
    QByteArray start, stop;
    int size, maxBufferSize;
};

QByteArrayList run(const Settings& s, const QList<QByteArray>& chunks, QByteArray& left) {
    QByteArrayList log;
    TComDataPacket p;
    p.SetCaseInsensitive(s.caseInsensitive);
    p.SetIncludeStrings(s.includeStrings);
    p.SetStartString(s.start);
    p.SetStopString(s.stop);
    p.SetSize(s.size);
    p.SetMaxBufferSize(s.maxBufferSize);
    p.OnPacket = [&](TComDataPacket&, const QByteArray& str) { log << "P:" + str.toHex(); };
    p.OnDiscard = [&](TComDataPacket&, const QByteArray& str) { log << "D:" + str.toHex(); };
    for (const QByteArray& chunk : chunks)
        p.AddData(chunk);
    left = p.Buffer() + (p.InPacket() ? "+" : "-");
    return log;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    Settings s{input.ConsumeBool(), input.ConsumeBool(), {}, {}, 0, 0};
    s.start = QByteArray::fromStdString(input.ConsumeRandomLengthString(4));
    if (input.ConsumeBool())
        s.stop = QByteArray::fromStdString(input.ConsumeRandomLengthString(4));
    if (s.stop.isEmpty())
        s.size = input.ConsumeIntegralInRange(1, 40);
    const bool limited = input.ConsumeBool();
    std::minstd_rand split(input.ConsumeIntegral<uint32_t>());
    const unsigned longestChunk = input.ConsumeIntegralInRange(1, 64);
    const QByteArray stream = QByteArray::fromStdString(input.ConsumeRemainingBytesAsString());
    s.maxBufferSize = limited ? int(stream.size()) + 1 : -int(split() % 2);

    QList<QByteArray> chunks; // at least one, as the whole stream is one; empty ones too
    qsizetype at = 0;
    do {
        const qsizetype n = split() % (longestChunk + 1);
        chunks << stream.mid(at, n);
        at += n;
    } while (at < stream.size());
    QByteArray leftWhole, leftSplit;
    Require(run(s, {stream}, leftWhole) == run(s, chunks, leftSplit), "same packets and discards");
    Require(leftWhole == leftSplit, "same buffer left");
    return 0;
}
