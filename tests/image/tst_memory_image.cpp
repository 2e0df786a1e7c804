#include <QtTest>

#include "image/bit_ops.h"
#include "image/default_image.h"
#include "image/image_decoder.h"
#include "image/new_data_set.h"
#include "tests/support/test_files.h"

using namespace chanwright;
using test::FilledImage;
using test::ImageSlice;
using test::PutBytes;
using test::RandomImage;

class TestMemoryImage : public QObject {
    Q_OBJECT

  private slots:
    void newDataSetImage_matchesGolden_data() {
        QTest::addColumn<int>("model");
        QTest::addColumn<QString>("golden");
        QTest::addColumn<QString>("built");

        QTest::newRow("HV2071P") << int{kModelHV2071P} << "default_hv2071p.hex"
                                 << "image_built_default_hv2071p.hex";
        QTest::newRow("TQ5300") << int{kModelTQ5300} << "default_tq5300.hex"
                                << "image_built_default_tq5300.hex";
    }

    void newDataSetImage_matchesGolden() {
        QFETCH(int, model);
        QFETCH(QString, golden);
        QFETCH(QString, built);

        const AppState app = test::MakeDefaultApp(static_cast<int16_t>(model));
        QString why;
        QVERIFY2(test::MatchesGolden(test::ImageBytes(app.Image), golden, &why), qPrintable(why));

        MemoryImage raw = FilledImage(0x5A);
        BuildDefaultImage(raw, static_cast<int16_t>(model));
        // Before the data set is encoded into it: every byte the radio would get, none left over.
        QVERIFY2(test::MatchesGolden(test::ImageBytes(raw), built, &why), qPrintable(why));
    }

    void checkModelId_data() {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        QTest::addColumn<int>("model");
        QTest::addColumn<bool>("accepted");

        QTest::newRow("TQ5300 copies, TQ5300 selected") << 0x14B4 << 0x14B4 << 1 << true;
        QTest::newRow("HV2071P copies, HV2071P selected") << 0x081F << 0x081F << 0 << true;
        QTest::newRow("TQ5300 copies, HV2071P selected") << 0x14B4 << 0x14B4 << 0 << false;
        QTest::newRow("2071 taken literally (0x0817)") << 0x0817 << 0x0817 << 0 << false;
        QTest::newRow("second copy differs") << 0x14B4 << 0x14B5 << 1 << false;
        QTest::newRow("first copy differs") << 0x081E << 0x081F << 0 << false;
    }

    void checkModelId() {
        QFETCH(int, first);
        QFETCH(int, second);
        QFETCH(int, model);
        QFETCH(bool, accepted);

        QCOMPARE(CheckModelId(static_cast<uint16_t>(first), static_cast<uint16_t>(second),
                              static_cast<int16_t>(model)),
                 accepted);
        MemoryImage image = FilledImage(0);
        PutBytes(image, 0x0000, QByteArray(1, char(first >> 8)) + char(first & 0xFF));
        PutBytes(image, 0x1FFE, QByteArray(1, char(second >> 8)) + char(second & 0xFF));
        QCOMPARE(int{FirstModelId(image)}, first);
        QCOMPARE(int{SecondModelId(image)}, second);
    }

    void newDataSet_keepsPriorityValues() {
        AppState app = test::MakeDefaultApp(kModelTQ5300);
        app.Data.Channels.UsaPch = 7;
        app.Data.Channels.IntPch = 8;
        app.Data.Channels.CanPch = 300;
        app.Data.Channels.UsaAch = 3;
        NewDataSet(app);
        QCOMPARE(app.Data.Channels.UsaPch, int16_t{7});
        QCOMPARE(app.Data.Channels.IntPch, int16_t{8});
        QCOMPARE(app.Data.Channels.CanPch, int16_t{300});
        QCOMPARE(app.Data.Channels.UsaAch, kNoChannel);
    }

    void restoreLocalBytes_copiesOnlyLocalBytes() {
        const MemoryImage source = RandomImage(7);
        MemoryImage image = RandomImage(8);
        MemoryImage expected = image;
        for (int address :
             {0x000C, 0x0027, 0x01E0, 0x01E1, 0x01E2, 0x01E3, 0x01E4, 0x01E5, 0x01E6, 0x01E7})
            expected[address] = source[address];
        RestoreLocalBytes(image, source);
        QCOMPARE(test::ImageBytes(image), test::ImageBytes(expected));
    }

    void readBits_data() {
        QTest::addColumn<int>("byte");
        QTest::addColumn<int>("count");  // 0 reads one bit with GetBit
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("expected");

        QTest::newRow("GetBit 7 of 0x80") << 0x80 << 0 << 7 << 1;
        QTest::newRow("GetBit 0 of 0xFE") << 0xFE << 0 << 0 << 0;
        QTest::newRow("GetBit 8 -> 0") << 0xFF << 0 << 8 << 0;
        QTest::newRow("GetBit -1 -> 0") << 0xFF << 0 << -1 << 0;
        QTest::newRow("Dimmer bits 5-4 of 0x7C") << 0x7C << 2 << 5 << 3;
        QTest::newRow("Contrast bits 2-0 of 0x7C") << 0x7C << 3 << 2 << 4;
        QTest::newRow("whole byte") << 0xA5 << 8 << 7 << 0xA5;
        QTest::newRow("field below bit 0 -> 0") << 0xFF << 3 << 1 << 0;
        QTest::newRow("top 8 -> 0") << 0xFF << 2 << 8 << 0;
        QTest::newRow("count 0 field -> 0") << 0xFF << -1 << 3 << 0;
    }

    void readBits() {
        QFETCH(int, byte);
        QFETCH(int, count);
        QFETCH(int, top);
        QFETCH(int, expected);

        const uint8_t b = static_cast<uint8_t>(byte);
        QCOMPARE(count == 0 ? GetBit(b, top) : GetBits(b, count == -1 ? 0 : count, top), expected);
    }

    void writeBits_data() {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("count");  // 0 writes one bit with SetBit
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("expected");

        QTest::newRow("SetBit 1 sets") << 0x00 << 0 << 4 << 1 << true << 0x10;
        QTest::newRow("SetBit -1 (true) clears") << 0xFF << 0 << 4 << -1 << true << 0xEF;
        QTest::newRow("SetBit 2 clears") << 0xFF << 0 << 0 << 2 << true << 0xFE;
        QTest::newRow("SetBit bit 8 changes nothing") << 0x5A << 0 << 8 << 1 << true << 0x5A;
        QTest::newRow("SetBit bit -1 changes nothing") << 0x5A << 0 << -1 << 0 << true << 0x5A;
        QTest::newRow("SetBits keeps other bits") << 0xFF << 2 << 5 << 0 << true << 0xCF;
        QTest::newRow("SetBits Dimmer 5 writes 1") << 0x00 << 2 << 5 << 5 << true << 0x10;
        QTest::newRow("SetBits 255 fits") << 0x00 << 8 << 7 << 255 << true << 0xFF;
        QTest::newRow("SetBits 256 overflows, byte kept") << 0x5A << 2 << 5 << 256 << false << 0x5A;
        QTest::newRow("SetBits -1 overflows, byte kept") << 0x5A << 3 << 2 << -1 << false << 0x5A;
    }

    void writeBits() {
        QFETCH(int, start);
        QFETCH(int, count);
        QFETCH(int, top);
        QFETCH(int, value);
        QFETCH(bool, ok);
        QFETCH(int, expected);

        uint8_t byte = static_cast<uint8_t>(start);
        bool written = true;
        if (count == 0)
            SetBit(byte, top, value);
        else
            written = SetBits(byte, count, top, value);
        QCOMPARE(written, ok);
        QCOMPARE(int{byte}, expected);
    }
};

QTEST_APPLESS_MAIN(TestMemoryImage)
#include "tst_memory_image.moc"
