// The real serial code against the radio simulator tool on a pseudo-terminal. The link's time
// limits are shortened so that a fault costs a fraction of a second, not ten.
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "core/system_platform.h"
#include "image/default_image.h"
#include "image/image_decoder.h"
#include "image/image_encoder.h"
#include "link/clone_operations.h"
#include "link/qt_serial_port.h"
#include "storage/error_log.h"
#include "tests/support/fake_port.h"
#include "tests/support/radio_memory.h"
#include "tests/support/sim_process.h"
#include "tests/support/test_files.h"
#include "tests/support/test_platform.h"

using namespace chanwright;
using namespace chanwright::test;

namespace {

constexpr LinkTimings kQuickLimits{0.4, 0.4, 0.4, 50, 5};

// The application's side of one dialog session, wired to a device.
struct Station {
    Station(int16_t modelNum, const QString& device, const QString& logPath)
        : app(test::MakeDefaultApp(modelNum)), port(device), log(app.Shared, logPath) {
        app.Shared.DebugMode = kTrue;
        operations.SetSettlePause(0);
    }

    AppState app;
    QtSerialPort port;
    SteadyClock clock;
    NoEventPump events;
    test::RecordingPrompter prompter;
    RecordingView view;
    ErrorLog log;
    RadioLink link{app.Shared, port, clock, events, log, kQuickLimits};
    CloneOperations operations{app, link, prompter, clock, view, log};

    bool Run(int16_t mode) {
        app.Shared.TransferMode = mode;
        return operations.RunTransfer();
    }
};

}  // namespace

class TestLinkEndToEnd : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::unique_ptr<test::SimProcess> sim_;

    QString Path(const QString& name) const { return dir_.filePath(name); }

    // Starts the simulator with the radio memory given; its log and dump go to the temp folder.
    QString StartRadio(const MemoryImage& memory, const QStringList& extra = {}) {
        sim_ = std::make_unique<test::SimProcess>(CHANWRIGHT_RADIOSIM);
        QFile::remove(Path("radio.log"));
        QFile::remove(Path("after.hex"));
        test::WriteBytes(Path("before.hex"), test::ImageBytes(memory));
        QString why;
        const bool started =
            sim_->Start(QStringList{"--image", Path("before.hex"), "--log", Path("radio.log"),
                                    "--dump", Path("after.hex")} +
                            extra,
                        &why);
        if (!started)
            qWarning("%s", qPrintable(why));
        return started ? sim_->Device() : QString();
    }

    QByteArray StopRadio() {
        sim_->Stop();
        return test::ReadBytes(Path("after.hex"));
    }

  private slots:
    void fullRead_takesTheRadiosMemoryExceptLocalBytes() {
        const MemoryImage radio = RadioMemory(kModelTQ5300, 11);
        Station station(kModelTQ5300, StartRadio(radio), Path("err.log"));
        QVERIFY(station.Run(kTransferRead));

        MemoryImage expected = radio;
        MemoryImage defaults{};
        BuildDefaultImage(defaults, kModelTQ5300);
        for (int address : {12, 39, 480, 481, 482, 483, 484, 485, 486, 487})
            expected[address] = defaults[address];
        QCOMPARE(test::ImageBytes(station.app.Image), test::ImageBytes(expected));
        RadioData decoded = station.app.Data;
        DecodeImage(expected, decoded);
        QVERIFY(decoded == station.app.Data);
        QCOMPARE(int(station.app.Shared.TransferDone), int(kTrue));
        QCOMPARE(station.prompter.messages.size(), std::size_t(1));
        QCOMPARE(station.prompter.messages[0].text, std::string("Complete!!"));
        QCOMPARE(station.prompter.messages[0].title, std::string("Read from Radio"));
        QCOMPARE(station.view.progress.back(), 0);
        QVERIFY(std::count(station.view.progress.begin(), station.view.progress.end(), 100) >= 1);

        QCOMPARE(LoggedCommands(Path("radio.log")), ReadCommands());
        QCOMPARE(StopRadio(), test::ImageBytes(radio));
    }

    void program_writesThePlanAndTheRadioStoresTheEncodedImage() {
        const MemoryImage radio = RadioMemory(kModelHV2071P, 12);
        Station station(kModelHV2071P, StartRadio(radio), Path("err.log"));
        RadioData& data = station.app.Data;
        data.UsaChannels[0].ChTag = "HARBOUR";
        data.IndividualDirectory[0] = {kTrue, "SHIP", "3669999990"};
        data.Common.Scrambler = 3;
        QVERIFY(station.Run(kTransferProgram));
        QCOMPARE(station.prompter.messages.back().title, std::string("Program to Radio"));

        MemoryImage encoded = test::MakeDefaultApp(kModelHV2071P).Image;
        QVERIFY(!EncodeImage(data, encoded));
        QCOMPARE(test::ImageBytes(station.app.Image), test::ImageBytes(encoded));

        QCOMPARE(LoggedCommands(Path("radio.log")), ProgramCommands());
        QCOMPARE(LoggedCommands(Path("radio.log")).last(), QString("write-block 1FF0"));

        QCOMPARE(StopRadio(), ImageBytes(StoredByRadio(encoded, radio)));
    }

    void clear_writesOnlyThePermissionCount() {
        MemoryImage radio = RadioMemory(kModelHV2071P, 13);
        radio[0x155] = 7;
        Station station(kModelHV2071P, StartRadio(radio), Path("err.log"));
        station.app.Image[0x155] = 5;
        QVERIFY(station.Run(kTransferClear));
        QCOMPARE(station.prompter.messages.back().title, std::string("Clear Data"));
        QCOMPARE(int(station.app.Image[0x155]), 0);
        QCOMPARE(LoggedCommands(Path("radio.log")),
                 ModelCheckCommands() + QStringList{"write-byte 0155"});
        QVERIFY(test::ReadBytes(Path("radio.log")).contains("write-byte 0155 00"));
        radio[0x155] = 0;
        QCOMPARE(StopRadio(), test::ImageBytes(radio));
    }

    // Each radio that fails in its own way: the message shown, and an application left as it was.
    void failures_data() {
        QTest::addColumn<QStringList>("faults");
        QTest::addColumn<int>("radioModel");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("title");
        const int read = kTransferRead;
        const int program = kTransferProgram;
        const int clear = kTransferClear;
        const QString comm = "Communication Error!!";
        const QString model = QString::fromUtf8(
            "ModelName Error !!\n\nThe radio is a TQ5300. Choose Edit \u25B8 Model \u25B8 TQ5300 "
            "and "
            "try again.");
        QTest::newRow("other model, read")
            << QStringList() << int(kModelTQ5300) << read << model << "Read from Radio";
        QTest::newRow("other model, program")
            << QStringList() << int(kModelTQ5300) << program << model << "Read from Radio";
        QTest::newRow("other model, clear")
            << QStringList() << int(kModelTQ5300) << clear << model << "Read from Radio";
        QTest::newRow("wrong model fault")
            << QStringList{"--fault", "wrong-model"} << int(kModelHV2071P) << read << model
            << "Read from Radio";
        QTest::newRow("mismatched copies")
            << QStringList{"--fault", "mismatched-ids"} << int(kModelHV2071P) << program << model
            << "Read from Radio";
        QTest::newRow("silent radio") << QStringList{"--fault", "silence"} << int(kModelHV2071P)
                                      << read << comm << "Model Check";
        QTest::newRow("bad checksums") << QStringList{"--fault", "bad-checksum"}
                                       << int(kModelHV2071P) << read << comm << "Model Check";
        QTest::newRow("lower-case checksums in blocks")
            << QStringList{"--fault", "lowercase-checksum"} << int(kModelHV2071P) << read << comm
            << "Read from Radio";
        QTest::newRow("extra byte after every reply")
            << QStringList{"--fault", "extra-byte"} << int(kModelHV2071P) << read << comm
            << "Model Check";
        QTest::newRow("block 100 never answered")
            << QStringList{"--fault", "silence@104"} << int(kModelHV2071P) << read << comm
            << "Read from Radio";
        QTest::newRow("no ACK while programming")
            << QStringList{"--fault", "silence@20"} << int(kModelHV2071P) << program << comm
            << "Program to Radio";
        QTest::newRow("no ACK for the clear")
            << QStringList{"--fault", "drop-reply@5", "--fault", "drop-reply@6"}
            << int(kModelHV2071P) << clear << comm << "Clear Data";
    }
    void failures() {
        QFETCH(QStringList, faults);
        QFETCH(int, radioModel);
        QFETCH(int, mode);
        QFETCH(QString, text);
        QFETCH(QString, title);
        const MemoryImage radio = RadioMemory(int16_t(radioModel), 14);
        Station station(kModelHV2071P, StartRadio(radio, faults), Path("err.log"));
        station.app.Image[0x155] = 9;
        const AppState before = station.app;

        QVERIFY(!station.Run(int16_t(mode)));
        QCOMPARE(station.prompter.messages.size(), std::size_t(1));
        const ShownMessage& shown = station.prompter.messages[0];
        QCOMPARE(QString::fromStdString(shown.text), text);
        QCOMPARE(QString::fromStdString(shown.title), title);
        QCOMPARE(shown.icon, MessageIcon::Critical);
        QCOMPARE(int(station.app.Shared.TransferDone), int(kFalse));
        QVERIFY(station.app.Data == before.Data);
        if (mode != kTransferProgram)  // program encodes before it talks to the radio
            QCOMPARE(test::ImageBytes(station.app.Image), test::ImageBytes(before.Image));
        if (text.startsWith("ModelName Error !!"))
            QCOMPARE(LoggedCommands(Path("radio.log")), ModelCheckCommands());
        QVERIFY(!station.port.IsOpen());
    }

    // A radio that answers wrongly once is read whole on the second attempt.
    void recoverable_data() {
        QTest::addColumn<QString>("fault");
        QTest::newRow("noise before every SOH") << "noise";
        QTest::newRow("one bad checksum") << "bad-checksum@9";
        QTest::newRow("one dropped reply") << "drop-reply@5";
        QTest::newRow("one extra byte") << "extra-byte@300";
        QTest::newRow("one lower-case checksum") << "lowercase-checksum@5";
    }
    void recoverable() {
        QFETCH(QString, fault);
        const MemoryImage radio = RadioMemory(kModelHV2071P, 15);
        Station station(kModelHV2071P, StartRadio(radio, {"--fault", fault}), Path("err.log"));
        QVERIFY(station.Run(kTransferRead));
        MemoryImage defaults{};
        BuildDefaultImage(defaults, kModelHV2071P);
        MemoryImage expected = radio;
        RestoreLocalBytes(expected, defaults);
        QCOMPARE(test::ImageBytes(station.app.Image), test::ImageBytes(expected));
    }

    void unpluggedMidRead_isReportedAndChangesNothing() {
        const MemoryImage radio = RadioMemory(kModelHV2071P, 16);
        Station station(kModelHV2071P, StartRadio(radio, {"--fault", "hang-up@40"}),
                        Path("err.log"));
        const AppState before = station.app;
        QVERIFY(!station.Run(kTransferRead));
        QVERIFY(sim_->WaitForExit(5000));
        QCOMPARE(station.prompter.messages.size(), std::size_t(1));
        const ShownMessage& shown = station.prompter.messages[0];
        QCOMPARE(shown.icon, MessageIcon::Critical);
        // The system's words, and what to do about them.
        QVERIFY2(QString::fromStdString(shown.text).contains("\r\r") &&
                     QString::fromStdString(shown.text)
                         .endsWith("\nThe radio stopped answering; check the cable."),
                 shown.text.c_str());
        QCOMPARE(int(station.app.Shared.AbortRequested), int(kTrue));
        QVERIFY(station.app.Data == before.Data);
        QCOMPARE(test::ImageBytes(station.app.Image), test::ImageBytes(before.Image));
        QVERIFY(test::ReadBytes(Path("err.log")).contains("frmRadio.ReadData -> "));
        QVERIFY(!station.port.IsOpen());
    }

    // The cure named for a port that would not open: a port the user may open (root included) is
    // in use; one the user may not open needs the group that owns it, unless that is root's.
    void openFailureHint_data() {
        QTest::addColumn<int>("error");
        QTest::addColumn<bool>("accessible");
        QTest::addColumn<QString>("group");
        QTest::addColumn<QString>("hint");
        const int permission = QSerialPort::PermissionError;
        const QString join =
            "\nThe port belongs to the %1 group. Add your user to it (sudo usermod "
            "-aG %1 $USER), then log out and in again.";
        QTest::newRow("held by another program")
            << permission << true << "dialout"
            << "\nAnother program is using the port. Close it (or unplug the cable and plug it in "
               "again), then try again.";
        QTest::newRow("dialout") << permission << false << "dialout" << join.arg("dialout");
        QTest::newRow("uucp") << permission << false << "uucp" << join.arg("uucp");
        QTest::newRow("root") << permission << false << "root"
                              << "";
        QTest::newRow("no group") << permission << false << ""
                                  << "";
        QTest::newRow("not found") << int(QSerialPort::DeviceNotFoundError) << false << "dialout"
                                   << "";
    }
    void openFailureHint() {
        QFETCH(int, error);
        QFETCH(bool, accessible);
        QFETCH(QString, group);
        QFETCH(QString, hint);
        QCOMPARE(OpenFailureHint(QSerialPort::SerialPortError(error), accessible, group), hint);
    }

    // A device name in the settings file with a control character in it is refused before
    // anything is opened, and shown with the character as a code.
    void controlCharacterInTheDeviceName_isRefused() {
        Station station(kModelHV2071P, Path("tty") + QChar(0) + "x", Path("err.log"));
        QVERIFY(!station.Run(kTransferRead));
        const QString shown = QString::fromStdString(station.prompter.messages.at(0).text);
        QVERIFY2(shown.endsWith("\\x00x: invalid device name") && !shown.contains(QChar(0)),
                 qPrintable(shown));
    }

    void missingDevice_isToldWithTheReason() {
        QFile::remove(Path("err.log"));
        Station station(kModelHV2071P, Path("no-such-tty"), Path("err.log"));
        QVERIFY(!station.Run(kTransferRead));
        QCOMPARE(station.prompter.messages.size(), std::size_t(1));
        const ShownMessage& shown = station.prompter.messages[0];
        QCOMPARE(QString::fromStdString(shown.text), "Communication Error!!\n\nCannot open " +
                                                         Path("no-such-tty") +
                                                         ": No such file or directory");
        QCOMPARE(shown.title, std::string("Model Check"));
        const QByteArray log = test::ReadBytes(Path("err.log"));
        QVERIFY2(log.contains(":frmRadio.PortOpen -> 1Cannot open"), log.constData());
    }
};

QTEST_GUILESS_MAIN(TestLinkEndToEnd)
#include "tst_link_e2e.moc"
