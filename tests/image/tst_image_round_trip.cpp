#include <QtTest>

#include <algorithm>
#include <random>

#include "image/image_decoder.h"
#include "image/image_encoder.h"
#include "tests/support/test_files.h"

using namespace chanwright;
using test::RandomImage;

namespace {

PlanChannel& Record(std::vector<PlanChannel>& list, int position) {
    return *std::find_if(list.begin(), list.end(),
                         [&](const PlanChannel& r) { return r.Position == position; });
}

// The bits the data set owns, from the memory map; every other bit is carried.
MemoryImage OwnedBits() {
    MemoryImage owned{};
    auto own = [&](int first, int count, uint8_t mask) {
        for (int i = 0; i < count; ++i)
            owned[first + i] |= mask;
    };
    own(0x000D, 1, 0x07);
    own(0x000E, 1, 0xFF);
    own(0x000F, 1, 0x5F);
    own(0x0010, 1, 0xFC);
    own(0x0013, 6, 0xFF);
    own(0x0025, 1, 0xFF);
    own(0x0050, 31, 0xFF);   // enable bits of every region
    own(0x0070, 31, 0xFF);   // scan bits
    own(0x0090, 192, 0xFF);  // regional attribute bytes
    own(0x0150, 5, 0xFF);
    own(0x0156, 5, 0xFF);
    own(0x0160, 80, 0xFF);
    for (int slot = 0; slot < 3 * 64 + 10 + 40; ++slot)  // names, 12 of every 16 bytes
        own(0x0200 + 16 * slot, 12, 0xFF);
    for (int n = 0; n < 20; ++n)
        own(0x1120 + 16 * n, 15, 0xFF);
    for (int n = 0; n < 5; ++n)
        own(0x1400 + 16 * n, 15, 0xFF);
    return owned;
}

// A data set that moves every field away from its default, with the values that are known not
// to come back unchanged.
RadioData RichData() {
    RadioData data = test::MakeDefaultApp(kModelTQ5300).Data;
    CommonSettings& c = data.Common;
    c.Contrast = 6;
    c.Dimmer = 1;
    c.Scrambler = 3;
    c.ScanType = 1;
    c.Ind = 1;
    c.OffsetTime = 5;
    c.TrueMAG = c.AtisOnOffUSA = c.AtisOnOffCanada = c.DscScan = kTrue;
    c.KeyBeep = c.AtisOnOffInternational = c.IndReply = c.POSRR = c.WxAlert = kFalse;
    c.IndACK = 1;  // true, but not as -1
    c.AtisNo = "9876543217";
    c.UserMmsid = "366123456";
    data.Channels = {7, 8, 9, 0, 58, 28, 62, kNoChannel, 3};  // PCH, ACH, BCH: USA, INT, CAN

    PlanChannel& usa1 = Record(data.UsaChannels, 1);
    usa1.ChTag = "Harbour 1";
    usa1.ScanMemory = usa1.PowUp = usa1.VsMemory = kTrue;
    usa1.DispayA = kFalse;
    PlanChannel& usa20 = Record(data.UsaChannels, 20);
    usa20.Enable = usa20.Duplex = kFalse;
    usa20.LowPower = usa20.DuplexSelectable = kTrue;
    usa20.ChTag = "A_B";
    Record(data.IntlChannels, 16).ChTag = "DISTRESS CALL";
    Record(data.IntlChannels, 16).ScanMemory = kTrue;
    Record(data.IntlChannels, 59).TxEnable = kFalse;
    Record(data.IntlChannels, 59).ChTag = "END  ";
    PlanChannel& can60 = Record(data.CanadaChannels, 60);
    can60.Enable = can60.TxEnable = kFalse;
    can60.ScanMemory = kTrue;
    can60.ChTag.clear();
    data.WxChannels[0].Enable = kFalse;
    data.WxChannels[0].ScanMemory = data.WxChannels[9].ScanMemory = kTrue;
    data.WxChannels[0].ChTag = "NOAA wx";

    auto exp = [&](int n, int position, bool enable, const char* tag) -> ExpChannel& {
        ExpChannel& channel = data.ExpChannels[n - 1];
        channel.Position = static_cast<int16_t>(position);
        channel.Enable = ToBool16(enable);
        channel.LowPower = kFalse;
        channel.TxEnable = kTrue;
        channel.ChTag = tag;
        return channel;
    };
    exp(1, 0, true, "Exp zero").DispayA = kTrue;
    ExpChannel& second = exp(2, 255, true, "(255)");
    second.Duplex = second.PowUp = second.VsMemory = second.ScanMemory = second.LowPower = kTrue;
    exp(3, 256, true, "");
    exp(4, 281, true, "last row").DispayA = kTrue;
    exp(5, 131, false, "OFF").ScanMemory = kTrue;
    exp(40, 200, true, "place 40");

    auto& individual = data.IndividualDirectory;
    individual[0] = {kTrue, "Mary Lou", "3661234560"};
    individual[1] = {kFalse, "Ship/2 (x)", "211987654"};
    individual[2] = {kTrue, "ABCDEFGHIJKL", "12a4567890"};
    individual[3] = {kTrue, "trailing  ", "4000000000"};
    individual[4] = {kTrue, "SPACE", " 123456780"};
    individual[5] = {kTrue, "LOST", "5550000000"};
    data.GroupDirectory[0] = {kTrue, "Fleet", "0123456780"};
    data.GroupDirectory[1] = {kTrue, "Club", "0876543210"};
    data.GroupDirectory[2] = {kTrue, "Race crew", "0111111110"};
    data.GroupDirectory[3] = {kTrue, "Harbour", "0222222220"};
    data.GroupDirectory[4] = {kTrue, "Last group", "0333333330"};
    return data;
}

QStringList Describe(const RadioData& d) {
    QStringList lines;
    auto channels = [&](const char* name, const auto& list) {
        for (const PlanChannel& r : list) {
            lines << QString::asprintf("%s %d: E%d L%d P%d D%d S%d T%d A%d M%d V%d '%s'", name,
                                       r.Position, r.Enable, r.LowPower, r.PowUp, r.Duplex,
                                       r.DuplexSelectable, r.TxEnable, r.DispayA, r.ScanMemory,
                                       r.VsMemory, r.ChTag.c_str());
        }
    };
    channels("USA", d.UsaChannels);
    channels("INT", d.IntlChannels);
    channels("CAN", d.CanadaChannels);
    channels("WX", d.WxChannels);
    channels("EXP", d.ExpChannels);
    for (const auto* directory : {d.IndividualDirectory.data(), d.GroupDirectory.data()}) {
        const int count = directory == d.GroupDirectory.data() ? 5 : 20;
        for (int n = 0; n < count; ++n) {
            lines << QString::asprintf("DIR %d: E%d '%s' '%s'", n + 1, directory[n].Enable,
                                       directory[n].TagName.c_str(), directory[n].Mmsid.c_str());
        }
    }
    const CommonSettings& c = d.Common;
    lines << QString::asprintf("%d %d %d %d %d %d %d %d '%s' %d %d %d %d %d %d %d %d '%s'",
                               c.Contrast, c.Dimmer, c.Scrambler, c.KeyBeep, c.TrueMAG,
                               c.AtisOnOffUSA, c.AtisOnOffInternational, c.AtisOnOffCanada,
                               c.AtisNo.c_str(), c.ScanType, c.Ind, c.IndReply, c.IndACK, c.POSRR,
                               c.DscScan, c.WxAlert, c.OffsetTime, c.UserMmsid.c_str());
    const ChannelCommon& p = d.Channels;
    lines << QString::asprintf("PCH %d %d %d ACH %d %d %d BCH %d %d %d", p.UsaPch, p.IntPch,
                               p.CanPch, p.UsaAch, p.IntAch, p.CanAch, p.UsaBch, p.IntBch,
                               p.CanBch);
    return lines;
}

}  // namespace

class TestImageRoundTrip : public QObject {
    Q_OBJECT

  private slots:
    void encodeTwice_givesSameImage();
    void encode_writesOwnedBitsAndKeepsCarriedOnes_data();
    void encode_writesOwnedBitsAndKeepsCarriedOnes();
    void richDataSet_roundTripsWithDocumentedLosses();
};

void TestImageRoundTrip::encodeTwice_givesSameImage() {
    const RadioData data = RichData();
    MemoryImage image = RandomImage(12);
    QVERIFY(!EncodeImage(data, image));
    const MemoryImage once = image;
    QVERIFY(!EncodeImage(data, image));
    QCOMPARE(test::ImageBytes(image), test::ImageBytes(once));
}

void TestImageRoundTrip::encode_writesOwnedBitsAndKeepsCarriedOnes_data() {
    QTest::addColumn<bool>("rich");

    QTest::newRow("default data set") << false;
    QTest::newRow("rich data set") << true;
}

void TestImageRoundTrip::encode_writesOwnedBitsAndKeepsCarriedOnes() {
    QFETCH(bool, rich);

    const RadioData data = rich ? RichData() : test::MakeDefaultApp(kModelTQ5300).Data;
    const MemoryImage beforeA = RandomImage(1);
    const MemoryImage beforeB = RandomImage(2);
    MemoryImage imageA = beforeA;
    MemoryImage imageB = beforeB;
    QVERIFY(!EncodeImage(data, imageA));
    QVERIFY(!EncodeImage(data, imageB));
    const MemoryImage owned = OwnedBits();
    for (int a = 0; a < kImageSize; ++a) {
        const QString where = QString("address 0x%1").arg(a, 4, 16, QChar('0'));
        // Carried bits keep whatever the image held; owned bits depend on the data set alone.
        QVERIFY2(((imageA[a] ^ beforeA[a]) & ~owned[a]) == 0, qPrintable(where + " carried"));
        QVERIFY2(((imageB[a] ^ beforeB[a]) & ~owned[a]) == 0, qPrintable(where + " carried"));
        QVERIFY2(((imageA[a] ^ imageB[a]) & owned[a]) == 0, qPrintable(where + " owned"));
    }
}

void TestImageRoundTrip::richDataSet_roundTripsWithDocumentedLosses() {
    const RadioData rich = RichData();
    AppState app = test::MakeDefaultApp(kModelTQ5300);
    QVERIFY(!EncodeImage(rich, app.Image));
    QString why;
    QVERIFY2(test::MatchesGolden(test::ImageBytes(app.Image), "rich_round_trip.hex", &why),
             qPrintable(why));

    // Decoded as in a fresh session, so whatever the image does not hold shows as a default.
    RadioData decoded = test::MakeDefaultApp(kModelTQ5300).Data;
    DecodeImage(app.Image, decoded);

    RadioData expected = rich;
    expected.Channels.UsaPch = expected.Channels.IntPch = expected.Channels.CanPch = 0;
    expected.Common.UserMmsid = "3661234560";                    // tenth digit 0 added
    expected.Common.IndACK = kTrue;                              // 1 comes back as -1
    Record(expected.UsaChannels, 1).DispayA = kTrue;             // regional DispayA is never read
    Record(expected.UsaChannels, 20).DuplexSelectable = kFalse;  // not stored
    Record(expected.UsaChannels, 20).ChTag = "A";
    Record(expected.IntlChannels, 16).ChTag = "DISTRESS CAL";
    Record(expected.IntlChannels, 59).ChTag = "END";
    expected.ExpChannels[0].DispayA = kFalse;  // EXP DispayA is bit 8 of the index
    expected.ExpChannels[2].DispayA = kTrue;
    expected.ExpChannels[4].Position = 0;  // a disabled channel's Position is not stored
    auto& individual = expected.IndividualDirectory;
    individual[1] = {kTrue, "Ship/2 (x)", "2119876540"};
    individual[2] = {kTrue, "ABCDEFGHIJ", "12"};
    individual[3].TagName = "trailing";
    individual[4] = individual[5] = DirectoryEntry{};  // leading space ends the directory

    QCOMPARE(Describe(decoded), Describe(expected));
    QVERIFY(decoded == expected);
}

QTEST_APPLESS_MAIN(TestImageRoundTrip)
#include "tst_image_round_trip.moc"
