// The real serial code against the radio simulator tool on a pseudo-terminal. The link's time
// limits are shortened so that a fault costs a fraction of a second, not ten.
#include <QTemporaryDir>
#include <QtTest>

#include "core/system_platform.h"
#include "image/image_encoder.h"
#include "link/clone_operations.h"
#include "link/qt_serial_port.h"
#include "tests/link/link_kit.h"
#include "tests/support/fake_port.h"
#include "tests/support/radio_memory.h"
#include "tests/support/sim_process.h"

using namespace chanwright;
using namespace chanwright::test;

class TestLinkEndToEnd : public QObject {
    Q_OBJECT

  private slots:
    // What the user is told, what the radio gets and holds afterwards, and what the image holds.
    // A radio that misbehaves once is read whole all the same.
    void overThePty_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("model");
        QTest::addColumn<QString>("told");  // the end of the one message shown
        const int read = kTransferRead, hv = kModelHV2071P;
        const QString done = "Complete!!", comm = "Communication Error!!";
        QTest::newRow("read a TQ5300") << "" << read << int(kModelTQ5300) << done;
        QTest::newRow("program") << "" << int(kTransferProgram) << hv << done;
        QTest::newRow("clear") << "" << int(kTransferClear) << hv << done;
        QTest::newRow("noise before every SOH") << "noise" << read << hv << done;
        QTest::newRow("one extra byte") << "extra-byte@300" << read << hv << done;
        QTest::newRow("silent") << "silence" << read << hv << comm;
        QTest::newRow("a byte after every reply") << "extra-byte" << read << hv << comm;
        QTest::newRow("no ACK while programming")
            << "silence@20" << int(kTransferProgram) << hv << comm;
        QTest::newRow("unplugged mid-read")
            << "hang-up@40" << read << hv << "\nThe radio stopped answering; check the cable.";
    }
    void overThePty() {
        QFETCH(QString, fault);
        QFETCH(int, mode);
        QFETCH(int, model);
        QFETCH(QString, told);
        QTemporaryDir dir;
        MemoryImage radio = RadioMemory(int16_t(model), 11);
        radio[0x155] = 7;
        WriteBytes(dir.filePath("before.hex"), ImageBytes(radio));
        QStringList arguments{"--image", dir.filePath("before.hex"),
                              "--log",   dir.filePath("radio.log"),
                              "--dump",  dir.filePath("after.hex")};
        arguments << (fault.isEmpty() ? QStringList() : QStringList{"--fault", fault});
        SimProcess sim(CHANWRIGHT_RADIOSIM);
        QString why;
        QVERIFY2(sim.Start(arguments, &why), qPrintable(why));

        AppState app = MakeDefaultApp(int16_t(model));
        app.Image[0x155] = 5;
        app.Data.UsaChannels[0].ChTag = "HARBOUR";
        app.Data.IndividualDirectory[0] = {kTrue, "SHIP", "3669999990"};
        app.Data.Common.Scrambler = 3;
        QtSerialPort port(sim.Device());
        SteadyClock clock;
        NoEventPump events;
        RecordingPrompter prompter;
        RecordingView view;
        RecordingLog log;
        RadioLink link(app.Shared, port, clock, events, log, {0.4, 0.4, 0.4, 50, 5});
        CloneOperations operations(app, link, prompter, clock, view, log);
        operations.SetSettlePause(0);

        const AppState before = app;
        MemoryImage image = before.Image, held = radio;
        QStringList commands = ModelCheckCommands() << "write-byte 0155";
        if (mode == kTransferRead) {
            image = RadioAsRead(radio, int16_t(model));
            commands = ReadCommands();
        } else if (mode == kTransferProgram) {
            QVERIFY(!EncodeImage(before.Data, image));  // before it talks to the radio
            held = StoredByRadio(image, radio);
            commands = ProgramCommands();
        } else {
            image[0x155] = held[0x155] = 0;
        }
        app.Shared.TransferMode = int16_t(mode);
        const bool done = operations.RunTransfer();
        QCOMPARE(prompter.messages.size(), size_t(1));
        QVERIFY2(QString::fromStdString(prompter.messages[0].text).endsWith(told),
                 prompter.messages[0].text.c_str());
        QCOMPARE(done, told == "Complete!!");
        QVERIFY(!port.IsOpen());
        QVERIFY(done || app.Data == before.Data);
        QCOMPARE(ImageBytes(app.Image),
                 ImageBytes(done || mode == kTransferProgram ? image : before.Image));
        if (fault.isEmpty()) {
            QCOMPARE(LoggedCommands(dir.filePath("radio.log")), commands);
            QVERIFY(sim.Stop());
            QCOMPARE(ReadBytes(dir.filePath("after.hex")), ImageBytes(held));
        }
    }
};

QTEST_GUILESS_MAIN(TestLinkEndToEnd)
#include "tst_link_e2e.moc"
