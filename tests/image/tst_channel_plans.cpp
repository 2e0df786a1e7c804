#include <QtTest>

#include <cstdlib>

#include "core/radio_data.h"
#include "image/channel_plans.h"
#include "tests/support/test_files.h"

using namespace chanwright;

namespace {

QByteArray Line(const char* list, const PlanChannel& r) {
    return test::ChannelLine(list, r).toLatin1() + '\n';
}

}  // namespace

class TestChannelPlans : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { LoadAllPlans(plans_); }
    void allPlans_matchGoldenDump();
    void builtRecords_matchGoldenDump();

  private:
    ChannelPlans plans_;
    const std::pair<const char*, const ChannelPlan*> named_[5] = {{"USA", &plans_.UsaPlan},
                                                                  {"INT", &plans_.IntlPlan},
                                                                  {"CAN", &plans_.CanadaPlan},
                                                                  {"WX", &plans_.WxPlan},
                                                                  {"EXP", &plans_.ExpPlan}};
};

void TestChannelPlans::allPlans_matchGoldenDump() {
    QByteArray dump =
        "# plan|position|Valid|ChannelNo|TxFreq|RxFreq|DupRxFreq|DuplexFlag|"
        "LowPowerFlag|Tag\n";
    for (const auto& [name, plan] : named_) {
        for (int p = plan->First(); p <= plan->Last(); ++p) {
            const ChannelPlanEntry& e = plan->At(p);
            dump += QString::asprintf("%s|%d|%d|%s|%.3f|%.3f|%.3f|%d|%d|%s\n", name, p, e.Valid,
                                      e.ChannelNo.c_str(), e.TxFreq, e.RxFreq, e.DupRxFreq,
                                      e.DuplexFlag, e.LowPowerFlag, e.Tag.c_str())
                        .toLatin1();
            // The golden shows three decimals; a frequency computed rather than written as its
            // decimal text would differ from the radio's in the last bits.
            for (double f : {e.TxFreq, e.RxFreq, e.DupRxFreq}) {
                const QByteArray text = QByteArray::number(f, 'f', 3);
                QVERIFY2(f == std::strtod(text.constData(), nullptr), dump.right(60).constData());
            }
        }
    }
    COMPARE_GOLDEN(dump, "channel_plans.txt");
}

// The lists a new data set starts from; leftovers in a list and in the EXP records must go.
void TestChannelPlans::builtRecords_matchGoldenDump() {
    QByteArray dump;
    for (const auto& [name, plan] : named_) {
        if (plan == &plans_.ExpPlan)
            continue;
        std::vector<PlanChannel> list(3);
        BuildChannelList(list, *plan, plan != &plans_.WxPlan);
        for (const PlanChannel& r : list)
            dump += Line(name, r);
    }
    for (int position : {0, 120, 241, 281}) {
        for (bool dispayA : {false, true}) {
            ExpChannel r;
            r.Position = static_cast<int16_t>(position);
            r.LowPower = r.PowUp = r.Duplex = r.ScanMemory = r.VsMemory = kTrue;
            r.DispayA = ToBool16(dispayA);
            r.ChTag = "OLD";
            SeedExpChannel(r, plans_.ExpPlan);
            dump += Line("SEED", r);
        }
    }
    RadioData data;
    for (ExpChannel& r : data.ExpChannels)
        r = {130, kTrue, kTrue, kTrue, kTrue, kTrue, kFalse, kTrue, kTrue, kTrue, "OLD"};
    ResetExpChannels(data, plans_.ExpPlan);
    for (const ExpChannel& r : data.ExpChannels)
        dump += Line("RESET", r);
    COMPARE_GOLDEN(dump, "image_plan_records.txt");
}

QTEST_APPLESS_MAIN(TestChannelPlans)
#include "tst_channel_plans.moc"
