// The radio dialog as the window runs it against the simulated radio: how it looks for each
// transfer, what OK does, Cancel while a transfer runs, closing it, and a failed read.
#include <algorithm>

#include "tests/ui/window_desk.h"

using namespace chanwright;
using namespace chanwright::test;

namespace {

constexpr int kPermissionCount = 341;

QPushButton* Button(QDialog& dialog, const char* name) {
    return dialog.findChild<QPushButton*>(name);
}

// OK, the pointer and the flags are back for the next press.
bool Ready(Desk& desk, QDialog& dialog) {
    return Button(dialog, "cmdOK")->isEnabled() && !QApplication::overrideCursor() &&
           !desk.app.Shared.Busy;
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

    // OK runs the transfer, busy (OK and the backup box disabled, a press on OK starting nothing,
    // the wait pointer), and closes the dialog. Cancel (or Escape) while a transfer runs stops it
    // and leaves the dialog ready, changing nothing the window shows; idle, Cancel, Escape and
    // the close box close it. A failed read changes nothing and the dialog stays for another try,
    // which begins with the model check on a fresh port.
    void transfers() {
        const char* rows[][4] = {
            // when: a command count, or "poll n"
            {"read", "end", "", "OK"},
            {"program", "end", "", "OK"},
            {"clear", "end", "", "OK"},
            {"read", "2", "Cancel", "Cancel"},
            {"read", "40", "Cancel", "close box"},
            {"read", "poll 300", "Cancel", "Cancel"},  // in the poll a block reply completes
            {"read", "60", "Escape", "Escape"},
            {"program", "30", "Cancel", "Cancel"},
            {"program", "", "", "Escape"},
            {"read", "silence@104", "", "OK"}};  // block 100 unanswered, then another try
        void (MainWindow::*const commands[])() = {&MainWindow::TransferRead,
                                                  &MainWindow::TransferProgram,
                                                  &MainWindow::ClearFromSettings};
        QString shown;
        for (const auto& [modeText, whenText, during, closing] : rows) {
            const QString when = whenText;
            const int mode = QString("read program clear").split(' ').indexOf(modeText);
            Desk desk;
            desk.app.Image[kPermissionCount] = 9;
            desk.app.Shared.CurrentFileName = "/x/mine.dat";
            desk.window->UpdateTitle();
            const AppState before = desk.app;
            const MemoryImage radioBefore = desk.sim.Memory();
            if (when.startsWith("silence"))
                desk.sim.AddFault(*ParseFault(whenText));
            QDialog* dialog = nullptr;
            const auto press = [&dialog](const QString& how) {
                if (how == "Escape") {
                    QTest::keyClick(dialog, Qt::Key_Escape);
                } else if (how == "close box") {
                    QCloseEvent close;
                    QApplication::sendEvent(dialog, &close);
                } else {
                    QTest::mouseClick(Button(*dialog, "cmd" + how.toLatin1()), Qt::LeftButton);
                }
            };
            bool pressed = false;
            int busyPolls = 0;
            std::vector<int> progress;
            desk.events.onPoll = [&](int poll) {
                QPushButton* ok = Button(*dialog, "cmdOK");
                busyPolls += !ok->isEnabled() && QApplication::overrideCursor() &&
                             QApplication::overrideCursor()->shape() == Qt::WaitCursor;
                QTest::mouseClick(ok, Qt::LeftButton);
                if (!pressed &&
                    (when.startsWith("poll")
                         ? poll == when.mid(5).toInt()
                         : when.toInt() > 0 && desk.sim.CommandCount() == when.toInt())) {
                    pressed = true;
                    press(during);
                }
            };
            desk.onDialog = [&](QDialog& shown_) {
                dialog = &shown_;
                auto* bar = dialog->findChild<QProgressBar*>("pictProgress");
                QObject::connect(bar, &QProgressBar::valueChanged,
                                 [&progress](int value) { progress.push_back(value); });
                if (!when.isEmpty()) {
                    QTest::mouseClick(Button(*dialog, "cmdOK"), Qt::LeftButton);
                    shown += QString("== %1 %2: pressed %3, ready %4, bar %5, %6, said [%7]%8\n")
                                 .arg(modeText, when)
                                 .arg(pressed)
                                 .arg(Ready(desk, *dialog))
                                 .arg(bar->value())
                                 .arg(dialog->isVisible() ? "shown" : "closed",
                                      Said(desk.prompter.messages),
                                      desk.app.Image == before.Image && desk.app.Data == before.Data
                                          ? ""
                                          : ", changed");
                }
                if (when.startsWith("silence"))
                    desk.sim = RadioSim(desk.sim.Memory());
                if (dialog->isVisible())
                    press(closing);
                shown += QString("%1 %2: result %3, %4\n")
                             .arg(modeText, closing)
                             .arg(dialog->result())
                             .arg(dialog->isVisible() ? "shown" : "closed");
            };
            // The transfer run as its command runs it.
            (desk.window.get()->*commands[mode])();
            if (!desk.sim.Log().empty())
                shown += QString::fromStdString("first " + desk.sim.Log().front() + ", ");
            shown +=
                QString("%1 commands on %2 ports, all busy %3, most %4, said [%5], title %6")
                    .arg(desk.sim.CommandCount())
                    .arg(desk.devices.join(' '))
                    .arg(busyPolls == desk.events.calls && busyPolls > (mode != 1))
                    .arg(progress.empty() ? 0 : *std::max_element(progress.begin(), progress.end()))
                    .arg(Said(desk.prompter.messages), desk.window->windowTitle()) +
                (desk.app.Image == before.Image ? "" : ", image changed") +
                (desk.app.Data == before.Data ? "" : ", data changed") +
                (ImageSlice(desk.app.Image, 0x200, kImageSize - 0x200) ==
                         ImageSlice(desk.sim.Memory(), 0x200, kImageSize - 0x200)
                     ? ", image is the radio's"
                     : "") +
                (ImageBytes(desk.sim.Memory()) ==
                         ImageBytes(StoredByRadio(desk.app.Image, radioBefore))
                     ? ", radio holds the image"
                     : "") +
                QString(", permissions %1\n").arg(desk.sim.Memory()[kPermissionCount]);
        }
        COMPARE_GOLDEN(shown.toUtf8(), "ui/radio_transfers.txt");
    }
};

QTEST_MAIN(TestRadioDialog)
#include "tst_radio_dialog.moc"
