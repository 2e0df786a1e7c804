// The radio dialog as the window runs it against the simulated radio: how it looks for each
// transfer, what OK does, Cancel while a transfer runs, closing it, and a failed read.
#include <algorithm>

#include "tests/ui/window_desk.h"

using namespace chanwright;
using namespace chanwright::test;

namespace {

constexpr int kPermissionCount = 341;

QString Said(const RecordingPrompter& prompter) {
    QStringList said;
    for (const ShownMessage& m : prompter.messages) {
        said << QString::fromStdString(m.title + ": " + m.text) +
                    (m.icon == MessageIcon::Information ? " (i)" : "");
    }
    return said.join('\n');
}

// The transfer of the mode run as its command runs it; `drive` works the dialog once it is up.
void Run(Desk& desk, int mode, std::function<void(QDialog&)> drive) {
    desk.onDialog = std::move(drive);
    if (mode == kTransferRead)
        desk.window->TransferRead();
    else if (mode == kTransferProgram)
        desk.window->TransferProgram();
    else
        desk.window->ClearFromSettings();
}

QPushButton* Button(QDialog& dialog, const char* name) {
    return dialog.findChild<QPushButton*>(name);
}

// OK, the pointer and the flags are back for the next press.
bool Ready(Desk& desk, QDialog& dialog) {
    return Button(dialog, "cmdOK")->isEnabled() && !QApplication::overrideCursor() &&
           desk.app.Shared.Busy == kFalse;
}

}  // namespace

class TestRadioDialog : public QObject {
    Q_OBJECT

  private slots:
    // The dialog of each transfer: caption, size, the source pictured on the left, the buttons,
    // the port, and Program's backup box.
    void looks() {
        Desk desk;
        QString shown;
        desk.onDialog = [&shown](QDialog& dialog) {
            shown += QString("== %1 %2x%3%4%5\n")
                         .arg(dialog.windowTitle())
                         .arg(dialog.width())
                         .arg(dialog.height())
                         .arg(dialog.isModal() ? " modal" : "")
                         .arg(dialog.minimumSize() == dialog.maximumSize() ? " fixed" : "") +
                     Snapshot(&dialog);
        };
        desk.window->TransferRead();
        desk.window->TransferProgram();
        desk.window->ClearFromSettings();
        desk.window->TransferVerify();
        COMPARE_GOLDEN(shown.toUtf8(), "ui/radio_dialog.txt");
    }

    void ok_runsTheTransferAndCloses_data() {
        AddRows({"modeText", "message"}, {{"read", "0", "Read from Radio: Complete!! (i)"},
                                          {"program", "1", "Program to Radio: Complete!! (i)"},
                                          {"clear", "2", "Clear Data: Complete!! (i)"}});
    }
    void ok_runsTheTransferAndCloses() {
        QFETCH(QString, modeText);
        QFETCH(QString, message);
        const int mode = modeText.toInt();
        Desk desk;
        desk.app.Image[kPermissionCount] = 9;
        desk.app.Shared.CurrentFileName = "/x/radio.dat";
        const MemoryImage radioBefore = desk.sim.Memory();
        QDialog* shown = nullptr;
        bool lookedBusy = true;
        std::vector<int> progress;
        desk.events.onPoll = [&](int) {
            QPushButton* ok = Button(*shown, "cmdOK");
            lookedBusy = lookedBusy && !ok->isEnabled() &&
                         !shown->findChild<QCheckBox*>("chkBackupFirst")->isEnabled() &&
                         QApplication::overrideCursor() &&
                         QApplication::overrideCursor()->shape() == Qt::WaitCursor;
            // A press on the disabled OK starts nothing.
            QTest::mouseClick(ok, Qt::LeftButton);
        };
        Run(desk, mode, [&](QDialog& dialog) {
            shown = &dialog;
            auto* bar = dialog.findChild<QProgressBar*>("pictProgress");
            QObject::connect(bar, &QProgressBar::valueChanged,
                             [&progress](int value) { progress.push_back(value); });
            QTest::mouseClick(Button(dialog, "cmdOK"), Qt::LeftButton);
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
            QVERIFY(!dialog.isVisible());
            QVERIFY(Ready(desk, dialog));
            QCOMPARE(bar->value(), 0);
        });
        QCOMPARE(desk.devices, QStringList{"/dev/ttyUSB0"});
        QVERIFY(desk.events.calls > 0);
        QVERIFY(lookedBusy);
        QCOMPARE(Said(desk.prompter), message);
        QCOMPARE(*std::max_element(progress.begin(), progress.end()), 100);
        if (mode == kTransferRead) {
            // Past the bytes the program keeps for itself, the image is the radio's.
            QCOMPARE(ImageSlice(desk.app.Image, 0x200, kImageSize - 0x200),
                     ImageSlice(desk.sim.Memory(), 0x200, kImageSize - 0x200));
            QCOMPARE(desk.window->windowTitle(), kTitle);
        } else if (mode == kTransferProgram) {
            QCOMPARE(ImageBytes(desk.sim.Memory()),
                     ImageBytes(StoredByRadio(desk.app.Image, radioBefore)));
        } else {
            QCOMPARE(int(desk.sim.Memory()[kPermissionCount]), 0);
        }
    }

    // Block 100 goes unanswered: nothing changes and the dialog stays for another try, which
    // begins with the model check on a fresh port.
    void failedRead_staysOpenForAnotherTry() {
        Desk desk;
        desk.sim.AddFault(*ParseFault("silence@104"));
        const AppState before = desk.app;
        Run(desk, kTransferRead, [&](QDialog& dialog) {
            QTest::mouseClick(Button(dialog, "cmdOK"), Qt::LeftButton);
            QCOMPARE(Said(desk.prompter), QString("Read from Radio: Communication Error!!"));
            QVERIFY(dialog.isVisible());
            QVERIFY(Ready(desk, dialog));
            QCOMPARE(dialog.findChild<QProgressBar*>()->value(), 0);
            QVERIFY(desk.app.Image == before.Image);
            QVERIFY(desk.app.Data == before.Data);
            desk.sim = RadioSim(desk.sim.Memory());
            QTest::mouseClick(Button(dialog, "cmdOK"), Qt::LeftButton);
            QCOMPARE(QString::fromStdString(desk.sim.Log().front()), QString("read-byte 0000"));
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
        });
        QCOMPARE(desk.devices.size(), 2);
        QCOMPARE(desk.prompter.messages.back().text, std::string("Complete!!"));
    }

    // Cancel (or Escape) while a transfer runs stops it and leaves the dialog ready, changing
    // nothing the window shows; idle, Cancel, Escape and the close box close it.
    void cancel_stopsTheTransfer_thenCloses_data() {
        AddRows(
            {"mode", "when", "during", "closing"},  // when: a command count, or "poll n"
            {{"Cancel during the model check", "read", "2", "Cancel", "Cancel"},
             {"Cancel during the read", "read", "40", "Cancel", "close box"},
             {"Cancel in the poll a block reply completes", "read", "poll 300", "Cancel", "Cancel"},
             {"Escape during the read", "read", "60", "Escape", "Escape"},
             {"Cancel during the program", "program", "30", "Cancel", "Cancel"},
             {"ready", "program", "", "", "Escape"}});
    }
    void cancel_stopsTheTransfer_thenCloses() {
        QFETCH(QString, mode);
        QFETCH(QString, when);
        QFETCH(QString, during);
        QFETCH(QString, closing);
        Desk desk;
        desk.app.Shared.CurrentFileName = "/x/mine.dat";
        desk.window->UpdateTitle();
        const AppState before = desk.app;
        QDialog* shown = nullptr;
        const auto press = [&shown](const QString& how) {
            if (how == "Escape") {
                QTest::keyClick(shown, Qt::Key_Escape);
            } else if (how == "Cancel") {
                QTest::mouseClick(Button(*shown, "cmdCancel"), Qt::LeftButton);
            } else {
                QCloseEvent close;
                QApplication::sendEvent(shown, &close);
            }
        };
        bool pressed = false;
        desk.events.onPoll = [&](int poll) {
            const bool now = when.startsWith("poll") ? poll == when.mid(5).toInt()
                                                     : desk.sim.CommandCount() == when.toInt();
            if (!pressed && now) {
                pressed = true;
                press(during);
            }
        };
        Run(desk, mode == "read" ? kTransferRead : kTransferProgram, [&](QDialog& dialog) {
            shown = &dialog;
            if (!when.isEmpty()) {
                QTest::mouseClick(Button(dialog, "cmdOK"), Qt::LeftButton);
                QVERIFY(pressed);
                QVERIFY(desk.prompter.messages.empty());
                QVERIFY(dialog.isVisible());
                QVERIFY(Ready(desk, dialog));
            }
            press(closing);
            QVERIFY(!dialog.isVisible());
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
        });
        if (!when.startsWith("poll"))
            QCOMPARE(desk.sim.CommandCount(), when.toInt());
        QCOMPARE(desk.devices.size(), int(!when.isEmpty()));
        QVERIFY(desk.app.Image == before.Image);
        QVERIFY(desk.app.Data == before.Data);
        QCOMPARE(desk.window->windowTitle(), kTitle + " - mine.dat");
    }
};

QTEST_MAIN(TestRadioDialog)
#include "tst_radio_dialog.moc"
