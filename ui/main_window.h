#pragma once

#include <QDateTime>
#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "core/app_state.h"
#include "core/platform.h"
#include "link/clone_operations.h"
#include "link/port_list.h"
#include "link/radio_link.h"
#include "link/serial_port.h"
#include "report/data_tables.h"
#include "storage/error_log.h"
#include "storage/file_operations.h"
#include "storage/recovery_file.h"
#include "storage/settings_store.h"
#include "ui/digit_entry.h"
#include "ui/edit_history.h"
#include "ui/help_viewer.h"
#include "ui/image_commands.h"

class QAction;
class QPagedPaintDevice;
class QDialog;
class QLabel;
class QSplitter;
class QStackedWidget;
class QTimer;
class QTreeWidgetItem;

namespace chanwright {

class ChannelCommonPage;
class ChannelDetailPage;
class ChannelListPage;
class DirectoryEntryPage;
class DirectoryListPage;
class NavigationTree;
class RecentFilesMenu;
class SettingsPage;
class WxPage;

// Everything the window takes from outside: the real program hands in message boxes, the
// system clock and serial ports; the tests hand in recorders, a fake clock and the simulator.
struct WindowServices {
    Prompter& prompter;
    Clock& clock;
    EventPump& events;
    BusyView& busyView;
    SettingsStore& settings;
    const ErrorLog& log;
    // Where the defaults files live.
    QString dataFolder;
    // The help file; empty when there is none.
    QString helpFile;
    // A port on a device (what COM1 … COM4 map to).
    std::function<std::unique_ptr<SerialPort>(const QString& device)> makePort{};
    // Runs a modal dialog; the program uses exec(), tests drive the dialog themselves.
    std::function<void(QDialog&)> runModal{};
    // The print dialog: the device to print on, or nothing when the user cancelled.
    std::function<std::unique_ptr<QPagedPaintDevice>()> choosePrinter{};
    // Whether the system offers a printer at all.
    std::function<bool()> printerInstalled{};
    LinkTimings timings{};
    // Where completed reads leave the radio's image, and where serial traces go.
    QString backupFolder{};
    QString traceFolder{};
    // Where unsaved changes are kept against a crash; none without a folder.
    QString recoveryFolder{};
    // The local time that backup and trace names carry.
    std::function<QDateTime()> now{};
    // The serial ports found now, which the Device dialog lists.
    std::function<std::vector<PortInfo>()> listPorts{};
};

// `frmMain`: the navigation tree on the left, one active page on the right, the menus, the
// toolbar and the status bar.
class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    MainWindow(AppState& app, WindowServices services, QWidget* parent = nullptr);
    ~MainWindow() override;

    // CheckPendingEntry: validates the focused MMSI or ATIS box before a command; false stops
    // the command.
    bool CheckPendingEntry();

    // Navigation.
    void ShowNodePage(QTreeWidgetItem* node);
    void RefreshCurrentPage();
    bool SelectNodeByKey(const QString& key);
    int CurrentNodeIndex() const { return currentNodeIndex_; }
    NavigationTree* Tree() const { return tree_; }
    QString StatusText() const;
    void SetStatusText(const QString& text);
    void UpdateTitle();
    // Tree width in twips, as the layout rules measure it.
    void SizeControls(int twips);

    // Commands, as the menus and the toolbar run them.
    void FileNew();
    void FileOpen();
    void FileSave();
    void FileSaveAs();
    void FileSaveAsDefault();
    void FilePrint();
    void FilePrintPreview();
    void FilePrintToFile();
    void EditModel(Model modelNum);
    void TransferRead();
    void TransferProgram();
    // Loads a backup's image and programs it into the radio as it is.
    void TransferRestore();
    // Reads the radio and lists where it differs from the data being edited.
    void TransferVerify();
    void LogSerialTrafficChosen(bool on);
    void ClearFromSettings();
    void SerialPortChosen(int index);
    void HelpContents();
    void ShowHelp(int context);
    // The deferred reset that File New arms (`Timer1`, 100 ms).
    void RunDeferredReset();
    // Edit ▸ Undo and Edit ▸ Redo.
    void EditUndo();
    void EditRedo();
    EditHistory& History() { return *history_; }
    // File ▸ Recover Unsaved Changes…: the newest changes another window left, as one step.
    void RecoverUnsaved();
    // File ▸ Import, Export and Merge from Data File….
    void ImportCsv(report::TableKind kind);
    void ExportCsv(report::TableKind kind);
    void MergeFromFile();
    // Keeps the unsaved changes in the recovery file now, or removes it when nothing is unsaved
    // (what the recovery timer runs a moment after each change).
    void KeepUnsavedChanges();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void BuildMenus();
    void BuildToolBar();
    void BuildPages();
    void Load();
    void OnNodeClicked(QTreeWidgetItem* node);
    // The user chose a node in the tree; a refused entry keeps its page (KeepPageNode).
    void OnNodeChosen(QTreeWidgetItem* node);
    bool MayGoOn();
    void KeepPageNode();
    // Makes the node the current one and shows its page; false for no node.
    bool SelectNode(QTreeWidgetItem* node);
    void PrintToPdf();
    void JumpFromList(int row, bool directory);
    void ActivatePage(QWidget* page);
    void RebuildView();
    void CheckModelMenu();
    // The model in use from now on: the menu's tick and the settings follow.
    void UseModel(Model modelNum);
    // What a repaint of the window puts in the status bar.
    void ShowModelName();
    void SaveFile(bool useCurrent);
    // File ▸ Open with the file to open: asked for when `recent` is empty, else a recent file.
    void OpenDataFile(const QString& recent);
    // A data file that names the other model: the user switches to that model first, opens it
    // as the model in use, or leaves it (false).
    bool TakeFileModel(const QString& path, const std::string& bytes);
    // A new data set of the model in use, the view rebuilt for it (File ▸ New's reset).
    void ResetDataSet();
    // A data file opened or saved: first in the recent files, its folder where dialogs start.
    void NoteDataFile(const QString& path);
    // Runs the radio dialog in the mode; true when the transfer completed. A verify's radio image
    // comes back in radioImage.
    bool RunRadioDialog(Transfer mode, bool imageAsLoaded = false,
                        MemoryImage* radioImage = nullptr);
    QString NewTraceFile();
    void ShowBackupNote();
    void BuildTableMenus(QMenu* file);
    // Shows what an import or a merge changes and, once the user agrees, makes it one step.
    void TakeChanges(const QString& step, const QString& fileName, const AppState& changed,
                     const std::vector<std::string>& warnings);
    // Undo and redo.
    void BuildHistory(QMenu* edit);
    EditState CaptureState() const;
    void RestoreState(const EditState& state, bool whole);
    bool HistoryMayRun();
    // Recovery: what the start finds, and what follows each change, open, save and read.
    void BuildRecovery();
    bool Unsaved() const { return app_.Data != cleanData_; }
    // The data set as opened, saved, read or made new: nothing is unsaved.
    void NoteClean();
    void ScheduleRecovery();
    QAction* AddAction(QMenu* menu, const char* name, const QString& caption,
                       void (MainWindow::*handler)());

    AppState& app_;
    WindowServices services_;
    Platform platform_;
    FileOperations files_;
    ImageCommands images_;
    HelpViewer help_;
    EntryPending entryPending_;
    int currentNodeIndex_ = 0;

    NavigationTree* tree_ = nullptr;
    QSplitter* splitter_ = nullptr;
    QStackedWidget* pageStack_ = nullptr;
    ChannelCommonPage* channelCommonPage_ = nullptr;
    ChannelListPage* channelListPage_ = nullptr;
    ChannelDetailPage* channelDetailPage_ = nullptr;
    WxPage* wxPage_ = nullptr;
    DirectoryListPage* directoryListPage_ = nullptr;
    SettingsPage* settingsPage_ = nullptr;
    DirectoryEntryPage* directoryEntryPage_ = nullptr;
    QLabel* statusPanel_ = nullptr;
    QTimer* resetTimer_ = nullptr;
    QAction* model1_ = nullptr;
    QAction* model2_ = nullptr;
    std::array<QAction*, 4> ports_{};
    QAction* logTraffic_ = nullptr;
    std::unique_ptr<BackupKeeper> backups_;
    QString backupNote_;
    std::unique_ptr<RecentFilesMenu> recent_;
    // Goes before the window's widgets, whose focus changes it would otherwise watch.
    std::unique_ptr<EditHistory> history_;
    QAction* undo_ = nullptr;
    QAction* redo_ = nullptr;
    // The state before a model change, whose new data set the deferred reset makes.
    std::optional<EditState> modelChangeStart_;
    std::unique_ptr<RecoveryFiles> recovery_;
    QAction* recover_ = nullptr;
    QTimer* recoveryTimer_ = nullptr;
    RadioData cleanData_;
    // What the status bar says at start in place of the model's name, until the user goes on.
    QString startNote_;
};

// The keeper of every completed read's image in services.backupFolder, which leaves what became of
// the copy in note; none without a folder.
std::unique_ptr<BackupKeeper> MakeWindowBackups(QString& note, const WindowServices& services);

}  // namespace chanwright
