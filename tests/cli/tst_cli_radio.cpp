// chanwright-cli read, program and clear as a user runs them: the real binary against the radio
// simulator tool on a pseudo-terminal.
#include <csignal>

#include <QSerialPort>
#include <QtTest>
#include <memory>

#include "image/default_image.h"
#include "link/port_list.h"
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

    // A COM item by number or name, or a relative path (which Qt alone would seek under /dev).
    void clear_throughEveryNameOfThePort_data() {
        QTest::addColumn<QString>("port");
        for (const char* port : {"3", "COM2", "com3", "radio", "./radio"})
            QTest::newRow(port) << port;
    }
    void clear_throughEveryNameOfThePort() {
        QFETCH(QString, port);
        MemoryImage radio = RadioMemory(kModelHV2071P, 24);
        radio[0x155] = 3;
        const QString device = StartRadio(radio, {"--link", Path("radio")});
        runner_.StoreSettings("[ComPath]\nPort2=" + device + "\nPort3=" + device + "\n");
        const CliRun run = runner_.Cli({"clear", "--port", port});
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

    // The backup a read told of, or empty.
    static QString BackupNamedIn(const QString& err) {
        static const QRegularExpression told("^Backup: (.*\\.hex)$",
                                             QRegularExpression::MultilineOption);
        return told.match(err).captured(1);
    }

    // A restore brings the radio back to its backup after another file was programmed: every
    // byte the program sends is the backup's, as the radio takes it (spaces for unused text).
    void restore_bringsTheRadioBackToItsBackup() {
        const MemoryImage radio = RadioMemory(kModelTQ5300, 31);
        StartRadio(radio);
        const QStringList tq{"--model", "TQ5300", "--port", sim_->Device()};
        const QString backup =
            BackupNamedIn(runner_.Cli(QStringList{"read", "-o", "first.dat"} + tq).err);
        QVERIFY(!backup.isEmpty());
        QCOMPARE(
            runner_.Cli(QStringList{"program", TestDataPath("rich_round_trip.hex")} + tq).exitCode,
            0);
        const CliRun run = runner_.Cli(QStringList{"program", "--restore", backup} + tq);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, QString("Complete!!\n"));
        QCOMPARE(StopRadio(), ImageBytes(StoredByRadio(BytesToImage(ReadBytes(backup)), radio)));
    }

    // With --backup-first the radio is read whole into a backup, then programmed.
    void programWithBackupFirst_keepsTheRadioAsItWas() {
        const MemoryImage radio = RadioMemory(kModelHV2071P, 32);
        StartRadio(radio);
        const CliRun run = runner_.Cli({"program", "--backup-first", "--port", sim_->Device(),
                                        TestDataPath("default_hv2071p.dat")});
        QCOMPARE(run.exitCode, 0);
        const QString backup = BackupNamedIn(run.err);
        QCOMPARE(run.err, "Backup: " + backup + "\nComplete!!\n");
        MemoryImage defaults{};
        BuildDefaultImage(defaults, kModelHV2071P);
        MemoryImage expected = radio;
        RestoreLocalBytes(expected, defaults);
        QCOMPARE(ReadBytes(backup), ImageBytes(expected));
        QCOMPARE(LoggedCommands(Path("radio.log")), ReadCommands() + ProgramCommands().mid(4));
    }

    // A backup folder that takes no file is a warning; the read itself succeeded.
    void unwritableBackupFolder_warnsAndStillSucceeds() {
        StartRadio(RadioMemory(kModelHV2071P, 33));
        QDir(Path("data/Chanwright")).removeRecursively();
        QDir().mkpath(Path("data"));
        WriteBytes(Path("data/Chanwright"), "a file where the folder goes");
        const CliRun run = runner_.Cli({"read", "--port", sim_->Device(), "-o", "out.hex"});
        QFile::remove(Path("data/Chanwright"));
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.err.startsWith("warning: the backup could not be saved in " +
                                    Path("data/Chanwright/backups") + ": ") &&
                     run.err.endsWith("\nComplete!!\n"),
                 qPrintable(run.err));
        QCOMPARE(ReadBytes(Path("out.hex")).size(), 8192);
    }

    // verify after a write that took, and after one whose block 0x0200 the radio lost.
    void verify_data() {
        QTest::addColumn<QStringList>("faults");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("golden");
        QTest::newRow("the write took") << QStringList() << 0 << "verify_same.txt";
        QTest::newRow("block 0x0200 lost")
            << QStringList{"--fault", "lost-write@42"} << 1 << "verify_lost_block.txt";
    }
    void verify() {
        QFETCH(QStringList, faults);
        QFETCH(int, exitCode);
        QFETCH(QString, golden);
        StartRadio(RadioMemory(kModelTQ5300, 34), faults);
        const QString in = TestDataPath("rich_round_trip.hex");
        const QStringList tq{"--model", "TQ5300", "--port", sim_->Device(), in};
        QCOMPARE(runner_.Cli(QStringList{"program"} + tq).exitCode, 0);
        const int before = LoggedCommands(Path("radio.log")).size();
        const CliRun run =
            runner_.Cli(QStringList{"verify", "--no-backup", "--trace", "trace.txt"} + tq);
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(run.err, QString());
        QString why;
        QVERIFY2(MatchesGolden(run.out.toUtf8(), golden, &why), qPrintable(why));
        // The trace holds every command the radio got, as it went out.
        const QStringList traced = QString::fromUtf8(ReadBytes(Path("trace.txt"))).split('\n');
        QCOMPARE(traced.filter(QRegularExpression("^ *\\d+ TX 01 ")).size(),
                 LoggedCommands(Path("radio.log")).size() - before);
    }

    // Whatever ports this machine has, each line has three columns; the COM items follow.
    void ports_listsThePortsFoundAndTheComItems() {
        runner_.StoreSettings("[ComPath]\nPort2=" + Path("radio") + "\n");
        const CliRun run = runner_.Cli({"ports"});
        QCOMPARE(run.exitCode, 0);
        QStringList lines = run.out.split('\n');
        QCOMPARE(lines.takeLast(), QString());
        QVERIFY(lines.size() >= 4);
        QCOMPARE(lines.mid(lines.size() - 4),
                 QStringList({"COM1\t/dev/ttyUSB0", "COM2\t" + Path("radio"), "COM3\t/dev/ttyACM0",
                              "COM4\t/dev/ttyS0"}));
        static const QRegularExpression port("^/dev/[^\t]+\t[^\t]+\t(/dev/serial/by-id/.+|-)$");
        for (const QString& line : lines.mid(0, lines.size() - 4))
            QVERIFY2(port.match(line).hasMatch(), qPrintable(line));
        QCOMPARE(run.err, lines.size() == 4 ? NoPortsHint() + "\n" : QString());
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
