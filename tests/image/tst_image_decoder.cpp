#include <QtTest>

#include <algorithm>

#include "image/image_decoder.h"
#include "tests/support/test_files.h"

using namespace chanwright;
using test::FilledImage;
using test::Hex;
using test::PutBytes;

class TestImageDecoder : public QObject {
    Q_OBJECT

  private slots:
    void decodeName_data();
    void decodeName();
    void decodeDigits_data();
    void decodeDigits();
    void decodeOffset_data();
    void decodeOffset();
    void decodeExpWord_data();
    void decodeExpWord();
    void decodeDirectory_endsAtFirstEmptyNumber();
    void decodePlanChannels_leavesDispayAAndPosition();
    void usaRecordAtPosition64_readsSlot63();
};

void TestImageDecoder::decodeName_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("expected");

    QTest::newRow("spaces then 0xFF trimmed") << QByteArray("SAFETY  \xff") << 12 << "SAFETY";
    QTest::newRow("starts with 0xFF -> empty") << Hex("ff41424344") << 12 << "";
    QTest::newRow("starts with 0x00 -> empty") << Hex("0041424344") << 12 << "";
    QTest::newRow("lower case survives") << QByteArray("Bay (4)+,-./*") << 12 << "Bay (4)+,-./";
    QTest::newRow("underscore ends name") << QByteArray("AB_CD") << 12 << "AB";
    QTest::newRow("leading and inner spaces stay") << QByteArray(" A  B \xff") << 12 << " A  B";
    QTest::newRow("all spaces -> empty") << QByteArray(12, ' ') << 12 << "";
    QTest::newRow("directory name stops at 10") << QByteArray("ABCDEFGHIJKL") << 10 << "ABCDEFGHIJ";
    QTest::newRow("0x7F ends name") << QByteArray("z\x7f") << 12 << "z";
}

void TestImageDecoder::decodeName() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, length);
    QFETCH(QString, expected);

    MemoryImage image = FilledImage(0x41);
    PutBytes(image, 0x0300, bytes);
    QCOMPARE(QString::fromStdString(DecodeName(image, 0x0300, length)), expected);
}

void TestImageDecoder::decodeDigits_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");

    QTest::newRow("nine digits") << Hex("123456789f") << "123456789";
    QTest::newRow("ten digits ending in 0") << Hex("1234567890") << "1234567890";
    QTest::newRow("three digits") << Hex("123fffffff") << "123";
    QTest::newRow("empty") << Hex("ffffffffff") << "";
    QTest::newRow("nibble A ends at high nibble") << Hex("12a4567890") << "12";
    QTest::newRow("zeros are digits") << Hex("0000000000") << "0000000000";
}

void TestImageDecoder::decodeDigits() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);

    MemoryImage image = FilledImage(0x11);  // digits past the five bytes must not be read
    PutBytes(image, 0x0156, bytes);
    QCOMPARE(QString::fromStdString(DecodeDigits(image, 0x0156)), expected);
}

void TestImageDecoder::decodeOffset_data() {
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("expected");

    QTest::newRow("0x20 no offset") << 0x20 << 12;
    QTest::newRow("0x35 +5") << 0x35 << 17;
    QTest::newRow("0x25 -5") << 0x25 << 7;
    QTest::newRow("0x2C -12") << 0x2C << 0;
    QTest::newRow("0x3C +12") << 0x3C << 24;
    QTest::newRow("0x3D magnitude 13 -> +12") << 0x3D << 24;
    QTest::newRow("0x2F magnitude 15 -> -12") << 0x2F << 0;
    QTest::newRow("0x3F") << 0x3F << 12;
    QTest::newRow("0xFF") << 0xFF << 12;
    QTest::newRow("0x40 only TrueMAG") << 0x40 << 12;
    QTest::newRow("0xD3 bits 7-6 ignored") << 0xD3 << 15;
    QTest::newRow("0x13 bit 5 clear") << 0x13 << 15;
}

void TestImageDecoder::decodeOffset() {
    QFETCH(int, byte);
    QFETCH(int, expected);

    QCOMPARE(int{DecodeOffset(static_cast<uint8_t>(byte))}, expected);
}

void TestImageDecoder::decodeExpWord_data() {
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QByteArray>("word");
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("dispayA");
    QTest::addColumn<bool>("lowPower");
    QTest::addColumn<bool>("txEnable");

    QTest::newRow("disabled keeps Position")
        << false << Hex("1005") << 7 << false << false << false;
    QTest::newRow("index 1023 keeps Position") << true << Hex("03ff") << 7 << true << true << false;
    QTest::newRow("index 282 keeps Position") << true << Hex("011a") << 7 << true << true << false;
    QTest::newRow("index 281, DispayA from bit 8")
        << true << Hex("0119") << 281 << true << true << false;
    QTest::newRow("index 0") << true << Hex("9000") << 0 << false << false << true;
    QTest::newRow("bit 2 is no index bit") << true << Hex("8405") << 5 << false << true << true;
    QTest::newRow("index 255") << true << Hex("f8ff") << 255 << false << false << true;
}

void TestImageDecoder::decodeExpWord() {
    QFETCH(bool, enabled);
    QFETCH(QByteArray, word);
    QFETCH(int, position);
    QFETCH(bool, dispayA);
    QFETCH(bool, lowPower);
    QFETCH(bool, txEnable);

    MemoryImage image = FilledImage(0);
    image[0x006B] = enabled ? 0x80 : 0x00;  // EXP channel 9
    PutBytes(image, 0x0160 + 2 * 8, word);
    RadioData data;
    for (ExpChannel& channel : data.ExpChannels)
        channel.Position = 7;
    DecodeExpChannels(image, data);
    const ExpChannel& channel = data.ExpChannels[8];
    QCOMPARE(channel.Enable, ToBool16(enabled));
    QCOMPARE(int{channel.Position}, position);
    QCOMPARE(channel.DispayA, ToBool16(dispayA));
    QCOMPARE(channel.LowPower, ToBool16(lowPower));
    QCOMPARE(channel.TxEnable, ToBool16(txEnable));
    QCOMPARE(int{data.ExpChannels[7].Position}, 7);
}

void TestImageDecoder::decodeDirectory_endsAtFirstEmptyNumber() {
    MemoryImage image = FilledImage(0xFF);
    for (int n : {0, 1, 3}) {
        PutBytes(image, 0x1120 + 16 * n, Hex("3661234560"));
        PutBytes(image, 0x1125 + 16 * n, QByteArray("Boat ") + char('1' + n));
    }
    PutBytes(image, 0x1145, QByteArray("ORPHAN"));  // entry 3: a name but no number
    PutBytes(image, 0x1400, Hex("0123456780") + "Fleet");
    RadioData data;
    for (DirectoryEntry& entry : data.IndividualDirectory)
        entry = {kTrue, "OLD", "1111111110"};
    DecodeImage(image, data);

    QVERIFY((data.IndividualDirectory[0] == DirectoryEntry{kTrue, "Boat 1", "3661234560"}));
    QVERIFY((data.IndividualDirectory[1] == DirectoryEntry{kTrue, "Boat 2", "3661234560"}));
    for (int n = 2; n < kIndividualDirectorySize; ++n)
        QVERIFY2(data.IndividualDirectory[n] == DirectoryEntry{}, qPrintable(QString::number(n)));
    QVERIFY((data.GroupDirectory[0] == DirectoryEntry{kTrue, "Fleet", "0123456780"}));
    QVERIFY(data.GroupDirectory[1] == DirectoryEntry{});
}

void TestImageDecoder::decodePlanChannels_leavesDispayAAndPosition() {
    RadioData data = test::MakeDefaultApp(kModelTQ5300).Data;
    const RadioData before = data;
    MemoryImage image = FilledImage(0xFF);
    const std::pair<std::vector<PlanChannel> RadioData::*, int> regions[] = {
        {&RadioData::UsaChannels, 0x0090},
        {&RadioData::IntlChannels, 0x00D0},
        {&RadioData::CanadaChannels, 0x0110}};
    for (const auto& [list, attributes] : regions) {
        for (const PlanChannel& r : data.*list)  // bit 0 opposite to what the record holds
            image[attributes + r.Position - 1] = r.DispayA ? 0xFE : 0xFF;
    }
    DecodeImage(image, data);
    for (const auto& [list, attributes] : regions) {
        for (std::size_t i = 0; i < (data.*list).size(); ++i) {
            QCOMPARE((data.*list)[i].Position, (before.*list)[i].Position);
            QCOMPARE((data.*list)[i].DispayA, (before.*list)[i].DispayA);
        }
    }
}

void TestImageDecoder::usaRecordAtPosition64_readsSlot63() {
    MemoryImage image = FilledImage(0x00);
    image[0x0057] = 0x01;  // enable bit of slot 63 only
    image[0x0077] = 0x01;
    image[0x0090 + 63] = 0xA8;  // TxEnable, PowUp, VsMemory, low power
    PutBytes(image, 0x0200 + 16 * 63, QByteArray("LAST"));
    PlanChannel outside;
    outside.ChTag = "KEEP";
    outside.Enable = kTrue;
    RadioData data;
    data.UsaChannels.resize(3, outside);
    data.UsaChannels[0].Position = 64;
    data.UsaChannels[2].Position = 65;
    DecodePlanChannels(image, data, Region::Usa);

    PlanChannel expected;
    expected.Position = 64;
    expected.Enable = expected.ScanMemory = expected.TxEnable = kTrue;
    expected.PowUp = expected.VsMemory = expected.LowPower = kTrue;
    expected.ChTag = "LAST";
    QVERIFY(data.UsaChannels[0] == expected);
    QVERIFY(data.UsaChannels[1] == outside);  // Position 0 has no slot
    outside.Position = 65;
    QVERIFY(data.UsaChannels[2] == outside);
}

QTEST_APPLESS_MAIN(TestImageDecoder)
#include "tst_image_decoder.moc"
