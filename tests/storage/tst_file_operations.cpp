#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "core/shared_state.h"
#include "image/image_encoder.h"
#include "storage/data_file_writer.h"
#include "storage/error_log.h"
#include "storage/file_operations.h"
#include "storage/image_commands.h"
#include "storage/window_title.h"
#include "tests/support/test_files.h"
#include "tests/support/test_platform.h"

using namespace chanwright;
using test::MakeDefaultApp;
using test::ReadBytes;
using test::WriteBytes;

namespace {

const char* const kHexFilter = "hex files(*.hex)|*.hex|All files(*.*)|*.*";

// Notes whether Busy was set at the moment of the settle pause.
class BusyClock : public test::FakeClock {
  public:
    explicit BusyClock(const Bool16& busy) : busy_(busy) {}
    void Pause(int milliseconds) override {
        busyAtPause.push_back(busy_);
        FakeClock::Pause(milliseconds);
    }
    std::vector<Bool16> busyAtPause;

  private:
    const Bool16& busy_;
};

// One application with its fakes, an error log in the test's folder and the two command objects.
struct Rig {
    Rig(int16_t model, const QString& logPath, bool entryOk = true)
        : app(MakeDefaultApp(model)),
          clock(app.Shared.Busy),
          platform{tp.prompter, clock, tp.events, tp.busyView},
          log(app.Shared, logPath),
          files(app, platform, log),
          commands(
              app, platform, files, [entryOk] { return entryOk; }, [this] { ++refreshes; }) {}

    AppState app;
    test::TestPlatform tp;
    BusyClock clock;
    Platform platform;
    ErrorLog log;
    FileOperations files;
    ImageCommands commands;
    int refreshes = 0;
};

// An image of the model that differs from its default image in a way decoding shows.
QByteArray MarkedImage(int16_t model) {
    AppState source = MakeDefaultApp(model);
    source.Data.Common.Contrast = 6;
    source.Data.UsaChannels[0].ChTag = "FROM FILE";
    if (EncodeImage(source.Data, source.Image))
        return {};
    return test::ImageBytes(source.Image);
}

bool ShowsOnly(const test::RecordingPrompter& p, const std::string& text, const char* title,
               MessageIcon icon) {
    return p.messages.size() == 1 && p.messages[0].text == text && p.messages[0].title == title &&
           p.messages[0].icon == icon;
}

void Run(FileOperations& files, const QString& op, const QString& path) {
    if (op == "read")
        files.FileRead2(path);
    else if (op == "save")
        files.SaveFileAs(path);
    else if (op == "default")
        files.SaveFileAsDefault(path);
    else if (op == "hexSave")
        files.SaveHexFileAs(path);
    else
        files.ReadHexFileAs(path);
}

}  // namespace

class TestFileOperations : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<QTemporaryDir> dir_;
    QString Path(const QString& name) const { return dir_->filePath(name); }
    QString LogPath() const { return Path(QStringLiteral("err.log")); }

  private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("folder")));
    }
    void cleanup() { dir_.reset(); }

    // target: "existing" holds a data file of an edited set, "otherModel" the same set written
    // with TQ5300 in [MAIN]; "fresh" does not exist yet. "long" exists too, but its temporary
    // copy's name would pass the file system's limit, so a save over it fails (even as root).
    void dataFileOperation_outcome_data() {
        QTest::addColumn<QString>("op");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("message");  // empty: success
        const QString read = QStringLiteral("FileRead Error!!");
        const QString save = QStringLiteral("FileSave Error!!");
        auto row = [](const char* name, const char* op, const char* target, const QString& msg) {
            QTest::newRow(name) << QString(op) << QString(target) << msg;
        };
        row("read existing: taken, silent", "read", "existing", "");
        row("read other model's file: taken, silent", "read", "otherModel", "");
        row("read missing file: FileRead Error", "read", "missing.dat", read);
        row("read a folder: FileRead Error", "read", "folder", read);
        row("save fresh: golden file", "save", "fresh", "");
        row("save over existing: replaced", "save", "existing", "");
        row("save into missing folder: FileSave Error", "save", "none/x.dat", save);
        row("save onto a folder: FileSave Error", "save", "folder", save);
        row("default fresh: golden file", "default", "fresh", "");
        row("default into missing folder: FileSave Error", "default", "none/x.def", save);
        row("save over long name fails: old file kept", "save", "long", save);
        row("default over long name fails: old file kept", "default", "long", save);
        row("image over long name fails: old file kept", "hexSave", "long", save);
    }
    void dataFileOperation_outcome() {
        QFETCH(QString, op);
        QFETCH(QString, target);
        QFETCH(QString, message);
        Rig rig(kModelHV2071P, LogPath());
        AppState source = MakeDefaultApp(kModelHV2071P);
        source.Data.Common.Contrast = 6;
        source.Data.UsaChannels[0].ChTag = "Read me";
        if (target == "otherModel")
            source.Shared.ModelNum = kModelTQ5300;
        const QByteArray sourceFile =
            QByteArray::fromStdString(WriteDataFile(source.Shared, source.Data));
        const QString path = Path(target == "long" ? QString(250, u'n') : target);
        if (target == "existing" || target == "otherModel" || target == "long")
            QVERIFY(WriteBytes(path, sourceFile));
        const QStringList filesBefore = QDir(dir_->path()).entryList(QDir::Files);
        const RadioData dataBefore = rig.app.Data;
        const MemoryImage imageBefore = rig.app.Image;
        rig.app.Shared.OperationFailed = kTrue;
        Run(rig.files, op, path);

        const bool failed = !message.isEmpty();
        QCOMPARE(rig.app.Shared.OperationFailed, failed ? kTrue : kFalse);
        QCOMPARE(rig.app.Shared.AbortRequested, failed ? kTrue : kFalse);
        if (failed)
            QVERIFY(ShowsOnly(rig.tp.prompter, qPrintable(message), "Chanwright",
                              MessageIcon::Exclamation));
        else
            QVERIFY(rig.tp.prompter.messages.empty());
        QCOMPARE(rig.clock.pauses, std::vector<int>{500});
        QCOMPARE(rig.clock.busyAtPause, std::vector<Bool16>{kTrue});
        QCOMPARE(rig.app.Shared.Busy, kFalse);
        QCOMPARE(rig.tp.busyView.changes, (std::vector<bool>{true, false}));
        QVERIFY(rig.app.Image == imageBefore);
        QVERIFY(rig.app.Data == (op == "read" && !failed ? source.Data : dataBefore));
        if (op != "read" && !failed) {
            const QString golden = op == "save" ? "default_hv2071p.dat" : "defaults_hv2071p.def";
            const QByteArray expected = ReadBytes(test::TestDataPath(golden));
            QVERIFY(!expected.isEmpty());
            QCOMPARE(ReadBytes(path), expected);
        }
        if (failed) {
            QCOMPARE(QDir(dir_->path()).entryList(QDir::Files), filesBefore);
            if (target == "long")
                QCOMPARE(ReadBytes(path), sourceFile);
        }
    }

    // Through the developer commands: save over a longer old file, open in a fresh window of the
    // same model, then in one of the other model.
    void imageCommands_saveThenOpen_reproduceImageByteForByte_data() {
        QTest::addColumn<int>("model");
        QTest::newRow("HV2071P") << int{kModelHV2071P};
        QTest::newRow("TQ5300") << int{kModelTQ5300};
    }
    void imageCommands_saveThenOpen_reproduceImageByteForByte() {
        QFETCH(int, model);
        const auto m = static_cast<int16_t>(model);
        const QString path = Path(QStringLiteral("radio.hex"));
        QVERIFY(WriteBytes(path, QByteArray(9000, '\xAA')));
        Rig writer(m, LogPath());
        writer.app.Shared.DebugMode = kTrue;
        writer.app.Shared.CurrentFileName = "/boats/current.dat";
        writer.app.Data.Common.UserMmsid = "3669990010";
        writer.app.Data.IndividualDirectory[0] = {kTrue, "HARBOUR", "2111111110"};
        writer.app.Data.UsaChannels[3].ChTag = "NEW NAME";
        writer.tp.prompter.paths = {path.toStdString()};
        writer.commands.SaveImageCommand();
        QVERIFY(writer.tp.prompter.messages.empty());
        QCOMPARE(writer.tp.prompter.dialogFilters, std::vector<std::string>{kHexFilter});
        QCOMPARE(writer.app.Shared.CurrentFileName, std::string("/boats/current.dat"));
        QCOMPARE(writer.refreshes, 0);
        const QByteArray saved = ReadBytes(path);
        QCOMPARE(saved.size(), 8192);
        QCOMPARE(saved, test::ImageBytes(writer.app.Image));

        Rig reader(m, LogPath());
        reader.app.Shared.DebugMode = kTrue;
        reader.tp.prompter.paths = {path.toStdString()};
        reader.commands.OpenImageCommand();
        QVERIFY(reader.tp.prompter.messages.empty());
        QVERIFY(reader.app.Image == writer.app.Image);
        QCOMPARE(reader.app.Data.Common.UserMmsid, std::string("3669990010"));
        QVERIFY(reader.app.Data.IndividualDirectory[0] == writer.app.Data.IndividualDirectory[0]);
        QCOMPARE(reader.app.Data.UsaChannels[3].ChTag, std::string("NEW NAME"));
        QCOMPARE(reader.app.Shared.CurrentFileName, path.toStdString());
        QCOMPARE(reader.refreshes, 1);

        Rig other(m == kModelTQ5300 ? kModelHV2071P : kModelTQ5300, LogPath());
        other.app.Shared.DebugMode = kTrue;
        other.tp.prompter.paths = {path.toStdString()};
        other.commands.OpenImageCommand();
        const std::string name = GetModelName(m);
        QVERIFY(ShowsOnly(other.tp.prompter,
                          "ModelName Error !!\n\nThe file is for a " + name +
                              ". Choose Edit \u25B8 Model \u25B8 " + name + " and try again.",
                          "Read from Radio", MessageIcon::Critical));
        QVERIFY(other.app.Shared.CurrentFileName.empty());
        QCOMPARE(other.refreshes, 0);
    }

    // outcome: "loaded", "model" (ModelName Error) or "read" (FileRead Error).
    void readHexFileAs_data() {
        QTest::addColumn<int>("selected");
        QTest::addColumn<QByteArray>("file");  // empty: no file at all
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QString>("hint");  // under a model error: what the file holds
        const QByteArray hv = MarkedImage(kModelHV2071P);
        const QByteArray tq = MarkedImage(kModelTQ5300);
        QByteArray differAt8190 = hv;
        differAt8190[8190] = static_cast<char>(differAt8190[8190] ^ 0x01);
        QByteArray differAt1 = tq;
        differAt1[1] = static_cast<char>(differAt1[1] ^ 0x80);
        auto row = [](const char* name, int16_t selected, const QByteArray& file,
                      const char* outcome, const char* hint = "") {
            QTest::newRow(name) << int{selected} << file << QString::fromLatin1(outcome)
                                << QString::fromUtf8(hint);
        };
        row("HV2071P file, HV2071P selected: loaded", kModelHV2071P, hv, "loaded");
        row("TQ5300 file, TQ5300 selected: loaded", kModelTQ5300, tq, "loaded");
        row("TQ5300 file, HV2071P selected: refused", kModelHV2071P, tq, "model",
            "The file is for a TQ5300. Choose Edit \u25B8 Model \u25B8 TQ5300 and try again.");
        row("HV2071P file, TQ5300 selected: refused", kModelTQ5300, hv, "model",
            "The file is for a HV2071P. Choose Edit \u25B8 Model \u25B8 HV2071P and try again.");
        row("copies differ at 8190: refused", kModelHV2071P, differAt8190, "model",
            "The file holds identifier 0x091F, which this program does not know.");
        row("copies differ at 1: refused", kModelTQ5300, differAt1, "model",
            "The file holds identifier 0x1434, which this program does not know.");
        row("8000 bytes: FileRead Error", kModelHV2071P, hv.left(8000), "read");
        row("8191 bytes: FileRead Error", kModelHV2071P, hv.left(8191), "read");
        row("9000 bytes: first 8192 loaded", kModelHV2071P, hv + QByteArray(808, '\x11'), "loaded");
        row("no file: FileRead Error", kModelHV2071P, QByteArray(), "read");
    }
    void readHexFileAs() {
        QFETCH(int, selected);
        QFETCH(QByteArray, file);
        QFETCH(QString, outcome);
        Rig rig(static_cast<int16_t>(selected), LogPath());
        const QString path = Path(QStringLiteral("in.hex"));
        if (!file.isEmpty())
            QVERIFY(WriteBytes(path, file));
        const RadioData dataBefore = rig.app.Data;
        const MemoryImage imageBefore = rig.app.Image;

        rig.files.ReadHexFileAs(path);

        QCOMPARE(rig.clock.pauses, std::vector<int>{500});
        QCOMPARE(rig.app.Shared.Busy, kFalse);
        QCOMPARE(rig.app.Shared.OperationFailed, outcome == "loaded" ? kFalse : kTrue);
        QCOMPARE(rig.app.Shared.AbortRequested, outcome == "read" ? kTrue : kFalse);
        if (outcome == "loaded") {
            QVERIFY(rig.tp.prompter.messages.empty());
            QCOMPARE(test::ImageBytes(rig.app.Image), file.left(8192));
            QCOMPARE(rig.app.Data.Common.Contrast, int16_t{6});
            QCOMPARE(rig.app.Data.UsaChannels[0].ChTag, std::string("FROM FILE"));
            return;
        }
        QFETCH(QString, hint);
        if (outcome == "model")
            QVERIFY(ShowsOnly(rig.tp.prompter, "ModelName Error !!\n\n" + hint.toStdString(),
                              "Read from Radio", MessageIcon::Critical));
        else
            QVERIFY(ShowsOnly(rig.tp.prompter, "FileRead Error!!", "Chanwright",
                              MessageIcon::Exclamation));
        QVERIFY(rig.app.Image == imageBefore);
        QVERIFY(rig.app.Data == dataBefore);
    }

    // Each row stops before any file is touched; a cancelled dialog alone sets AbortRequested.
    void imageCommands_stopEarly_data() {
        QTest::addColumn<bool>("save");
        QTest::addColumn<bool>("developer");
        QTest::addColumn<bool>("entryOk");
        QTest::addColumn<bool>("cancel");
        QTest::newRow("normal mode: save does nothing") << true << false << true << false;
        QTest::newRow("normal mode: open does nothing") << false << false << true << false;
        QTest::newRow("save: pending entry refused, no dialog") << true << true << false << false;
        QTest::newRow("save: dialog cancelled") << true << true << true << true;
        QTest::newRow("open: dialog cancelled") << false << true << true << true;
    }
    void imageCommands_stopEarly() {
        QFETCH(bool, save);
        QFETCH(bool, developer);
        QFETCH(bool, entryOk);
        QFETCH(bool, cancel);
        Rig rig(kModelHV2071P, LogPath(), entryOk);
        rig.app.Shared.DebugMode = developer ? kTrue : kFalse;
        const QString path = Path(QStringLiteral("a.hex"));
        if (!cancel)
            rig.tp.prompter.paths = {path.toStdString()};
        const MemoryImage imageBefore = rig.app.Image;
        save ? rig.commands.SaveImageCommand() : rig.commands.OpenImageCommand();
        QCOMPARE(rig.tp.prompter.dialogFilters,
                 cancel ? std::vector<std::string>{kHexFilter} : std::vector<std::string>{});
        QCOMPARE(rig.app.Shared.AbortRequested, cancel ? kTrue : kFalse);
        QVERIFY(rig.tp.prompter.messages.empty());
        QVERIFY(rig.clock.pauses.empty());
        QVERIFY(rig.app.Image == imageBefore);
        QCOMPARE(rig.refreshes, 0);
        QVERIFY(!QFile::exists(path));
    }

    void saveImageCommand_scramblerOutOfRange_writesNothing() {
        Rig rig(kModelHV2071P, LogPath());
        rig.app.Shared.DebugMode = kTrue;
        rig.app.Data.Common.Scrambler = 300;
        rig.app.Data.Common.Contrast = 6;  // would land in the image if encoding went half way
        const QString path = Path(QStringLiteral("old.hex"));
        QVERIFY(WriteBytes(path, "old"));
        rig.tp.prompter.paths = {path.toStdString()};
        const MemoryImage imageBefore = rig.app.Image;
        rig.commands.SaveImageCommand();
        QVERIFY(ShowsOnly(rig.tp.prompter, "Overflow: Scrambler=300 is outside 0 to 255",
                          "Chanwright", MessageIcon::Exclamation));
        QCOMPARE(rig.app.Shared.OperationFailed, kTrue);
        QCOMPARE(rig.app.Shared.AbortRequested, kTrue);
        QVERIFY(rig.app.Image == imageBefore);
        QCOMPARE(ReadBytes(path), QByteArray("old"));
    }

    // procedure: the name the one log line must carry; empty: no log file at all.
    void failure_logsOneLineOnlyInDeveloperMode_data() {
        QTest::addColumn<QString>("op");
        QTest::addColumn<bool>("debug");
        QTest::addColumn<QString>("procedure");
        QTest::newRow("FileRead2, developer mode") << "read" << true << "frmMain.FileRead2";
        QTest::newRow("FileRead2, normal mode") << "read" << false << "";
        QTest::newRow("SaveFileAs") << "save" << true << "frmMain.SaveFileAs";
        QTest::newRow("SaveFileAs, normal mode") << "save" << false << "";
        QTest::newRow("SaveFileAsDefault") << "default" << true << "frmMain.SaveFileAsDefault";
        QTest::newRow("SaveHexFileAs") << "hexSave" << true << "frmMain.SaveHexFileAs";
        QTest::newRow("ReadHexFileAs") << "hexRead" << true << "frmMain.ReadHexFileAs";
        QTest::newRow("ReadHexFileAs wrong model: no line") << "hexModel" << true << "";
    }
    void failure_logsOneLineOnlyInDeveloperMode() {
        QFETCH(QString, op);
        QFETCH(bool, debug);
        QFETCH(QString, procedure);
        Rig rig(kModelHV2071P, LogPath());
        rig.app.Shared.DebugMode = debug ? kTrue : kFalse;
        const QString wrongModel = Path(QStringLiteral("tq.hex"));
        QVERIFY(WriteBytes(wrongModel, MarkedImage(kModelTQ5300)));
        Run(rig.files, op, op == "hexModel" ? wrongModel : Path(QStringLiteral("none/file")));
        QCOMPARE(rig.app.Shared.OperationFailed, kTrue);
        QCOMPARE(rig.tp.prompter.messages.size(), std::size_t{1});
        if (procedure.isEmpty()) {
            QVERIFY(!QFile::exists(LogPath()));
            return;
        }
        const QString log = QString::fromLatin1(ReadBytes(LogPath()));
        const QRegularExpression line(
            QStringLiteral("^[^\\r\\n]+,[^\\r\\n]+:%1 -> (\\d+)(\\D[^\\r\\n]*)\\r\\n\\z")
                .arg(QRegularExpression::escape(procedure)));
        const QRegularExpressionMatch match = line.match(log);
        QVERIFY2(match.hasMatch(), qPrintable(log));
        QCOMPARE(match.captured(1) + match.captured(2),
                 QString::fromStdString(rig.files.LastError().Text()));
    }

    void windowTitle_data() {
        QTest::addColumn<QString>("modelCode");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("title");
        const QString app = QStringLiteral("  PC Program for HV2071P/TQ5300 Series");
        auto row = [](const char* name, const char* code, const char* file, const QString& title) {
            QTest::newRow(name) << QString::fromUtf8(code) << QString::fromUtf8(file) << title;
        };
        row("no file", "KW83", "", "KW83" + app);
        row("KW83E build", "KW83E", "", "KW83E" + app);
        row("Windows path", "KW83", "C:\\Boats\\My Radio.DAT", "KW83" + app + " - my radio.dat");
        row("Linux path", "KW83", "/home/x/My Radio.DAT", "KW83" + app + " - my radio.dat");
        row("bare name", "KW83", "My Radio.DAT", "KW83" + app + " - my radio.dat");
        row("non-ASCII name", "KW83", "/home/x/BÄRE.hex", "KW83" + app + " - bäre.hex");
        row("mixed separators, last wins", "KW83", "C:\\a/b\\C.Dat", "KW83" + app + " - c.dat");
    }
    void windowTitle() {
        QFETCH(QString, modelCode);
        QFETCH(QString, file);
        QFETCH(QString, title);
        SharedState shared;
        shared.ModelCode = modelCode.toStdString();
        shared.CurrentFileName = file.toStdString();
        QCOMPARE(WindowTitleText(shared), title);
        QCOMPARE(FileNameOnly(file), file.isEmpty() ? QString() : title.section(" - ", 1));
    }

    void fileNameOnly_folderOnly_givesEmptyName() {
        QCOMPARE(FileNameOnly(QStringLiteral("C:\\Boats\\")), QString());
        QCOMPARE(FileNameOnly(QStringLiteral("/home/x/")), QString());
    }
};

QTEST_GUILESS_MAIN(TestFileOperations)
#include "tst_file_operations.moc"
