// The commands of the main window's menus and toolbar: files, model, port and help. The Transfer
// menu's are in main_window_transfer.cpp.
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QTimer>

#include "core/busy_guard.h"
#include "core/messages.h"
#include "image/new_data_set.h"
#include "report/print_report.h"
#include "storage/app_paths.h"
#include "storage/file_system.h"
#include "storage/model_names.h"
#include "ui/dialogs/text_report_window.h"
#include "ui/help_contexts.h"
#include "ui/main_window.h"
#include "ui/navigation_tree.h"
#include "ui/pages/directory_entry_page.h"
#include "ui/pages/settings_page.h"
#include "ui/path_string.h"
#include "ui/print_target.h"
#include "ui/recent_files.h"
#include "ui/window_title.h"

namespace chanwright {

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kDeferredReset = 100;  // ms after File New
constexpr int kResetPause = 500;     // ms, so the user sees the reset happen
constexpr const char* kNoPrinter =
    "No printer is installed.\nSave the printed pages as a PDF file instead?";
constexpr const char* kPdfFilter = "PDF files(*.pdf)|*.pdf";
constexpr const char* kRecentFileGone =
    "The file %1 no longer exists; it was removed from the list.";

}  // namespace

bool MainWindow::CheckPendingEntry() {
    // Only the current page can hold a pending entry, whether or not its box still has the focus
    // (a menu or a dialog may have it); the page knows its own boxes.
    if (directoryEntryPage_->isEnabled())
        return directoryEntryPage_->ValidatePendingEntry();
    if (settingsPage_->isEnabled())
        return settingsPage_->ValidatePendingEntry();
    return true;
}

void MainWindow::UpdateTitle() {
    setWindowTitle(WindowTitleText(app_.Shared));
}

void MainWindow::FileNew() {
    if (!CheckPendingEntry())
        return;
    resetTimer_->start(kDeferredReset);
}

void MainWindow::RunDeferredReset() {
    resetTimer_->stop();
    const BusyGuard busy(services_.busyView);
    // A model change is one step with the new data set it asked for.
    QString step = QStringLiteral("New");
    if (modelChangeStart_) {
        history_->BeginCommandAt(*modelChangeStart_);
        step = QStringLiteral("Change Model to ") + app_.Shared.ModelName().c_str();
        modelChangeStart_.reset();
    } else {
        history_->BeginCommand();
    }
    ResetDataSet();
    history_->EndCommand(step);
}

void MainWindow::ResetDataSet() {
    services_.clock.Pause(kResetPause);
    NewDataSet(app_, [this] { RebuildView(); });
    UpdateTitle();
    RefreshCurrentPage();
    repaint();
    // A repaint of the window puts the model's name in the status bar, over the tree's hint that
    // selecting the settings node left there.
    ShowModelName();
    NoteClean();
}

void MainWindow::FileOpen() {
    OpenDataFile({});
}

void MainWindow::OpenDataFile(const QString& recent) {
    if (!CheckPendingEntry())
        return;
    if (!recent.isEmpty() && !FileThere(recent)) {
        services_.prompter.ShowMessage(
            QString(kRecentFileGone).arg(ShownPath(QDir::toNativeSeparators(recent))).toStdString(),
            messages::kAppTitle, MessageIcon::Exclamation);
        services_.settings.WriteRecentFiles(
            WithoutRecentFile(services_.settings.ReadRecentFiles(), recent));
        services_.settings.Sync();
        recent_->Show(services_.settings.ReadRecentFiles());
        return;
    }
    const BusyGuard busy(services_.busyView);
    const QString path =
        !recent.isEmpty()
            ? recent
            : PathFromString(services_.prompter.ChooseOpenFileIn(
                  PathString(services_.settings.ReadLastFolder()), messages::kDataFileFilter));
    history_->BeginCommand();
    const std::optional<std::string> bytes =
        path.isEmpty() ? std::nullopt : files_.ReadInput(path, false);
    if (bytes && TakeFileModel(path, *bytes) && files_.LoadDataFileBytes(*bytes)) {
        app_.Shared.CurrentFileName = PathString(path);
        UpdateTitle();
        NoteDataFile(path);
        NoteClean();
    }
    // Whatever was read (even part of a file) shows at once.
    RefreshCurrentPage();
    tree_->RefreshNodeTexts();
    history_->EndCommand("Open " + ShownPath(QFileInfo(path).fileName()));
}

bool MainWindow::TakeFileModel(const QString& path, const std::string& bytes) {
    const std::optional<Model> named = ModelNamedIn(bytes);
    if (!named || *named == app_.Shared.ModelNum)
        return true;
    const std::string model = GetModelName(*named);
    const std::string text = ShownPath(QFileInfo(path).fileName()).toStdString() + " is for the " +
                             model + ". Switch to the " + model + " and open it?";
    enum Answer { kSwitch, kOpenAsIs, kCancel };
    const int answer = services_.prompter.Choose(
        text, messages::kAppTitle, {"Switch", "Open as " + app_.Shared.ModelName(), "Cancel"},
        MessageIcon::Question);
    if (answer == kSwitch) {
        UseModel(*named);
        ResetDataSet();
    }
    return answer == kSwitch || answer == kOpenAsIs;
}

void MainWindow::SaveFile(bool useCurrent) {
    if (!CheckPendingEntry())
        return;
    QString path;
    if (useCurrent && !app_.Shared.CurrentFileName.empty())
        path = PathFromString(app_.Shared.CurrentFileName);
    else
        path = PathFromString(services_.prompter.ChooseSaveFileIn(
            PathString(services_.settings.ReadLastFolder()), messages::kDataFileFilter));
    if (path.isEmpty()) {
        app_.Shared.AbortRequested = true;
        return;
    }
    // In developer mode, where images are opened and saved, the name says what the file holds, as
    // for the command-line tool: an image opened with Ctrl+F2 is saved as an image again. Anyone
    // else gets a data file, which File ▸ Open reads back. File ▸ 1 … 6 list data files only.
    if (app_.Shared.DebugMode && IsImageFile(path)) {
        if (images_.SaveImageTo(path)) {
            app_.Shared.CurrentFileName = PathString(path);
            UpdateTitle();
        }
        return;
    }
    if (files_.SaveFileAs(path)) {
        app_.Shared.CurrentFileName = PathString(path);
        UpdateTitle();
        NoteDataFile(path);
        NoteClean();
    }
}

void MainWindow::NoteDataFile(const QString& path) {
    const QStringList recent = WithRecentFile(services_.settings.ReadRecentFiles(), path);
    services_.settings.WriteRecentFiles(recent);
    services_.settings.WriteLastFolder(QFileInfo(recent.constFirst()).path());
    services_.settings.Sync();
    recent_->Show(recent);
}

void MainWindow::FileSave() {
    SaveFile(true);
}

void MainWindow::FileSaveAs() {
    SaveFile(false);
}

void MainWindow::FileSaveAsDefault() {
    if (!CheckPendingEntry())
        return;
    files_.SaveFileAsDefault(
        DefaultsFilePath(services_.dataFolder, QString::fromStdString(app_.Shared.ModelName())));
}

void MainWindow::FilePrint() {
    if (!CheckPendingEntry())
        return;
    if (!services_.printerInstalled()) {
        PrintToPdf();
        return;
    }
    const std::unique_ptr<QPagedPaintDevice> printer = services_.choosePrinter();
    if (!printer)
        return;
    const QString file = TakeOutputFile(*printer);
    if (!file.isEmpty()) {
        SaveReportPdf(app_, file, printer->pageLayout(), platform_, services_.log);
        return;
    }
    const BusyGuard busy(services_.busyView);
    report::PrintReport(app_, *printer);
}

// Without a printer the print dialog offers nothing to print on: the pages can go to a PDF file.
void MainWindow::PrintToPdf() {
    if (services_.prompter.Ask(kNoPrinter, messages::kAppTitle, MessageButtons::YesNo,
                               MessageIcon::Question) != MessageAnswer::Yes) {
        return;
    }
    const QString path =
        PathFromString(services_.prompter.ChooseSaveFileWithSuffix(kPdfFilter, "pdf"));
    if (!path.isEmpty())
        SaveReportPdf(app_, path, QPageLayout(), platform_, services_.log);
}

void MainWindow::FilePrintPreview() {
    if (!CheckPendingEntry())
        return;
    PreviewReport(app_, this, services_.runModal, platform_, services_.log);
}

void MainWindow::FilePrintToFile() {
    // The report is the data as typed, as Print's is: a number not yet confirmed is checked first.
    if (!CheckPendingEntry())
        return;
    TextReportWindow window(app_, platform_, this);
    services_.runModal(window);
}

void MainWindow::EditModel(Model modelNum) {
    // A menu click toggles the item's check mark; the mark always shows the model in use.
    CheckModelMenu();
    if (app_.Shared.ModelNum == modelNum)
        return;
    // The pending entry is checked before anything changes: a refused check keeps the model, the
    // menu and the data set together, so no image of one model is programmed into the other.
    if (!CheckPendingEntry())
        return;
    const std::string text = "Do yo make new QVX Data for " + GetModelName(modelNum) + "?";
    const std::string title =
        GetModelName(Model::TQ5300) + "/" + GetModelName(Model::HV2071P) + " QVX";
    if (services_.prompter.Ask(text, title, MessageButtons::OkCancel, MessageIcon::Exclamation) !=
        MessageAnswer::Ok) {
        return;
    }
    history_->NoteEdits();
    modelChangeStart_ = CaptureState();
    UseModel(modelNum);
    FileNew();
}

void MainWindow::UseModel(Model modelNum) {
    app_.Shared.ModelNum = modelNum;
    CheckModelMenu();
    services_.settings.WriteModelNum(modelNum);
    services_.settings.Sync();
}

void MainWindow::SerialPortChosen(int index) {
    if (index < 0 || index >= static_cast<int>(ports_.size()))
        index = 0;
    app_.Shared.ComNum = static_cast<int16_t>(index + 1);
    for (int i = 0; i < static_cast<int>(ports_.size()); ++i)
        ports_[static_cast<std::size_t>(i)]->setChecked(i == index);
    services_.settings.WriteComNum(app_.Shared.ComNum);
    services_.settings.Sync();
}

void MainWindow::HelpContents() {
    ShowHelp(kHelpContents);
}

void MainWindow::ShowHelp(int context) {
    if (!help_.Available()) {
        services_.prompter.ShowMessage(messages::kNoHelp, windowTitle().toStdString(),
                                       MessageIcon::Information);
        return;
    }
    help_.ShowTopic(context);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        if (*it != this && (*it)->isVisible())
            (*it)->close();
    }
    // Unsaved changes stay in the recovery file for the next start; nothing unsaved, no file.
    history_->NoteEdits();
    KeepUnsavedChanges();
    if (!isMinimized()) {
        const QRect frame = frameGeometry();
        services_.settings.WriteWindowPosition(
            frame.left() * kTwipsPerPixel, frame.top() * kTwipsPerPixel,
            frame.width() * kTwipsPerPixel, frame.height() * kTwipsPerPixel);
        services_.settings.Sync();
    }
    event->accept();
}

}  // namespace chanwright
