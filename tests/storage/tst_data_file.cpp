#include <QTest>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "core/shared_state.h"
#include "storage/data_file_reader.h"
#include "storage/data_file_writer.h"
#include "storage/profile_file.h"
#include "storage/value_conversion.h"
#include "tests/support/test_files.h"

using namespace chanwright;
using chanwright::test::MakeDefaultApp;

namespace {

QByteArray Bytes(const std::string& text) {
    return QByteArray::fromStdString(text);
}

void ReadInto(const std::string& fileText, AppState& app) {
    ReadDataFile(ProfileFile::Parse(fileText), app.Shared, app.Data);
}

// Turns every value a data file carries into a different valid one, so a reader that skips a
// key leaves a visible difference. The A/B choices and the ATIS switches change too: the tests
// check that reading leaves them alone where it must.
void Scramble(RadioData& d) {
    auto flip = [](Bool16& b) { b = b ? kFalse : kTrue; };
    auto channel = [&](PlanChannel& ch, int positionTop) {
        ch.Position = static_cast<int16_t>(positionTop - ch.Position);
        for (Bool16* b : {&ch.Enable, &ch.LowPower, &ch.PowUp, &ch.Duplex, &ch.TxEnable,
                          &ch.DispayA, &ch.ScanMemory, &ch.VsMemory})
            flip(*b);
        ch.ChTag = "X" + ch.ChTag;
    };
    for (auto* list : {&d.UsaChannels, &d.IntlChannels, &d.CanadaChannels})
        for (PlanChannel& ch : *list)
            channel(ch, 65);
    for (PlanChannel& ch : d.ExpChannels)
        channel(ch, 281);
    for (WxChannel& wx : d.WxChannels) {
        flip(wx.Enable);
        flip(wx.ScanMemory);
        wx.ChTag = "X" + wx.ChTag;
    }
    for (DirectoryEntry& e : d.IndividualDirectory)
        e = {e.Enable ? kFalse : kTrue, "Z" + e.TagName, "9" + e.Mmsid};
    for (DirectoryEntry& e : d.GroupDirectory)
        e = {e.Enable ? kFalse : kTrue, "Z" + e.TagName, "8" + e.Mmsid};
    CommonSettings& s = d.Common;
    s.Contrast ^= 1, s.Dimmer ^= 1, s.Scrambler ^= 1, s.ScanType ^= 1, s.Ind ^= 1;
    s.OffsetTime = static_cast<int16_t>((s.OffsetTime + 5) % 25);
    for (Bool16* b : {&s.KeyBeep, &s.TrueMAG, &s.AtisOnOffUSA, &s.AtisOnOffInternational,
                      &s.AtisOnOffCanada, &s.IndReply, &s.IndACK, &s.POSRR, &s.DscScan, &s.WxAlert})
        flip(*b);
    s.AtisNo = "5" + s.AtisNo;
    s.UserMmsid = "7" + s.UserMmsid;
    ChannelCommon& c = d.Channels;
    for (int16_t* v : {&c.UsaPch, &c.IntPch, &c.CanPch, &c.UsaAch, &c.IntAch, &c.CanAch, &c.UsaBch,
                       &c.IntBch, &c.CanBch})
        *v = static_cast<int16_t>(*v == 7 ? 8 : 7);
}

// Values a user could have typed, including texts that depend on the "#" prefix and 8-bit bytes.
void Edit(AppState& app) {
    RadioData& d = app.Data;
    d.UsaChannels[0].ChTag = "  Lead space";
    d.UsaChannels[1].ChTag = "#hash first";
    d.UsaChannels[2].ChTag = "";
    d.UsaChannels[3].ChTag = "Caf\xE9 \xFF\x80";
    d.UsaChannels[4].Enable = kFalse;
    d.IntlChannels.back().Position = 64;
    d.CanadaChannels[5].VsMemory = kTrue;
    d.WxChannels[9].ScanMemory = kTrue;
    d.ExpChannels[0].Position = 281;
    d.ExpChannels[39].Position = 0;
    d.ExpChannels[12].PowUp = kTrue;
    d.IndividualDirectory[0] = {kTrue, "Harbour", "3669990010"};
    d.IndividualDirectory[19] = {kTrue, " 20th", "2111111110"};
    d.GroupDirectory[4] = {kTrue, "Fleet", "0366123450"};
    d.Common = {7, 0, 4,      kFalse, kTrue, kTrue,  kFalse, kTrue, "1234567890",
                1, 0, kFalse, kFalse, kTrue, kFalse, kFalse, 0,     "3669990010"};
    d.Channels = {-3, 12, 32767, 5, 6, 7, 8, 9, 10};
}

}  // namespace

class TestDataFile : public QObject {
    Q_OBJECT

  private slots:
    void defaultsFile_afterStartup_matchesHandTypedExample() {
        const AppState app = MakeDefaultApp(kModelHV2071P);
        const QByteArray expected =
            test::ReadBytes(test::TestDataPath(QStringLiteral("defaults_hv2071p.def")));
        QCOMPARE(expected.size(), 351);
        QCOMPARE(Bytes(WriteDefaultsFile(app.Shared, app.Data)), expected);
    }

    void dataFile_defaultSet_matchesGolden_data() {
        QTest::addColumn<int>("model");
        QTest::addColumn<QString>("golden");
        QTest::newRow("HV2071P") << int{kModelHV2071P} << "default_hv2071p.dat";
        QTest::newRow("TQ5300") << int{kModelTQ5300} << "default_tq5300.dat";
    }
    void dataFile_defaultSet_matchesGolden() {
        QFETCH(int, model);
        QFETCH(QString, golden);
        const AppState app = MakeDefaultApp(static_cast<int16_t>(model));
        QString why;
        QVERIFY2(test::MatchesGolden(Bytes(WriteDataFile(app.Shared, app.Data)), golden, &why),
                 qPrintable(why));
    }

    void atisKeys_onlyTheKw83eBuild_writesThemAfterTrueMag_data() {
        QTest::addColumn<QString>("modelCode");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("KW83 writes none") << "KW83" << QByteArray("TrueMag=1\r\nScanType=1\r\n");
        QTest::newRow("KW83E writes four")
            << "KW83E"
            << QByteArray(
                   "TrueMag=1\r\nAtisOnOffUSA=1\r\nAtisOnOffInternational=0\r\n"
                   "AtisOnOffCanada=1\r\nAtisNo=#1234567890\r\nScanType=1\r\n");
    }
    void atisKeys_onlyTheKw83eBuild_writesThemAfterTrueMag() {
        QFETCH(QString, modelCode);
        QFETCH(QByteArray, expected);
        AppState app = MakeDefaultApp(kModelHV2071P);
        app.Shared.ModelCode = modelCode.toStdString();
        Edit(app);
        const QByteArray written = Bytes(WriteDefaultsFile(app.Shared, app.Data));
        QVERIFY2(written.contains(expected), written.constData());
        QCOMPARE(written.count("Atis"), modelCode == "KW83E" ? 4 : 0);
    }

    // Reading into a scrambled set shows every key that is read; the A/B choices (and ATIS in
    // the KW83 build) must keep the scrambled, pre-read values.
    void writeThenRead_givesSameSetExceptKeptValues_data() {
        QTest::addColumn<int>("model");
        QTest::addColumn<QString>("modelCode");
        QTest::addColumn<bool>("edited");
        QTest::newRow("HV2071P default") << int{kModelHV2071P} << "KW83" << false;
        QTest::newRow("TQ5300 default") << int{kModelTQ5300} << "KW83" << false;
        QTest::newRow("HV2071P edited") << int{kModelHV2071P} << "KW83" << true;
        QTest::newRow("TQ5300 edited, KW83E carries ATIS") << int{kModelTQ5300} << "KW83E" << true;
    }
    void writeThenRead_givesSameSetExceptKeptValues() {
        QFETCH(int, model);
        QFETCH(QString, modelCode);
        QFETCH(bool, edited);
        AppState source = MakeDefaultApp(static_cast<int16_t>(model));
        source.Shared.ModelCode = modelCode.toStdString();
        if (edited)
            Edit(source);
        const std::string file = WriteDataFile(source.Shared, source.Data);

        AppState target = source;
        Scramble(target.Data);
        QVERIFY(target.Data != source.Data);
        RadioData expected = source.Data;
        ChannelCommon& c = expected.Channels;
        const ChannelCommon& before = target.Data.Channels;
        c.UsaAch = before.UsaAch, c.IntAch = before.IntAch, c.CanAch = before.CanAch;
        c.UsaBch = before.UsaBch, c.IntBch = before.IntBch, c.CanBch = before.CanBch;
        if (modelCode == "KW83") {
            CommonSettings& s = expected.Common;
            s.AtisOnOffUSA = target.Data.Common.AtisOnOffUSA;
            s.AtisOnOffInternational = target.Data.Common.AtisOnOffInternational;
            s.AtisOnOffCanada = target.Data.Common.AtisOnOffCanada;
            s.AtisNo = target.Data.Common.AtisNo;
        }
        ReadInto(file, target);
        QVERIFY(target.Data == expected);
    }

    // field: which value the row looks at ("E:" first: the KW83E build); before: its value
    // ahead of reading, "-1" being true.
    void readValue_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("expected");
        auto row = [](const char* name, const QByteArray& file, const char* field,
                      const QByteArray& before, const QByteArray& expected) {
            QTest::newRow(name) << file << QString::fromLatin1(field) << before << expected;
        };
        const QByteArray setcom = "[SETCOM]\r\n", usa = "[CHUSA0]\r\n", exp1 = "[CHEXP1]\r\n";
        row("OffsetTime -12 reads as 12", setcom + "OffsetTime=-12", "Offset", "0", "12");
        row("OffsetTime 0 reads as 24", setcom + "OffsetTime=0", "Offset", "12", "24");
        row("OffsetTime -24 reads as 0", setcom + "OffsetTime=-24", "Offset", "12", "0");
        row("OffsetTime -11.5 to even 12", setcom + "OffsetTime=-11.5", "Offset", "0", "12");
        row("OffsetTime 13 (37) not taken", setcom + "OffsetTime=13", "Offset", "12", "12");
        row("OffsetTime -25 not taken", setcom + "OffsetTime=-25", "Offset", "12", "12");
        row("ChTag bare # is empty", usa + "ChTag=#", "Tag", "Old", "");
        row("ChTag ##1 keeps one #", usa + "ChTag=##1", "Tag", "Old", "#1");
        row("ChTag # keeps leading spaces", usa + "ChTag=#  AB", "Tag", "Old", "  AB");
        row("ChTag without # taken as is", usa + "ChTag=AB", "Tag", "Old", "AB");
        row("ChTag trailing spaces dropped", usa + "ChTag=#AB  ", "Tag", "Old", "AB");
        row("ChTag missing key empties", usa + "Enable=1", "Tag", "Old", "");
        row("ChTag 8-bit bytes kept", usa + "ChTag=#Caf\xE9\xFF", "Tag", "Old", "Caf\xE9\xFF");
        row("ChTag cut at 127, then # goes", usa + "ChTag=#" + QByteArray(200, 'x'), "Tag", "Old",
            QByteArray(126, 'x'));
        row("Enable 1 true", usa + "Enable=1", "Enable", "0", "-1");
        row("Enable -1 true", usa + "Enable=-1", "Enable", "0", "-1");
        row("Enable 5 true", usa + "Enable=5", "Enable", "0", "-1");
        row("Enable 0 false", usa + "Enable=0", "Enable", "-1", "0");
        row("Enable empty keeps true", usa + "Enable=", "Enable", "-1", "-1");
        row("Enable empty keeps false", usa + "Enable=", "Enable", "0", "0");
        row("Enable yes unchanged", usa + "Enable=yes", "Enable", "0", "0");
        row("names match without case", "[chusa0]\r\nENABLE=0", "Enable", "-1", "0");
        row("TrueMag found as TrueMAG", setcom + "TrueMag=1", "TrueMAG", "0", "-1");
        row("Position 64 taken", usa + "Position=64", "Position", "1", "64");
        row("Position 65 not taken", usa + "Position=65", "Position", "1", "1");
        row("Position 0 not taken", usa + "Position=0", "Position", "1", "1");
        row("EXP Position 0 taken", exp1 + "Position=0", "ExpPosition", "5", "0");
        row("EXP Position 281 taken", exp1 + "Position=281", "ExpPosition", "5", "281");
        row("EXP Position 282 not taken", exp1 + "Position=282", "ExpPosition", "5", "5");
        row("Contrast 9 kept", setcom + "Contrast=9", "Contrast", "4", "9");
        row("Contrast 3.5 rounds to 4", setcom + "Contrast=3.5", "Contrast", "0", "4");
        row("Contrast 2.5 rounds to 2", setcom + "Contrast=2.5", "Contrast", "0", "2");
        row("Contrast huge unchanged", setcom + "Contrast=99999", "Contrast", "4", "4");
        row("duplicate key: first wins", setcom + "Contrast=5\r\nContrast=6", "Contrast", "4", "5");
        row("duplicate section: first wins", setcom + "Contrast=5\r\n" + setcom + "Contrast=6",
            "Contrast", "4", "5");
        row("other model's [MAIN] read", "[MAIN]\r\nMODEL=#TQ5300\r\n" + setcom + "Contrast=6",
            "Contrast", "4", "6");
        row("KW83 ignores AtisNo", setcom + "AtisNo=#1234567890", "AtisNo", "", "");
        row("KW83E reads AtisNo", setcom + "AtisNo=#1234567890", "E:AtisNo", "", "1234567890");
        row("KW83 ignores AtisOnOffUSA", setcom + "AtisOnOffUSA=1", "AtisUSA", "0", "0");
        row("KW83E reads AtisOnOffUSA", setcom + "AtisOnOffUSA=1", "E:AtisUSA", "0", "-1");
        row("CHCOM A choice not read", "[CHCOM]\r\nUSA-ACH=3", "UsaAch", "255", "255");
        row("CHCOM priority read", "[CHCOM]\r\nUSA-PCH=3", "UsaPch", "0", "3");
        row("Mmsid bare digits", "[CHMMSID20]\r\nMmsid=3669990010", "Mmsid20", "", "3669990010");
        row("surplus CHEXP41 ignored", "[CHEXP41]\r\nChTag=#X\r\n[CHEXP40]\r\nChTag=#Y", "Exp40Tag",
            "Old", "Y");
    }
    void readValue() {
        QFETCH(QByteArray, file);
        QFETCH(QString, field);
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, expected);
        AppState app = MakeDefaultApp(kModelHV2071P);
        if (field.startsWith(QLatin1String("E:"))) {
            app.Shared.ModelCode = "KW83E";
            field = field.mid(2);
        }
        RadioData& d = app.Data;
        CommonSettings& s = d.Common;
        const std::map<QString, std::pair<std::string*, int16_t*>> fields = {
            {"Tag", {&d.UsaChannels[0].ChTag, nullptr}},
            {"Exp40Tag", {&d.ExpChannels[39].ChTag, nullptr}},
            {"AtisNo", {&s.AtisNo, nullptr}},
            {"Mmsid20", {&d.IndividualDirectory[19].Mmsid, nullptr}},
            {"Offset", {nullptr, &s.OffsetTime}},
            {"Enable", {nullptr, &d.UsaChannels[0].Enable}},
            {"TrueMAG", {nullptr, &s.TrueMAG}},
            {"Position", {nullptr, &d.UsaChannels[0].Position}},
            {"ExpPosition", {nullptr, &d.ExpChannels[0].Position}},
            {"Contrast", {nullptr, &s.Contrast}},
            {"AtisUSA", {nullptr, &s.AtisOnOffUSA}},
            {"UsaAch", {nullptr, &d.Channels.UsaAch}},
            {"UsaPch", {nullptr, &d.Channels.UsaPch}},
        };
        QVERIFY2(fields.count(field) == 1, qPrintable(field));
        const auto [text, number] = fields.at(field);
        if (text)
            *text = before.toStdString();
        else
            *number = static_cast<int16_t>(before.toInt());

        ReadInto((file + "\r\n").toStdString(), app);
        QCOMPARE(text ? Bytes(*text) : QByteArray::number(*number), expected);
    }

    // No channel or directory sections: every name empties, every switch and position stays.
    void defaultsFileOpened_emptiesNamesKeepsSwitches() {
        AppState app = MakeDefaultApp(kModelTQ5300);
        Edit(app);
        RadioData expected = app.Data;
        for (auto* list : {&expected.UsaChannels, &expected.IntlChannels, &expected.CanadaChannels,
                           &expected.WxChannels})
            for (PlanChannel& ch : *list)
                ch.ChTag.clear();
        for (PlanChannel& ch : expected.ExpChannels)
            ch.ChTag.clear();
        for (DirectoryEntry& e : expected.IndividualDirectory)
            e.TagName.clear(), e.Mmsid.clear();
        for (DirectoryEntry& e : expected.GroupDirectory)
            e.TagName.clear(), e.Mmsid.clear();
        const RadioData defaults = MakeDefaultApp(kModelHV2071P).Data;
        CommonSettings common = defaults.Common;
        common.AtisOnOffUSA = expected.Common.AtisOnOffUSA;
        common.AtisOnOffInternational = expected.Common.AtisOnOffInternational;
        common.AtisOnOffCanada = expected.Common.AtisOnOffCanada;
        common.AtisNo = expected.Common.AtisNo;
        expected.Common = common;
        expected.Channels.UsaPch = expected.Channels.IntPch = expected.Channels.CanPch = 0;

        ReadInto(test::ReadBytes(test::TestDataPath(QStringLiteral("defaults_hv2071p.def")))
                     .toStdString(),
                 app);
        QVERIFY(app.Data == expected);
    }

    void valueConversion_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("number");  // 99999: none
        QTest::addColumn<int>("flag");    // 99999: none
        const int none = 99999;
        QTest::newRow("zero") << QByteArray("0") << 0 << 0;
        QTest::newRow("one") << QByteArray("1") << 1 << -1;
        QTest::newRow("minus one") << QByteArray("-1") << -1 << -1;
        QTest::newRow("plus sign") << QByteArray("+7") << 7 << -1;
        QTest::newRow("3.5 up to even") << QByteArray("3.5") << 4 << -1;
        QTest::newRow("2.5 down to even") << QByteArray("2.5") << 2 << -1;
        QTest::newRow("-2.5 to even") << QByteArray("-2.5") << -2 << -1;
        QTest::newRow(".5 to zero, still true") << QByteArray(".5") << 0 << -1;
        QTest::newRow("0.0 false") << QByteArray("0.0") << 0 << 0;
        QTest::newRow("trailing dot") << QByteArray("5.") << 5 << -1;
        QTest::newRow("exponent") << QByteArray("1e3") << 1000 << -1;
        QTest::newRow("top of range") << QByteArray("32767") << 32767 << -1;
        QTest::newRow("32767.5 rounds out of range") << QByteArray("32767.5") << none << -1;
        QTest::newRow("bottom of range") << QByteArray("-32768") << -32768 << -1;
        QTest::newRow("below range") << QByteArray("-32769") << none << -1;
        QTest::newRow("huge") << QByteArray("99999") << none << -1;
        QTest::newRow("overflowing double") << QByteArray("1e400") << none << none;
        QTest::newRow("empty") << QByteArray("") << none << none;
        QTest::newRow("word yes") << QByteArray("yes") << none << none;
        QTest::newRow("True word only a flag") << QByteArray("tRUE") << none << -1;
        QTest::newRow("False word only a flag") << QByteArray("FALSE") << none << 0;
        QTest::newRow("trailing garbage") << QByteArray("1x") << none << none;
        QTest::newRow("hex") << QByteArray("0x10") << none << none;
        QTest::newRow("inf") << QByteArray("inf") << none << none;
        QTest::newRow("nan") << QByteArray("nan") << none << none;
        QTest::newRow("bare exponent") << QByteArray("1e") << none << none;
        QTest::newRow("lone sign") << QByteArray("-") << none << none;
        QTest::newRow("lone dot") << QByteArray(".") << none << none;
        QTest::newRow("comma decimal") << QByteArray("3,5") << none << none;
    }
    void valueConversion() {
        QFETCH(QByteArray, text);
        QFETCH(int, number);
        QFETCH(int, flag);
        const std::optional<int16_t> asNumber = ToInt16(text.toStdString());
        const std::optional<Bool16> asFlag = ToBool16(text.toStdString());
        QCOMPARE(asNumber ? int{*asNumber} : 99999, number);
        QCOMPARE(asFlag ? int{*asFlag} : 99999, flag);
    }
};

QTEST_GUILESS_MAIN(TestDataFile)
#include "tst_data_file.moc"
