#pragma once

#include <QDialog>
#include <functional>
#include <memory>

#include "core/app_state.h"
#include "core/platform.h"
#include "link/clone_operations.h"
#include "link/radio_link.h"
#include "link/serial_port.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace chanwright {

// What the radio dialog needs from its surroundings; the window hands in the real ones, the
// tests fakes.
struct RadioDialogServices {
    Prompter& prompter;
    Clock& clock;
    EventPump& events;
    const FailureLog& log;
    // A port for the selected COM item, made when OK is pressed.
    std::function<std::unique_ptr<SerialPort>()> makePort;
    LinkTimings timings{};
    // Opens the help at a context number; empty when there is no help.
    std::function<void(int)> showHelp;
    // Where completed reads leave their copy of the radio; null keeps none.
    BackupKeeper* backups = nullptr;
    // A restore: the image goes to the radio as it was loaded.
    bool imageAsLoaded = false;
    // The file for a trace of this transfer's serial traffic, made when OK is pressed; no
    // function, or an empty name, traces nothing.
    std::function<QString()> traceFile;
    // The COM item and the device it stands for ("COM1 = /dev/ttyUSB0"); empty shows none.
    QString port{};
};

// `frmRadio`: the modal dialog that runs Read from Radio, Program to Radio or Clear, as
// TransferMode says. 398 x 233 pixels, the data source pictured on the left.
class RadioDialog : public QDialog, public TransferView {
    Q_OBJECT
  public:
    RadioDialog(AppState& app, RadioDialogServices services, QWidget* parent = nullptr);
    ~RadioDialog() override;

    // TransferView
    void ShowProgress(int percent) override;
    void SetRunning(bool running) override;
    void ShowStage(const std::string& stage) override;

    // The radio's image after a completed verify.
    const MemoryImage& RadioImage() const { return radioImage_; }
    // Whether a run of the transfer completed while the dialog was up.
    bool Completed() const { return completed_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

  private:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void ApplyTransferMode();
    void OkClicked();
    void CancelClicked();
    void HelpClicked();
    bool RunOperations(SerialPort& port, const QString& tracePath);

    AppState& app_;
    RadioDialogServices services_;
    QLabel* radioPicture_;
    QLabel* pcPicture_;
    QProgressBar* progress_;
    QPushButton* ok_;
    QPushButton* cancel_;
    QPushButton* help_;
    QLabel* arrow_;
    QLabel* port_;
    MemoryImage radioImage_{};
    bool completed_ = false;
    CloneOperations* running_ = nullptr;
    bool cursorShown_ = false;  // the busy pointer is ours to restore
};

}  // namespace chanwright
