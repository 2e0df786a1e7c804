#include <QtTest>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/radio_data.h"
#include "image/channel_plans.h"
#include "tests/support/test_files.h"

using namespace chanwright;

namespace {

const ChannelPlan& PlanByName(const ChannelPlans& plans, const QString& name) {
    if (name == "USA")
        return plans.UsaPlan;
    if (name == "INT")
        return plans.IntlPlan;
    if (name == "CAN")
        return plans.CanadaPlan;
    if (name == "WX")
        return plans.WxPlan;
    return plans.ExpPlan;
}

// Every digit of the double, so two values that merely round alike still differ.
QString Exact(double value) {
    return QString::asprintf("%.17g", value);
}

// The double a three-decimal literal of the same value would give.
double AsLiteral(double value) {
    return std::strtod(QString::asprintf("%.3f", value).toLatin1().constData(), nullptr);
}

QList<int> Positions(const std::vector<PlanChannel>& list) {
    QList<int> positions;
    for (const PlanChannel& record : list)
        positions << record.Position;
    return positions;
}

}  // namespace

class TestChannelPlans : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void allPlans_matchGoldenDump();
    void validRows_areTheDocumentedOnes_data();
    void validRows_areTheDocumentedOnes();
    void receiveOnlyRows_areTheDocumentedOnes_data();
    void receiveOnlyRows_areTheDocumentedOnes();
    void emptyRow_hasNoContent_data();
    void emptyRow_hasNoContent();
    void row_holdsExactLiteralValues_data();
    void row_holdsExactLiteralValues();
    void everyFrequency_isTheDoubleOfItsDecimalText();
    void everyDuplexRow_receives4600kHzAbove();
    void builtList_holdsOneRecordPerValidRow_data();
    void builtList_holdsOneRecordPerValidRow();
    void builtRecord_isSeededFromItsRow_data();
    void builtRecord_isSeededFromItsRow();
    void seedExpChannel_takesRowButKeepsPositionAndDispayA_data();
    void seedExpChannel_takesRowButKeepsPositionAndDispayA();
    void resetExpChannels_seedsAllFortyFromRowZero();

  private:
    ChannelPlans plans_;
};

void TestChannelPlans::initTestCase() {
    LoadAllPlans(plans_);
}

void TestChannelPlans::allPlans_matchGoldenDump() {
    QByteArray dump =
        "# plan|position|Valid|ChannelNo|TxFreq|RxFreq|DupRxFreq|DuplexFlag|"
        "LowPowerFlag|Tag\n";
    for (const char* name : {"USA", "INT", "CAN", "WX", "EXP"}) {
        const ChannelPlan& plan = PlanByName(plans_, name);
        for (int p = plan.First(); p <= plan.Last(); ++p) {
            const ChannelPlanEntry& e = plan.At(p);
            dump += QString::asprintf("%s|%d|%d|%s|%.3f|%.3f|%.3f|%d|%d|%s\n", name, p, e.Valid,
                                      e.ChannelNo.c_str(), e.TxFreq, e.RxFreq, e.DupRxFreq,
                                      e.DuplexFlag, e.LowPowerFlag, e.Tag.c_str())
                        .toLatin1();
        }
    }
    QString why;
    QVERIFY2(test::MatchesGolden(dump, "channel_plans.txt", &why), qPrintable(why));
}

void TestChannelPlans::validRows_areTheDocumentedOnes_data() {
    QTest::addColumn<QString>("plan");
    QTest::addColumn<int>("validCount");
    QTest::addColumn<QList<int>>("invalid");

    QTest::newRow("USA: 02 04 60 62 84A..87A and empty 64")
        << "USA" << 55 << QList<int>{2, 4, 30, 32, 55, 57, 59, 61, 64};
    QTest::newRow("INT: 65A 66A 75 76 and empty 60..64")
        << "INT" << 55 << QList<int>{35, 37, 46, 47, 60, 61, 62, 63, 64};
    QTest::newRow("CAN: 21 63 75 76 and empty 61..64")
        << "CAN" << 56 << QList<int>{21, 33, 46, 47, 61, 62, 63, 64};
    QTest::newRow("WX: all ten") << "WX" << 10 << QList<int>{};
    QTest::newRow("EXP: all but 156.775 156.825 157.275 157.325")
        << "EXP" << 278 << QList<int>{75, 76, 85, 86};
}

void TestChannelPlans::validRows_areTheDocumentedOnes() {
    QFETCH(QString, plan);
    QFETCH(int, validCount);
    QFETCH(QList<int>, invalid);

    const ChannelPlan& rows = PlanByName(plans_, plan);
    QList<int> actualInvalid;
    for (int p = rows.First(); p <= rows.Last(); ++p) {
        const int16_t valid = rows.At(p).Valid;
        QVERIFY2(valid == kTrue || valid == kFalse, qPrintable(QString("position %1").arg(p)));
        if (valid == kFalse)
            actualInvalid << p;
    }
    QCOMPARE(actualInvalid, invalid);
    QCOMPARE(rows.Last() - rows.First() + 1 - actualInvalid.size(), validCount);
}

void TestChannelPlans::receiveOnlyRows_areTheDocumentedOnes_data() {
    QTest::addColumn<QString>("plan");
    QTest::addColumn<QList<int>>("receiveOnly");

    QTest::newRow("USA: 15 and 70") << "USA" << QList<int>{15, 40};
    QTest::newRow("INT: 70") << "INT" << QList<int>{41};
    QTest::newRow("CAN: 70") << "CAN" << QList<int>{41};
    QTest::newRow("WX: every row") << "WX" << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    QTest::newRow("EXP: none") << "EXP" << QList<int>{};
}

void TestChannelPlans::receiveOnlyRows_areTheDocumentedOnes() {
    QFETCH(QString, plan);
    QFETCH(QList<int>, receiveOnly);

    const ChannelPlan& rows = PlanByName(plans_, plan);
    QList<int> actual;
    for (int p = rows.First(); p <= rows.Last(); ++p) {
        const ChannelPlanEntry& e = rows.At(p);
        if (e.Valid != 0 && e.TxFreq == 0.0)
            actual << p;
    }
    QCOMPARE(actual, receiveOnly);
}

void TestChannelPlans::emptyRow_hasNoContent_data() {
    QTest::addColumn<QString>("plan");
    QTest::addColumn<int>("position");

    QTest::newRow("USA 64") << "USA" << 64;
    for (int p = 60; p <= 64; ++p)
        QTest::addRow("INT %d", p) << "INT" << p;
    for (int p = 61; p <= 64; ++p)
        QTest::addRow("CAN %d", p) << "CAN" << p;
}

void TestChannelPlans::emptyRow_hasNoContent() {
    QFETCH(QString, plan);
    QFETCH(int, position);

    const ChannelPlanEntry& e = PlanByName(plans_, plan).At(position);
    QCOMPARE(e.Valid, kFalse);
    QCOMPARE(e.ChannelNo, std::string());
    QCOMPARE(e.Tag, std::string());
    QVERIFY(e.TxFreq == 0.0 && e.RxFreq == 0.0 && e.DupRxFreq == 0.0);
    QVERIFY(e.DuplexFlag == 0 && e.LowPowerFlag == 0);
}

void TestChannelPlans::row_holdsExactLiteralValues_data() {
    QTest::addColumn<QString>("plan");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("channelNo");
    QTest::addColumn<double>("tx");
    QTest::addColumn<double>("rx");
    QTest::addColumn<double>("dupRx");
    QTest::addColumn<QString>("tag");

    // Invalid rows that still carry their frequencies.
    QTest::newRow("USA 84A") << "USA" << 55 << "84A" << 157.225 << 157.225 << 0.0 << "";
    QTest::newRow("USA 85A") << "USA" << 57 << "85A" << 157.275 << 157.275 << 0.0 << "";
    QTest::newRow("USA 86A") << "USA" << 59 << "86A" << 157.325 << 157.325 << 0.0 << "";
    QTest::newRow("USA 87A") << "USA" << 61 << "87A" << 157.375 << 157.375 << 0.0 << "";
    QTest::newRow("INT 65A") << "INT" << 35 << "65A" << 156.275 << 156.275 << 0.0 << "";
    QTest::newRow("INT 66A") << "INT" << 37 << "66A" << 156.325 << 156.325 << 0.0 << "";
    QTest::newRow("INT 75") << "INT" << 46 << "75" << 156.775 << 156.775 << 0.0 << "";
    QTest::newRow("INT 76") << "INT" << 47 << "76" << 156.825 << 156.825 << 0.0 << "";
    // Rows that are easy to mistype.
    QTest::newRow("USA 83A tag USGCG")
        << "USA" << 53 << "83A" << 157.175 << 157.175 << 0.0 << "USGCG";
    QTest::newRow("USA 15 receive only")
        << "USA" << 15 << "15" << 0.0 << 156.750 << 0.0 << "COMMERCIAL";
    QTest::newRow("CAN 28 duplex like its namesakes")
        << "CAN" << 29 << "28" << 157.400 << 157.400 << 162.000 << "TELEPHONE";
    QTest::newRow("WX10 receives on both")
        << "WX" << 10 << "WX10[163.275MHz]" << 0.0 << 163.275 << 163.275 << "163.275MHZ";
    // EXP raster: first and last row of each band.
    QTest::newRow("EXP 0") << "EXP" << 0 << "" << 156.000 << 156.000 << 160.600 << "";
    QTest::newRow("EXP 59") << "EXP" << 59 << "" << 158.950 << 158.950 << 163.550 << "";
    QTest::newRow("EXP 60") << "EXP" << 60 << "" << 156.025 << 156.025 << 160.625 << "";
    QTest::newRow("EXP 119") << "EXP" << 119 << "" << 158.975 << 158.975 << 163.575 << "";
    QTest::newRow("EXP 120") << "EXP" << 120 << "" << 159.000 << 159.000 << 0.0 << "";
    QTest::newRow("EXP 241") << "EXP" << 241 << "" << 162.025 << 162.025 << 0.0 << "";
    QTest::newRow("EXP 242") << "EXP" << 242 << "" << 155.975 << 155.975 << 160.575 << "";
    QTest::newRow("EXP 281") << "EXP" << 281 << "" << 155.000 << 155.000 << 159.600 << "";
}

void TestChannelPlans::row_holdsExactLiteralValues() {
    QFETCH(QString, plan);
    QFETCH(int, position);
    QFETCH(QString, channelNo);
    QFETCH(double, tx);
    QFETCH(double, rx);
    QFETCH(double, dupRx);
    QFETCH(QString, tag);

    const ChannelPlanEntry& e = PlanByName(plans_, plan).At(position);
    QCOMPARE(QString::fromStdString(e.ChannelNo), channelNo);
    QCOMPARE(Exact(e.TxFreq), Exact(tx));
    QCOMPARE(Exact(e.RxFreq), Exact(rx));
    QCOMPARE(Exact(e.DupRxFreq), Exact(dupRx));
    QCOMPARE(QString::fromStdString(e.Tag), tag);
    QCOMPARE(e.DuplexFlag, ToBool16(dupRx > 0));
}

void TestChannelPlans::everyFrequency_isTheDoubleOfItsDecimalText() {
    for (const char* name : {"USA", "INT", "CAN", "WX", "EXP"}) {
        const ChannelPlan& plan = PlanByName(plans_, name);
        for (int p = plan.First(); p <= plan.Last(); ++p) {
            const ChannelPlanEntry& e = plan.At(p);
            for (double f : {e.TxFreq, e.RxFreq, e.DupRxFreq}) {
                QVERIFY2(f == AsLiteral(f), qPrintable(QString("%1 %2: %3 is not the literal %4")
                                                           .arg(name)
                                                           .arg(p)
                                                           .arg(Exact(f), Exact(AsLiteral(f)))));
            }
        }
    }
}

void TestChannelPlans::everyDuplexRow_receives4600kHzAbove() {
    for (const char* name : {"USA", "INT", "CAN", "EXP"}) {
        const ChannelPlan& plan = PlanByName(plans_, name);
        for (int p = plan.First(); p <= plan.Last(); ++p) {
            const ChannelPlanEntry& e = plan.At(p);
            const QString where = QString("%1 %2").arg(name).arg(p);
            QVERIFY2((e.DuplexFlag != 0) == (e.DupRxFreq != 0.0), qPrintable(where));
            if (e.DuplexFlag != 0) {
                QCOMPARE(std::lround(e.DupRxFreq * 1000) - std::lround(e.TxFreq * 1000), 4600L);
                QVERIFY2(e.RxFreq == e.TxFreq, qPrintable(where));
            }
        }
    }
}

void TestChannelPlans::builtList_holdsOneRecordPerValidRow_data() {
    QTest::addColumn<QString>("plan");
    QTest::addColumn<bool>("regional");

    QTest::newRow("USA, no record for 02") << "USA" << true;
    QTest::newRow("INT") << "INT" << true;
    QTest::newRow("CAN") << "CAN" << true;
    QTest::newRow("WX: duplex selectable, receive only") << "WX" << false;
}

void TestChannelPlans::builtList_holdsOneRecordPerValidRow() {
    QFETCH(QString, plan);
    QFETCH(bool, regional);

    const ChannelPlan& rows = PlanByName(plans_, plan);
    std::vector<PlanChannel> list(3);  // leftovers must go
    BuildChannelList(list, rows, regional);
    QList<int> valid;
    for (int p = rows.First(); p <= rows.Last(); ++p) {
        if (rows.At(p).Valid != 0)
            valid << p;
    }
    QCOMPARE(Positions(list), valid);
    for (const PlanChannel& r : list) {  // only WX channels may switch duplex
        QCOMPARE(r.DuplexSelectable, ToBool16(!regional));
        if (!regional)
            QVERIFY(r.Duplex && !r.TxEnable);
    }
}

void TestChannelPlans::builtRecord_isSeededFromItsRow_data() {
    QTest::addColumn<QString>("plan");
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("lowPower");
    QTest::addColumn<bool>("duplex");
    QTest::addColumn<bool>("duplexSelectable");
    QTest::addColumn<bool>("txEnable");
    QTest::addColumn<bool>("dispayA");
    QTest::addColumn<QString>("tag");

    QTest::newRow("USA 01A: shown with A, duplex not selectable")
        << "USA" << 1 << false << false << false << true << true << "VTS";
    QTest::newRow("USA 20: regional duplex is not selectable")
        << "USA" << 20 << false << true << false << true << false << "PORT OPR";
    QTest::newRow("USA 15: receive only")
        << "USA" << 15 << false << false << false << false << false << "COMMERCIAL";
    QTest::newRow("USA 13: low power")
        << "USA" << 13 << true << false << false << true << false << "BRG/BRG";
    QTest::newRow("INT 28: duplex and low power")
        << "INT" << 28 << true << true << false << true << false << "TELEPHONE";
    QTest::newRow("CAN 66A: low power with A")
        << "CAN" << 37 << true << false << false << true << true << "PORT OPR";
    QTest::newRow("WX01: duplex selectable, no transmit")
        << "WX" << 1 << false << true << true << false << false << "162.550MHZ";
    QTest::newRow("WX10: duplex selectable, no transmit")
        << "WX" << 10 << false << true << true << false << false << "163.275MHZ";
}

void TestChannelPlans::builtRecord_isSeededFromItsRow() {
    QFETCH(QString, plan);
    QFETCH(int, position);
    QFETCH(bool, lowPower);
    QFETCH(bool, duplex);
    QFETCH(bool, duplexSelectable);
    QFETCH(bool, txEnable);
    QFETCH(bool, dispayA);
    QFETCH(QString, tag);

    std::vector<PlanChannel> list;
    BuildChannelList(list, PlanByName(plans_, plan), plan != "WX");
    const int index = Positions(list).indexOf(position);
    QVERIFY(index >= 0);
    PlanChannel expected;
    expected.Position = static_cast<int16_t>(position);
    expected.Enable = kTrue;
    expected.LowPower = ToBool16(lowPower);
    expected.Duplex = ToBool16(duplex);
    expected.DuplexSelectable = ToBool16(duplexSelectable);
    expected.TxEnable = ToBool16(txEnable);
    expected.DispayA = ToBool16(dispayA);
    expected.ChTag = tag.toStdString();
    QVERIFY(list[index] == expected);
}

void TestChannelPlans::seedExpChannel_takesRowButKeepsPositionAndDispayA_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("dispayA");
    QTest::addColumn<bool>("duplexSelectable");

    QTest::newRow("row 0, DispayA set stays set") << 0 << true << true;
    QTest::newRow("row 0, DispayA clear stays clear") << 0 << false << true;
    QTest::newRow("row 120: simplex band") << 120 << false << false;
    QTest::newRow("row 241: simplex band") << 241 << true << false;
    QTest::newRow("row 281: duplex band") << 281 << false << true;
}

void TestChannelPlans::seedExpChannel_takesRowButKeepsPositionAndDispayA() {
    QFETCH(int, position);
    QFETCH(bool, dispayA);
    QFETCH(bool, duplexSelectable);

    ExpChannel record;
    record.Position = static_cast<int16_t>(position);
    record.Enable = kFalse;
    record.LowPower = record.PowUp = record.Duplex = record.ScanMemory = record.VsMemory = kTrue;
    record.TxEnable = kFalse;
    record.DispayA = ToBool16(dispayA);
    record.ChTag = "OLD";
    SeedExpChannel(record, plans_.ExpPlan);

    ExpChannel expected;
    expected.Position = static_cast<int16_t>(position);
    expected.Enable = kTrue;
    expected.DuplexSelectable = ToBool16(duplexSelectable);
    expected.TxEnable = kTrue;
    expected.DispayA = ToBool16(dispayA);
    QVERIFY(record == expected);
}

void TestChannelPlans::resetExpChannels_seedsAllFortyFromRowZero() {
    RadioData data;
    for (ExpChannel& record : data.ExpChannels) {
        record.Position = 130;
        record.ChTag = "OLD";
        record.ScanMemory = kTrue;
    }
    ResetExpChannels(data, plans_.ExpPlan);

    ExpChannel expected;
    expected.Enable = kTrue;
    expected.DuplexSelectable = kTrue;
    expected.TxEnable = kTrue;
    for (const ExpChannel& record : data.ExpChannels)
        QVERIFY(record == expected);
}

QTEST_APPLESS_MAIN(TestChannelPlans)
#include "tst_channel_plans.moc"
