#include <QtTest>

#include <algorithm>
#include <random>

#include "image/image_decoder.h"
#include "image/image_encoder.h"
#include "tests/support/test_files.h"

using namespace chanwright;
using test::Hex;
using test::ImageSlice;
using test::RandomImage;

namespace {

int16_t& SettingField(CommonSettings& common, const QString& name) {
    if (name == "ScanType")
        return common.ScanType;
    if (name == "OffsetTime")
        return common.OffsetTime;
    if (name == "TrueMAG")
        return common.TrueMAG;
    if (name == "Dimmer")
        return common.Dimmer;
    if (name == "Contrast")
        return common.Contrast;
    if (name == "Ind")
        return common.Ind;
    return common.Scrambler;
}

}  // namespace

class TestImageEncoder : public QObject {
    Q_OBJECT

  private slots:
    void commonSetting_writesOnlyItsBits_data();
    void commonSetting_writesOnlyItsBits();
    void multiBitSetting_outOfRangeLeavesImageUnchanged_data();
    void multiBitSetting_outOfRangeLeavesImageUnchanged();
    void channelPointers_keepLow8Bits();
    void slotWithoutRecord_isDisabledEmptyHighPower_data();
    void slotWithoutRecord_isDisabledEmptyHighPower();
    void regionalRecords_outsideSlotsSkippedAndLaterWins();
    void expWord_data();
    void expWord();
    void attributeByte_anyNonZeroIsTrue();
    void encodeDigits_data();
    void encodeDigits();
    void encodeName_data();
    void encodeName();
};

void TestImageEncoder::commonSetting_writesOnlyItsBits_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("after");

    QTest::newRow("ScanType 1 sets bit 7") << "ScanType" << 1 << 0x000E << 0x7C << 0xFC;
    QTest::newRow("ScanType -1 (true) clears") << "ScanType" << -1 << 0x000E << 0xFC << 0x7C;
    QTest::newRow("ScanType 2 clears") << "ScanType" << 2 << 0x000E << 0xFF << 0x7C;
    QTest::newRow("Dimmer 5 written as 1") << "Dimmer" << 5 << 0x000E << 0x7C << 0x5C;
    QTest::newRow("Contrast 9 written as 1") << "Contrast" << 9 << 0x000E << 0x7C << 0x79;
    QTest::newRow("Ind 6 written as 2, bits 1-0 kept") << "Ind" << 6 << 0x0010 << 0xFF << 0xFB;
    QTest::newRow("Scrambler 255 whole byte") << "Scrambler" << 255 << 0x0025 << 0x00 << 0xFF;
    QTest::newRow("OffsetTime 12: no offset") << "OffsetTime" << 12 << 0x000F << 0x20 << 0x20;
    QTest::newRow("OffsetTime 0: -12") << "OffsetTime" << 0 << 0x000F << 0x20 << 0x2C;
    QTest::newRow("OffsetTime 24: +12") << "OffsetTime" << 24 << 0x000F << 0x20 << 0x3C;
    QTest::newRow("OffsetTime 30 clamped to 24") << "OffsetTime" << 30 << 0x000F << 0x20 << 0x3C;
    QTest::newRow("OffsetTime -3 clamped to 0") << "OffsetTime" << -3 << 0x000F << 0x20 << 0x2C;
    QTest::newRow("OffsetTime 7, bit 5 clear stays clear")
        << "OffsetTime" << 7 << 0x000F << 0x80 << 0x85;
    QTest::newRow("OffsetTime 24, bits 7 and 5 kept, TrueMAG cleared")
        << "OffsetTime" << 24 << 0x000F << 0xFF << 0xBC;
    QTest::newRow("TrueMAG sets bit 6") << "TrueMAG" << -1 << 0x000F << 0x20 << 0x60;
}

void TestImageEncoder::commonSetting_writesOnlyItsBits() {
    QFETCH(QString, field);
    QFETCH(int, value);
    QFETCH(int, address);
    QFETCH(int, before);
    QFETCH(int, after);

    AppState app = test::MakeDefaultApp(kModelTQ5300);
    app.Image[address] = static_cast<uint8_t>(before);
    SettingField(app.Data.Common, field) = static_cast<int16_t>(value);
    QVERIFY(!EncodeImage(app.Data, app.Image));
    QCOMPARE(int{app.Image[address]}, after);
}

void TestImageEncoder::multiBitSetting_outOfRangeLeavesImageUnchanged_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("value");

    QTest::newRow("Scrambler 300") << "Scrambler" << 300;
    QTest::newRow("Scrambler -1") << "Scrambler" << -1;
    QTest::newRow("Dimmer -1") << "Dimmer" << -1;
    QTest::newRow("Contrast 256") << "Contrast" << 256;
    QTest::newRow("Ind 300") << "Ind" << 300;
}

void TestImageEncoder::multiBitSetting_outOfRangeLeavesImageUnchanged() {
    QFETCH(QString, field);
    QFETCH(int, value);

    RadioData data = test::MakeDefaultApp(kModelTQ5300).Data;
    SettingField(data.Common, field) = static_cast<int16_t>(value);
    MemoryImage image = RandomImage(3);
    const MemoryImage before = image;
    const std::optional<EncodeError> error = EncodeImage(data, image);
    QVERIFY(error.has_value());
    QCOMPARE(QString::fromStdString(error->Field), field);
    QCOMPARE(error->Value, value);
    QCOMPARE(test::ImageBytes(image), test::ImageBytes(before));
}

void TestImageEncoder::channelPointers_keepLow8Bits() {
    RadioData data = test::MakeDefaultApp(kModelTQ5300).Data;
    data.Channels.UsaAch = 300;
    data.Channels.UsaBch = -1;
    data.Channels.IntAch = 256;
    MemoryImage image = RandomImage(4);
    QVERIFY(!EncodeImage(data, image));
    QCOMPARE(ImageSlice(image, 0x0013, 6), Hex("2cff00ffffff"));
}

void TestImageEncoder::slotWithoutRecord_isDisabledEmptyHighPower_data() {
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("attributes");
    QTest::addColumn<int>("names");
    QTest::addColumn<int>("slot");

    QTest::newRow("USA 02") << 0x0050 << 0x0090 << 0x0200 << 1;
    QTest::newRow("USA 84A") << 0x0050 << 0x0090 << 0x0200 << 54;
    QTest::newRow("USA 64 (empty)") << 0x0050 << 0x0090 << 0x0200 << 63;
    QTest::newRow("INT 75") << 0x0058 << 0x00D0 << 0x0600 << 45;
    QTest::newRow("INT 60 (empty)") << 0x0058 << 0x00D0 << 0x0600 << 59;
    QTest::newRow("CAN 21") << 0x0060 << 0x0110 << 0x0A00 << 20;
    QTest::newRow("CAN 64 (empty)") << 0x0060 << 0x0110 << 0x0A00 << 63;
}

void TestImageEncoder::slotWithoutRecord_isDisabledEmptyHighPower() {
    QFETCH(int, bits);
    QFETCH(int, attributes);
    QFETCH(int, names);
    QFETCH(int, slot);

    RadioData data = test::MakeDefaultApp(kModelTQ5300).Data;
    MemoryImage image = RandomImage(5);
    const MemoryImage before = image;
    QVERIFY(!EncodeImage(data, image));
    const int mask = 0x80 >> (slot % 8);
    QCOMPARE(image[bits + slot / 8] & mask, 0);
    QCOMPARE(image[bits + 0x20 + slot / 8] & mask, 0);  // scan bits
    QCOMPARE(int{image[attributes + slot]}, 0x10);
    QCOMPARE(ImageSlice(image, names + 16 * slot, 16),
             QByteArray(12, '\xff') + ImageSlice(before, names + 16 * slot + 12, 4));
}

void TestImageEncoder::regionalRecords_outsideSlotsSkippedAndLaterWins() {
    RadioData data = test::MakeDefaultApp(kModelTQ5300).Data;
    MemoryImage plain = RandomImage(6);
    MemoryImage image = plain;
    QVERIFY(!EncodeImage(data, plain));

    PlanChannel stray = data.UsaChannels.front();
    stray.ChTag = "STRAY";
    for (int position : {0, 65, -1}) {
        stray.Position = static_cast<int16_t>(position);
        data.UsaChannels.push_back(stray);
    }
    QVERIFY(!EncodeImage(data, image));
    QCOMPARE(test::ImageBytes(image), test::ImageBytes(plain));

    stray.Position = 3;
    data.UsaChannels.push_back(stray);
    QVERIFY(!EncodeImage(data, image));
    QCOMPARE(ImageSlice(image, 0x0220, 12), QByteArray("STRAY") + QByteArray(7, '\xff'));
}

void TestImageEncoder::expWord_data() {
    QTest::addColumn<bool>("enable");
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("attributes");  // TxEnable, Duplex, PowUp, VsMemory, DispayA, LowPower
    QTest::addColumn<QByteArray>("word");

    QTest::newRow("index 0") << true << 0 << false << Hex("1000");
    QTest::newRow("index 255") << true << 255 << false << Hex("10ff");
    QTest::newRow("index 256") << true << 256 << false << Hex("1100");
    QTest::newRow("index 281") << true << 281 << false << Hex("1119");
    QTest::newRow("index 2047 uses three bits") << true << 2047 << false << Hex("17ff");
    QTest::newRow("index 2048 loses bit 11") << true << 2048 << false << Hex("1000");
    QTest::newRow("disabled: no index") << false << 281 << false << Hex("1000");
    QTest::newRow("attributes, DispayA dropped") << true << 5 << true << Hex("e805");
}

void TestImageEncoder::expWord() {
    QFETCH(bool, enable);
    QFETCH(int, position);
    QFETCH(bool, attributes);
    QFETCH(QByteArray, word);

    RadioData data;
    ExpChannel& channel = data.ExpChannels[39];
    channel.Enable = ToBool16(enable);
    channel.Position = static_cast<int16_t>(position);
    channel.TxEnable = channel.Duplex = channel.PowUp = channel.VsMemory = channel.DispayA =
        channel.LowPower = ToBool16(attributes);
    MemoryImage image = RandomImage(9);
    EncodeExpChannels(data, image);
    QCOMPARE(ImageSlice(image, 0x0160 + 2 * 39, 2).toHex(), word.toHex());
    QCOMPARE(int{image[0x006E]}, enable ? 0x01 : 0x00);
}

// Switches set elsewhere than the reader may hold 1 rather than -1; both mean true.
void TestImageEncoder::attributeByte_anyNonZeroIsTrue() {
    PlanChannel channel;
    channel.TxEnable = channel.LowPower = channel.DispayA = 1;
    QCOMPARE(int{EncodeAttributes(channel)}, 0x81);
    channel.LowPower = 0;
    QCOMPARE(int{EncodeAttributes(channel)}, 0x91);
}

void TestImageEncoder::encodeDigits_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("pad");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("empty") << "" << true << Hex("ffffffffff");
    QTest::newRow("only spaces") << "   " << false << Hex("ffffffffff");
    QTest::newRow("nine digits, padded") << "123456789" << true << Hex("1234567890");
    QTest::newRow("nine digits, unpadded") << "123456789" << false << Hex("123456789f");
    QTest::newRow("ten digits, padded") << "1234567897" << true << Hex("1234567890");
    QTest::newRow("ten digits, unpadded") << "1234567897" << false << Hex("1234567897");
    QTest::newRow("two digits, padded") << "12" << true << Hex("12fffffff0");
    QTest::newRow("non-digit") << "12a4" << false << Hex("12f4ffffff");
    QTest::newRow("leading space") << " 123" << false << Hex("f123ffffff");
    QTest::newRow("trailing space") << "123 " << false << Hex("123fffffff");
    QTest::newRow("longer than ten") << "123456789012" << false << Hex("1234567890");
}

void TestImageEncoder::encodeDigits() {
    QFETCH(QString, text);
    QFETCH(bool, pad);
    QFETCH(QByteArray, bytes);

    MemoryImage image = RandomImage(10);
    const MemoryImage before = image;
    EncodeDigits(image, 0x0150, text.toStdString(), pad);
    QCOMPARE(ImageSlice(image, 0x0150, 5).toHex(), bytes.toHex());
    QCOMPARE(image[0x0155], before[0x0155]);
    QCOMPARE(image[0x014F], before[0x014F]);
}

void TestImageEncoder::encodeName_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("length");
    QTest::addColumn<QByteArray>("bytes");

    const QByteArray ff(12, '\xff');
    QTest::newRow("padded with 0xFF") << QByteArray("SAFETY") << 12 << "SAFETY" + ff.left(6);
    QTest::newRow("every symbol and lower case")
        << QByteArray("a(+,-./)* z9") << 12 << QByteArray("a(+,-./)* z9");
    QTest::newRow("underscore and tilde -> 0xFF") << QByteArray("A_B~") << 12
                                                  << "A\xff"
                                                     "B\xff" +
                                                         ff.left(8);
    QTest::newRow("UTF-8 letter -> two 0xFF")
        << QByteArray("\xc3\x84X") << 12 << "\xff\xffX" + ff.left(9);
    QTest::newRow("trailing spaces written") << QByteArray("AB  ") << 12 << "AB  " + ff.left(8);
    QTest::newRow("cut at 12") << QByteArray("ABCDEFGHIJKLMNO") << 12 << QByteArray("ABCDEFGHIJKL");
    QTest::newRow("directory cut at 10")
        << QByteArray("ABCDEFGHIJKL") << 10 << QByteArray("ABCDEFGHIJ");
    QTest::newRow("empty") << QByteArray() << 12 << ff;
}

void TestImageEncoder::encodeName() {
    QFETCH(QByteArray, text);
    QFETCH(int, length);
    QFETCH(QByteArray, bytes);

    MemoryImage image = RandomImage(11);
    const MemoryImage before = image;
    EncodeName(image, 0x0300, text.toStdString(), length);
    QCOMPARE(ImageSlice(image, 0x0300, length).toHex(' '), bytes.toHex(' '));
    QCOMPARE(ImageSlice(image, 0x0300 + length, 4), ImageSlice(before, 0x0300 + length, 4));
}

QTEST_APPLESS_MAIN(TestImageEncoder)
#include "tst_image_encoder.moc"
