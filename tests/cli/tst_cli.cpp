// chanwright-cli as a user runs it: the real binary in a temporary folder with its own settings
// and data folders, its radio commands against the radio simulator tool on a pseudo-terminal.
// Each row's runs are written down as the user sees them (exit status, standard output and
// error, the files each run added or changed, named by the golden or fixture file they equal;
// what the radio got and holds) and compared with the row's story in tests/data/cli_runs.txt.
// CHANWRIGHT_UPDATE_GOLDEN rewrites the stories of the rows run instead.
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <QDirIterator>
#include <QSerialPort>
#include <QtTest>
#include <csignal>

#include "image/default_image.h"
#include "image/program_image.h"
#include "link/port_list.h"
#include "tests/support/radio_memory.h"
#include "tests/support/sim_process.h"
#include "tests/support/test_files.h"

using namespace chanwright;
using namespace chanwright::test;

class TestCli : public QObject {
    Q_OBJECT

    QTemporaryDir dir_, simDir_;
    const QString log_ = simDir_.filePath("radio.log");  // what the radio got
    QMap<QString, QByteArray> fixtures_, before_;

    QString Path(const QString& name) const { return QDir(dir_.path()).filePath(name); }

    // Empties the folder, writes the fixture files and the settings file's INI lines.
    void Reset(QMap<QString, QByteArray> files, const QString& settings = {}) {
        QDir(dir_.path()).removeRecursively();
        files["config/Chanwright/PC Program for HV2071P-TQ5300 Series.ini"] = settings.toLatin1();
        for (auto file = files.begin(); file != files.end(); ++file) {
            QDir().mkpath(QFileInfo(Path(file.key())).path());
            WriteBytes(Path(file.key()), file.value());
        }
        before_ = Files();
    }

    // Regular files only: links, devices and FIFOs are never read.
    QMap<QString, QByteArray> Files() const {
        QMap<QString, QByteArray> files;
        QDirIterator it(dir_.path(), QDir::Files | QDir::NoSymLinks | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext() && !it.next().isEmpty())
            files[it.filePath().mid(dir_.path().size() + 1)] = ReadBytes(it.filePath());
        return files;
    }

    // What the bytes are: the golden or fixture file they equal, or else the text or its size.
    QString Describe(const QByteArray& bytes) const {
        for (const QFileInfo& golden : QDir(TestDataPath({})).entryInfoList(QDir::Files)) {
            const QByteArray want = ReadBytes(golden.filePath());
            if (bytes == want || bytes == want + "\r\n")
                return " = " + golden.fileName() + (bytes == want ? "" : " + CR LF");
        }
        if (const QString fixture = before_.key(bytes); !fixture.isEmpty())
            return " = " + fixture;
        if (bytes.startsWith("%PDF"))
            return QString(" PDF, %1 pages").arg(bytes.count("/Type /Page\n"));
        if (bytes.size() > 3000)
            return QString(" %1 bytes").arg(bytes.size());
        return ":\n  " + QString::fromUtf8(bytes).trimmed().replace('\n', "\n  ");
    }

    // The files added or changed since the last look.
    QString Changes() {
        const QMap<QString, QByteArray> now = Files();
        QString text;
        for (auto file = now.begin(); file != now.end(); ++file) {
            if (before_.value(file.key(), "\x01") != file.value())
                text += (before_.contains(file.key()) ? "changed " : "new ") + file.key() +
                        Describe(file.value()) + '\n';
        }
        for (const QString& name : before_.keys())
            text += now.contains(name) ? "" : "removed " + name + '\n';
        before_ = now;
        return text;
    }

    // One run as the user sees it. A first argument "<FILE" feeds FILE to standard input, ">PATH"
    // sends standard output to PATH (">head" to `head -c 10`, a reader that leaves early), and
    // "^C" stops the run with Ctrl+C once the radio got 8 commands; "^C@N" and "^TERM@N" send
    // SIGINT or SIGTERM once it got N.
    QString Transcript(QStringList args) {
        QProcess process, head;
        process.setWorkingDirectory(dir_.path());
        if (args.value(0).startsWith('<'))
            process.setStandardInputFile(Path(args.takeFirst().mid(1)));
        if (args.value(0) == ">head") {
            process.setStandardOutputProcess(&head);
            head.start("head", {"-c", "10"});
        } else if (args.value(0).startsWith('>')) {
            process.setStandardOutputFile(Path(args.first().mid(1)));
        }
        const bool interrupt = args.value(0).startsWith('^');
        const QString signal = args.value(0).mid(1).section('@', 0, 0);
        const int commands = interrupt ? args.value(0).section('@', 1).toInt() : 0;
        process.start(CHANWRIGHT_CLI, args.mid(args.value(0).startsWith('>') || interrupt));
        process.closeWriteChannel();
        if (interrupt &&
            QTest::qWaitFor(
                [&] { return LoggedCommands(log_).size() >= (commands ? commands : 8); }, 30000) &&
            process.processId() > 0)
            ::kill(pid_t(process.processId()), signal == "TERM" ? SIGTERM : SIGINT);
        process.waitForFinished(60000);
        head.waitForFinished();
        QString text = "$ chanwright-cli " + args.join(' ') + "\nexit " +
                       QString::number(process.exitCode()) + '\n';
        for (const auto& [name, bytes] : {std::pair{"stdout", process.readAllStandardOutput()},
                                          {"stderr", process.readAllStandardError()}})
            text += bytes.isEmpty() ? "" : name + Describe(bytes) + '\n';
        return text + Changes();
    }

  private slots:
    void initTestCase() {
        // The tool's own settings and data folders. The printed report starts Qt's display layer,
        // which wants a runtime folder of the user's own (as QTemporaryDir makes it).
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(Path("config")));
        qputenv("XDG_DATA_HOME", QFile::encodeName(Path("data")));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(simDir_.path()));
        for (const auto& [name, file] : {std::pair{"hv.dat", "default_hv2071p.dat"},
                                         {"hv.hex", "default_hv2071p.hex"},
                                         {"tq.dat", "default_tq5300.dat"},
                                         {"tq.hex", "default_tq5300.hex"},
                                         {"rich.hex", "rich_round_trip.hex"}})
            fixtures_[name] = ReadBytes(TestDataPath(file));
        // The default set with Contrast 6 (in), with a setting out of range (bad), with names the
        // radio cannot show as typed (names); the rich image's set as a data file (a) and with a
        // field of each kind changed (b); a file that is not a data file (notes), one cut by a
        // NUL byte (nul) and an empty one; files there before a run (prev.txt, prev.hex: "old"),
        // and an image of 100 bytes (short.hex).
        for (const QString& name : QDir(TestDataPath("cli")).entryList(QDir::Files))
            fixtures_[name] = ReadBytes(TestDataPath("cli/" + name));
    }

    // The rows are tests/data/cli_rows.txt, a row a line: its name, its runs ("; " between them),
    // then after " | " the radio (the model of its random memory, "TQ5300-new" for one without a
    // user MMSI, or "default"; then the simulator's faults) and the settings file's lines. PORT
    // and DEV are the radio's device.
    void runs_data() {
        for (const char* column : {"runs", "radio", "settings"})
            QTest::addColumn<QString>(column);
        for (const QString& line :
             QString(ReadBytes(TestDataPath("cli_rows.txt"))).split('\n', Qt::SkipEmptyParts)) {
            QStringList row = QString(line.section(": ", 1) + "||").replace("\\n", "\n").split('|');
            QTest::newRow(qPrintable(line.section(": ", 0, 0)))
                << row[0].trimmed() << row[1].trimmed() << row[2].trimmed();
        }
    }
    void runs() {
        QFETCH(QString, runs);
        QFETCH(QString, radio);
        QFETCH(QString, settings);
        const QString tag = QTest::currentDataTag();
        QMap<QString, QByteArray> fixtures = fixtures_;
        if (tag == "unwritable backup folder")
            fixtures["data/Chanwright"] = "a file where the folder goes";
        const QString longName(246, 'x');  // "LONG.dat": 250 bytes
        // The radio, and images of what it should hold after each kind of run.
        const Model model = radio.startsWith("TQ5300") ? Model::TQ5300 : Model::HV2071P;
        MemoryImage memory =
            radio == "default" ? BytesToImage(fixtures["hv.hex"]) : RadioInUse(model, 21);
        if (radio.startsWith("TQ5300-new"))
            PutBytes(memory, 0x150, Hex("ffffffffff"));
        const MemoryImage read = AsRead(memory, model);
        MemoryImage cleared = memory, programmed = read;
        cleared[0x155] = 0;
        // What programming the model's default data set leaves, the radio's identity kept.
        EncodeOverRadio(MakeDefaultApp(model).Data, read, false, programmed);
        fixtures.insert({{"radio.hex", ImageBytes(memory)},
                         {"read.hex", ImageBytes(read)},
                         {"cleared.hex", ImageBytes(cleared)},
                         {"programmed.hex", ImageBytes(StoredByRadio(programmed, memory))},
                         {"restored.hex", ImageBytes(StoredByRadio(read, memory))}});
        SimProcess sim(CHANWRIGHT_RADIOSIM);
        WriteBytes(simDir_.filePath("before.hex"), ImageBytes(memory));
        QString why, files = "--image %1/before.hex --log %1/radio.log --dump %1/after.hex %2";
        files = files.arg(simDir_.path(), radio.section(' ', 1));
        QVERIFY2(radio.isEmpty() || sim.Start(files.split(' ', Qt::SkipEmptyParts), &why),
                 qPrintable(why));
        Reset(fixtures, QString(settings).replace("DEV", sim.Device()));
        QVERIFY(radio.isEmpty() || QFile::link(sim.Device(), Path("radio")));
        QSerialPort holder(sim.Device());
        QVERIFY(tag != "held port" || holder.open(QIODevice::ReadWrite));
        QVERIFY(QFile::link(Path("prev.txt"), Path("link.dat")));
        QVERIFY(QFile::link("/dev/zero", Path("zero.dat")));
        QCOMPARE(mkfifo(QFile::encodeName(Path("fifo.hex")).constData(), 0600), 0);
        QVERIFY(!tag.startsWith("read-only") ||
                chmod(QFile::encodeName(Path("prev.txt")), 0444) == 0);
        if (tag == "PDF into a device" &&
            mknod(QFile::encodeName(Path("null")).constData(), S_IFCHR | 0666, makedev(1, 3)) != 0)
            QSKIP("only root can make a device node to write into");
        QDir().mkpath(Path("full"));
        // A FIFO in the settings file's place: a run that waited on it would meet waitForFinished's
        // limit.
        const QString settingsFile =
            Path("config/Chanwright/PC Program for HV2071P-TQ5300 Series.ini");
        QVERIFY(
            !tag.contains("FIFO settings") ||
            (QFile::remove(settingsFile) && mkfifo(QFile::encodeName(settingsFile), 0600) == 0));
        const bool fullDisk = tag.startsWith("full disk");
        if (fullDisk) {
            if (QProcess::execute("mount", {"-t", "tmpfs", "-osize=64k", "tmpfs", Path("full")}))
                QSKIP("mounting a small file system needs root");
            WriteBytes(Path("full/backup.hex"), "old");
            WriteBytes(Path("full/filler"), QByteArray(64 * 1024, 'f'));
            Changes();
        }
        QString transcript;
        for (const QString& run : runs.split(';'))
            transcript += Transcript(run.split(' ', Qt::SkipEmptyParts)
                                         .replaceInStrings("PORT", sim.Device())
                                         .replaceInStrings("LONG", longName));
        if (fullDisk)
            QProcess::execute("umount", {Path("full")});
        if (!radio.isEmpty()) {
            sim.Stop();
            // What the radio got, known runs of commands by name.
            QString log = LoggedCommands(log_).join(", ");
            for (const auto& [name, commands] :
                 {std::pair{"<read>", ReadCommands()},
                  {"<write plan>", ProgramCommands()},
                  {"<the rest of the write plan>", ProgramCommands().mid(4)},
                  {"<model check>", ModelCheckCommands()}})
                log.replace(commands.join(", "), name);
            log = CommandRuns(log.split(", "));
            transcript += "radio got: " + log + "\nradio holds" +
                          Describe(ReadBytes(simDir_.filePath("after.hex"))) + '\n';
        }
        // Against the row's story "=== row" of the golden, with the folders, the
        // radio's device, the backups' times and the trace's milliseconds named alike in every run.
        transcript.replace(dir_.path(), "$TMP")
            .replace(longName, "LONG")
            .replace(QRegularExpression("/dev/pts/\\d+"), "$DEV")
            .replace(QRegularExpression("-\\d{8}-\\d{6}(-\\d+)?\\.hex"), "-<time>.hex")
            .replace(QRegularExpression("(?m)^ *\\d+ (TX|RX|#) "), "  <ms> \\1 ");
        COMPARE_GOLDEN_STORY(("=== " + tag + '\n' + transcript.trimmed() + '\n').toUtf8(),
                             "cli_runs.txt");
    }

    // Names whose bytes are no UTF-8 are opened and created with exactly those bytes.
    void latin1FileNames_keepTheirBytes() {
        Reset(fixtures_);
        const char* script = R"(cd "$0" && n=$(printf '\351') && cp tq.dat caf$n.dat &&
            "$1" convert caf$n.dat out$n.hex && cmp out$n.hex tq.hex
            s=$?; rm -f caf* out*; exit $s)";
        QCOMPARE(QProcess::execute("/bin/sh", {"-c", script, dir_.path(), CHANWRIGHT_CLI}), 0);
    }

    // Whatever ports this machine has, each has a line of three columns; the COM items follow, a
    // relative one as the device it names in the current folder, a control character as a code.
    void ports_listsThePortsFoundAndTheComItems() {
        Reset({{"radio", ""}}, "[ComPath]\nPort2=/dev/radio\nPort3=tty\\0NUL\nPort4=./radio\n");
        QProcess ports;
        ports.setWorkingDirectory(dir_.path());
        ports.start(CHANWRIGHT_CLI, {"ports"});
        ports.waitForFinished();
        const QStringList lines = QString(ports.readAllStandardOutput()).split('\n');
        const QStringList found =
            lines.filter(QRegularExpression("^/dev/[^\t]+\t[^\t]+\t(/dev/serial/by-id/.+|-)$"));
        QCOMPARE(lines.mid(found.size()).join('\n'),
                 "COM1\t/dev/ttyUSB0\nCOM2\t/dev/radio\nCOM3\t/dev/tty\\x00NUL\nCOM4\t" +
                     Path("radio") + "\n");
        QCOMPARE(QString(ports.readAllStandardError()),
                 found.isEmpty() ? NoPortsHint() + "\n" : QString());
        QCOMPARE(ports.exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
