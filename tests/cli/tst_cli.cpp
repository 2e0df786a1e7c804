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
        QVERIFY2(run.err.contains("Scrambler=300"), qPrintable(run.err));
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

    void help_listsEveryCommand() {
        const CliRun run = Cli({"--help"});
        QCOMPARE(run.exitCode, 0);
        for (const char* command : {"new", "convert", "report", "read", "program", "clear"}) {
            QVERIFY2(run.out.contains(QStringLiteral("chanwright-cli ") + command), command);
        }
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
