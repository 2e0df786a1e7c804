// Read, program and clear against the simulated radio behind the in-memory port: what the
// user is told, what reaches the radio, and what is left of the application after each outcome.
#include <QtTest>
#include <algorithm>
#include <functional>
#include <map>
#include <utility>

#include "core/messages.h"
#include "image/default_image.h"
#include "image/image_decoder.h"
#include "image/image_encoder.h"
#include "link/clone_operations.h"
#include "tests/support/fake_port.h"
#include "tests/support/radio_memory.h"
#include "tests/support/test_files.h"
#include "tests/support/test_platform.h"
#include "tools/radiosim/radio_sim.h"

using namespace chanwright;
using namespace chanwright::test;

namespace {

constexpr int kPermissionCount = 341;
constexpr int kDefaultSettle = 500;
const QStringList kModelCheck = test::ModelCheckCommands();

struct Rig {
    explicit Rig(int16_t radioModel = kModelHV2071P)
        : app(test::MakeDefaultApp(kModelHV2071P)), sim(test::RadioMemory(radioModel, 21)) {
        app.Image[kPermissionCount] = 9;
        app.Shared.TransferDone = kTrue;
        // Whatever is sent, the operation is running.
        port.onWrite = [this](const std::vector<uint8_t>&) {
            runningAtWrite = runningAtWrite && app.Shared.Busy == kTrue && view.states.back();
        };
    }

    AppState app;
    RadioSim sim;
    test::FakeClock clock;
    ScriptedPump events;
    RecordingLog log;
    test::RecordingPrompter prompter;
    RecordingView view;
    test::FakePort port{clock, &sim};
    RadioLink link{app.Shared, port, clock, events, log};
    CloneOperations ops{app, link, prompter, clock, view, log};
    bool runningAtWrite = true;

    bool Run(int mode) {
        app.Shared.TransferMode = static_cast<int16_t>(mode);
        return ops.RunTransfer();
    }
    void AddFaults(const QStringList& faults) {
        for (const QString& fault : faults)
            sim.AddFault(*ParseFault(fault.toStdString()));
    }
    // The radio's log without the data written.
    QStringList Commands(size_t from = 0) const {
        QStringList lines;
        for (size_t i = from; i < sim.Log().size(); ++i)
            lines << QString::fromStdString(sim.Log()[i]).section(' ', 0, 1);
        return lines;
    }
    int SettlePauses(int settle = kDefaultSettle) const {
        return static_cast<int>(std::count(clock.pauses.begin(), clock.pauses.end(), settle));
    }
};

// What the image must hold after a failed operation: program encodes before it talks.
MemoryImage ImageAfterFailure(const AppState& before, int mode) {
    MemoryImage image = before.Image;
    if (mode == kTransferProgram && EncodeImage(before.Data, image))
        return {};
    return image;
}

bool ShowsOnly(const test::RecordingPrompter& prompter, const QString& text, const QString& title,
               MessageIcon icon) {
    return prompter.messages.size() == 1 &&
           QString::fromStdString(prompter.messages[0].text) == text &&
           QString::fromStdString(prompter.messages[0].title) == title &&
           prompter.messages[0].icon == icon;
}

// The state every failure leaves: nothing taken over, the port closed, no settle pause.
#define VERIFY_LEFT_UNCHANGED(rig, before, mode)                         \
    do {                                                                 \
        QVERIFY((rig).app.Data == (before).Data);                        \
        QVERIFY((rig).app.Image == ImageAfterFailure((before), (mode))); \
        QCOMPARE((rig).app.Shared.TransferDone, kTrue);                  \
        QCOMPARE((rig).SettlePauses(), 0);                               \
        QVERIFY(!(rig).port.IsOpen());                                   \
        QCOMPARE((rig).app.Shared.Busy, kFalse);                         \
    } while (false)

}  // namespace

class TestCloneOperations : public QObject {
    Q_OBJECT

  private slots:
    void success_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("settle");  // 0: left at its default
        QTest::addColumn<QString>("title");
        QTest::newRow("read") << int(kTransferRead) << 0 << "Read from Radio";
        QTest::newRow("read, settle pause changed")
            << int(kTransferRead) << 120 << "Read from Radio";
        QTest::newRow("program") << int(kTransferProgram) << 0 << "Program to Radio";
        QTest::newRow("clear") << int(kTransferClear) << 0 << "Clear Data";
    }
    void success() {
        QFETCH(int, mode);
        QFETCH(int, settle);
        QFETCH(QString, title);
        Rig rig;
        rig.app.Shared.TransferDone = kFalse;
        if (settle)
            rig.ops.SetSettlePause(settle);
        QVERIFY(rig.Run(mode));

        QVERIFY(ShowsOnly(rig.prompter, "Complete!!", title, MessageIcon::Information));
        QCOMPARE(rig.app.Shared.TransferDone, kTrue);
        QCOMPARE(rig.clock.pauses, std::vector<int>{settle ? settle : kDefaultSettle});
        QVERIFY(rig.runningAtWrite);
        QCOMPARE(rig.view.states, (std::vector<bool>{true, false}));
        QCOMPARE(rig.app.Shared.Busy, kFalse);
        QVERIFY(!rig.port.IsOpen());
        QCOMPARE(rig.view.progress.back(), 0);

        if (mode == kTransferRead) {
            MemoryImage expected = rig.sim.Memory();
            MemoryImage defaults{};
            BuildDefaultImage(defaults, kModelHV2071P);
            for (int address : {12, 39, 480, 481, 482, 483, 484, 485, 486, 487})
                expected[address] = defaults[address];
            QCOMPARE(test::ImageBytes(rig.app.Image), test::ImageBytes(expected));
            RadioData decoded = test::MakeDefaultApp(kModelHV2071P).Data;
            DecodeImage(expected, decoded);
            QVERIFY(rig.app.Data == decoded);
        } else if (mode == kTransferProgram) {
            QCOMPARE(rig.Commands(), test::ProgramCommands());
        } else {
            QCOMPARE(rig.Commands(), kModelCheck + QStringList{"write-byte 0155"});
            QCOMPARE(int(rig.app.Image[kPermissionCount]), 0);
            QCOMPARE(int(rig.sim.Memory()[kPermissionCount]), 0);
        }
    }

    void read_showsProgressBeforeEachBlock() {
        Rig rig;
        std::map<int, int> shownAt;  // block address -> progress on the screen when it is asked
        rig.port.onWrite = [&](const std::vector<uint8_t>&) {
            const QString line = QString::fromStdString(rig.sim.Log().back());
            if (line.startsWith("read-block"))
                shownAt[line.section(' ', 1).toInt(nullptr, 16)] = rig.view.progress.back();
        };
        QVERIFY(rig.Run(kTransferRead));
        QCOMPARE(int(shownAt.size()), 512);
        const std::map<int, int> anchors = {{0, 0},     {16, 0},     {48, 1},    {4080, 50},
                                            {4096, 50}, {8160, 100}, {8176, 100}};
        for (const auto& [address, percent] : anchors)
            QCOMPARE(shownAt[address], percent);
        for (auto it = std::next(shownAt.begin()); it != shownAt.end(); ++it)
            QVERIFY(it->second >= std::prev(it)->second);
        QCOMPARE(rig.view.progress.back(), 0);
    }

    // Block 100 (0x0630) goes unanswered twice: nothing of the 99 blocks read is kept, and the
    // next read begins from scratch with the model check.
    void readFailsAtBlock100_changesNothing_nextReadStartsWithModelCheck() {
        Rig rig;
        rig.AddFaults({"drop-reply@104", "drop-reply@105"});
        const AppState before = rig.app;
        QVERIFY(!rig.Run(kTransferRead));
        QVERIFY(ShowsOnly(rig.prompter, "Communication Error!!", "Read from Radio",
                          MessageIcon::Critical));
        VERIFY_LEFT_UNCHANGED(rig, before, kTransferRead);
        QCOMPARE(rig.Commands().mid(rig.Commands().size() - 3),
                 (QStringList{"read-block 0630", "can", "read-block 0630"}));

        rig.sim.ClearFaults();
        rig.prompter.messages.clear();
        const size_t from = rig.sim.Log().size();
        QVERIFY(rig.Run(kTransferRead));
        QCOMPARE(rig.Commands(from), test::ReadCommands());
    }

    // Each failure is told once, and leaves image, data and TransferDone as they were.
    void failure_isToldOnceAndChangesNothing_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("radioModel");
        QTest::addColumn<QStringList>("faults");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("commands");  // all the radio gets
        const int hv = kModelHV2071P;
        const QString comm = "Communication Error!!";
        // Every row's radio answers with the TQ5300's identifier.
        const QString model = QString::fromUtf8(
            "ModelName Error !!\n\nThe radio is a TQ5300. Choose Edit \u25B8 Model \u25B8 TQ5300 "
            "and "
            "try again.");
        const QStringList none;
        for (const auto& [mode, name] :
             {std::pair{int(kTransferRead), "read"}, std::pair{int(kTransferProgram), "program"},
              std::pair{int(kTransferClear), "clear"}}) {
            QTest::addRow("other model's radio, %s", name)
                << mode << int(kModelTQ5300) << none << model << "Read from Radio" << kModelCheck;
        }
        QTest::newRow("wrong-model fault, clear")
            << int(kTransferClear) << hv << QStringList{"wrong-model"} << model << "Read from Radio"
            << kModelCheck;
        QTest::newRow("identifier copies differ, program")
            << int(kTransferProgram) << hv << QStringList{"mismatched-ids"} << model
            << "Read from Radio" << kModelCheck;
        QTest::newRow("third identifier byte unanswered: check stops there")
            << int(kTransferRead) << hv << QStringList{"drop-reply@3", "drop-reply@4"} << comm
            << "Model Check" << kModelCheck.mid(0, 3) + QStringList{"can", "read-byte 1FFE"};
        QTest::newRow("first write byte unanswered: program stops there")
            << int(kTransferProgram) << hv << QStringList{"drop-reply@7", "drop-reply@8"} << comm
            << "Program to Radio"
            << test::ProgramCommands().mid(0, 7) + QStringList{"can", "write-byte 0025"};
        QTest::newRow("clear unanswered: byte 341 put back")
            << int(kTransferClear) << hv << QStringList{"drop-reply@5", "drop-reply@6"} << comm
            << "Clear Data"
            << kModelCheck + QStringList{"write-byte 0155", "can", "write-byte 0155"};
    }
    void failure_isToldOnceAndChangesNothing() {
        QFETCH(int, mode);
        QFETCH(int, radioModel);
        QFETCH(QStringList, faults);
        QFETCH(QString, text);
        QFETCH(QString, title);
        QFETCH(QStringList, commands);
        Rig rig(static_cast<int16_t>(radioModel));
        rig.AddFaults(faults);
        const AppState before = rig.app;
        QVERIFY(!rig.Run(mode));
        QVERIFY(ShowsOnly(rig.prompter, text, title, MessageIcon::Critical));
        QCOMPARE(rig.Commands(), commands);
        QCOMPARE(rig.view.states, (std::vector<bool>{true, false}));
        VERIFY_LEFT_UNCHANGED(rig, before, mode);
    }

    void encodeRangeError_sendsNothingAndKeepsTheImage() {
        Rig rig;
        rig.app.Data.Common.Scrambler = 300;
        const MemoryImage before = rig.app.Image;
        QVERIFY(!rig.Run(kTransferProgram));
        QCOMPARE(rig.port.opens, 0);
        QVERIFY(rig.port.writes.empty());
        QCOMPARE(rig.prompter.messages.size(), size_t(1));
        QVERIFY(QString::fromStdString(rig.prompter.messages[0].text).startsWith("Overflow: "));
        QCOMPARE(rig.prompter.messages[0].title, std::string("Program to Radio"));
        QVERIFY(rig.app.Image == before);
        QCOMPARE(rig.app.Shared.TransferDone, kTrue);
    }

    // secondStep: the model check passes and the data transfer step cannot open the port.
    void portOpenFailure_toldWithTheReason_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("secondStep");
        QTest::addColumn<QString>("title");
        QTest::newRow("read, model check") << int(kTransferRead) << false << "Model Check";
        QTest::newRow("clear, model check") << int(kTransferClear) << false << "Model Check";
        QTest::newRow("read, data step") << int(kTransferRead) << true << "Read from Radio";
        QTest::newRow("program, data step") << int(kTransferProgram) << true << "Program to Radio";
        QTest::newRow("clear, data step") << int(kTransferClear) << true << "Clear Data";
    }
    void portOpenFailure_toldWithTheReason() {
        QFETCH(int, mode);
        QFETCH(bool, secondStep);
        QFETCH(QString, title);
        Rig rig;
        const ErrorInfo missing{2, "No such device"};
        if (secondStep) {
            rig.port.onWrite = [&](const std::vector<uint8_t>&) {
                if (rig.sim.CommandCount() == 4)
                    rig.port.FailOpen(missing);
            };
        } else {
            rig.port.FailOpen(missing);
        }
        const AppState before = rig.app;
        QVERIFY(!rig.Run(mode));
        QVERIFY(ShowsOnly(rig.prompter, "Communication Error!!\n\nNo such device", title,
                          MessageIcon::Critical));
        using Record = std::pair<std::string, std::string>;
        QCOMPARE(rig.log.records, (std::vector<Record>{{"frmRadio.PortOpen", "2No such device"}}));
        QCOMPARE(rig.Commands(), secondStep ? kModelCheck : QStringList());
        VERIFY_LEFT_UNCHANGED(rig, before, mode);
    }

    // A port failing inside a step: its own record and message, the flags of a Cancel, and no
    // second message from the operation.
    void portFailsInsideStep_reportedByTheStep_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("fault");  // "writeN", "unplugN" at command N, or a sim fault
        QTest::addColumn<QString>("procedure");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("title");
        const auto row = [](const char* name, int mode, const char* fault, const char* procedure,
                            const char* text, const char* title) {
            QTest::newRow(name) << mode << QString(fault) << QString(procedure) << QString(text)
                                << QString(title);
        };
        const char* vanished = " 9\r\rDevice vanished";
        row("model check write", kTransferRead, "write1", "frmRadio.ReadDataChkModel", vanished,
            "Serial");
        row("read write at block 10", kTransferRead, "write14", "frmRadio.ReadData", vanished,
            "Serial");
        row("program write", kTransferProgram, "write8", "frmRadio.WriteData", vanished, "Serial");
        row("clear write: byte 341 put back", kTransferClear, "write5", "frmRadio.ClearData",
            vanished, "Serial");
        row("unplugged mid-read, negative number", kTransferRead, "unplug50", "frmRadio.ReadData",
            "-5\r\rGone", "Port");
        row("radio hangs up mid-program", kTransferProgram, "hang-up@40", "frmRadio.WriteData",
            " 0\r\rThe device has been disconnected.", "Chanwright");
    }
    void portFailsInsideStep_reportedByTheStep() {
        QFETCH(int, mode);
        QFETCH(QString, fault);
        QFETCH(QString, procedure);
        QFETCH(QString, text);
        QFETCH(QString, title);
        Rig rig;
        if (fault.startsWith("write")) {
            rig.port.FailWriteAt(fault.mid(5).toInt(), {9, "Device vanished"}, "Serial");
        } else if (fault.startsWith("unplug")) {
            const int at = fault.mid(6).toInt();
            rig.port.onWrite = [&rig, at](const std::vector<uint8_t>&) {
                if (rig.sim.CommandCount() == at)
                    rig.port.Unplug({-5, "Gone"}, "Port");
            };
        } else {
            rig.AddFaults({fault});
        }
        const AppState before = rig.app;
        QVERIFY(!rig.Run(mode));
        QVERIFY(ShowsOnly(rig.prompter, text, title, MessageIcon::Critical));
        const QString logged = text.section("\r\r", 0, 0).trimmed() + text.section("\r\r", 1);
        using Record = std::pair<std::string, std::string>;
        QCOMPARE(rig.log.records,
                 (std::vector<Record>{{procedure.toStdString(), logged.toStdString()}}));
        QCOMPARE(rig.app.Shared.AbortRequested, kTrue);
        QCOMPARE(rig.app.Shared.OperationFailed, kTrue);
        QCOMPARE(rig.view.states, (std::vector<bool>{true, false}));
        VERIFY_LEFT_UNCHANGED(rig, before, mode);
    }

    // Cancel pressed while the N-th command is awaited: the dialog stays, nothing more is sent,
    // nothing is said.
    void cancelWhileRunning_stopsSilently_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("atCommand");
        QTest::newRow("during the model check") << int(kTransferRead) << 2;
        QTest::newRow("during the read") << int(kTransferRead) << 30;
        QTest::newRow("during the program") << int(kTransferProgram) << 20;
        QTest::newRow("during the clear: byte 341 put back") << int(kTransferClear) << 5;
    }
    void cancelWhileRunning_stopsSilently() {
        QFETCH(int, mode);
        QFETCH(int, atCommand);
        Rig rig;
        std::vector<bool> closes;
        rig.events.onPoll = [&](int) {
            if (closes.empty() && rig.sim.CommandCount() == atCommand)
                closes.push_back(rig.ops.CancelTransfer());
        };
        const AppState before = rig.app;
        QVERIFY(!rig.Run(mode));
        QCOMPARE(closes, std::vector<bool>{false});
        QVERIFY(rig.prompter.messages.empty());
        QCOMPARE(rig.sim.CommandCount(), atCommand);
        QCOMPARE(rig.app.Shared.AbortRequested, kTrue);
        VERIFY_LEFT_UNCHANGED(rig, before, mode);
        QVERIFY(rig.ops.CancelTransfer());  // idle again: the dialog may close
    }

    // Program with a backup first: one model check, the whole radio read and kept, then the
    // writes. Cancel or a failure before the copy is safe writes nothing.
    void programWithBackupFirst_data() {
        QTest::addColumn<QStringList>("faults");
        QTest::addColumn<int>("cancelAt");  // the command awaited when Cancel is pressed; 0: none
        QTest::addColumn<bool>("keeps");    // whether the keeper saves the copy
        QTest::addColumn<int>("kept");      // copies handed to the keeper
        QTest::addColumn<int>("writes");    // write commands the radio gets
        QTest::addColumn<QString>("message");
        const int reads = int(test::ReadCommands().size());
        const int all = int(test::ProgramCommands().size()) - 4;
        QTest::newRow("backed up, then programmed") << QStringList() << 0 << true << 1 << all << "";
        QTest::newRow("Cancel in the backup read") << QStringList() << 30 << true << 0 << 0 << "";
        QTest::newRow("Cancel while programming")
            << QStringList() << reads + 20 << true << 1 << 20 << "";
        QTest::newRow("backup read fails") << QStringList{"drop-reply@100", "drop-reply@101"} << 0
                                           << true << 0 << 0 << "Communication Error!!";
        QTest::newRow("backup cannot be saved")
            << QStringList() << 0 << false << 1 << 0
            << QString(messages::kBackupNotKept) + "\n\nNo space left on device";
    }
    void programWithBackupFirst() {
        QFETCH(QStringList, faults);
        QFETCH(int, cancelAt);
        QFETCH(bool, keeps);
        QFETCH(int, kept);
        QFETCH(int, writes);
        QFETCH(QString, message);
        struct Keeper : BackupKeeper {
            bool keeps = true;
            std::vector<MemoryImage> images;
            bool Keep(const MemoryImage& image, int16_t, ErrorInfo& error) override {
                images.push_back(image);
                error = {28, "No space left on device"};
                return keeps;
            }
        } keeper;
        keeper.keeps = keeps;
        Rig rig;
        rig.AddFaults(faults);
        const MemoryImage radio = rig.sim.Memory();
        rig.ops.SetBackupKeeper(&keeper);
        rig.ops.SetProgramOptions({true, false});
        rig.events.onPoll = [&](int) {
            if (cancelAt != 0 && rig.sim.CommandCount() == cancelAt)
                rig.ops.CancelTransfer();
        };
        const bool done = rig.Run(kTransferProgram);

        QCOMPARE(done, message.isEmpty() && cancelAt == 0);
        QCOMPARE(rig.Commands().filter("write-").size(), writes);
        if (done)
            QCOMPARE(rig.Commands(), test::ReadCommands() + test::ProgramCommands().mid(4));
        QCOMPARE(int(keeper.images.size()), kept);
        if (kept) {
            MemoryImage expected = radio;
            MemoryImage defaults{};
            BuildDefaultImage(defaults, kModelHV2071P);
            RestoreLocalBytes(expected, defaults);
            QVERIFY(keeper.images[0] == expected);
        }
        QStringList told;
        for (const test::ShownMessage& shown : rig.prompter.messages)
            told << QString::fromStdString(shown.text);
        const QString expected = done ? messages::kComplete : message;
        QCOMPARE(told, expected.isEmpty() ? QStringList() : QStringList{expected});
        // The bar covers both stages: the read fills its first half, the writes the second.
        const std::vector<int>& shown = rig.view.progress;
        const auto half = std::find(shown.begin(), shown.end(), 50);
        QVERIFY(std::all_of(shown.begin(), half, [](int p) { return p <= 50; }));
        if (done) {
            QCOMPARE(*std::max_element(shown.begin(), shown.end()), 100);
            QCOMPARE(rig.view.stages, (std::vector<std::string>{messages::kStageBackup,
                                                                messages::kStageProgram, ""}));
        }
    }
};

QTEST_GUILESS_MAIN(TestCloneOperations)
#include "tst_clone_operations.moc"
