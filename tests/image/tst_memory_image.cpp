// The new data set from the channel plans on: the plans, the records built from them, the data set
// and its image; and the bit fields the image is made of.
#include <QtTest>

#include <algorithm>
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

// Name, the byte, the field's count of bits (0: one bit with GetBit and SetBit) and top bit, the
// value written, what the field read, the byte written, whether the value fitted.
const std::tuple<const char*, int, int, int, int, int, int, bool> kBitFields[] = {
    {"bit 7 of 0x80, 0 clears", 0x80, 0, 7, 0, 1, 0x00, true},
    {"bit 4, 1 sets", 0x00, 0, 4, 1, 0, 0x10, true},
    {"bit 4, -1 (true) clears", 0xFF, 0, 4, -1, 1, 0xEF, true},
    {"bit 0, 2 clears", 0xFF, 0, 0, 2, 1, 0xFE, true},
    {"Dimmer bits 5-4, 5 writes 1", 0x7C, 2, 5, 5, 3, 0x5C, true},
    {"Contrast bits 2-0", 0x7C, 3, 2, 0, 4, 0x78, true},
    {"whole byte, 255 fits", 0xA5, 8, 7, 255, 0xA5, 0xFF, true},
    {"field below bit 0", 0xFF, 3, 1, 0, 0, 0xFF, true},
    {"top 8", 0xFF, 2, 8, 0, 0, 0xFF, true},
    {"no bits", 0xFF, -1, 3, 0, 0, 0xFF, true},
    {"256 overflows", 0x5A, 2, 5, 256, 1, 0x5A, false},
    {"-1 overflows", 0x5A, 3, 2, -1, 2, 0x5A, false},
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

    void newDataSetImage_matchesGolden_data() { AddRowsOf(kDefaultImages); }
    void newDataSetImage_matchesGolden() {
        const auto& [name, model, golden, built] = RowOf(kDefaultImages);
        const AppState app = test::MakeDefaultApp(static_cast<Model>(model));
        COMPARE_GOLDEN(test::ImageBytes(app.Image), golden);

        MemoryImage raw = FilledImage(0x5A);
        BuildDefaultImage(raw, static_cast<Model>(model));
        // Before the data set is encoded into it: every byte the radio would get, none left over.
        COMPARE_GOLDEN(test::ImageBytes(raw), built);
    }

    // Priority channels live only in the data set; the A channel comes from the fresh image, and
    // both directories start empty.
    void newDataSet_keepsOnlyPriorityValues() {
        AppState app = test::MakeDefaultApp(Model::TQ5300);
        ChannelCommon& p = app.Data.Channels;
        p = {7, 8, 300, 3};  // PCH of USA, INT and CAN, then USA ACH
        app.Data.IndividualDirectory[0] = app.Data.GroupDirectory[4] = {kTrue, "CLUB", "036699001"};
        NewDataSet(app);
        QCOMPARE(QList<int>({p.UsaPch, p.IntPch, p.CanPch, p.UsaAch}),
                 QList<int>({7, 8, 300, kNoChannel}));
        QVERIFY(app.Data.IndividualDirectory[0] == DirectoryEntry{});
        QVERIFY(app.Data.GroupDirectory[4] == DirectoryEntry{});
    }

    // Each row reads a field and then writes value into it. Fields reaching outside bits 7 to 0
    // read as 0 and write nothing; a value outside 0 to 255 is refused and leaves the byte alone.
    void bitField_data() { AddRowsOf(kBitFields); }
    void bitField() {
        const auto& [name, byte, count, top, value, read, written, ok] = RowOf(kBitFields);
        uint8_t b = static_cast<uint8_t>(byte);
        const int bits = std::max(count, 0);  // -1 asks GetBits and SetBits for no bits
        QCOMPARE(count == 0 ? GetBit(b, top) : GetBits(b, bits, top), read);
        bool stored = true;
        if (count == 0)
            SetBit(b, top, value);
        else
            stored = SetBits(b, bits, top, value);
        QCOMPARE(stored, ok);
        QCOMPARE(int{b}, written);
    }
};

QTEST_APPLESS_MAIN(TestMemoryImage)
#include "tst_memory_image.moc"
