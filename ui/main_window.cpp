#include "ui/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QShortcut>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

#include "core/busy_guard.h"
#include "core/messages.h"
#include "image/channel_plans.h"
#include "image/image_codec.h"
#include "image/new_data_set.h"
#include "report/name_changes.h"
#include "storage/file_io.h"
#include "ui/dialogs/device_dialog.h"
#include "ui/help_contexts.h"
#include "ui/navigation_tree.h"
#include "ui/pages/channel_common_page.h"
#include "ui/pages/channel_detail_page.h"
#include "ui/pages/channel_list_page.h"
#include "ui/pages/directory_entry_page.h"
#include "ui/pages/directory_list_page.h"
#include "ui/pages/settings_page.h"
#include "ui/pages/wx_page.h"
#include "ui/print_target.h"
#include "ui/recent_files.h"

namespace chanwright {

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kStartWidth = 607;  // pixels; also the smallest the window gets
constexpr int kStartHeight = 444;
constexpr int kTreeStart = 2500;  // twips
constexpr int kTreeMinimum = 2500;
constexpr int kDataMinimum = 6000;  // twips the tree must leave to the rest of the window

QIcon ToolIcon(const char* themeName, QStyle::StandardPixmap fallback) {
    return QIcon::fromTheme(QLatin1String(themeName),
                            QApplication::style()->standardIcon(fallback));
}

}  // namespace

MainWindow::MainWindow(AppState& app, WindowServices services, QWidget* parent)
    : QMainWindow(parent),
      app_(app),
      services_(std::move(services)),
      platform_{services_.prompter, services_.clock, services_.events, services_.busyView},
      files_(app_, platform_, services_.log),
      images_(
          app_, platform_, files_, [this] { return CheckPendingEntry(); },
          [this] {
              return report::AcceptNameChanges(app_, services_.prompter, messages::kAppTitle);
          },
          [this] {
              RefreshCurrentPage();
              tree_->RefreshNodeTexts();
              UpdateTitle();
          }),
      help_(services_.helpFile, this) {
    setObjectName(QStringLiteral("frmMain"));
    backups_ = MakeWindowBackups(backupNote_, services_);
    if (!services_.runModal)
        services_.runModal = [](QDialog& dialog) { dialog.exec(); };
    if (!services_.choosePrinter)
        services_.choosePrinter = [this] { return ChoosePrinter(this); };
    if (!services_.printerInstalled)
        services_.printerInstalled = PrinterInstalled;
    BuildPages();
    BuildMenus();
    BuildToolBar();
    resetTimer_ = new QTimer(this);
    resetTimer_->setObjectName(QStringLiteral("Timer1"));
    resetTimer_->setSingleShot(true);
    connect(resetTimer_, &QTimer::timeout, this, &MainWindow::RunDeferredReset);
    BuildRecovery();
    Load();
}

MainWindow::~MainWindow() = default;

QAction* MainWindow::AddAction(QMenu* menu, const char* name, const QString& caption,
                               void (MainWindow::*handler)()) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    connect(action, &QAction::triggered, this, handler);
    return action;
}

void MainWindow::BuildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    // The standard keys sit on the menu's own items, so a key runs the same guarded command and
    // the item shows its key.
    AddAction(file, "mnuFileNew", "&New", &MainWindow::FileNew)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    AddAction(file, "mnuFileOpen", "&Open", &MainWindow::FileOpen)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    recover_ = AddAction(file, "mnuFileRecover", "Re&cover Unsaved Changes\u2026",
                         &MainWindow::RecoverUnsaved);
    recover_->setEnabled(false);
    file->addSeparator()->setObjectName(QStringLiteral("mnuFileBar1"));
    AddAction(file, "mnuFileSave", "&Save", &MainWindow::FileSave)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    AddAction(file, "mnuFileSaveAs", "Save &As...", &MainWindow::FileSaveAs);
    // The defaults file is written from the toolbar only; the menu item stays hidden.
    AddAction(file, "mnuFileSaveAsDefault", "Save As &Default", &MainWindow::FileSaveAsDefault)
        ->setVisible(false);
    file->addSeparator()->setObjectName(QStringLiteral("mnuFileBarTables"));
    BuildTableMenus(file);
    file->addSeparator()->setObjectName(QStringLiteral("mnuFileBar2"));
    AddAction(file, "mnuFilePrint", "&Print", &MainWindow::FilePrint)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    AddAction(file, "mnuFilePrintPreview", "Print Pre&view", &MainWindow::FilePrintPreview);
    AddAction(file, "mnuFilePrintToFile", "P&rint to File", &MainWindow::FilePrintToFile);
    file->addSeparator()->setObjectName(QStringLiteral("mnuFileBar3"));
    QAction* exit = file->addAction(QStringLiteral("E&xit"));
    exit->setObjectName(QStringLiteral("mnuFileExit"));
    exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(exit, &QAction::triggered, this, &QWidget::close);
    recent_ = std::make_unique<RecentFilesMenu>(
        file, exit, [this](const QString& path) { OpenDataFile(path); });
    recent_->Show(services_.settings.ReadRecentFiles());

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("mnuEdit"));
    BuildHistory(edit);
    QMenu* model = edit->addMenu(QStringLiteral("&Model"));
    model->setObjectName(QStringLiteral("mnuEditModel"));
    const QString first = GetModelName(Model::TQ5300).c_str();
    const QString second = GetModelName(Model::HV2071P).c_str();
    model1_ = model->addAction(QLatin1Char('&') + first);
    model1_->setObjectName(QStringLiteral("mnuEditModel1"));
    model2_ = model->addAction(second.left(1) + QLatin1Char('&') + second.mid(1));
    model2_->setObjectName(QStringLiteral("mnuEditModel2"));
    for (QAction* action : {model1_, model2_})
        action->setCheckable(true);
    connect(model1_, &QAction::triggered, this, [this] { EditModel(Model::TQ5300); });
    connect(model2_, &QAction::triggered, this, [this] { EditModel(Model::HV2071P); });

    QMenu* transfer = menuBar()->addMenu(QStringLiteral("&Transfer"));
    transfer->setObjectName(QStringLiteral("mnuTransfer"));
    AddAction(transfer, "mnuTransferProgram", "&Program to Radio", &MainWindow::TransferProgram);
    AddAction(transfer, "mnuTransferRead", "&Read from Radio", &MainWindow::TransferRead);
    transfer->addSeparator()->setObjectName(QStringLiteral("mnuTransferBar1"));
    AddAction(transfer, "mnuTransferRestore", "Re&store Backup\u2026",
              &MainWindow::TransferRestore);
    AddAction(transfer, "mnuTransferVerify", "&Verify Radio", &MainWindow::TransferVerify);

    QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("mnuOptions"));
    QMenu* serial = options->addMenu(QStringLiteral("&SerialPort"));
    serial->setObjectName(QStringLiteral("mnuOptionsSerialPort"));
    for (int i = 0; i < static_cast<int>(ports_.size()); ++i) {
        QAction* port = serial->addAction(QStringLiteral("COM&%1").arg(i + 1));
        port->setObjectName(QStringLiteral("mnuOptionsSerialPort1"));
        port->setProperty("index", i);
        port->setCheckable(true);
        port->setStatusTip(
            ShownPath(services_.settings.ReadComDevice(static_cast<int16_t>(i + 1))));
        connect(port, &QAction::triggered, this, [this, i] { SerialPortChosen(i); });
        ports_[static_cast<std::size_t>(i)] = port;
    }
    serial->addSeparator()->setObjectName(QStringLiteral("mnuOptionsSerialPortBar1"));
    QAction* device = serial->addAction(QStringLiteral("&Device\u2026"));
    device->setObjectName(QStringLiteral("mnuOptionsSerialPortDevice"));
    connect(device, &QAction::triggered, this, [this] {
        const int16_t comNum = app_.Shared.ComNum;
        DeviceDialog dialog(comNum, services_.settings.ReadComDevice(comNum), services_.listPorts,
                            this);
        services_.runModal(dialog);
        if (dialog.result() != QDialog::Accepted)
            return;
        services_.settings.WriteComDevice(comNum, dialog.Device());
        services_.settings.Sync();
        ports_[static_cast<std::size_t>(comNum - 1)]->setStatusTip(
            ShownPath(services_.settings.ReadComDevice(comNum)));
    });
    logTraffic_ = options->addAction(QStringLiteral("&Log Serial Traffic"));
    logTraffic_->setObjectName(QStringLiteral("mnuOptionsLogTraffic"));
    logTraffic_->setCheckable(true);
    logTraffic_->setChecked(services_.settings.ReadLogSerialTraffic());
    connect(logTraffic_, &QAction::triggered, this, &MainWindow::LogSerialTrafficChosen);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    AddAction(help, "mnuHelpContents", "&Contents", &MainWindow::HelpContents);
    help->addSeparator()->setObjectName(QStringLiteral("mnuHelpBar0"));
    QAction* about = help->addAction(QStringLiteral("&About QVX Version"));
    about->setObjectName(QStringLiteral("mnuHelpAbout"));
    connect(about, &QAction::triggered, this, [this] {
        services_.prompter.ShowMessage(std::string(messages::kAppTitle) + " " +
                                           QCoreApplication::applicationVersion().toStdString() +
                                           "\n" + SettingsStore::kApplicationTitle,
                                       "About", MessageIcon::Information);
    });

    // Developer keys: Ctrl+F2 opens and Ctrl+F3 saves an image file (nothing without "/K").
    auto* openImage = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F2), this);
    connect(openImage, &QShortcut::activated, this, [this] {
        history_->BeginCommand();
        images_.OpenImageCommand();
        history_->EndCommand(QStringLiteral("Open Image"));
    });
    auto* saveImage = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F3), this);
    connect(saveImage, &QShortcut::activated, this, [this] { images_.SaveImageCommand(); });
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    f1->setContext(Qt::ApplicationShortcut);
    connect(f1, &QShortcut::activated, this,
            [this] { ShowHelp(HelpContextOf(QApplication::focusWidget())); });
}

void MainWindow::BuildToolBar() {
    QToolBar* bar = addToolBar(QStringLiteral("Toolbar"));
    bar->setObjectName(QStringLiteral("tbToolBar"));
    bar->setIconSize(QSize(16, 16));
    bar->setMovable(false);
    const auto button = [&](const char* key, const char* tip, QIcon icon,
                            void (MainWindow::*handler)()) {
        QAction* action = bar->addAction(icon, QLatin1String(tip));
        action->setObjectName(QLatin1String(key));
        action->setToolTip(QLatin1String(tip));
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    button("New", "New", ToolIcon("document-new", QStyle::SP_FileIcon), &MainWindow::FileNew);
    button("Open", "Open...", ToolIcon("document-open", QStyle::SP_DialogOpenButton),
           &MainWindow::FileOpen);
    button("Save", "Save", ToolIcon("document-save", QStyle::SP_DialogSaveButton),
           &MainWindow::FileSave);
    bar->addSeparator();
    undo_->setIcon(ToolIcon("edit-undo", QStyle::SP_ArrowBack));
    redo_->setIcon(ToolIcon("edit-redo", QStyle::SP_ArrowForward));
    bar->addAction(undo_);
    bar->addAction(redo_);
    bar->addSeparator();
    button("SaveAsDefault", "Save As Default", ToolIcon("document-save-as", QStyle::SP_DriveHDIcon),
           &MainWindow::FileSaveAsDefault);
    bar->addSeparator();
    button("Print", "Print", ToolIcon("document-print", QStyle::SP_FileDialogDetailedView),
           &MainWindow::FilePrint);
    bar->addSeparator();
    button("Program", "Program to Radio", ToolIcon("go-up", QStyle::SP_ArrowUp),
           &MainWindow::TransferProgram);
    button("Read", "Read from Radio", ToolIcon("go-down", QStyle::SP_ArrowDown),
           &MainWindow::TransferRead);
}

void MainWindow::BuildPages() {
    tree_ = new NavigationTree(app_, this);
    pageStack_ = new QStackedWidget(this);
    pageStack_->setObjectName(QStringLiteral("pictData"));
    pageStack_->setFrameShape(QFrame::StyledPanel);
    channelCommonPage_ = new ChannelCommonPage(app_, pageStack_);
    channelListPage_ = new ChannelListPage(app_, pageStack_);
    channelDetailPage_ = new ChannelDetailPage(app_, pageStack_);
    wxPage_ = new WxPage(app_, pageStack_);
    directoryListPage_ = new DirectoryListPage(app_, pageStack_);
    settingsPage_ = new SettingsPage(app_, services_.prompter, entryPending_, pageStack_);
    directoryEntryPage_ =
        new DirectoryEntryPage(app_, services_.prompter, entryPending_, pageStack_);
    for (QWidget* page :
         {static_cast<QWidget*>(channelCommonPage_), static_cast<QWidget*>(channelListPage_),
          static_cast<QWidget*>(channelDetailPage_), static_cast<QWidget*>(wxPage_),
          static_cast<QWidget*>(directoryListPage_), static_cast<QWidget*>(settingsPage_),
          static_cast<QWidget*>(directoryEntryPage_)}) {
        pageStack_->addWidget(page);
        page->setEnabled(false);
    }
    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setObjectName(QStringLiteral("imgSplitter"));
    splitter_->setChildrenCollapsible(false);
    splitter_->addWidget(tree_);
    splitter_->addWidget(pageStack_);
    splitter_->setStretchFactor(1, 1);
    tree_->setMinimumWidth(kTreeMinimum / kTwipsPerPixel);
    // A drag may leave the data area as narrow as the tree's own limit.
    pageStack_->setMinimumWidth(kTreeMinimum / kTwipsPerPixel);
    setCentralWidget(splitter_);

    statusBar()->setObjectName(QStringLiteral("sbStatusBar"));
    statusPanel_ = new QLabel(this);
    statusPanel_->setObjectName(QStringLiteral("sbPanel1"));
    statusBar()->addWidget(statusPanel_, 1);

    connect(tree_, &NavigationTree::NodeClicked, this, &MainWindow::OnNodeChosen);
    tree_->SetSelectionGuard([this] { return MayGoOn(); });
    connect(channelListPage_, &ChannelListPage::RowActivated, this,
            [this](int row) { JumpFromList(row, false); });
    connect(directoryListPage_, &DirectoryListPage::RowActivated, this,
            [this](int row) { JumpFromList(row, true); });
    connect(channelDetailPage_, &ChannelDetailPage::NodeTextChanged, tree_,
            &NavigationTree::RefreshNodeTexts);
    connect(directoryEntryPage_, &DirectoryEntryPage::DirectoryChanged, tree_,
            &NavigationTree::MarkDirectoryNodes);
    connect(settingsPage_, &SettingsPage::ClearRequested, this, &MainWindow::ClearFromSettings);
    const auto hints = [this](auto* source) {
        connect(source, &std::remove_pointer_t<decltype(source)>::StatusHint, this,
                &MainWindow::SetStatusText);
    };
    hints(tree_);
    hints(channelCommonPage_);
    hints(channelListPage_);
    hints(channelDetailPage_);
    hints(wxPage_);
    hints(directoryListPage_);
    hints(settingsPage_);
    hints(directoryEntryPage_);
}

void MainWindow::Load() {
    services_.busyView.SetBusy(true);
    SharedState& shared = app_.Shared;
    shared.ModelCode = "KW83";
    shared.ModelNum = services_.settings.ReadModelNum();
    CheckModelMenu();
    shared.ComNum = services_.settings.ReadComNum();
    shared.RetryCount = 1;
    SerialPortChosen(shared.ComNum - 1);
    setMinimumSize(kStartWidth, kStartHeight);
    resize(kStartWidth, kStartHeight);
    SizeControls(kTreeStart);
    LoadAllPlans(app_.Plans);
    NewDataSet(app_, [this] { RebuildView(); });
    NoteClean();
    UpdateTitle();
    SetHelpContexts(this);
    services_.busyView.SetBusy(false);
}

void MainWindow::RebuildView() {
    {
        const BusyGuard busy(app_.Shared.Busy);
        tree_->Build();
        settingsPage_->Reset();
    }
    SetStatusText(QString());
    SelectNode(tree_->FindNode({TreeNode::Kind::Setting}));
}

void MainWindow::SizeControls(int twips) {
    const int width = this->width() * kTwipsPerPixel;
    const int tree = std::max(kTreeMinimum, std::min(twips, width - kDataMinimum));
    splitter_->setSizes(
        {tree / kTwipsPerPixel, std::max(0, this->width() - tree / kTwipsPerPixel)});
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    // The tree takes 30 % of the width again after every resize.
    SizeControls(width() * kTwipsPerPixel * 3 / 10);
    ShowModelName();
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    ShowModelName();
}

void MainWindow::ShowModelName() {
    SetStatusText(!startNote_.isEmpty() ? startNote_
                                        : QString::fromStdString(app_.Shared.ModelName()));
}

QString MainWindow::StatusText() const {
    return statusPanel_->text();
}

void MainWindow::SetStatusText(const QString& text) {
    statusPanel_->setText(text);
}

void MainWindow::ActivatePage(QWidget* page) {
    for (int i = 0; i < pageStack_->count(); ++i)
        pageStack_->widget(i)->setEnabled(pageStack_->widget(i) == page);
    pageStack_->setCurrentWidget(page);
}

void MainWindow::OnNodeClicked(QTreeWidgetItem* node) {
    SetStatusText(QString::fromLatin1(NavigationTree::kStatusHint));
    const int index = tree_->IndexOf(node);
    if (index < 1 || index == currentNodeIndex_)
        return;
    currentNodeIndex_ = index;
    ShowNodePage(node);
}

void MainWindow::OnNodeChosen(QTreeWidgetItem* node) {
    const int index = tree_->IndexOf(node);
    if (index >= 1 && index != currentNodeIndex_ && !MayGoOn()) {
        KeepPageNode();
        return;
    }
    OnNodeClicked(node);
}

// Whether a control that took the focus from an MMSI or ATIS box may act (the tree, Clear). The
// entry was checked as the focus left: a refused one keeps the focus in its box, and with it its
// page, without telling the user a second time.
bool MainWindow::MayGoOn() {
    if (!entryPending_.Pending())
        return true;
    // Refused as the focus left the box for the tree: the user has just been told.
    if (entryPending_.refused) {
        entryPending_.box->setFocus(Qt::OtherFocusReason);
        return false;
    }
    return CheckPendingEntry();
}

void MainWindow::KeepPageNode() {
    const QSignalBlocker quiet(tree_);
    tree_->setCurrentItem(tree_->Node(currentNodeIndex_));
}

bool MainWindow::SelectNodeByKey(const QString& key) {
    return SelectNode(tree_->FindKey(key));
}

bool MainWindow::SelectNode(QTreeWidgetItem* node) {
    if (!node)
        return false;
    {
        const QSignalBlocker quiet(tree_);
        tree_->setCurrentItem(node);
    }
    OnNodeClicked(node);
    return true;
}

void MainWindow::RefreshCurrentPage() {
    QTreeWidgetItem* node = tree_->currentItem();
    currentNodeIndex_ = tree_->IndexOf(node);
    if (node)
        ShowNodePage(node);
}

void MainWindow::ShowNodePage(QTreeWidgetItem* node) {
    SharedState& shared = app_.Shared;
    shared.AbortRequested = true;
    if (isMinimized())
        return;
    const TreeNode shown = NavigationTree::NodeOf(node);
    switch (shown.kind) {
        case TreeNode::Kind::None:
            break;
        case TreeNode::Kind::Programmable: {
            const BusyGuard busy(shared.Busy);
            channelCommonPage_->Fill();
            ActivatePage(channelCommonPage_);
            break;
        }
        case TreeNode::Kind::RegionList:
            channelListPage_->ShowRegion(shown.region);
            ActivatePage(channelListPage_);
            break;
        case TreeNode::Kind::RegionChannel:
            channelDetailPage_->ShowChannel({false, shown.region, shown.index});
            ActivatePage(channelDetailPage_);
            break;
        case TreeNode::Kind::Wx:
            wxPage_->Fill();
            ActivatePage(wxPage_);
            break;
        case TreeNode::Kind::ExpList:
            channelListPage_->ShowExp();
            ActivatePage(channelListPage_);
            break;
        case TreeNode::Kind::ExpChannel:
            channelDetailPage_->ShowChannel({true, Region::Usa, shown.index});
            ActivatePage(channelDetailPage_);
            break;
        case TreeNode::Kind::Setting:
            settingsPage_->Fill();
            ActivatePage(settingsPage_);
            break;
        case TreeNode::Kind::Directory:
            directoryListPage_->ShowDirectory(shown.group);
            ActivatePage(directoryListPage_);
            break;
        case TreeNode::Kind::DirectoryEntry:
            directoryEntryPage_->ShowEntry(shown.group, shown.index);
            ActivatePage(directoryEntryPage_);
            break;
    }
    SetStatusText(QString::fromLatin1(NavigationTree::kStatusHint));
    shared.AbortRequested = false;
}

// A double-click or Enter on a list row selects the row's own node: row 1 is a region's first
// channel (0), EXP1, or a directory's first entry; the header row (0) names no node.
void MainWindow::JumpFromList(int row, bool directory) {
    using Kind = TreeNode::Kind;
    const TreeNode list = NavigationTree::NodeOf(tree_->currentItem());
    TreeNode target;
    if (directory) {
        if (list.kind == Kind::Directory || list.kind == Kind::DirectoryEntry)
            target = {Kind::DirectoryEntry, Region::Usa, list.group, row};
    } else if (list.kind == Kind::RegionList || list.kind == Kind::RegionChannel) {
        target = {Kind::RegionChannel, list.region, false, row - 1};
    } else if (list.kind == Kind::ExpList || list.kind == Kind::ExpChannel) {
        target = {Kind::ExpChannel, Region::Usa, false, row};
    }
    if (target.kind != Kind::None)
        SelectNode(tree_->FindNode(target));
}

void MainWindow::CheckModelMenu() {
    const bool tq = app_.Shared.ModelNum == Model::TQ5300;
    model1_->setChecked(tq);
    model2_->setChecked(!tq);
}

}  // namespace chanwright
