// Random bytes in random chunks: FrameScanner cuts exactly the frames that a rescan of the whole
// buffer from its start after every chunk cuts, keeps only a tail of that buffer, and stays
// within its bound.
#include "fuzz/Property.h"
#include "kit/RescanFromStart.h"
#include "protocol/FrameScanner.h"

#include <fuzzer/FuzzedDataProvider.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    RescanFromStart reference;
    FrameScanner scanner;
    QStringList got;
    const qsizetype bound = FrameScanner::kDeadLimit + 255;
    qsizetype chunkSize = 0;
    // Repeats make the long streams that pass the garbage limit out of short inputs; the length
    // cap keeps the rescan, quadratic in the garbage, quick.
    for (qsizetype streamed = 0; input.remaining_bytes() > 0 && streamed < 4 * bound;) {
        const int repeats = input.ConsumeIntegralInRange(1, 32);
        const QByteArray chunk =
            QByteArray::fromStdString(input.ConsumeRandomLengthString(input.remaining_bytes()))
                .repeated(repeats);
        chunkSize = chunk.size();
        streamed += chunkSize;
        reference.scan(chunk);
        scanner.Append(chunk);
        for (QByteArray frame; scanner.Step(frame);) {
            Require(scanner.RxBuffer().size() <= bound + chunkSize, "bound while scanning");
            if (!frame.isEmpty())
                got << frame.toHex();
        }
        Require(got == reference.frames, "same frames as the rescan");
        Require(reference.buffer.endsWith(scanner.RxBuffer()), "RxBuffer a tail of the rescan's");
        Require(scanner.RxBuffer().size() <= bound, "bound after the scan");
    }
    return 0;
}
