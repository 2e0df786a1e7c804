// The Transfer menu: read, program and clear through the radio dialog, and the safety net around
// them: backups of every read, restoring one, verifying the radio against the data being edited,
// and the serial trace.
#include <QAction>
#include <QDir>

#include "core/messages.h"
#include "report/name_changes.h"
#include "report/radio_check.h"
#include "storage/backup_files.h"
#include "storage/file_io.h"
#include "storage/file_system.h"
#include "ui/dialogs/radio_dialog.h"
#include "ui/dialogs/restore_dialog.h"
#include "ui/dialogs/verify_dialog.h"
#include "ui/main_window.h"
#include "ui/navigation_tree.h"

namespace chanwright {

namespace {

// Every completed read leaves the radio's image in the backup folder; the status bar says where,
// or why not. A backup that cannot be saved never undoes the read.
class WindowBackups : public BackupKeeper {
  public:
    WindowBackups(QString& note, QString folder, std::function<QDateTime()> now)
        : note_(note), folder_(std::move(folder)), now_(std::move(now)) {}

    std::optional<std::string> Keep(const MemoryImage& image, Model modelNum,
                                    ErrorInfo& error) override {
        const std::optional<QString> path =
            SaveBackup(folder_, GetModelName(modelNum), now_(), image, error);
        // The name is only shown (the status bar, a failed write's message).
        const QString shown = path ? ShownPath(QDir::toNativeSeparators(*path)) : QString();
        note_ = path ? "Backup: " + shown
                     : "Backup not saved: " + QString::fromStdString(error.Description);
        if (!path)
            return std::nullopt;
        return shown.toStdString();
    }

  private:
    QString& note_;
    QString folder_;
    std::function<QDateTime()> now_;
};

const char* OperationName(Transfer transferMode) {
    switch (transferMode) {
        case Transfer::Read:
            return "read";
        case Transfer::Program:
            return "program";
        case Transfer::Clear:
            return "clear";
        default:
            return "verify";
    }
}

}  // namespace

std::unique_ptr<BackupKeeper> MakeWindowBackups(QString& note, const WindowServices& services) {
    if (services.backupFolder.isEmpty())
        return nullptr;
    std::function<QDateTime()> now =
        services.now ? services.now : [] { return QDateTime::currentDateTime(); };
    return std::make_unique<WindowBackups>(note, services.backupFolder, std::move(now));
}

// Said last, once the pages have been redisplayed, so it stays in view.
void MainWindow::ShowBackupNote() {
    if (!backupNote_.isEmpty())
        SetStatusText(backupNote_);
    backupNote_.clear();
}

// "MODEL-YYYYMMDD-HHMMSS-operation.txt" in the trace folder, while Log Serial Traffic is on.
QString MainWindow::NewTraceFile() {
    if (!logTraffic_->isChecked() || services_.traceFolder.isEmpty())
        return {};
    MakeFolder(services_.traceFolder);
    const QDateTime now = services_.now ? services_.now() : QDateTime::currentDateTime();
    const QString stem = QString::fromStdString(app_.Shared.ModelName()) + '-' +
                         FileTimeStamp(now) + '-' + OperationName(app_.Shared.TransferMode);
    const QDir folder(services_.traceFolder);
    QString path = folder.filePath(stem + ".txt");
    for (int attempt = 2; PathTaken(path); ++attempt)
        path = folder.filePath(stem + QStringLiteral("-%1.txt").arg(attempt));
    return path;
}

void MainWindow::LogSerialTrafficChosen(bool on) {
    services_.settings.WriteLogSerialTraffic(on);
    services_.settings.Sync();
}

bool MainWindow::RunRadioDialog(Transfer mode, bool imageAsLoaded, MemoryImage* radioImage) {
    app_.Shared.TransferMode = mode;
    const QString device = services_.settings.ReadComDevice(app_.Shared.ComNum);
    RadioDialogServices radio{services_.prompter,
                              services_.clock,
                              services_.events,
                              services_.log,
                              [this, device] { return services_.makePort(device); },
                              services_.timings,
                              {},
                              backups_.get(),
                              imageAsLoaded,
                              [this] { return NewTraceFile(); }};
    if (help_.Available())
        radio.showHelp = [this](int context) { ShowHelp(context); };
    radio.port = QStringLiteral("COM%1 = %2").arg(app_.Shared.ComNum).arg(device);
    RadioDialog dialog(app_, std::move(radio), this);
    services_.runModal(dialog);
    if (radioImage)
        *radioImage = dialog.RadioImage();
    return dialog.Completed();
}

void MainWindow::TransferRead() {
    if (!CheckPendingEntry())
        return;
    app_.Shared.TransferDone = false;
    history_->BeginCommand();
    if (RunRadioDialog(Transfer::Read)) {
        RefreshCurrentPage();
        tree_->RefreshNodeTexts();
        app_.Shared.CurrentFileName.clear();
        UpdateTitle();
        NoteClean();
    }
    history_->EndCommand(QStringLiteral("Read from Radio"));
    app_.Shared.TransferDone = false;
    ShowBackupNote();
}

void MainWindow::TransferProgram() {
    if (!CheckPendingEntry() ||
        !report::AcceptNameChanges(app_, services_.prompter, messages::kProgramToRadio))
        return;
    RunRadioDialog(Transfer::Program);
    // The image now is the radio's; the data set is as it was.
    history_->Resync();
    ShowBackupNote();
}

void MainWindow::ClearFromSettings() {
    if (!MayGoOn())
        return;
    // Only a clear that completed changes what the page shows: what the radio holds now, which
    // is no edit to take back.
    if (RunRadioDialog(Transfer::Clear))
        RefreshCurrentPage();
    history_->Resync();
}

void MainWindow::TransferRestore() {
    if (!CheckPendingEntry())
        return;
    const QString path =
        ChooseBackup(services_.backupFolder, services_.prompter, services_.runModal, this);
    if (path.isEmpty())
        return;
    // The backup goes to the radio as it is. What the user is editing (the data set, its image
    // and its file name) is put back afterwards, whether the radio was programmed or not.
    const RadioData data = app_.Data;
    const MemoryImage image = app_.Image;
    const std::string file = app_.Shared.CurrentFileName;
    history_->BeginCommand();
    const bool loaded = files_.ReadHexFileAs(path);
    if (loaded)
        RunRadioDialog(Transfer::Program, true);
    app_.Data = data;
    app_.Image = image;
    app_.Shared.CurrentFileName = file;
    RefreshCurrentPage();
    tree_->RefreshNodeTexts();
    UpdateTitle();
    history_->EndCommand(QStringLiteral("Restore Backup"));
    if (loaded)
        ShowBackupNote();
}

void MainWindow::TransferVerify() {
    if (!CheckPendingEntry())
        return;
    app_.Shared.TransferDone = false;
    MemoryImage radio{};
    const bool completed = RunRadioDialog(Transfer::Verify, false, &radio);
    ShowBackupNote();
    app_.Shared.TransferDone = false;
    if (!completed)
        return;
    // Compared as Program to Radio leaves it by default: the radio keeps its own user MMSI.
    std::optional<EncodeError> error;
    const std::optional<report::RadioComparison> comparison =
        report::CompareWithRadio(app_, radio, false, error);
    if (!comparison) {
        services_.prompter.ShowMessage(error->Message(), messages::kVerifyRadio,
                                       MessageIcon::Exclamation);
        return;
    }
    const UserMmsiCheck check = CheckUserMmsi(app_.Data, radio);
    const std::string identity =
        check.Conflicts()
            ? "The radio keeps its own user MMSI " + ShownMmsi(check.radio) + "; the data holds " +
                  (check.data.empty() ? "none" : ShownMmsi(check.data)) + "."
            : "";
    if (comparison->matches) {
        services_.prompter.ShowMessage(
            identity.empty() ? messages::kRadioMatches
                             : messages::WithReason(messages::kRadioMatches, identity),
            messages::kVerifyRadio, MessageIcon::Information);
        return;
    }
    std::vector<std::string> lines = comparison->fields;
    lines.push_back(report::DifferingBytesLine(*comparison));
    if (!identity.empty())
        lines.push_back(identity);
    VerifyDialog dialog(lines, this);
    services_.runModal(dialog);
}

}  // namespace chanwright
