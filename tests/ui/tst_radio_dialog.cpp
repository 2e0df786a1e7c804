// The radio dialog driven by its buttons against the simulated radio: what it looks like for each
// transfer, when it closes, and that Cancel and the close box behave while a transfer runs.
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>
#include <algorithm>
#include <memory>

#include "tests/support/fake_port.h"
#include "tests/support/radio_memory.h"
#include "tests/support/test_files.h"
#include "tests/support/test_platform.h"
#include "tools/radiosim/radio_sim.h"
#include "ui/radio_dialog.h"

using namespace chanwright;

namespace {

constexpr int kPermissionCount = 341;

struct Rig {
    explicit Rig(int mode, bool withHelp = true) : app(test::MakeDefaultApp(kModelHV2071P)) {
        app.Shared.TransferMode = static_cast<int16_t>(mode);
        app.Image[kPermissionCount] = 9;
        // Each OK gets a fresh port on the one simulated radio.
        const auto makePort = [this] {
            ++portsMade;
            return std::make_unique<test::FakePort>(clock, &sim);
        };
        RadioDialogServices services{prompter, clock,   events,  log,   makePort, {},
                                     nullptr,  nullptr, nullptr, false, {}};
        if (withHelp)
            services.showHelp = [this](int context) { helpShown.push_back(context); };
        dialog = std::make_unique<RadioDialog>(app, std::move(services));
        QObject::connect(Bar(), &QProgressBar::valueChanged,
                         [this](int value) { progress.push_back(value); });
        dialog->show();
    }

    template <typename T>
    T* Child(const char* name) const {
        return dialog->findChild<T*>(QString::fromLatin1(name));
    }
    QPushButton* Button(const char* name) const { return Child<QPushButton>(name); }
    QProgressBar* Bar() const { return Child<QProgressBar>("pictProgress"); }
    void Click(const char* name) { QTest::mouseClick(Button(name), Qt::LeftButton); }
    void AddFault(const char* fault) { sim.AddFault(*ParseFault(fault)); }
    // Whatever ran last has put OK, the pointer and the flags back for the next press.
    bool Ready() const {
        return Button("cmdOK")->isEnabled() && !QApplication::overrideCursor() &&
               app.Shared.Busy == kFalse;
    }

    AppState app;
    RadioSim sim{test::RadioMemory(kModelHV2071P, 7)};
    test::FakeClock clock;
    test::ScriptedPump events;
    test::RecordingLog log;
    test::RecordingPrompter prompter;
    int portsMade = 0;
    std::vector<int> helpShown;
    std::vector<int> progress;
    std::unique_ptr<RadioDialog> dialog;
};

QString Message(const test::RecordingPrompter& prompter, size_t index = 0) {
    if (index >= prompter.messages.size())
        return "<none>";
    const test::ShownMessage& m = prompter.messages[index];
    return QString::fromStdString(m.title + ": " + m.text) +
           (m.icon == MessageIcon::Information ? " (i)" : "");
}

}  // namespace

class TestRadioDialog : public QObject {
    Q_OBJECT

  private slots:
    void looks_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("radioLeft");
        QTest::addColumn<int>("pcLeft");
        QTest::newRow("read: radio is the source") << 0 << "Read from Radio" << 8 << 248;
        QTest::newRow("program: PC is the source") << 1 << "Program to Radio" << 248 << 8;
        QTest::newRow("clear: PC is the source") << 2 << "Program to Radio" << 248 << 8;
    }
    void looks() {
        QFETCH(int, mode);
        QFETCH(QString, caption);
        QFETCH(int, radioLeft);
        QFETCH(int, pcLeft);
        Rig rig(mode);
        QCOMPARE(rig.dialog->objectName(), QString("frmRadio"));
        QVERIFY(rig.dialog->isModal());
        QCOMPARE(rig.dialog->windowTitle(), caption);
        QCOMPARE(rig.dialog->size(), QSize(398, 233));
        QCOMPARE(rig.dialog->minimumSize(), rig.dialog->maximumSize());
        QCOMPARE(rig.Child<QLabel>("pictA")->geometry(), QRect(radioLeft, 48, 130, 110));
        QCOMPARE(rig.Child<QLabel>("pictB")->geometry(), QRect(pcLeft, 48, 130, 110));
        QVERIFY(!rig.Child<QLabel>("pictA")->pixmap().isNull());
        QVERIFY(!rig.Child<QLabel>("pictB")->pixmap().isNull());
        QCOMPARE(rig.Button("cmdOK")->text(), QString("OK"));
        QCOMPARE(rig.Button("cmdCancel")->text(), QString("Cancel"));
        QCOMPARE(rig.Button("cmdHelp")->text(), QString("Help"));
        QCOMPARE(rig.Bar()->minimum(), 0);
        QCOMPARE(rig.Bar()->maximum(), 100);
    }

    // A dialog shown again starts from an empty bar, and follows a mode changed meanwhile.
    void showingAgain_emptiesTheBarAndFollowsTheMode() {
        Rig rig(kTransferRead);
        rig.dialog->hide();
        rig.dialog->ShowProgress(60);
        rig.app.Shared.TransferMode = kTransferProgram;
        rig.dialog->show();
        QCOMPARE(rig.Bar()->value(), 0);
        QCOMPARE(rig.dialog->windowTitle(), QString("Program to Radio"));
        QCOMPARE(rig.Child<QLabel>("pictB")->x(), 8);
    }

    void ok_runsTheTransferAndCloses_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("message");
        QTest::newRow("read") << 0 << "Read from Radio: Complete!! (i)";
        QTest::newRow("program") << 1 << "Program to Radio: Complete!! (i)";
        QTest::newRow("clear") << 2 << "Clear Data: Complete!! (i)";
    }
    void ok_runsTheTransferAndCloses() {
        QFETCH(int, mode);
        QFETCH(QString, message);
        Rig rig(mode);
        const MemoryImage radioBefore = rig.sim.Memory();
        bool lookedBusy = true;
        rig.events.onPoll = [&](int) {
            lookedBusy = lookedBusy && !rig.Button("cmdOK")->isEnabled() &&
                         QApplication::overrideCursor() &&
                         QApplication::overrideCursor()->shape() == Qt::WaitCursor;
            // A press on the disabled OK starts nothing.
            rig.Click("cmdOK");
        };
        rig.Click("cmdOK");

        QCOMPARE(rig.portsMade, 1);
        QVERIFY(rig.events.calls > 0);
        QVERIFY(lookedBusy);
        QCOMPARE(Message(rig.prompter), message);
        QCOMPARE(rig.prompter.messages.size(), size_t(1));
        QCOMPARE(rig.dialog->result(), int(QDialog::Accepted));
        QVERIFY(!rig.dialog->isVisible());
        QVERIFY(rig.Ready());
        QCOMPARE(rig.app.Shared.TransferDone, kTrue);
        QCOMPARE(*std::max_element(rig.progress.begin(), rig.progress.end()), 100);
        QCOMPARE(rig.Bar()->value(), 0);
        if (mode == kTransferRead) {
            // Past the bytes the program keeps for itself, the image is the radio's.
            QCOMPARE(test::ImageSlice(rig.app.Image, 0x200, kImageSize - 0x200),
                     test::ImageSlice(rig.sim.Memory(), 0x200, kImageSize - 0x200));
        } else if (mode == kTransferProgram) {
            QCOMPARE(test::ImageBytes(rig.sim.Memory()),
                     test::ImageBytes(test::StoredByRadio(rig.app.Image, radioBefore)));
        } else {
            QCOMPARE(int(rig.sim.Memory()[kPermissionCount]), 0);
        }
    }

    // Block 100 goes unanswered: the dialog stays for another try, which begins with the model
    // check on a fresh port.
    void failedRead_staysOpenForAnotherTry() {
        Rig rig(kTransferRead);
        rig.AddFault("silence@104");
        const AppState before = rig.app;
        rig.Click("cmdOK");

        QCOMPARE(Message(rig.prompter), QString("Read from Radio: Communication Error!!"));
        QVERIFY(rig.dialog->isVisible());
        QCOMPARE(rig.dialog->result(), 0);
        QVERIFY(rig.Ready());
        QCOMPARE(rig.Bar()->value(), 0);
        QVERIFY(rig.app.Image == before.Image);
        QVERIFY(rig.app.Data == before.Data);

        rig.sim = RadioSim(rig.sim.Memory());
        rig.Click("cmdOK");
        QCOMPARE(rig.portsMade, 2);
        QCOMPARE(QString::fromStdString(rig.sim.Log().front()), QString("read-byte 0000"));
        QCOMPARE(Message(rig.prompter, 1), QString("Read from Radio: Complete!! (i)"));
        QCOMPARE(rig.dialog->result(), int(QDialog::Accepted));
    }

    void cancelWhileRunning_stopsAndStays_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("atCommand");
        QTest::addColumn<bool>("escape");
        QTest::newRow("Cancel during the model check") << 0 << 2 << false;
        QTest::newRow("Cancel during the read") << 0 << 40 << false;
        QTest::newRow("Escape during the read") << 0 << 60 << true;
        QTest::newRow("Cancel during the program") << 1 << 30 << false;
    }
    void cancelWhileRunning_stopsAndStays() {
        QFETCH(int, mode);
        QFETCH(int, atCommand);
        QFETCH(bool, escape);
        Rig rig(mode);
        bool pressed = false;
        rig.events.onPoll = [&](int) {
            if (pressed || rig.sim.CommandCount() != atCommand)
                return;
            pressed = true;
            if (escape)
                QTest::keyClick(rig.dialog.get(), Qt::Key_Escape);
            else
                rig.Click("cmdCancel");
        };
        const AppState before = rig.app;
        rig.Click("cmdOK");

        QVERIFY(pressed);
        QCOMPARE(rig.sim.CommandCount(), atCommand);
        QVERIFY(rig.prompter.messages.empty());
        QVERIFY(rig.dialog->isVisible());
        QCOMPARE(rig.dialog->result(), 0);
        QVERIFY(rig.Ready());
        QVERIFY(rig.app.Image == before.Image);
        QCOMPARE(rig.app.Shared.TransferDone, before.Shared.TransferDone);

        // Idle again, the same key closes.
        if (escape)
            QTest::keyClick(rig.dialog.get(), Qt::Key_Escape);
        else
            rig.Click("cmdCancel");
        QVERIFY(!rig.dialog->isVisible());
        QCOMPARE(rig.dialog->result(), int(QDialog::Rejected));
    }

    // The close box and reject() are refused while a transfer runs, which then completes.
    void closeWhileRunning_refused() {
        Rig rig(kTransferRead);
        std::vector<bool> accepted;
        bool stayedOpen = true;
        rig.events.onPoll = [&](int) {
            if (!accepted.empty() || rig.sim.CommandCount() != 20)
                return;
            QCloseEvent close;
            QApplication::sendEvent(rig.dialog.get(), &close);
            accepted.push_back(close.isAccepted());
            static_cast<QDialog*>(rig.dialog.get())->reject();  // public on QDialog
            stayedOpen = rig.dialog->isVisible();
        };
        rig.Click("cmdOK");
        QCOMPARE(accepted, std::vector<bool>{false});
        QVERIFY(stayedOpen);
        QCOMPARE(Message(rig.prompter), QString("Read from Radio: Complete!! (i)"));
        QCOMPARE(rig.dialog->result(), int(QDialog::Accepted));
    }

    void whenReady_closes_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Cancel") << "Cancel";
        QTest::newRow("Escape") << "Escape";
        QTest::newRow("close box") << "close box";
    }
    void whenReady_closes() {
        QFETCH(QString, how);
        Rig rig(kTransferProgram);
        if (how == "Cancel") {
            rig.Click("cmdCancel");
        } else if (how == "Escape") {
            QTest::keyClick(rig.dialog.get(), Qt::Key_Escape);
        } else {
            QCloseEvent close;
            QApplication::sendEvent(rig.dialog.get(), &close);
            QVERIFY(close.isAccepted());
        }
        QVERIFY(!rig.dialog->isVisible());
        QCOMPARE(rig.dialog->result(), int(QDialog::Rejected));
        QCOMPARE(rig.portsMade, 0);
    }

    void help_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("viewer");
        QTest::addColumn<QString>("title");  // of the message without a viewer
        QTest::newRow("no viewer, read") << 0 << false << "Read from Radio";
        QTest::newRow("no viewer, clear") << 2 << false << "Program to Radio";
        QTest::newRow("viewer") << 1 << true << "";
    }
    void help() {
        QFETCH(int, mode);
        QFETCH(bool, viewer);
        QFETCH(QString, title);
        Rig rig(mode, viewer);
        rig.Click("cmdHelp");
        if (viewer) {
            QCOMPARE(rig.helpShown, std::vector<int>{1012});
            QVERIFY(rig.prompter.messages.empty());
        } else {
            QCOMPARE(Message(rig.prompter),
                     title +
                         ": Unable to display Help Contents. There is no Help associated with "
                         "this project. (i)");
        }
        QVERIFY(rig.dialog->isVisible());
        QCOMPARE(rig.portsMade, 0);
    }
};

QTEST_MAIN(TestRadioDialog)
#include "tst_radio_dialog.moc"
