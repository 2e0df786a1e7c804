#include <QtTest>

#include "link/frames.h"
#include "tests/support/test_files.h"

using namespace chanwright;

namespace {

QByteArray Bytes(const Frame& frame) {
    return QByteArray(reinterpret_cast<const char*>(frame.data()), static_cast<int>(frame.size()));
}

QByteArray Wire(const char* text) {
    return "\x01" + QByteArray(text) + "\r";
}

// The two characters that carry data byte index of a write-block frame.
QByteArray DataDigits(const Frame& frame, int index) {
    return Bytes(frame).mid(7 + 2 * index, 2);
}

}  // namespace

class TestFrames : public QObject {
    Q_OBJECT

  private slots:
    void hexDigits_data() {
        QTest::addColumn<int>("value");
        QTest::addColumn<QByteArray>("hex");
        QTest::newRow("zero padded") << 0x0A << QByteArray("0A");
        QTest::newRow("zero") << 0x00 << QByteArray("00");
        QTest::newRow("upper case") << 0xFF << QByteArray("FF");
        QTest::newRow("high nibble first") << 0x1F << QByteArray("1F");
    }
    void hexDigits() {
        QFETCH(int, value);
        QFETCH(QByteArray, hex);
        const auto digits = ByteToHex(static_cast<uint8_t>(value));
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(digits.data()), 2), hex);
        QCOMPARE(int(HexToByte(digits[0], digits[1])), value);
    }

    void hexToByteTolerance_data() {
        QTest::addColumn<QByteArray>("pair");
        QTest::addColumn<int>("value");
        QTest::newRow("lower case") << QByteArray("a0") << 0xA0;
        QTest::newRow("mixed case") << QByteArray("fE") << 0xFE;
        QTest::newRow("bad first digit") << QByteArray("G1") << 0;
        QTest::newRow("bad second digit") << QByteArray("1G") << 1;
        QTest::newRow("space second") << QByteArray("F ") << 15;
    }
    void hexToByteTolerance() {
        QFETCH(QByteArray, pair);
        QFETCH(int, value);
        QCOMPARE(int(HexToByte(uint8_t(pair[0]), uint8_t(pair[1]))), value);
    }

    void commandFrames_data() {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QByteArray>("wire");
        MemoryImage image{};
        image[0x155] = 0x00;
        image[0x1FFF] = 0xB4;
        QTest::newRow("read block 0x0120") << Bytes(BuildReadBlock(0x0120)) << Wire("140120D7");
        QTest::newRow("read byte 0x0000") << Bytes(BuildReadByte(0x0000)) << Wire("120000DC");
        QTest::newRow("write byte 0x0155 = 00")
            << Bytes(BuildWriteByte(0x0155, image)) << Wire("1101550072");
        QTest::newRow("write byte 0x1FFF = B4")
            << Bytes(BuildWriteByte(0x1FFF, image)) << Wire("111FFFB424");
    }
    void commandFrames() {
        QFETCH(QByteArray, frame);
        QFETCH(QByteArray, wire);
        QCOMPARE(frame, wire);
    }

    void writeBlockFrame_carriesImageBytesAndChecksum() {
        MemoryImage image = test::RandomImage(7);
        const Frame frame = BuildWriteBlock(0x1FF0, image);
        QCOMPARE(int(frame.size()), 42);
        QCOMPARE(Bytes(frame).left(7), QByteArray("\x01"
                                                  "131FF0"));
        for (int i = 0; i < kBlockSize; ++i) {
            const auto hex = ByteToHex(image[0x1FF0 + i]);
            QCOMPARE(DataDigits(frame, i),
                     QByteArray(reinterpret_cast<const char*>(hex.data()), 2));
        }
        QCOMPARE(int(frame[39]), int(ByteToHex(CalcSum(frame.data(), 1, 38))[0]));
        QCOMPARE(int(frame[40]), int(ByteToHex(CalcSum(frame.data(), 1, 38))[1]));
        QCOMPARE(int(frame[41]), int(kCr));
    }

    // Unused text bytes (0xFF) travel as spaces, but only inside a record's text.
    void textSubstitution_data() {
        QTest::addColumn<int>("address");
        QTest::addColumn<int>("index");
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("name record, text") << 0x0200 << 3 << QByteArray("20");
        QTest::newRow("name record, last text byte") << 0x0200 << 13 << QByteArray("20");
        QTest::newRow("name record, past the text") << 0x0200 << 14 << QByteArray("FF");
        QTest::newRow("last name block") << 0x1110 << 0 << QByteArray("20");
        QTest::newRow("directory, MMSI part") << 0x1120 << 3 << QByteArray("FF");
        QTest::newRow("directory, MMSI last byte") << 0x1120 << 4 << QByteArray("FF");
        QTest::newRow("directory, name") << 0x1120 << 5 << QByteArray("20");
        QTest::newRow("last individual block") << 0x1250 << 15 << QByteArray("20");
        QTest::newRow("after the directory") << 0x1260 << 5 << QByteArray("FF");
        QTest::newRow("group directory, name") << 0x1400 << 15 << QByteArray("20");
        QTest::newRow("group directory, MMSI part") << 0x1440 << 0 << QByteArray("FF");
        QTest::newRow("after the groups") << 0x1450 << 5 << QByteArray("FF");
        QTest::newRow("before the names") << 0x01F0 << 3 << QByteArray("FF");
    }
    void textSubstitution() {
        QFETCH(int, address);
        QFETCH(int, index);
        QFETCH(QByteArray, sent);
        const MemoryImage image = test::FilledImage(0xFF);
        const Frame frame = BuildWriteBlock(static_cast<uint16_t>(address), image);
        QCOMPARE(DataDigits(frame, index), sent);
        QCOMPARE(int(frame[39]), int(ByteToHex(CalcSum(frame.data(), 1, 38))[0]));
        QCOMPARE(image, test::FilledImage(0xFF));
    }

    void checkReply_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("type");
        const uint8_t data[16] = {0x08, 0x1F, 0xAB, 0xFF};
        const QByteArray block = Bytes(BuildReply(kTypeReadBlock, data, 16)).mid(1);
        const QByteArray byte = Bytes(BuildReply(kTypeReadByte, data, 1)).mid(1);
        QTest::newRow("block reply") << block << 0x14;
        QTest::newRow("byte reply") << byte << 0x12;
        QByteArray lower = block;
        lower[34] = char(QChar::toLower(uint(lower[34])));
        lower[35] = char(QChar::toLower(uint(lower[35])));
        QTest::newRow("lower-case checksum digits") << lower << 0;
        QByteArray damaged = block;
        damaged[5] = 'E';
        QTest::newRow("data changed on the way") << damaged << 0;
        const uint8_t none[1] = {0};
        QTest::newRow("unknown type 15") << Bytes(BuildReply(0x15, none, 1)).mid(1) << 0;
        QTest::newRow("write type 11") << Bytes(BuildReply(0x11, none, 1)).mid(1) << 0x11;
    }
    void checkReply() {
        QFETCH(QByteArray, body);
        QFETCH(int, type);
        QCOMPARE(int(CheckReply(reinterpret_cast<const uint8_t*>(body.constData()),
                                static_cast<int>(body.size()))),
                 type);
    }

    void blockReplyLayout() {
        const uint8_t data[16] = {0x08, 0x1F};
        const Frame reply = BuildReply(kTypeReadBlock, data, 16);
        QCOMPARE(int(reply.size()), 1 + kBlockReplyBodyLength);
        QCOMPARE(Bytes(reply).left(7), QByteArray("\x01"
                                                  "14081F"));
        QCOMPARE(int(BuildReply(kTypeReadByte, data, 1).size()), 1 + kByteReplyBodyLength);
    }
};

QTEST_GUILESS_MAIN(TestFrames)
#include "tst_frames.moc"
