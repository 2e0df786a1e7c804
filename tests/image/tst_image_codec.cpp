#include <QtTest>

#include <algorithm>

#include "image/default_image.h"
#include "image/image_decoder.h"
#include "image/image_encoder.h"
#include "image/radio_name.h"
#include "tests/support/test_files.h"

using namespace chanwright;
using namespace chanwright::test;

namespace {

PlanChannel& Record(std::vector<PlanChannel>& list, int position) {
    return *std::find_if(list.begin(), list.end(),
                         [&](const PlanChannel& r) { return r.Position == position; });
}

// A data set that moves every field away from its default (tests/data/image_rich.dat), with
// the values that are known not to come back unchanged; the fields no data file holds as they
// are set here.
RadioData RichData() {
    AppState app = test::MakeDefaultApp(Model::TQ5300);
    app.Shared.ModelCode = "KW83E";
    test::ReadDataFixture(app, "image_rich.dat");
    RadioData& data = app.Data;
    data.Common.IndACK = 1;  // true, but not as -1
    Record(data.UsaChannels, 20).DuplexSelectable = kTrue;
    Record(data.IntlChannels, 59).ChTag = "END  ";
    data.IndividualDirectory[3].TagName = "trailing  ";
    data.IndividualDirectory[4].Mmsid = " 123456780";
    return data;
}

// The rich set plus what it leaves out: records without a slot and a later one for slot 3,
// switches set to 1 rather than -1, EXP indexes of eleven bits and more, and names and numbers
// the radio cannot hold as they are.
RadioData EdgeData() {
    RadioData data = RichData();
    PlanChannel stray = data.UsaChannels.front();
    stray.ChTag = "STRAY";
    for (int position : {0, 65, -1, 3}) {
        stray.Position = static_cast<int16_t>(position);
        data.UsaChannels.push_back(stray);
    }
    PlanChannel& int1 = Record(data.IntlChannels, 1);
    int1.TxEnable = int1.LowPower = int1.DispayA = 1;
    for (int n : {38, 39}) {
        data.ExpChannels[n].Enable = kTrue;
        data.ExpChannels[n].Position = static_cast<int16_t>(2086 - n);  // 2048, 2047
    }
    int n = 5;
    for (const char* tag : {"a(+,-./)* z9", "A_B~", "\xc3\x84X"})
        data.ExpChannels[n++].ChTag = tag;
    n = 6;
    for (const char* digits : {"   ", "123 ", "123456789012", "12"})
        data.IndividualDirectory[n++].Mmsid = digits;
    data.Common.AtisNo = "123456789";
    return data;
}

// Every field of a data set, one line a record, for golden comparison.
QByteArray Describe(const RadioData& d) {
    QStringList lines;
    auto channels = [&](const char* name, const auto& list) {
        for (const PlanChannel& r : list)
            lines << test::ChannelLine(name, r);
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
    return lines.join('\n').toLatin1() + '\n';
}

// Name, a name as typed, the slot's length, what the slot holds then.
const QByteArray kFF(12, '\xff');
const std::tuple<const char*, QByteArray, int, QByteArray> kNames[] = {
    {"accent", "CAF\xc3\x89 DU PORT", 12, "CAFE DU PORT"},
    {"first letter", "\xc3\x85LESUND", 12, "ALESUND" + kFF.left(5)},
    {"spelled letters", "Stra\xc3\x9f\x65 \xc3\x86\xc3\xb8", 12, "StraSSe AEo" + kFF.left(1)},
    {"stroke, ligature, Latin Extended Additional",
     "\xc5\x81\xc3\xb3\x64\xc5\xba \xc5\x93 \xe1\xbb\x87", 12, "Lodz oe e" + kFF.left(3)},
    {"combining accent dropped", "E\xcc\x81TE", 12, "ETE" + kFF.left(9)},
    {"Windows-1252 bytes", "Caf\xe9 \x8a\x9c\x9f", 12, "Cafe SoeY" + kFF.left(3)},
    {"not UTF-8: overlong, surrogate", "\xc0\xaf\xed\xa0\x80", 12, "A i  " + kFF.left(7)},
    {"others become spaces", "A_B~#?\xe2\x82\xac\xf0\x9f\x9a\xa2!", 12, "A B      " + kFF.left(3)},
    {"spelled at the cut", "ABCDEFGHIJK\xc3\x9f", 12, "ABCDEFGHIJKS"},
    {"directory", "\xc3\x85lesund Havn", 10, "Alesund Ha"},
    {"fit, cut as before", "Bay (4)+,-./*", 12, "Bay (4)+,-./"},
};

}  // namespace

class TestImageCodec : public QObject {
    Q_OBJECT

  private slots:
    // Attribute bytes of 0xFF switch every attribute on and LowPower off; the directory is empty.
    void defaultImage_decodesToGoldenDefaults() {
        MemoryImage raw;
        BuildDefaultImage(raw, Model::HV2071P);
        RadioData data = test::MakeDefaultApp(Model::HV2071P).Data;
        data.IndividualDirectory[0] = {kTrue, "OLD", "1234567890"};
        DecodeImage(raw, data);
        COMPARE_GOLDEN(Describe(data), "image_default_decoded.txt");
    }

    // Encoded over all-zero and all-one bytes, every 16-byte row the data set touches: a bit that
    // differs between the two is carried, one that agrees is owned and depends on the data alone.
    void edgeDataSet_encodesOwnedBitsToGolden() {
        QByteArray dump;
        MemoryImage zeros = test::FilledImage(0x00);
        MemoryImage ones = test::FilledImage(0xFF);
        QVERIFY(!EncodeImage(EdgeData(), zeros));
        QVERIFY(!EncodeImage(EdgeData(), ones));
        for (int a = 0; a < kImageSize; a += 16) {
            const QByteArray zeroRow = ImageSlice(zeros, a, 16);
            const QByteArray oneRow = ImageSlice(ones, a, 16);
            if (zeroRow != QByteArray(16, '\0') || oneRow != QByteArray(16, '\xff'))
                dump += QString::asprintf("%04x ", a).toLatin1() + zeroRow.toHex(' ') + " | " +
                        oneRow.toHex(' ') + '\n';
        }
        COMPARE_GOLDEN(dump, "image_edge_encoded.txt");
    }

    void richDataSet_roundTripsToGoldens() {
        AppState app = test::MakeDefaultApp(Model::TQ5300);
        QVERIFY(!EncodeImage(RichData(), app.Image));
        COMPARE_GOLDEN(test::ImageBytes(app.Image), "rich_round_trip.hex");

        // Decoded as in a fresh session, so whatever the image does not hold shows as a default.
        // Known losses: priority channels, the padded tenth digit, regional DispayA and
        // DuplexSelectable, names fitted to the characters the radio has, a disabled EXP
        // channel's Position, and the directory from the first entry without a number on.
        RadioData decoded = test::MakeDefaultApp(Model::TQ5300).Data;
        DecodeImage(app.Image, decoded);
        COMPARE_GOLDEN(Describe(decoded), "image_rich_decoded.txt");
    }

    // Bytes the encoder never writes: names ending at 0x00 and 0x7F, a digit nibble of 10, an
    // empty number ending the directory, EXP indexes past the plan, USA slot 64, and records
    // without a slot, which keep what they hold.
    void edgeImage_decodesToGolden() {
        MemoryImage image = test::FilledImage(0x41);
        RadioData data = test::MakeDefaultApp(Model::TQ5300).Data;
        const QByteArray names[] = {test::Hex("0041424344"), "Bay (4)+,-./*", " A  B \xff",
                                    QByteArray(12, ' '), "z\x7f"};
        for (int i = 0; i < 5; ++i)
            test::PutBytes(image, 0x0200 + 16 * (data.UsaChannels[i].Position - 1), names[i]);
        int n = 0;
        for (const char* digits : {"123456789f", "12a4567890", "0000000000", "ffffffffff"})
            test::PutBytes(image, 0x1120 + 16 * n++, test::Hex(digits));
        image[0x006A] = 0x70;  // EXP 1 disabled, 2 to 4 enabled
        // EXP words 1 to 4: index 5, 1023, 282 and 5 under stray high bits.
        test::PutBytes(image, 0x0160, test::Hex("100503ff011a8405"));
        for (ExpChannel& channel : data.ExpChannels)
            channel.Position = 7;
        image[0x0057] = image[0x0077] = 0x01;  // slot 64 on, 57 to 63 off
        image[0x0090 + 63] = 0xA8;             // TxEnable, PowUp, VsMemory, low power
        test::PutBytes(image, 0x0200 + 16 * 63, "LAST");
        PlanChannel outside = data.UsaChannels.front();
        outside.ChTag = "KEEP";
        for (int position : {64, 0, 65}) {
            outside.Position = static_cast<int16_t>(position);
            data.UsaChannels.push_back(outside);
        }
        DecodeImage(image, data);
        COMPARE_GOLDEN(Describe(data), "image_edge_decoded.txt");
    }

    // A name as the radio gets it: plain letters for accented ones, spelled letters for a few
    // more, a space for anything else the radio lacks, then the slot's length; bytes that are no
    // UTF-8 are Windows-1252. A name the radio can hold is written as before.
    void encodeName_fitsTheRadio_data() { AddRowsOf(kNames); }
    void encodeName_fitsTheRadio() {
        const auto& [row, name, length, written] = RowOf(kNames);
        MemoryImage image = test::FilledImage(0x00);
        EncodeName(image, 0x10, name.toStdString(), length);
        QCOMPARE(ImageSlice(image, 0x10, length + 1).toHex(' '), (written + '\0').toHex(' '));
    }

    // The plain letters are the canonical decomposition's, over every code point the table holds.
    void plainLetters_matchCanonicalDecomposition() {
        for (const auto& [first, last] : {std::pair(0x00C0, 0x024F), std::pair(0x1E00, 0x1EFF)}) {
            for (int code = first; code <= last; ++code) {
                const QString parts = QString(QChar(code)).normalized(QString::NormalizationForm_D);
                const bool accented =
                    parts.size() > 1 && parts[0].unicode() < 0x80 && parts[0].isLetter() &&
                    std::all_of(parts.begin() + 1, parts.end(), [](QChar c) { return c.isMark(); });
                const char expected = accented ? char(parts[0].unicode()) : 0;
                QVERIFY2(PlainLetterOf(char32_t(code)) == expected,
                         qPrintable(QString("U+%1").arg(code, 4, 16, QChar('0'))));
            }
        }
    }

    // The offset byte as read: the magnitude at most 12, code 0 and 3F as +12, TrueMAG (bit 6) and
    // bits 7-6 left out. Then settings as written into the default image, which holds the offset
    // byte's carried bit 5 set: ScanType other than 1 clears its bit, OffsetTime is clamped to
    // -12 … +12, and a value outside 0 to 255 is refused with the image untouched. Each encode
    // shows the bytes at 000E and 000F, and 0025.
    void settings_matchGolden() {
        QByteArray out;
        for (const int byte : {0x35, 0x25, 0x3D, 0x2F, 0x3F, 0x7F, 0xD3, 0x00})
            out += QString::asprintf("offset byte %02X -> %d\n", byte, DecodeOffset(uint8_t(byte)))
                       .toLatin1();
        using C = CommonSettings;
        const std::tuple<const char*, int16_t C::*, int> settings[] = {
            {"ScanType", &C::ScanType, -1},     {"ScanType", &C::ScanType, 2},
            {"Scrambler", &C::Scrambler, 255},  {"OffsetTime", &C::OffsetTime, 30},
            {"OffsetTime", &C::OffsetTime, -3}, {"Scrambler", &C::Scrambler, 256},
            {"Scrambler", &C::Scrambler, -1},   {"Dimmer", &C::Dimmer, -1},
            {"Contrast", &C::Contrast, 256},    {"Ind", &C::Ind, 300}};
        for (const auto& [field, member, value] : settings) {
            AppState app = test::MakeDefaultApp(Model::TQ5300);
            app.Data.Common.*member = static_cast<int16_t>(value);
            const MemoryImage before = app.Image;
            const std::optional<EncodeError> error = EncodeImage(app.Data, app.Image);
            out += QString::asprintf("%s %d -> ", field, value).toLatin1() +
                   (error ? "refused: " + QByteArray::fromStdString(error->Field) + ' ' +
                                QByteArray::number(error->Value) +
                                (app.Image == before ? ", image untouched" : ", image changed")
                          : "000E 000F 0025 hold " + ImageSlice(app.Image, 0x0E, 2).toHex(' ') +
                                ' ' + ImageSlice(app.Image, 0x25, 1).toHex()) +
                   '\n';
        }
        COMPARE_GOLDEN(out, "image_settings.txt");
    }
};

QTEST_APPLESS_MAIN(TestImageCodec)
#include "tst_image_codec.moc"
