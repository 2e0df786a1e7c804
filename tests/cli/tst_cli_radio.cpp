// chanwright-cli read, program and clear as a user runs them: the real binary against the radio
// simulator tool on a pseudo-terminal.
#include <csignal>

#include <QSerialPort>
#include <QtTest>
#include <memory>

#include "image/default_image.h"
#include "tests/cli/cli_runner.h"
#include "tests/support/radio_memory.h"
#include "tests/support/sim_process.h"

using namespace chanwright;
using namespace chanwright::test;

class TestCliRadio : public QObject {
    Q_OBJECT

    CliRunner runner_;
    std::unique_ptr<SimProcess> sim_;

    QString Path(const QString& name) const { return runner_.Path(name); }

    QString StartRadio(const MemoryImage& memory, const QStringList& extra = {}) {
        sim_ = std::make_unique<SimProcess>(CHANWRIGHT_RADIOSIM);
        QFile::remove(Path("radio.log"));
        QFile::remove(Path("after.hex"));
        WriteBytes(Path("before.hex"), ImageBytes(memory));
        QString why;
        const QStringList arguments =
            QStringList{"--image",         Path("before.hex"), "--log",
                        Path("radio.log"), "--dump",           Path("after.hex")} +
            extra;
        if (!sim_->Start(arguments, &why))
            qWarning("%s", qPrintable(why));
        return sim_->Device();
    }

    QByteArray StopRadio() {
        sim_->Stop();
        return ReadBytes(Path("after.hex"));
    }

  private slots:
    void init() {
        runner_.ClearSettings();
        for (const char* name : {"out.hex", "out.dat"})
            QFile::remove(Path(name));
    }

    void readToImage_isTheRadiosMemoryWithLocalBytesRestored() {
        const MemoryImage radio = RadioMemory(kModelTQ5300, 21);
        const QString device = StartRadio(radio);
        const CliRun run = runner_.Cli({"read", "--port", device, "-m", "TQ5300", "-o", "out.hex"});
        QCOMPARE(run.exitCode, 0);
        // Standard error is no terminal here: the messages alone, no progress bar. The backup
        // holds the bytes the output holds.
        static const QRegularExpression told(
            "^Backup: (.*/data/Chanwright/backups/TQ5300-\\d{8}-\\d{6}\\.hex)\nComplete!!\n$");
        const QRegularExpressionMatch backup = told.match(run.err);
        QVERIFY2(backup.hasMatch(), qPrintable(run.err));
        MemoryImage defaults{};
        BuildDefaultImage(defaults, kModelTQ5300);
        MemoryImage expected = radio;
        RestoreLocalBytes(expected, defaults);
        QCOMPARE(ReadBytes(Path("out.hex")), ImageBytes(expected));
        QCOMPARE(ReadBytes(backup.captured(1)), ImageBytes(expected));
        QCOMPARE(LoggedCommands(Path("radio.log")), ReadCommands());
    }

    void readToDataFile_ofADefaultRadio_isTheDefaultDataFile() {
        StartRadio(BytesToImage(ReadBytes(TestDataPath("default_hv2071p.hex"))));
        const CliRun run = runner_.Cli({"read", "--port", sim_->Device(), "-o", "out.dat"});
        QCOMPARE(run.exitCode, 0);
        QString why;
        QVERIFY2(MatchesGolden(ReadBytes(Path("out.dat")), "default_hv2071p.dat", &why),
                 qPrintable(why));
    }

    void program_sendsTheWritePlanOfTheLoadedFile() {
        const MemoryImage radio = RadioMemory(kModelHV2071P, 22);
        StartRadio(radio);
        const CliRun run =
            runner_.Cli({"program", "--port", sim_->Device(), TestDataPath("default_hv2071p.dat")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, QString("Complete!!\n"));
        QCOMPARE(LoggedCommands(Path("radio.log")), ProgramCommands());
        const MemoryImage encoded = BytesToImage(ReadBytes(TestDataPath("default_hv2071p.hex")));
        QCOMPARE(StopRadio(), ImageBytes(StoredByRadio(encoded, radio)));
    }

    void program_rangeError_sendsNothing() {
        QByteArray file = ReadBytes(TestDataPath("default_hv2071p.dat"));
        file.replace("Scrambler=0", "Scrambler=300");
        QVERIFY(file.contains("Scrambler=300"));
        WriteBytes(Path("bad.dat"), file);
        StartRadio(RadioMemory(kModelHV2071P, 23));
        const CliRun run = runner_.Cli({"program", "--port", sim_->Device(), Path("bad.dat")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("Overflow: Scrambler=300"), qPrintable(run.err));
        QCOMPARE(LoggedCommands(Path("radio.log")), QStringList());
    }

    void clear_throughTheComPortMapping() {
        MemoryImage radio = RadioMemory(kModelHV2071P, 24);
        radio[0x155] = 3;
        const QString device = StartRadio(radio);
        runner_.StoreSettings("[ComPath]\nPort3=" + device + "\n");
        const CliRun run = runner_.Cli({"clear", "--port", "3"});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(LoggedCommands(Path("radio.log")),
                 ModelCheckCommands() + QStringList{"write-byte 0155"});
        radio[0x155] = 0;
        QCOMPARE(StopRadio(), ImageBytes(radio));
    }

    // A failed operation says why, exits 1 and leaves an existing output file alone.
    void failure_keepsTheOutputFile_data() {
        QTest::addColumn<QStringList>("faults");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("message");
        const QString model = "ModelName Error !!\n\nThe radio is a TQ5300: use --model TQ5300.\n";
        QTest::newRow("other model") << QStringList() << "read" << model;
        QTest::newRow("mismatched copies")
            << QStringList{"--fault", "mismatched-ids"} << "read" << model;
        QTest::newRow("bad checksums") << QStringList{"--fault", "bad-checksum"} << "read"
                                       << "Communication Error!!\n";
        QTest::newRow("lower-case checksums")
            << QStringList{"--fault", "lowercase-checksum"} << "read"
            << "Communication Error!!\n";
        QTest::newRow("program, other model") << QStringList() << "program" << model;
        QTest::newRow("clear, other model") << QStringList() << "clear" << model;
    }
    void failure_keepsTheOutputFile() {
        QFETCH(QStringList, faults);
        QFETCH(QString, command);
        QFETCH(QString, message);
        const int16_t radioModel = faults.isEmpty() ? kModelTQ5300 : kModelHV2071P;
        StartRadio(RadioMemory(radioModel, 25), faults);
        WriteBytes(Path("out.hex"), "keep");
        QStringList args{command, "--port", sim_->Device(), "--model", "HV2071P"};
        if (command == "read")
            args << "-o"
                 << "out.hex";
        if (command == "program")
            args << TestDataPath("default_hv2071p.dat");
        const CliRun run = runner_.Cli(args);
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err, message);
        QCOMPARE(ReadBytes(Path("out.hex")), QByteArray("keep"));
        if (message.startsWith("ModelName"))
            QCOMPARE(LoggedCommands(Path("radio.log")), ModelCheckCommands());
    }

    // An output that cannot be written is found before anything is sent, not after the read.
    void read_toAFolderThatIsNotThere_sendsNothing() {
        StartRadio(RadioMemory(kModelHV2071P, 26));
        const CliRun run = runner_.Cli({"read", "--port", sim_->Device(), "-o", "no/out.hex"});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err, QString("FileSave Error!!\n  No such file or directory\n"));
        QCOMPARE(LoggedCommands(Path("radio.log")), QStringList());
    }

    // Ctrl+C stops a transfer as Cancel does, with the shell's status for it; nothing is written.
    void ctrlC_stopsTheReadWithStatus130() {
        StartRadio(RadioMemory(kModelHV2071P, 27), {"--fault", "silence@8"});
        QProcess cli;
        runner_.Start(cli, {"read", "--port", sim_->Device(), "-o", "out.hex"});
        QTRY_COMPARE_WITH_TIMEOUT(LoggedCommands(Path("radio.log")).size(), 8, 10000);
        QCOMPARE(::kill(static_cast<pid_t>(cli.processId()), SIGINT), 0);
        QVERIFY(cli.waitForFinished(5000));
        QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
        QCOMPARE(cli.exitCode(), 130);
        QCOMPARE(QString::fromUtf8(cli.readAllStandardError()), QString("Interrupted\n"));
        QVERIFY(!QFile::exists(Path("out.hex")));
    }

    // A port another program holds is in use, whoever runs the tool.
    void heldPort_isSaidToBeInUse() {
        StartRadio(RadioMemory(kModelHV2071P, 28));
        QSerialPort holder(sim_->Device());
        QVERIFY(holder.open(QIODevice::ReadWrite));
        const CliRun run = runner_.Cli({"clear", "--port", sim_->Device()});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(
            run.err.contains("Another program is using the port") && !run.err.contains("dialout"),
            qPrintable(run.err));
    }

    void missingPort_namesTheDeviceAndReason() {
        const CliRun run = runner_.Cli({"read", "--port", Path("ttyNONE"), "-o", "out.hex"});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err, "Communication Error!!\n\nCannot open " + Path("ttyNONE") +
                              ": No such file or directory\n");
        QVERIFY(!QFile::exists(Path("out.hex")));
    }
};

QTEST_GUILESS_MAIN(TestCliRadio)
#include "tst_cli_radio.moc"
