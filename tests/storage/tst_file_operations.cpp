#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstring>

#include "image/image_encoder.h"
#include "storage/app_paths.h"
#include "storage/backup_files.h"
#include "storage/data_file_writer.h"
#include "storage/device_path.h"
#include "storage/file_io.h"
#include "storage/file_operations.h"
#include "storage/file_system.h"
#include "storage/recovery_file.h"
#include "storage/settings_store.h"
#include "storage/temporary_files.h"
#include "tests/support/test_files.h"
#include "tests/support/test_platform.h"
#include "ui/image_commands.h"
#include "ui/window_title.h"

using namespace chanwright;
using namespace chanwright::test;

namespace {

// The default set of the model with Contrast 6 and USA channel 1 named "MARKED", encoded.
AppState Marked(Model model) {
    AppState app = MakeDefaultApp(model);
    app.Data.Common.Contrast = 6, app.Data.UsaChannels[0].ChTag = "MARKED";
    EncodeImage(app.Data, app.Image);
    return app;
}

// Notes whether Busy was set at the settle pause.
struct BusyClock : FakeClock {
    explicit BusyClock(const bool& flag) : busy(flag) {}
    void Pause(int ms) override { busyAtPause.push_back(ToBool16(busy)), FakeClock::Pause(ms); }
    const bool& busy;
    std::vector<Bool16> busyAtPause;
};

// One application with its fakes, its error log (in "sub", every time stamp empty) and the two
// command objects, working in a folder of its own holding the named files and a FIFO; "long"
// stands for a name of 250 letters.
struct Rig {
    Rig(const QString& folder, Model model, bool entryOk, const QStringList& names,
        const QByteArrayList& contents)
        : dir(folder),
          app(MakeDefaultApp(model)),
          clock(app.Shared.Busy),
          platform{tp.prompter, clock, tp.events, tp.busyView},
          log(app.Shared, folder + "/sub/err.log", [] { return QDateTime(); }),
          files(app, platform, log),
          commands(
              app, platform, files, [entryOk] { return entryOk; }, {}, [this] { ++refreshes; }),
          names(names),
          contents(contents) {
        QDir().mkpath(dir + "/sub");
        ::mkfifo(Path("fifo").toLocal8Bit(), 0600);
        for (int i = 0; i < names.size(); ++i)
            WriteBytes(Path(names[i]), contents[i]);
    }
    QString Path(QString n) const { return dir + '/' + (n == "long" ? n.fill('n', 250) : n); }

    // What an operation on `name` left: flags, messages, the log without its time stamps, the
    // pauses and busy changes, the command's effects, the data set, the image and the files.
    QByteArray Outcome(const QString& name) const {
        QString out;
        const QByteArray file = QFileInfo(Path(name)).isFile() ? ReadBytes(Path(name)) : "";
        QDebug d = QDebug(&out).nospace().noquote();
        d << "failed " << ToBool16(app.Shared.OperationFailed) << ", abort "
          << ToBool16(app.Shared.AbortRequested) << ", error '" << files.LastError().Text().c_str()
          << "'\n";
        for (const std::string& filter : tp.prompter.dialogFilters)
            d << "  dialog " << filter.c_str() << "\n";
        for (const auto& m : tp.prompter.messages)
            d << "  message (" << m.title.c_str() << ", " << int(m.icon) << "): " << m.text.c_str()
              << "\n";
        d << ReadBytes(log.Path()).replace(",:", "  log: ").replace("\r", "\\r") << "  pauses "
          << clock.pauses << ", busy then " << clock.busyAtPause << " after "
          << ToBool16(app.Shared.Busy) << ", busy view " << tp.busyView.changes << ", refreshes "
          << refreshes << ", file name '"
          << QString::fromStdString(app.Shared.CurrentFileName).replace(dir, "~") << "'\n  data "
          << (app.Data == before.Data                           ? "kept"
              : app.Data == Marked(before.Shared.ModelNum).Data ? "the marked set"
                                                                : "changed")
          << "\n  image "
          << (app.Image == before.Image                  ? "kept"
              : ImageBytes(app.Image) == file.left(8192) ? "the file's"
                                                         : "changed")
          << "\n  file "
          << (!QFile::exists(Path(name))                    ? "none"
              : file == contents.value(names.indexOf(name)) ? "kept"
              : file == ImageBytes(app.Image)               ? "the image"
              : file == ReadBytes(TestDataPath("default_hv2071p.dat"))
                  ? "default_hv2071p.dat"
                  : QByteArray::number(file.size()) + " bytes")
          << ", files " << QDir(dir).entryList(QDir::Files).size() << "\n";
        return out.toUtf8();
    }

    QString dir;
    AppState app;
    TestPlatform tp;
    BusyClock clock;
    Platform platform;
    ErrorLog log;
    FileOperations files;
    ImageCommands commands;
    int refreshes = 0;
    AppState before;
    const QStringList names;
    const QByteArrayList contents;
};

}  // namespace

class TestFileOperations : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;
    QString Path(const QString& name) const { return dir_.filePath(name); }

  private slots:
    // The golden holds the system's error texts in English, whatever the user's language.
    void initTestCase() { std::setlocale(LC_MESSAGES, "C"); }
    void cleanupTestCase() { RemoveTree(dir_.path()); }

    // Each row ("Command target [words]") runs in a window of its own, HV2071P unless it says
    // TQ5300, with OperationFailed set, "/boats/current.dat" as file name and a folder holding:
    // "existing", a data file of a marked set; "otherModel", that set written for the TQ5300;
    // "binary", the first with a NUL byte; "long", whose copy beside it would pass the file
    // system's name limit unless named shorter; image files of either model,
    // 9000 and 8191 bytes long and with the identifier copies differing; "fifo", a FIFO nothing
    // writes to; and "sub", a folder.
    // Save Image encodes the default set with Scrambler 4, or 300 (out of range) for "overflow";
    // "normal" is normal mode, "refused" a pending entry refused, "cancelled" a dialog cancelled.
    void operationsMatchGolden() {
        const AppState hvSet = Marked(Model::HV2071P), tqSet = Marked(Model::TQ5300);
        const QByteArray hv = ImageBytes(hvSet.Image), tq = ImageBytes(tqSet.Image);
        const QByteArray data = QByteArray::fromStdString(WriteDataFile(hvSet.Shared, hvSet.Data));
        QByteArray odd8190 = hv, odd1 = tq, hv9000 = hv + QByteArray(808, '\x11');
        odd8190[8190] = static_cast<char>(odd8190[8190] ^ 0x01);
        hv9000[8100] = static_cast<char>(hv9000[8100] ^ 0xFF);  // a byte the check skips
        odd1[1] = static_cast<char>(odd1[1] ^ 0x80);
        const QByteArray other = QByteArray::fromStdString(WriteDataFile(tqSet.Shared, hvSet.Data));
        const QByteArrayList files{data, other,  data + '\0',   data,    hv,
                                   tq,   hv9000, hv.left(8191), odd8190, odd1};
        const QStringList names =
            QString("existing otherModel binary long hv tq hv9000 hv8191 odd8190 odd1").split(' ');
        const QMap<QString, std::function<void(Rig&, const QString&)>> run{
            {"LoadDataFile", [](Rig& r, const QString& path) { (void)r.files.LoadDataFile(path); }},
            {"SaveFileAs", [](Rig& r, const QString& path) { (void)r.files.SaveFileAs(path); }},
            {"SaveFileAsDefault", [](Rig& r, const QString& p) { r.files.SaveFileAsDefault(p); }},
            {"SaveHexFileAs", [](Rig& r, const QString& p) { (void)r.files.SaveHexFileAs(p); }},
            {"SaveImage", [](Rig& r, const QString&) { r.commands.SaveImageCommand(); }},
            {"OpenImage", [](Rig& r, const QString&) { r.commands.OpenImageCommand(); }}};
        QByteArray out;
        for (const QString& row :
             QString("LoadDataFile existing;LoadDataFile otherModel;LoadDataFile binary;"
                     "LoadDataFile fifo;LoadDataFile missing;LoadDataFile sub;SaveFileAs fresh;"
                     "SaveFileAs existing;SaveFileAs none/x;SaveFileAs sub;SaveFileAs long;"
                     "SaveFileAsDefault fresh;SaveFileAsDefault none/x;SaveFileAsDefault long;"
                     "SaveHexFileAs long;SaveImage hv9000 TQ5300;SaveImage hv9000 TQ5300 overflow;"
                     "OpenImage hv;OpenImage tq TQ5300;OpenImage hv9000;OpenImage tq;"
                     "OpenImage hv TQ5300;OpenImage odd8190;OpenImage odd1 TQ5300;OpenImage hv8191;"
                     "OpenImage missing;SaveImage fresh normal;OpenImage hv normal;"
                     "SaveImage fresh refused;SaveImage fresh cancelled;OpenImage hv cancelled")
                 .split(';')) {
            const QStringList word = QString(row).split(' ');
            Rig rig(Path(row), word.contains("TQ5300") ? Model::TQ5300 : Model::HV2071P,
                    !word.contains("refused"), names, files);
            rig.app.Shared.DebugMode = !word.contains("normal");
            rig.app.Shared.CurrentFileName = "/boats/current.dat";
            rig.app.Shared.OperationFailed = true;
            if (word[0] == "SaveImage")
                rig.app.Data.Common.Scrambler = word.contains("overflow") ? 300 : 4;
            if (!word.contains("cancelled"))
                rig.tp.prompter.paths = {rig.Path(word[1]).toStdString()};
            rig.before = rig.app;
            run[word[0]](rig, rig.Path(word[1]));
            out += row.toUtf8() + ": " + rig.Outcome(word[1]);
        }
        COMPARE_GOLDEN(out, "storage_file_operations.txt");
    }

    // A data file opened holds its names in UTF-8 whatever its encoding, is saved unchanged byte
    // for byte, and saved after an edit in its own encoding again: Windows-1252 writes "?" for a
    // character it lacks and names it. USA 16 (CHUSA13) holds "CAFÉ DU PORT" in the first three.
    void dataFilesKeepTheirEncoding_data() {
        QTest::addColumn<QString>("fixture");
        QTest::addColumn<QByteArray>("mark");  // put before the fixture's bytes
        QTest::addColumn<int>("model");
        QTest::addColumn<QByteArray>("usa16");
        QTest::addColumn<QByteArray>("edited");  // "ŁÓDŹ €" as saved
        const QByteArray cafe = "CAF\xc3\x89 DU PORT", utf8 =
                                                           "\xc5\x81\xc3\x93"
                                                           "D\xc5\xb9 \xe2\x82\xac";
        const QByteArray windows =
            "?\xd3"
            "D? \x80";
        QTest::newRow("Windows-1252") << "ui/cafe.dat" << QByteArray() << 0 << cafe << windows;
        QTest::newRow("UTF-8") << "cli/names.dat" << QByteArray() << 0 << cafe << utf8;
        QTest::newRow("UTF-8 marked")
            << "cli/names.dat" << QByteArray("\xef\xbb\xbf") << 0 << cafe << utf8;
        QTest::newRow("ASCII") << "default_tq5300.dat" << QByteArray() << 1
                               << QByteArray("DISTRESS") << windows;
        QTest::newRow("KW83E, 8-bit")
            << "storage_edited_kw83e.dat" << QByteArray() << 2 << QByteArray("DISTRESS") << windows;
        QTest::newRow("rich") << "ui/rich.dat" << QByteArray() << 0 << QByteArray("DISTRESS")
                              << windows;
    }
    void dataFilesKeepTheirEncoding() {
        QFETCH(QString, fixture);
        QFETCH(QByteArray, mark);
        QFETCH(int, model);
        QFETCH(QByteArray, usa16);
        QFETCH(QByteArray, edited);
        const QByteArray file = mark + ReadBytes(TestDataPath(fixture));
        Rig rig(Path(QTest::currentDataTag()), static_cast<Model>(model % 2), true, {"in.dat"},
                {file});
        rig.app.Shared.ModelCode = model == 2 ? "KW83E" : "KW83";
        QVERIFY(rig.files.LoadDataFile(rig.Path("in.dat")));
        QCOMPARE(QByteArray::fromStdString(rig.app.Data.UsaChannels[13].ChTag), usa16);
        QVERIFY(rig.files.SaveFileAs(rig.Path("same.dat")));
        QCOMPARE(ReadBytes(rig.Path("same.dat")), file);
        QVERIFY(rig.tp.prompter.messages.empty());

        rig.app.Data.UsaChannels[13].ChTag =
            "\xc5\x81\xc3\x93"
            "D\xc5\xb9 \xe2\x82\xac";
        QVERIFY(rig.files.SaveFileAs(rig.Path("edited.dat")));
        const qsizetype from = file.indexOf("ChTag=#", file.indexOf("[CHUSA13]")) + 7;
        QCOMPARE(ReadBytes(rig.Path("edited.dat")),
                 QByteArray(file).replace(from, file.indexOf('\r', from) - from, edited));
        const std::string warned = edited.startsWith('?')
                                       ? "Saved with \"?\" for characters "
                                         "Windows-1252 lacks: \xc5\x81 (U+0141), "
                                         "\xc5\xb9 (U+0179)"
                                       : "";
        QCOMPARE(rig.tp.prompter.messages.empty() ? "" : rig.tp.prompter.messages[0].text, warned);
    }

    // A new file never replaces one. Backups in the same second are "-2", "-3"; a radio's user
    // MMSI is in its backup's name; the list holds the backups' names only, newest first. Anything
    // at a new file's name, a folder or a dangling link too, sends it on to the next name and stays
    // as it was, with or without hard links (a FAT stick refuses them); other errors keep their
    // reason, and no copy is left behind.
    void newFilesTakeTheFirstFreeName() {
        const QDateTime at(QDate(2024, 3, 7), QTime(21, 5, 42));
        MemoryImage image = RandomImage(7), radio = image;
        EncodeDigits(radio, 0x0150, "3660000010", true);
        ErrorInfo error;
        QString out;
        // The last into a folder that cannot be made.
        for (const char* folder : {"new", "new", "new", "new/TQ5300-20240307-210542.hex"}) {
            const auto name = SaveBackup(Path(folder), "TQ5300", at, image, error);
            out += "saved " + (name ? QString(*name).remove(dir_.path()) : "nothing") +
                   (name && ReadBytes(*name) != ImageBytes(image) ? " with other bytes\n" : "\n");
        }
        QVERIFY(SaveBackup(Path("new"), "HV2071P", at.addSecs(-60), radio, error));
        QVERIFY(WriteBytes(Path("new/HV2071P-1-20240307-210542.hex"), "not a backup's name"));
        for (const BackupEntry& backup : ListBackups(Path("new")))
            out += "listed " + QFileInfo(backup.path).fileName() + ' ' + backup.model + ' ' +
                   backup.mmsi + ' ' + backup.taken.toString(Qt::ISODate) + '\n';

        const LinkCall noLinks = [](const char*, const char*) { return errno = EPERM, -1; };
        const LinkCall failing = [](const char*, const char*) { return errno = EIO, -1; };
        for (const LinkCall link : {LinkCall(SystemLink), noLinks, failing}) {
            QTemporaryDir dir(Path("taken-XXXXXX"));
            const QString b = dir.filePath("b");
            QVERIFY(QDir().mkpath(b + ".hex") &&
                    ::mkfifo(QFile::encodeName(b + "-2.hex"), 0600) == 0);
            QVERIFY(WriteBytes(b + "-3.hex", "kept") && QFile::link(b + "-3.hex", b + "-4.hex") &&
                    QFile::link(b + "-none", b + "-5.hex"));
            error = {};
            const auto name = WriteNewFile(dir.path(), "b", ".hex", "new", error, link);
            out += (name ? QFileInfo(*name).fileName() : "none") + ", error '" +
                   QString::fromStdString(error.Description) + "', b-3 then b-6 '" +
                   ReadBytes(b + "-3.hex") + ReadBytes(b + "-6.hex") + "', entries " +
                   QDir(dir.path())
                       .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System)
                       .join(' ') +
                   '\n';
        }
        COMPARE_GOLDEN(out.toUtf8(), "storage_new_files.txt");
    }

    // Each window keeps its unsaved changes in a file of its own, which the next start finds (not
    // its own), takes over (renamed, so a crash during the recovery loses nothing) or, unreadable,
    // sets aside under a new name. The file name the changes belonged to comes back byte for byte.
    void recoveryFilesAreFoundTakenAndSetAside() {
        const QString folder = Path("recovery");
        SharedState shared;
        shared.CurrentFileName = "/boats/caf\xc3\xa9 100%\nx\xe9.dat";
        RadioData data;
        data.UsaChannels.resize(1);
        data.UsaChannels[0].ChTag = "MINE";
        const QDateTime at(QDate(2026, 12, 6), QTime(10, 20, 30));
        RecoveryFiles crashed(folder, 42);
        ErrorInfo error;
        QVERIFY(crashed.Write(WriteRecoveryFile(shared, data, at), error));
        RecoveryFiles next(folder, 42);
        QString out = "own " + QFileInfo(next.OwnPath()).fileName() + ", the first finds " +
                      (crashed.Newest() ? "one" : "none") + '\n';
        const std::optional<RecoveryInfo> found = next.Newest();
        QVERIFY(found);
        out += "found " + QFileInfo(found->path).fileName() + " of " + ShownPath(found->fileName) +
               ", " + found->saved.toString(Qt::ISODate) + '\n';
        const std::optional<std::string> bytes = next.Take(*found, error);
        out += QString("taken: %1, the same bytes %2, left %3\n")
                   .arg(bytes.has_value())
                   .arg(bytes && QByteArray::fromStdString(*bytes) == ReadBytes(next.OwnPath()))
                   .arg(QDir(folder).entryList(QDir::Files).join(' '));
        QVERIFY(QDir().mkpath(Path("bad")));
        for (const QByteArray& held :
             {QByteArray("\0x", 2), QByteArray("[X]\r\nY=1\r\n"), QByteArray("[X]\r\nY=1\r\n")}) {
            QVERIFY(WriteBytes(Path("bad/unsaved-7.dat"), held));
            RecoveryFiles later(Path("bad"), 8);
            const std::optional<RecoveryInfo> bad = later.Newest();
            const QString taken =
                QString::fromStdString(later.Take(*bad, error) ? "taken" : error.Description);
            out += "unreadable: " + taken + ", set aside as " +
                   QFileInfo(later.SetAside(bad->path)).fileName() + '\n';
        }
        COMPARE_GOLDEN(out.toUtf8(), "storage_recovery.txt");
    }

    // A per-user folder named in bytes that are not UTF-8 (from XDG_DATA_HOME) is used as named:
    // backups, recovery files and the log go there, and are found there again.
    void userFoldersKeepTheirBytes() {
        const QByteArray home = QFile::encodeName(dir_.path()) + "/d\xe9";
        const QByteArray before = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", home);
        ErrorInfo error;
        const auto backup = SaveBackup(BackupFolder(), "TQ5300", QDateTime::currentDateTime(),
                                       RandomImage(3), error);
        SharedState shared;
        shared.DebugMode = true;
        QVERIFY(RecoveryFiles(RecoveryFolder(), 5).Write(WriteRecoveryFile(shared, {}, {}), error));
        const QString dataFolder = ResolveDataFolder({}, UserFolder("XDG_DATA_HOME", "x") + "/App");
        ErrorLog(shared, dataFolder + "/err.log").LogError("X", "1");
        qputenv("XDG_DATA_HOME", before);
        QVERIFY(backup && ListBackups(BackupFolder()).empty());
        QCOMPARE(SystemPath(*backup).left(home.size()), home);
        QCOMPARE(ListBackups(QFileInfo(*backup).path()).size(), std::size_t{1});
        QVERIFY(RecoveryFiles(QFileInfo(*backup).path() + "/../recovery", 6).Newest());
        QCOMPARE(::access(home + "/App/err.log", R_OK), 0);
    }

    void windowTitle() {
        SharedState shared;
        QString out = WindowTitleText(shared) + '\n';
        shared.ModelCode = "KW83E";
        for (const QString& file :
             QString("|C:\\Boats\\My Radio.DAT|/home/x/My Radio.DAT|My Radio.DAT|"
                     "/home/x/BÄRE.hex|C:\\a/b\\C.Dat|/home/x/|C:\\Boats\\")
                 .split('|')) {
            shared.CurrentFileName = file.toStdString();
            out += "'" + file + "': " + FileNameOnly(file) + " | " + WindowTitleText(shared) + '\n';
        }
        // A name that is not UTF-8, with a control character: its bytes, as \xNN.
        shared.CurrentFileName = "/home/x/CAF\xc9\x01.DAT";
        out += "Latin-1: " + WindowTitleText(shared) + '\n';
        COMPARE_GOLDEN(out.toUtf8(), "storage_window_title.txt");
    }

    // Every value written stands in the file as the golden shows it and reads back in a new store.
    void storeWritesGoldenAndReadsItBack() {
        // Any per-user store opened here lands in the temporary folder, not the user's.
        qputenv("XDG_CONFIG_HOME", Path("userconfig").toUtf8());
        const QString path = Path("settings.ini");
        {
            SettingsStore store(path);
            store.WriteComNum(3);
            store.WriteModelNum(Model::TQ5300);
            store.WriteComDevice(2, "/dev/serial/by-id/radio");
            store.WriteLogSerialTraffic(true);
            store.WriteRecentFiles({"/a/one.dat", "/b/two.dat", "/c/three.dat"});
            store.WriteRecentFiles({"/b/two.dat", "/a/one.dat"});  // leaves no third entry
            store.WriteLastFolder("/boats");
            store.WriteWindowPosition(1200, -45, 9600, 7200);
            store.Sync();
        }
        COMPARE_GOLDEN(ReadBytes(path), "storage_settings.ini");
        QCOMPARE(SettingsStore().FileName(),
                 Path("userconfig/Chanwright/PC Program for HV2071P-TQ5300 Series.ini"));
        // What stores read: that file, none at all, then one text stored for every value.
        QString out;
        const QByteArray keys =
            "[ComPath]\nComNum=@\nPort4=@\n[ModelPath]\nModelNum=@\n[Transfer]\n"
            "LogSerialTraffic=@\n";
        for (const QByteArray& stored :
             QByteArray("written|none||  |2,3|abc|5|0|-2|2.5|2|4|1|\" 2 \"").split('|')) {
            const QString file = Path(stored == "written" ? "settings.ini" : "t" + stored + ".ini");
            if (stored != "written" && stored != "none")
                QVERIFY(WriteBytes(file, QByteArray(keys).replace("@", stored)));
            const SettingsStore store(file);
            QDebug(&out).nospace().noquote()
                << "'" << stored << "': port " << store.ReadComNum() << ", model "
                << int(store.ReadModelNum()) << ", log traffic " << store.ReadLogSerialTraffic()
                << ", recent " << store.ReadRecentFiles() << ", folder '" << store.ReadLastFolder()
                << "', COM1-4 "
                << QStringList{store.ReadComDevice(1), store.ReadComDevice(2),
                               store.ReadComDevice(3), store.ReadComDevice(4)}
                << "\n";
        }
        COMPARE_GOLDEN(out.toUtf8(), "storage_settings_read.txt");
    }

    // A settings file that is no regular file, or is larger than 1 MiB, is ignored with a warning
    // and left as it is; names and paths that are not UTF-8 keep their bytes; COM items' devices
    // read as absolute paths; two stores on one file keep each other's changes. Each row: what a
    // store read, then what a second store reads after the first wrote and synced, and what
    // stands at the file's place then.
    void settingsFileUnderAbuse_data() {
        QTest::addColumn<QString>("row");
        for (const char* row :
             {"relative COM mappings", "config folder not UTF-8", "paths not UTF-8", "two stores",
              "folder", "device", "larger than 1 MiB", "FIFO", "no temporary folder"})
            QTest::newRow(row) << row;
    }
    void settingsFileUnderAbuse() {
        QFETCH(QString, row);
        QTemporaryDir scratch(Path("settings-XXXXXX"));
        const QByteArray dir = scratch.path().toUtf8(), odd = dir + "/caf\xe9";
        QByteArray file = dir + "/settings.ini";
        const QString previous = QDir::currentPath();
        if (row == "folder")
            QVERIFY(QDir().mkpath(file));
        if (row == "device" && ::mknod(file.constData(), S_IFCHR | 0600, makedev(1, 3)) != 0)
            QSKIP("only root can make a device node");
        if (row == "FIFO")
            QCOMPARE(::mkfifo(file.constData(), 0600), 0);
        if (row == "larger than 1 MiB")
            QVERIFY(WriteBytes(file, "[ModelPath]\nModelNum=1\n") &&
                    !::truncate(file.constData(), 1048577));
        if (row == "no temporary folder")
            QVERIFY(WriteBytes(file, "[ModelPath]\nModelNum=1\n") && qputenv("TMPDIR", file));
        if (row == "config folder not UTF-8") {
            qputenv("XDG_CONFIG_HOME", odd);
            file = odd + "/Chanwright/PC Program for HV2071P-TQ5300 Series.ini";
        }
        if (row == "relative COM mappings") {
            QVERIFY(WriteBytes(file,
                               "[ComPath]\nPort1=radio\nPort2=ttyUSB3\nPort3=./radio\n"
                               "Port4=sub/../radio\n") &&
                    WriteBytes(dir + "/radio", "") && QDir().mkpath(dir + "/sub"));
            QDir::setCurrent(dir);
            // The serial library opens no name that is not UTF-8: such a link is its device.
            QCOMPARE(::symlink("radio", "r\xe9"), 0);
            QCOMPARE(DevicePath(PathFromSystem("r\xe9")), QString(dir + "/radio"));
        }
        const auto open = [&] {
            return row == "config folder not UTF-8"
                       ? std::make_unique<SettingsStore>()
                       : std::make_unique<SettingsStore>(PathFromSystem(file));
        };
        QString out;
        QDebug d = QDebug(&out).nospace().noquote();
        const auto show = [&](const SettingsStore& store) {
            d << "'" << store.Problem() << "', model " << int(store.ReadModelNum()) << ", COM"
              << store.ReadComNum() << ", recent " << ShownPath(store.ReadRecentFiles().join(' '))
              << ", folder '" << ShownPath(store.ReadLastFolder()) << "', COM1-4";
            for (int16_t com = 1; com <= 4; ++com)
                d << " " << ShownPath(store.ReadComDevice(com));
            d << "\n";
        };
        {
            const auto store = open();
            show(*store);
            store->WriteModelNum(Model::TQ5300);
            if (row == "paths not UTF-8") {
                store->WriteRecentFiles({PathFromSystem(odd + ".dat"), "/boats/b.dat"});
                store->WriteLastFolder(PathFromSystem(odd));
                store->WriteComDevice(2, PathFromSystem(odd));
            }
            if (row == "two stores") {
                SettingsStore other(PathFromSystem(file));
                other.WriteComNum(3);
                other.Sync();
            }
            store->Sync();
        }
        show(*open());
        qunsetenv("TMPDIR");
        QDir::setCurrent(previous);
        struct stat info {};
        ErrorInfo error;
        const bool there = ::stat(file.constData(), &info) == 0;
        d << QString::fromStdString(!there                   ? "none"
                                    : S_ISDIR(info.st_mode)  ? "a folder"
                                    : S_ISFIFO(info.st_mode) ? "a FIFO"
                                    : S_ISCHR(info.st_mode)  ? "a device"
                                    : info.st_size > 1048576
                                        ? "the large file"
                                        : "file:\n" +
                                              *ReadInputFile(PathFromSystem(file), 4096, error));
        COMPARE_GOLDEN_STORY(("=== " + row + "\n" + out.replace(dir, "$TMP") + "\n").toUtf8(),
                             "storage_settings_files.txt");
    }

    // Only developer mode writes, each record appended with CR LF.
    void errorLogAppendsInDeveloperModeOnly() {
        SharedState shared;
        const QString path = Path("err.log");
        QVERIFY(WriteBytes(path, "earlier\r\n"));
        const QDateTime fixed(QDate(2024, 3, 7), QTime(9, 5, 42));
        const ErrorLog log(shared, path, [fixed] { return fixed; });
        log.LogError("OpenFile", "53File not found");
        shared.DebugMode = true;
        log.LogError("ReadRadio", "57Device I/O error");
        log.LogError("SaveFile", "75Zugriff verweigert: \xc3\xa4");
        const auto s = [](auto t) { return QLocale::system().toString(t, QLocale::ShortFormat); };
        const QByteArray stamp = (s(fixed.date()) + ',' + s(fixed.time())).toUtf8();
        QCOMPARE(ReadBytes(path), "earlier\r\n" + stamp + ":ReadRadio -> 57Device I/O error\r\n" +
                                      stamp + ":SaveFile -> 75Zugriff verweigert: \xc3\xa4\r\n");
        // A log that cannot be written is ignored.
        QVERIFY(QDir().mkpath(Path("a-folder")));
        for (const char* place : {"no-such-folder/err.log", "a-folder"}) {
            ErrorLog(shared, Path(place)).LogError("WriteRadio", "1Timeout");
            QVERIFY(!QFileInfo(Path(place)).isFile());
        }
        QVERIFY(!QFileInfo::exists(Path("no-such-folder")));
    }

    // Each row writes "new" into a folder of its own on a small file system mounted for it, after
    // its shell commands ("@" standing for 247 x, "$P" for the folder): as an output, forced, as
    // a new file "b.hex" (a backup), as a trace, or in a child that then gets SIGTERM. It shows
    // the outcome, then what the folder holds: each link, and each file with its mode and bytes.
    void outputsUnderAbuse_data() {
        for (const char* column : {"setup", "how", "name", "want"})
            QTest::addColumn<QByteArray>(column);
        const QByteArray old = "touch -d '25 hours ago' ";
        const auto row = [](const char* tag, const QByteArray& setup, const char* how,
                            const char* name, const char* want) {
            QTest::newRow(tag) << setup << QByteArray(how) << QByteArray(name) << QByteArray(want);
        };
        row("cut before a UTF-8 character", old + "@.abcdef @$(printf '\\303').abcdef", "write",
            "@\xc3\xa9xxxxxx", "written: x*247\\xC3.abcdef 644 , x*247éxxxxxx 644 new");
        row("cut after a Latin-1 byte", old + "@$(printf '\\351').abcdef @.abcdef", "write",
            "@\xe9xxxxxxx", "written: x*247.abcdef 644 , x*247\\xE9xxxxxxx 644 new");
        row("stale copies only", old + "a.abcdef a.ABCDEF a.abcde b.abcdef && touch a.123456",
            "write", "a",
            "written: a 644 new, a.123456 644 , a.ABCDEF 644 , a.abcde 644 , b.abcdef 644 ");
        row("stale copies of a backup", old + "b.hex.abcdef b-2.hex.abcdef", "new", "b.hex",
            "written: b-2.hex.abcdef 644 , b.hex 644 new");
        row("dangling link, relative", "mkdir s && ln -s s/made a", "write", "a",
            "written: a -> s/made, s/made 644 new");
        row("dangling link, absolute", "ln -s \"$P/b\" a && ln -s c b", "write", "a",
            "written: a -> ~/b, b -> c, c 644 new");
        row("dangling link, loop", "ln -s b a && ln -s a b", "write", "a",
            "Too many levels of symbolic links: a -> b, b -> a");
        row("read-only", "printf old >a && chmod 444 a", "write", "a",
            "~/a is read-only: a 444 old");
        row("read-only, forced", "printf old >a && chmod 444 a", "force", "a",
            "written: a 444 new");
        row("trace named in Latin-1", "", "trace", "caf\xe9", "written: caf\\xE9 644 new");
        row("SIGTERM", "printf old >a", "signal", "a", "Terminated: a 644 old");
    }
    void outputsUnderAbuse() {
        QFETCH(QByteArray, setup);
        QFETCH(QByteArray, how);
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, want);
        const QString folder = Path(QTest::currentDataTag());
        ::umask(022);  // new files 644, as in most sessions
        QVERIFY(QDir().mkpath(folder));
        if (QProcess::execute("mount", {"-t", "tmpfs", "-osize=64k", "tmpfs", folder}) != 0)
            QSKIP("mounting a small file system needs root");
        const QString path =
            PathFromSystem(SystemPath(folder) + '/' + name.replace('@', QByteArray(247, 'x')));
        const auto shell = [&folder](const QByteArray& script) {
            QProcess sh;
            sh.start("sh", {"-c",
                            "cd \"$0\" && P=$PWD && " + QString::fromLatin1(script).replace(
                                                            "@", "$(printf 'x%.0s' $(seq 247))"),
                            folder});
            return sh.waitForFinished() ? sh.readAllStandardOutput() : "";
        };
        shell(setup);
        ErrorInfo error;
        bool ok = false;
        if (how == "new") {
            ok = WriteNewFile(folder, "b", ".hex", "new", error).has_value();
        } else if (how == "trace") {
            const int fd = OpenGrowingFile(path, false, error);
            ok = fd >= 0 && ::write(fd, "new", 3) == 3 && ::close(fd) == 0;
        } else if (how == "signal") {
            const pid_t child = ::fork();
            if (child == 0) {
                RemoveTemporariesOnSignal();
                OutputFile output(path);
                ::raise(output.Prepare("new", error) ? SIGTERM : SIGKILL);
                ::_exit(0);
            }
            int status = 0;
            const bool stopped = ::waitpid(child, &status, 0) == child && WIFSIGNALED(status);
            error.Description = stopped ? strsignal(WTERMSIG(status)) : "not stopped";
        } else {
            ok = WriteOutputFile(path, "new", error, how == "force");
        }
        QString got = ok ? "written" : QString::fromStdString(error.Description);
        QStringList entries;
        for (const QByteArray& line : shell("find . -mindepth 1 \\( -type l -printf '%P -> %l\\n' "
                                            "-o -type f -printf '%P %m ' -exec cat {} \\; -printf "
                                            "'\\n' \\) | LC_ALL=C sort")
                                          .split('\n'))
            entries << ShownPath(PathFromSystem(line)).replace(QString(247, 'x'), "x*247");
        entries.removeAll("");
        got = got.replace(folder, "~") + ": " + entries.join(", ").replace(folder, "~");
        QProcess::execute("umount", {folder});
        QCOMPARE(got, QString(want));
    }

    // The executable's folder when it takes a new file, else the user folder (then made); no
    // probe is left behind. /proc looks writable to root by its permission bits.
    void dataFolder() {
        for (const QString kind : {"writable", "missing", "file", "empty", "readonly", "proc"}) {
            if (kind == "readonly" && geteuid() == 0)
                continue;  // root writes through permission bits
            QTemporaryDir scratch(Path("resolve-XXXXXX"));
            const QString bin = kind == "proc"    ? "/proc"
                                : kind == "empty" ? ""
                                                  : scratch.filePath("bin");
            const QString user = scratch.filePath("user/data/Chanwright");
            QVERIFY((kind != "writable" && kind != "readonly") || QDir().mkpath(bin));
            QVERIFY(kind != "file" || WriteBytes(bin, "not a folder"));
            QVERIFY(kind != "readonly" ||
                    QFile::setPermissions(bin, QFile::ReadOwner | QFile::ExeOwner));
            const bool writable = kind == "writable";
            QCOMPARE(ResolveDataFolder(bin, user), writable ? bin : user);
            QCOMPARE(QFileInfo(user).isDir(), !writable);
            QVERIFY(!writable ||
                    QDir(bin).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
        }
    }
};

QTEST_GUILESS_MAIN(TestFileOperations)
#include "tst_file_operations.moc"
