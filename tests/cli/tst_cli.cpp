#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <QtTest>

#include "tests/cli/cli_runner.h"

using namespace chanwright::test;

// Runs the real chanwright-cli with its own settings folder, so the stored model is ours to set.
class TestCli : public QObject {
    Q_OBJECT

    CliRunner runner_;

    QString Path(const QString& name) const { return runner_.Path(name); }
    CliRun Cli(const QStringList& args) { return runner_.Cli(args); }

    void StoreModelNum(int modelNum) {
        runner_.StoreSettings(QStringLiteral("[ModelPath]\nModelNum=%1\n").arg(modelNum));
    }

    void VerifyGolden(const QString& file, const QString& golden) {
        QString why;
        QVERIFY2(MatchesGolden(ReadBytes(Path(file)), golden, &why), qPrintable(why));
    }

  private slots:
    void init() { runner_.ClearSettings(); }

    void newDataSet_matchesTheWindowsDefault_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("golden");
        QTest::newRow("data file, stored model")
            << QStringList{"new", "-o", "out.dat"} << "default_hv2071p.dat";
        QTest::newRow("data file, TQ5300")
            << QStringList{"new", "--model", "tq5300", "-o", "out.dat"} << "default_tq5300.dat";
        QTest::newRow("image file, upper-case extension")
            << QStringList{"new", "-o", "out.HEX"} << "default_hv2071p.hex";
        QTest::newRow("image file, TQ5300")
            << QStringList{"new", "-m", "TQ5300", "-o", "out.hex"} << "default_tq5300.hex";
        QTest::newRow("defaults name is a full data file")
            << QStringList{"new", "-o", "out.def"} << "default_hv2071p.dat";
    }
    void newDataSet_matchesTheWindowsDefault() {
        QFETCH(QStringList, args);
        QFETCH(QString, golden);
        const CliRun run = Cli(args);
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.err.isEmpty());
        VerifyGolden(args.last(), golden);
    }

    void storedModel_isTheDefault() {
        StoreModelNum(1);
        QCOMPARE(Cli({"new", "-o", "out.hex"}).exitCode, 0);
        VerifyGolden("out.hex", "default_tq5300.hex");
    }

    void dataFileInput_namesItsModel() {
        // A TQ5300 data file converts to a TQ5300 image although HV2071P is stored.
        QCOMPARE(Cli({"new", "-m", "TQ5300", "-o", "tq.dat"}).exitCode, 0);
        QCOMPARE(Cli({"convert", "tq.dat", "tq.hex"}).exitCode, 0);
        VerifyGolden("tq.hex", "default_tq5300.hex");
    }

    void convert_roundTripsThroughAnImage() {
        QByteArray edited = ReadBytes(TestDataPath("default_hv2071p.dat"));
        edited.replace("Contrast=4", "Contrast=6");
        edited.replace("[CHUSA5]\r\nPosition=6\r\nEnable=1", "[CHUSA5]\r\nPosition=6\r\nEnable=0");
        QVERIFY(WriteBytes(Path("in.dat"), edited));
        QCOMPARE(Cli({"convert", "in.dat", "mid.hex"}).exitCode, 0);
        QCOMPARE(Cli({"convert", "mid.hex", "back.dat"}).exitCode, 0);
        QCOMPARE(ReadBytes(Path("back.dat")), edited);
    }

    void failedLoad_writesNothing_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QByteArray>("inputBytes");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing data file") << "nothere.dat" << QByteArray() << "FileRead Error!!";
        QTest::newRow("missing image") << "nothere.hex" << QByteArray() << "FileRead Error!!";
        QTest::newRow("short image")
            << "short.hex" << QByteArray(100, '\x08') << "FileRead Error!!";
        QTest::newRow("image of the other model")
            << "other.hex" << ReadBytes(TestDataPath("default_tq5300.hex")) << "ModelName Error !!";
    }
    void failedLoad_writesNothing() {
        QFETCH(QString, input);
        QFETCH(QByteArray, inputBytes);
        QFETCH(QString, message);
        if (!inputBytes.isEmpty())
            QVERIFY(WriteBytes(Path(input), inputBytes));
        QVERIFY(WriteBytes(Path("keep.dat"), "precious"));
        const CliRun run = Cli({"convert", "--model", "HV2071P", input, "keep.dat"});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.startsWith(message), qPrintable(run.err));
        QCOMPARE(ReadBytes(Path("keep.dat")), QByteArray("precious"));
    }

    void rangeErrorInEncode_failsAndKeepsTheOldImage() {
        QByteArray bytes = ReadBytes(TestDataPath("default_hv2071p.dat"));
        bytes.replace("Scrambler=0", "Scrambler=300");
        QVERIFY(WriteBytes(Path("bad.dat"), bytes));
        QVERIFY(WriteBytes(Path("old.hex"), "old"));
        const CliRun run = Cli({"convert", "bad.dat", "old.hex"});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err, QString("Overflow: Scrambler=300 is outside 0 to 255\n"));
        QCOMPARE(ReadBytes(Path("old.hex")), QByteArray("old"));
    }

    void badUsage_exitsTwoWithUsage_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("no command") << QStringList{};
        QTest::newRow("unknown command") << QStringList{"export", "a.dat"};
        QTest::newRow("new without output") << QStringList{"new"};
        QTest::newRow("unknown model") << QStringList{"new", "--model", "HV9", "-o", "x.dat"};
        QTest::newRow("convert with one file") << QStringList{"convert", "a.dat"};
        QTest::newRow("unknown option") << QStringList{"new", "--colour", "-o", "x.dat"};
        QTest::newRow("read without port") << QStringList{"read", "-o", "x.hex"};
    }
    void badUsage_exitsTwoWithUsage() {
        QFETCH(QStringList, args);
        const CliRun run = Cli(args);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains("Usage:"), qPrintable(run.err));
        QVERIFY(!QFile::exists(Path("x.dat")));
    }

    // The text report is what the text window saves: the golden text and a final CR LF.
    void report_writesTheTextImage_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("golden");
        QTest::addColumn<QString>("file");
        const QString hv = TestDataPath("default_hv2071p.dat");
        const QString tq = TestDataPath("default_tq5300.dat");
        QTest::newRow("standard output")
            << QStringList{"report", hv} << "report_default_hv2071p.txt" << QString();
        QTest::newRow("file, model from the data file")
            << QStringList{"report", tq, "-o", "out.txt"} << "report_default_tq5300.txt"
            << "out.txt";
    }
    void report_writesTheTextImage() {
        QFETCH(QStringList, args);
        QFETCH(QString, golden);
        QFETCH(QString, file);
        const CliRun run = Cli(args);
        QCOMPARE(run.exitCode, 0);
        const QByteArray text = file.isEmpty() ? run.out.toUtf8() : ReadBytes(Path(file));
        QCOMPARE(text, ReadBytes(TestDataPath(golden)) + "\r\n");
    }

    void report_pdfAlongsideTheText() {
        const CliRun run = Cli(
            {"report", TestDataPath("default_hv2071p.dat"), "--pdf", "out.pdf", "-o", "both.txt"});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(ReadBytes(Path("out.pdf")).startsWith("%PDF"));
        QVERIFY(QFile::exists(Path("both.txt")));
        const CliRun missing = Cli({"report", Path("none.dat"), "--pdf", "never.pdf"});
        QCOMPARE(missing.exitCode, 1);
        QVERIFY(!QFile::exists(Path("never.pdf")));
    }

    // A command that fails leaves every output as it was; one whose outputs would collide is
    // refused before anything is read or written. Inputs that never end, block or are no text
    // are refused at once.
    void failure_leavesEveryOutputAsItWas_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");  // how standard error begins
        const QString hv = TestDataPath("default_hv2071p.dat");
        QTest::newRow("second output's folder missing")
            << QStringList{"report", hv, "-o", "prev.txt", "--pdf", "missing/x.pdf"} << 1
            << "FileSave Error!!\n  No such file or directory";
        QTest::newRow("-o and --pdf one file")
            << QStringList{"report", hv, "-o", "prev.txt", "--pdf", "./prev.txt"} << 2
            << "chanwright-cli: two outputs name the same file";
        QTest::newRow("output over the input")
            << QStringList{"convert", "link.dat", "prev.txt"} << 2
            << "chanwright-cli: the output 'prev.txt' is the input file";
        QTest::newRow("endless device behind a data file's name")
            << QStringList{"convert", "zero.dat", "prev.txt"} << 1
            << "FileRead Error!!\n  Not a regular file (a device)";
        QTest::newRow("FIFO without a writer")
            << QStringList{"convert", "fifo.hex", "prev.txt"} << 1
            << "FileRead Error!!\n  Not a regular file (a FIFO)";
        QTest::newRow("NUL bytes in a data file")
            << QStringList{"convert", "nul.dat", "prev.txt"} << 1 << "FileRead Error!!";
    }
    void failure_leavesEveryOutputAsItWas() {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        for (const char* name : {"zero.dat", "fifo.hex", "link.dat"})
            QFile::remove(Path(name));
        QVERIFY(WriteBytes(Path("prev.txt"), "old"));
        QVERIFY(WriteBytes(Path("nul.dat"), QByteArray("[MAIN]\r\nMODEL=#TQ5300\r\n") + '\0'));
        QVERIFY(QFile::link(Path("prev.txt"), Path("link.dat")));
        QVERIFY(QFile::link("/dev/zero", Path("zero.dat")));
        QCOMPARE(mkfifo(QFile::encodeName(Path("fifo.hex")).constData(), 0600), 0);
        const CliRun run = Cli(args);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.err.startsWith(message), qPrintable(run.err));
        QCOMPARE(ReadBytes(Path("prev.txt")), QByteArray("old"));
        QVERIFY(!QFile::exists(Path("missing")));
    }

    // "-" is standard input or output; an output that is no regular file is written into, and
    // a write error on standard output fails the command.
    void streams_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("input");   // a test file for standard input
        QTest::addColumn<QString>("output");  // where standard output goes
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("golden");  // what out.hex or standard output holds
        const QString hv = TestDataPath("default_hv2071p.dat");
        QTest::newRow("report -o -") << QStringList{"report", hv, "-o", "-"} << ""
                                     << "" << 0 << "report_default_hv2071p.txt";
        QTest::newRow("data file from standard input, its model too")
            << QStringList{"convert", "-", "out.hex"} << "default_tq5300.dat"
            << "" << 0 << "default_tq5300.hex";
        QTest::newRow("standard output on a full device") << QStringList{"report", hv} << ""
                                                          << "/dev/full" << 1 << "";
    }
    void streams() {
        QFETCH(QStringList, args);
        QFETCH(QString, input);
        QFETCH(QString, output);
        QFETCH(int, exitCode);
        QFETCH(QString, golden);
        const CliRun run = runner_.Cli(
            args, input.isEmpty() ? QByteArray() : ReadBytes(TestDataPath(input)), output);
        QCOMPARE(run.exitCode, exitCode);
        if (exitCode != 0) {
            QCOMPARE(run.err, QString("FileSave Error!!\n  No space left on device\n"));
            return;
        }
        const QByteArray produced =
            args.contains("out.hex") ? ReadBytes(Path("out.hex")) : run.out.toLatin1();
        QCOMPARE(produced,
                 ReadBytes(TestDataPath(golden)) + (golden.endsWith(".txt") ? "\r\n" : ""));
    }

    void pdfToAStreamOrDevice_isWrittenIntoIt() {
        const CliRun piped = Cli({"report", TestDataPath("default_hv2071p.dat"), "--pdf", "-"});
        QCOMPARE(piped.exitCode, 0);
        QVERIFY(piped.out.startsWith("%PDF"));
        if (geteuid() != 0)
            QSKIP("only root can make a device node to write into");
        const QByteArray node = QFile::encodeName(Path("null"));
        QCOMPARE(mknod(node.constData(), S_IFCHR | 0666, makedev(1, 3)), 0);
        const CliRun run = Cli({"report", TestDataPath("default_hv2071p.dat"), "--pdf", "null"});
        QCOMPARE(run.exitCode, 0);
        struct stat info {};
        QCOMPARE(stat(node.constData(), &info), 0);
        QVERIFY(S_ISCHR(info.st_mode));
    }

    // Names whose bytes are no UTF-8 are opened and created with exactly those bytes.
    void latin1FileNames_keepTheirBytes() {
        QVERIFY(QFile::copy(TestDataPath("default_tq5300.dat"), Path("caf")));
        const CliRun run = runner_.Shell(
            "mv caf \"$(printf 'caf\\351.dat')\" && "
            "\"$CLI\" convert \"$(printf 'caf\\351.dat')\" \"$(printf 'out\\351.hex')\" && "
            "cmp \"$(printf 'out\\351.hex')\" " +
            TestDataPath("default_tq5300.hex") +
            "; status=$?; rm -f \"$(printf 'caf\\351.dat')\" \"$(printf 'out\\351.hex')\"; "
            "exit $status");
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    }

    // On a full file system the old file stays, and the reason is told.
    void fullDisk_keepsTheOldFile() {
        if (geteuid() != 0)
            QSKIP("mounting a small file system needs root");
        const QString full = Path("full");
        QVERIFY(QDir().mkpath(full));
        if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", full}) != 0)
            QSKIP("no tmpfs can be mounted here");
        struct Unmount {
            QString at;
            ~Unmount() { QProcess::execute("umount", {at}); }
        } unmount{full};
        const QByteArray old(8192, '\x5a');
        QVERIFY(WriteBytes(full + "/backup.hex", old));
        QFile filler(full + "/filler");
        QVERIFY(filler.open(QIODevice::WriteOnly));
        while (filler.write(QByteArray(4096, 'f')) == 4096 && filler.flush()) {
        }
        filler.close();
        for (const char* output : {"backup.hex", "new.dat"}) {
            const CliRun run = Cli({"convert", TestDataPath("default_tq5300.dat"),
                                    full + "/" + QLatin1String(output)});
            QCOMPARE(run.exitCode, 1);
            QCOMPARE(run.err, QString("FileSave Error!!\n  No space left on device\n"));
        }
        QCOMPARE(ReadBytes(full + "/backup.hex"), old);
        QCOMPARE(QDir(full).entryList(QDir::Files), (QStringList{"backup.hex", "filler"}));
    }

    // B is A (the rich image) as a data file with a field of each kind changed; a data file
    // keeps no A or B channel, so those lines show too.
    void diff_listsEachChangedField_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("golden");  // standard output; none: empty
        const QString rich = TestDataPath("rich_round_trip.hex");
        QTest::newRow("image against edited data file")
            << QStringList{rich, "b.dat"} << 1 << "diff_rich_to_edited.txt";
        QTest::newRow("edited data file against image")
            << QStringList{"b.dat", rich} << 1 << "diff_edited_to_rich.txt";
        QTest::newRow("same file") << QStringList{rich, rich} << 0 << QString();
        QTest::newRow("data file against its image")
            << QStringList{"a.dat", "a.hex"} << 0 << QString();
        QTest::newRow("unloadable input") << QStringList{"b.dat", "none.hex"} << 2 << QString();
    }
    void diff_listsEachChangedField() {
        QFETCH(QStringList, files);
        QFETCH(int, exitCode);
        QFETCH(QString, golden);
        const QString rich = TestDataPath("rich_round_trip.hex");
        QCOMPARE(Cli({"convert", "--model", "TQ5300", rich, "a.dat"}).exitCode, 0);
        QCOMPARE(Cli({"convert", "a.dat", "a.hex"}).exitCode, 0);
        QByteArray edited = ReadBytes(Path("a.dat"));
        for (const auto& [from, to] : std::initializer_list<std::pair<const char*, const char*>>{
                 {"ChTag=#Harbour 1", "ChTag=#MARINA"},
                 {"[CHEXP12]\r\nPosition=0", "[CHEXP12]\r\nPosition=17"},
                 {"Mmsid=12\r\n", "Mmsid=3669999990\r\n"},
                 {"Mmsid=0876543210", "Mmsid=0555555550"},
                 {"KeyBeep=0", "KeyBeep=1"},
                 {"Scrambler=3", "Scrambler=0"}}) {
            QVERIFY2(edited.contains(from), from);
            edited.replace(from, to);
        }
        QVERIFY(WriteBytes(Path("b.dat"), edited));
        const CliRun run = Cli(QStringList{"diff", "--model", "TQ5300"} + files);
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(run.err.isEmpty(), exitCode != 2);
        QString why;
        QVERIFY2(
            golden.isEmpty() ? run.out.isEmpty() : MatchesGolden(run.out.toUtf8(), golden, &why),
            qPrintable(why + run.out));
    }

    void help_listsEveryCommand() {
        const CliRun run = Cli({"--help"});
        QCOMPARE(run.exitCode, 0);
        for (const char* command :
             {"new", "convert", "diff", "report", "read", "program", "clear"}) {
            QVERIFY2(run.out.contains(QStringLiteral("chanwright-cli ") + command), command);
        }
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
