// The new data set from the channel plans on: the plans, the records built from them, the data set
// and its image; and the bit fields the image is made of.
#include <QtTest>

#include <algorithm>
#include <array>
#include <cstdlib>

#include "image/bit_ops.h"
#include "image/channel_plans.h"
#include "image/default_image.h"
#include "image/image_decoder.h"
#include "image/new_data_set.h"
#include "tests/support/test_files.h"

using namespace chanwright;
using namespace chanwright::test;

namespace {

// Name, model, the golden of its new data set's image, the golden of the image built for it.
const std::tuple<const char*, Model, const char*, const char*> kDefaultImages[] = {
    {"HV2071P", Model::HV2071P, "default_hv2071p.hex", "image_built_default_hv2071p.hex"},
    {"TQ5300", Model::TQ5300, "default_tq5300.hex", "image_built_default_tq5300.hex"},
};

}  // namespace

class TestMemoryImage : public QObject {
    Q_OBJECT

    ChannelPlans plans_;
    const std::pair<const char*, const ChannelPlan*> named_[5] = {{"USA", &plans_.UsaPlan},
                                                                  {"INT", &plans_.IntlPlan},
                                                                  {"CAN", &plans_.CanadaPlan},
                                                                  {"WX", &plans_.WxPlan},
                                                                  {"EXP", &plans_.ExpPlan}};

  private slots:
    void initTestCase() { LoadAllPlans(plans_); }

    void allPlans_matchGoldenDump() {
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
                    QVERIFY2(f == std::strtod(text.constData(), nullptr),
                             dump.right(60).constData());
                }
            }
        }
        COMPARE_GOLDEN(dump, "channel_plans.txt");
    }

    // The lists a new data set starts from; leftovers in a list and in the EXP records must go.
    void builtRecords_matchGoldenDump() {
        QByteArray dump;
        for (const auto& [name, plan] : named_) {
            if (plan == &plans_.ExpPlan)
                continue;
            std::vector<PlanChannel> list(3);
            BuildChannelList(list, *plan, plan != &plans_.WxPlan);
            for (const PlanChannel& r : list)
                dump += ChannelLine(name, r).toLatin1() + '\n';
        }
        for (int position : {0, 120, 241, 281}) {
            for (bool dispayA : {false, true}) {
                ExpChannel r;
                r.Position = static_cast<int16_t>(position);
                r.LowPower = r.PowUp = r.Duplex = r.ScanMemory = r.VsMemory = kTrue;
                r.DispayA = ToBool16(dispayA);
                r.ChTag = "OLD";
                SeedExpChannel(r, plans_.ExpPlan);
                dump += ChannelLine("SEED", r).toLatin1() + '\n';
            }
        }
        RadioData data;
        for (ExpChannel& r : data.ExpChannels)
            r = {130, kTrue, kTrue, kTrue, kTrue, kTrue, kFalse, kTrue, kTrue, kTrue, "OLD"};
        ResetExpChannels(data, plans_.ExpPlan);
        for (const ExpChannel& r : data.ExpChannels)
            dump += ChannelLine("RESET", r).toLatin1() + '\n';
        COMPARE_GOLDEN(dump, "image_plan_records.txt");
    }

    // Each model's new data set and its image. Made again over an edited set, it keeps the
    // priority channels, which live only in the data set, takes the A channel from the fresh
    // image, empties both directories and gives the same image. Then the image built for the
    // model before the data set is encoded into it: every byte the radio would get, none left over.
    void newDataSet_matchesGoldens_data() { AddRowsOf(kDefaultImages); }
    void newDataSet_matchesGoldens() {
        const auto& [name, model, golden, built] = RowOf(kDefaultImages);
        AppState app = test::MakeDefaultApp(static_cast<Model>(model));
        COMPARE_GOLDEN(test::ImageBytes(app.Image), golden);
        ChannelCommon& p = app.Data.Channels;
        p = {7, 8, 300, 3};  // PCH of USA, INT and CAN, then USA ACH
        app.Data.IndividualDirectory[0] = app.Data.GroupDirectory[4] = {kTrue, "CLUB", "036699001"};
        NewDataSet(app);
        QCOMPARE(QList<int>({p.UsaPch, p.IntPch, p.CanPch, p.UsaAch}),
                 QList<int>({7, 8, 300, kNoChannel}));
        QVERIFY(app.Data.IndividualDirectory[0] == DirectoryEntry{});
        QVERIFY(app.Data.GroupDirectory[4] == DirectoryEntry{});
        COMPARE_GOLDEN(test::ImageBytes(app.Image), golden);

        MemoryImage raw = FilledImage(0x5A);
        BuildDefaultImage(raw, static_cast<Model>(model));
        COMPARE_GOLDEN(test::ImageBytes(raw), built);
    }

    // Fields of a byte read, then written: one bit with GetBit and SetBit (0 bits), else a count
    // of bits from a top bit down. Fields reaching outside bits 7 to 0 read as 0 and write
    // nothing; a value outside 0 to 255 is refused and leaves the byte alone.
    void bitFields_matchGolden() {
        // The byte, the field's count of bits (-1 asks GetBits and SetBits for none) and its top
        // bit, the value written.
        const std::array<int, 4> fields[] = {
            {0x80, 0, 7, 0}, {0x00, 0, 4, 1},  {0xFF, 0, 4, -1},  {0xFF, 0, 0, 2},
            {0x7C, 2, 5, 5}, {0x7C, 3, 2, 0},  {0xA5, 8, 7, 255}, {0xFF, 3, 1, 0},
            {0xFF, 2, 8, 0}, {0xFF, -1, 3, 0}, {0x5A, 2, 5, 256}, {0x5A, 3, 2, -1}};
        QByteArray out;
        for (const auto& [byte, count, top, value] : fields) {
            uint8_t b = static_cast<uint8_t>(byte);
            const int bits = std::max(count, 0);
            const int read = count == 0 ? GetBit(b, top) : GetBits(b, bits, top);
            bool stored = true;
            if (count == 0)
                SetBit(b, top, value);
            else
                stored = SetBits(b, bits, top, value);
            const QString field = count == 0
                                      ? QString("bit %1").arg(top)
                                      : QString("%1 bits down from bit %2").arg(count).arg(top);
            out += QString::asprintf("%02X, %s: reads %d; %d %s -> %02X\n", byte, qPrintable(field),
                                     read, value, stored ? "fitted" : "refused", b)
                       .toLatin1();
        }
        COMPARE_GOLDEN(out, "image_bit_fields.txt");
    }
};

QTEST_APPLESS_MAIN(TestMemoryImage)
#include "tst_memory_image.moc"
