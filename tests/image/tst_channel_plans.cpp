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
