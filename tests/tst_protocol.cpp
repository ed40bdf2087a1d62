#include "kit/DistinctBlock.h"
#include "kit/ErrorText.h"
#include "kit/RescanFromStart.h"
#include "kit/Row.h"
#include "paramset/ParamFields.h"
#include "paramset/SetCompare.h"
#include "protocol/FrameScanner.h"
#include "protocol/Frames.h"
#include "protocol/FusionParams.h"
#include "protocol/IntText.h"
#include "protocol/ResponseText.h"

#include <QTest>

#include <random>

using namespace params;

namespace {

QByteArray hex(const char* text) {
    return QByteArray::fromHex(text);
}

// Scans one chunk and adds the frames cut to got; passed gets the bytes dropped and the frames
// cut, in the order the scan let go of them.
void scanChunk(FrameScanner& scanner, const QByteArray& chunk, QStringList& got,
               QByteArray& passed) {
    scanner.Append(chunk);
    for (QByteArray frame; scanner.Step(frame);) {
        passed += scanner.TakeDiscarded() + frame;
        if (!frame.isEmpty())
            got << QString::fromLatin1(frame.toHex());
    }
    passed += scanner.TakeDiscarded();
}

// The window's default values as a block.
FusionParams defaults() {
    FusionParams p;
    const int32_t values[22] = {60, 35, 50,  40,  50, 45, 50, 50, 50, 55, 50,
                                40, 40, 100, 100, 1,  1,  0,  30, 15, 5,  2};
    for (size_t i = 0; i < kFields.size(); ++i)
        kFields[i].Set(p, ToBlock(kFields[i].scale, values[i]));
    p.FixedOne = 1;
    return p;
}

// The block a saved set's values give, each field scaled through its own row.
FusionParams fromSet(const QByteArray& set) {
    FusionParams p;
    for (const Field& f : kFields)
        f.Set(p, ToBlock(f.scale, SetValue(set, f.key).toInt()));
    p.FixedOne = 1;
    return p;
}

} // namespace

class TestProtocol : public QObject {
    Q_OBJECT
private slots:
    void frames_data() {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QByteArray>("expected");
        row("empty kind-first", frames::KindFirst(0x4A, {}, 0), hex("5A4A00A5"));
        row("handshake", frames::KindFirst(0x4A, hex("4508"), 2), hex("5A4A024508A5"));
        row("count cuts payload", frames::KindFirst(0x4B, hex("010203"), 2), hex("5A4B020102A5"));
        row("save as factory", frames::ControlRecord(0xC5, 0, 0, 0), hex("5A0A83C50000000000A5"));
        row("control word little-endian", frames::ControlRecord(1, 2, 3, 0x0405),
            hex("5A0A830102030504 00A5"));
        row("arc test", frames::TestRecord(0x01F40400), hex("5A0A810004F4010000A5"));
    }

    void frames() {
        QFETCH(QByteArray, frame);
        QFETCH(QByteArray, expected);
        QCOMPARE(frame.toHex(' '), expected.toHex(' '));
    }

    void defaultBlockEncodes() {
        const QByteArray expected =
            hex("7017019A05F4016606F4013307F4010008F401CD08F4012828640064000101"
                "00CD040F000502");
        QCOMPARE(defaults().Encode().toHex(' '), expected.toHex(' '));
        QCOMPARE(FusionParams::Decode(expected), defaults());
        // Every field differs from every other: two fields exchanged show both ways.
        QCOMPARE(fromSet(kDistinctSet).Encode().toHex(' '), kDistinctBlock.toHex(' '));
        QCOMPARE(FusionParams::Decode(kDistinctBlock), fromSet(kDistinctSet));

        FusionParams heat;
        kFields[0].Set(heat, ToBlock(Scale::Heat, 180));
        QCOMPARE(heat.Encode().left(2), hex("5046"));
    }

    void blockDecodesShortPayloadWithZeros() {
        const FusionParams p = FusionParams::Decode(kDistinctBlock.left(32));
        QCOMPARE(p.AdjustReset, uint8_t(1)); // the last byte given
        QCOMPARE(p.DustCurrent, uint16_t(0));
        QCOMPARE(p.FusePushSpeed, uint8_t(0));
        QCOMPARE(p.AdjustRight, uint16_t(1700));
    }

    void currentsRoundTrip() {
        for (int32_t c = 0; c <= 99; ++c) {
            const int64_t block = ToBlock(Scale::Current, c);
            QVERIFY(block < 4096);
            QCOMPARE(ToWindow(Scale::Current, uint32_t(block)), int64_t(c));
        }
        QCOMPARE(ToBlock(Scale::Current, 25), int64_t(1024));
        QCOMPARE(ToBlock(Scale::Current, 99), int64_t(4055));
        QCOMPARE(ToBlock(Scale::Current, 1), int64_t(41));
    }

    void readScaling_data() {
        QTest::addColumn<int>("scale");
        QTest::addColumn<uint>("block");
        QTest::addColumn<qint64>("window");
        row("current 512 half to even", int(Scale::Current), 512u, qint64(12));
        row("current 513", int(Scale::Current), 513u, qint64(13));
        row("time 505", int(Scale::Time), 505u, qint64(50));
        row("time 515", int(Scale::Time), 515u, qint64(52));
        row("heat 250", int(Scale::Heat), 250u, qint64(2));
        row("heat 350", int(Scale::Heat), 350u, qint64(4));
        row("as is", int(Scale::AsIs), 2000u, qint64(2000));
    }

    void readScaling() {
        QFETCH(int, scale);
        QFETCH(uint, block);
        QFETCH(qint64, window);
        QCOMPARE(ToWindow(Scale(scale), block), window);
    }

    // A set file's value in a splicer's scale: exact from the recorded firmware, by size without
    // a record; "refused" out of range, "not supplied" beyond the recorded block, "not held"
    // beyond the splicer's.
    void setConvertsBetweenFirmware_data() {
        QTest::addColumn<QByteArray>("device"); // firmware and block bytes recorded; "" none
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("expected");
        row("1.34 to 1.38", QByteArray("134 38"), 138, "AdjustLeft", 100, "800");
        row("1.38 to 1.34", QByteArray("138 38"), 134, "AdjustLeft", 800, "100");
        row("1.38 to 1.33, half to even", QByteArray("138 38"), 133, "AdjustLeft", 20, "2");
        row("1.38 to 1.34, half to even", QByteArray("138 38"), 134, "edtFusePushLength", 28, "4");
        row("1.33 to 1.38, upper edge", QByteArray("133 32"), 138, "AdjustRight", 250, "2000");
        row("1.33 to 1.38, beyond", QByteArray("133 32"), 138, "AdjustRight", 251, "refused");
        row("1.38 lower edge", QByteArray("138 38"), 138, "AdjustLeft", 0, "0");
        row("1.38 upper edge", QByteArray("138 38"), 134, "AdjustLeft", 2000, "250");
        row("1.34 keeps 20", QByteArray("134 38"), 134, "edtFusePushLength", 20, "20");
        row("no record: size guess", QByteArray(), 134, "edtFusePushLength", 20, "2");
        row("1.33 set to 1.34", QByteArray("133 32"), 134, "edtDustCurrent", 30, "not supplied");
        row("1.34 set to 1.33", QByteArray("134 38"), 133, "edtFusePushSpeed", 9, "not held");
        row("Heat at its lower edge", QByteArray("134 38"), 133, "Heat", 10, "10");
    }

    void setConvertsBetweenFirmware() {
        QFETCH(QByteArray, device);
        QFETCH(int, to);
        QFETCH(QString, key);
        QFETCH(int, value);
        QFETCH(QString, expected);
        QByteArray text;
        if (!device.isEmpty())
            text = "[Device]\nFirmware=" + device.split(' ')[0] + "\nBlock=" +
                   QByteArray(device.split(' ')[1].toInt(), '\x01').toHex() + '\n';
        text += "[Param]\n";
        for (const Field& f : kFields)
            text += QByteArray(f.key) + '=' +
                    QByteArray::number(f.key == key ? value : f.IsFlag() ? 1 : f.minimum) + '\n';
        std::vector<CompareRow> rows;
        try {
            rows = CompareWithSplicer(ParseSetFile("f", text), uint16_t(to),
                                      QByteArray(FusionParams::kSize, '\0'));
        } catch (const ESetFile& e) {
            QVERIFY2(QString::fromUtf8(e.what()).startsWith("f：" + key + '='), e.what());
            QCOMPARE(QString("refused"), expected);
            return;
        }
        const CompareRow& got = *std::ranges::find(
            rows, key, [](const CompareRow& r) { return QString::fromLatin1(r.field->key); });
        const QString shown = !got.supplied ? "not supplied" : !got.held ? "not held" : got.file;
        QCOMPARE(shown, expected);
        QCOMPARE(got.converted, got.supplied && got.file != QString::number(value));
    }

    void strToInt_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("value");
        row("decimal", "35", true, 35);
        row("leading blanks and sign", "  -12", true, -12);
        row("plus", "+7", true, 7);
        row("dollar hex", "$1F", true, 31);
        row("0x hex", "0x10", true, 16);
        row("full hex pattern", "$FFFFFFFF", false, 0);
        row("hex above max", "0x80000000", false, 0);
        row("hex min", "-0x80000000", true, int(-2147483648LL));
        row("max", "2147483647", true, 2147483647);
        row("min", "-2147483648", true, int(-2147483648LL));
        row("overflow", "2147483648", false, 0);
        row("empty", "", false, 0);
        row("trailing blank", "12 ", false, 0);
        row("letters", "abc", false, 0);
        row("decimal point", "1.5", false, 0);
        row("sign only", "-", false, 0);
        row("hex prefix only", "0x", false, 0);
    }

    void strToInt() {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(int, value);
        if (valid) {
            QCOMPARE(StrToInt(text), value);
            return;
        }
        QCOMPARE(ErrorText<EConvertError>([&] { StrToInt(text); }),
                 QString("'%1' is not a valid integer value").arg(text));
    }

    void versionText_data() {
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        row("134", 134, "C", "V1.34");
        row("140", 140, "C", "V1.4");
        row("200", 200, "C", "V2");
        row("133", 133, "C", "V1.33");
        row("decimal comma", 134, "de_DE", "V1,34");
    }

    void versionText() {
        QFETCH(int, version);
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QCOMPARE(VersionText(uint16_t(version), QLocale(locale)), text);
    }

    void environmentText() {
        QCOMPARE(EnvironmentText(45, 253, 1012, 261), QString("RH=45 T=25.30 P=1012 T=26.10"));
    }

    void scan_data() {
        QTest::addColumn<QList<QByteArray>>("chunks");
        QTest::addColumn<QStringList>("dispatched");
        QTest::addColumn<QByteArray>("left");
        using L = QList<QByteArray>;
        row("one frame", L{hex("5506C72600AA")}, QStringList{"5506c72600aa"}, QByteArray());
        row("split over two chunks", L{hex("5506C1"), hex("8600AA")}, QStringList{"5506c18600aa"},
            QByteArray());
        row("two frames in one chunk", L{hex("5506C18600AA550545C0AA")},
            QStringList{"5506c18600aa", "550545c0aa"}, QByteArray());
        row("leading garbage goes with the frame", L{hex("00FF5506C72600AA")},
            QStringList{"5506c72600aa"}, QByteArray());
        row("bad end byte is kept", L{hex("5506C18600AB")}, QStringList{}, hex("5506C18600AB"));
        row("short length never starts a frame", L{hex("5502550545C0AA")},
            QStringList{"550545c0aa"}, QByteArray());
        row("length 0", L{hex("5500550545C0AA")}, QStringList{"550545c0aa"}, QByteArray());
        row("length 1", L{hex("5501"), hex("550545C0AA")}, QStringList{"550545c0aa"}, QByteArray());
        row("length 3, waiting", L{hex("550355")}, QStringList{}, hex("550355"));
        row("0x55 inside an incomplete frame", L{hex("5520AA550545C0AA")},
            QStringList{"550545c0aa"}, QByteArray());
        row("byte at a time", L{hex("55"), hex("05"), hex("45"), hex("C0"), hex("AA")},
            QStringList{"550545c0aa"}, QByteArray());
        const QByteArray longest = hex("55FF40") + QByteArray(251, 0) + hex("AA");
        row("longest frame after dead bytes, its end in the next chunk",
            L{QByteArray(5000, 0) + longest.chopped(1), hex("AA")}, QStringList{longest.toHex()},
            QByteArray());
    }

    void scan() {
        QFETCH(QList<QByteArray>, chunks);
        QFETCH(QStringList, dispatched);
        QFETCH(QByteArray, left);
        FrameScanner scanner;
        QStringList got;
        QByteArray passed;
        for (const QByteArray& c : chunks)
            scanChunk(scanner, c, got, passed);
        QCOMPARE(got, dispatched);
        QCOMPARE(scanner.RxBuffer().toHex(), left.toHex());
        QCOMPARE((passed + scanner.RxBuffer()).toHex(), chunks.join().toHex()); // nothing lost
    }

    void scanFindsFrameAfterMuchGarbage() {
        FrameScanner scanner;
        QStringList got;
        QByteArray passed;
        QByteArray garbage;
        for (int i = 0; i < 200000; ++i)
            garbage.append(char(i % 3 == 0 ? 0x55 : i % 251));
        for (qsizetype at = 0; at < garbage.size(); at += 1000)
            scanChunk(scanner, garbage.mid(at, 1000), got, passed);
        QVERIFY(scanner.RxBuffer().size() < FrameScanner::kDeadLimit + 255 + 1000);
        QVERIFY(passed.size() > 0); // what the bound dropped is told
        scanChunk(scanner, hex("550545C0AA"), got, passed);
        QCOMPARE(got.last(), QString("550545c0aa"));
    }

    void scanMatchesRescanFromStart() {
        std::mt19937 rng(2026);
        for (int round = 0; round < 300; ++round) {
            // Few distinct byte values, so frames, near-frames and incomplete ones all occur.
            const char alphabet[] = {char(0x55), char(0xAA), 4, 5, 6, 9, 0x20, 0};
            QByteArray stream;
            const int size = 50 + int(rng() % 1500);
            for (int i = 0; i < size; ++i)
                stream += alphabet[rng() % sizeof alphabet];
            RescanFromStart reference;
            FrameScanner scanner;
            QStringList got;
            QByteArray passed;
            for (qsizetype at = 0; at < stream.size();) {
                const qsizetype n = 1 + rng() % 40;
                reference.scan(stream.mid(at, n));
                scanChunk(scanner, stream.mid(at, n), got, passed);
                at += n;
            }
            QCOMPARE(got, reference.frames);
            QCOMPARE(scanner.RxBuffer().toHex(), reference.buffer.toHex());
            // Every byte is either dropped, part of a frame, or still waiting, in order.
            QCOMPARE((passed + scanner.RxBuffer()).toHex(), stream.toHex());
        }
    }
};

QTEST_GUILESS_MAIN(TestProtocol)
#include "tst_protocol.moc"
