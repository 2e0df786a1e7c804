// Undo and redo of the data set, and the recovery file that keeps unsaved changes through a crash.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QSignalBlocker>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

#include "core/messages.h"
#include "image/new_data_set.h"
#include "storage/data_file_writer.h"
#include "storage/file_io.h"
#include "storage/model_names.h"
#include "ui/main_window.h"
#include "ui/navigation_tree.h"
#include "ui/path_string.h"

namespace chanwright {

namespace {

constexpr int kRecoveryDelay = 2000;  // ms after a change, well within the 5 s promised
constexpr const char* kRecoverable =
    "Unsaved changes from %1 can be recovered: File \u25B8 Recover Unsaved Changes\u2026";
constexpr const char* kRecoveryUnreadable =
    "The unsaved changes in %1 cannot be read; the file was kept as %2.";
constexpr const char* kNotKept = "Unsaved changes cannot be kept: %1";
constexpr const char* kSettingsNotKept =
    "Settings cannot be kept: %1 cannot be written. Model, port and recent files last until Exit.";

// A menu caption with the step's name; an "&" in a name is no access key.
QString WithStep(const char* caption, const QString& step) {
    QString name = step;
    name.replace(QLatin1Char('&'), QLatin1String("&&"));
    return name.isEmpty() ? QLatin1String(caption) : QLatin1String(caption) + ' ' + name;
}

}  // namespace

void MainWindow::BuildHistory(QMenu* edit) {
    history_ = std::make_unique<EditHistory>(
        this, app_, [this] { return CaptureState(); },
        [this](const EditState& state, bool whole) { RestoreState(state, whole); });
    QUndoStack& stack = history_->Stack();
    undo_ = AddAction(edit, "mnuEditUndo", "&Undo", &MainWindow::EditUndo);
    undo_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    redo_ = AddAction(edit, "mnuEditRedo", "&Redo", &MainWindow::EditRedo);
    redo_->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    undo_->setEnabled(false);
    redo_->setEnabled(false);
    connect(&stack, &QUndoStack::canUndoChanged, undo_, &QAction::setEnabled);
    connect(&stack, &QUndoStack::canRedoChanged, redo_, &QAction::setEnabled);
    connect(&stack, &QUndoStack::undoTextChanged, undo_,
            [this](const QString& step) { undo_->setText(WithStep("&Undo", step)); });
    connect(&stack, &QUndoStack::redoTextChanged, redo_,
            [this](const QString& step) { redo_->setText(WithStep("&Redo", step)); });
    connect(&stack, &QUndoStack::indexChanged, this, [this] {
        // The user went on: the start's note about recoverable changes has been seen.
        startNote_.clear();
        ScheduleRecovery();
    });
    edit->addSeparator()->setObjectName(QStringLiteral("mnuEditBar1"));
}

EditState MainWindow::CaptureState() const {
    return {app_.Data, app_.Image, app_.Shared.ModelNum, app_.Shared.CurrentFileName,
            NavigationTree::KeyOf(tree_->currentItem())};
}

void MainWindow::RestoreState(const EditState& state, bool whole) {
    app_.Data = state.data;
    app_.Image = state.image;
    if (whole) {
        app_.Shared.CurrentFileName = state.fileName;
        if (state.model != app_.Shared.ModelNum) {
            UseModel(state.model);
            RebuildView();
        }
    }
    if (QTreeWidgetItem* node = tree_->FindKey(state.node)) {
        const QSignalBlocker quiet(tree_);
        tree_->setCurrentItem(node);
    }
    RefreshCurrentPage();
    tree_->RefreshNodeTexts();
    UpdateTitle();
}

bool MainWindow::HistoryMayRun() {
    // Never under a transfer: the radio dialog owns the data set until it ends.
    if (app_.Shared.Busy || !CheckPendingEntry())
        return false;
    history_->NoteEdits();
    return true;
}

void MainWindow::EditUndo() {
    if (HistoryMayRun())
        history_->Stack().undo();
}

void MainWindow::EditRedo() {
    if (HistoryMayRun())
        history_->Stack().redo();
}

void MainWindow::BuildRecovery() {
    recoveryTimer_ = new QTimer(this);
    recoveryTimer_->setObjectName(QStringLiteral("tmrRecovery"));
    recoveryTimer_->setSingleShot(true);
    connect(recoveryTimer_, &QTimer::timeout, this, &MainWindow::KeepUnsavedChanges);
    // Said once, at start, in place of the model's name: nothing asks, and the user can go on.
    // A settings file ignored (no regular file, too large) is said as such; it is not written
    // either.
    if (!services_.settings.Problem().isEmpty())
        startNote_ = services_.settings.Problem();
    else if (!services_.settings.Writable())
        startNote_ = QString(kSettingsNotKept)
                         .arg(QDir::toNativeSeparators(ShownPath(services_.settings.FileName())));
    if (services_.recoveryFolder.isEmpty())
        return;
    recovery_ = std::make_unique<RecoveryFiles>(services_.recoveryFolder,
                                                QCoreApplication::applicationPid());
    const std::optional<RecoveryInfo> found = recovery_->Newest();
    recover_->setEnabled(found.has_value());
    if (found)
        startNote_ +=
            (startNote_.isEmpty() ? "" : "  ") +
            QString(kRecoverable)
                .arg(QLocale::c().toString(found->saved, QStringLiteral("yyyy-MM-dd HH:mm")));
}

void MainWindow::NoteClean() {
    cleanData_ = app_.Data;
    history_->Resync();
    ScheduleRecovery();
}

void MainWindow::ScheduleRecovery() {
    if (!recovery_)
        return;
    if (!Unsaved()) {
        recoveryTimer_->stop();
        recovery_->RemoveOwn();
    } else if (!recoveryTimer_->isActive()) {
        recoveryTimer_->start(kRecoveryDelay);
    }
}

void MainWindow::KeepUnsavedChanges() {
    recoveryTimer_->stop();
    if (!recovery_)
        return;
    if (!Unsaved()) {
        recovery_->RemoveOwn();
        return;
    }
    const QDateTime now = services_.now ? services_.now() : QDateTime::currentDateTime();
    ErrorInfo error;
    if (!recovery_->Write(WriteRecoveryFile(app_.Shared, app_.Data, now), error))
        SetStatusText(QString(kNotKept).arg(QString::fromStdString(error.Description)));
}

void MainWindow::RecoverUnsaved() {
    if (!recovery_ || !HistoryMayRun())
        return;
    const std::optional<RecoveryInfo> found = recovery_->Newest();
    ErrorInfo error;
    const std::optional<std::string> bytes = found ? recovery_->Take(*found, error) : std::nullopt;
    if (found && !bytes) {
        const QString aside = recovery_->SetAside(found->path);
        services_.log.LogError("frmMain.RecoverUnsaved", error.Text());
        services_.prompter.ShowMessage(
            std::string(messages::kFileReadError) + "\n" +
                QString(kRecoveryUnreadable)
                    .arg(ShownPath(QDir::toNativeSeparators(found->path)),
                         ShownPath(QDir::toNativeSeparators(aside)))
                    .toStdString() +
                "\n" + error.Description,
            messages::kAppTitle, MessageIcon::Exclamation);
    } else if (bytes) {
        history_->BeginCommand();
        // The changes come back as the model they were made for, without a question: they are
        // the user's own.
        const std::optional<Model> model = ModelNamedIn(*bytes);
        if (model && *model != app_.Shared.ModelNum) {
            UseModel(*model);
            NewDataSet(app_, [this] { RebuildView(); });
        }
        if (files_.LoadDataFileBytes(*bytes))
            app_.Shared.CurrentFileName = PathString(found->fileName);
        UpdateTitle();
        RefreshCurrentPage();
        tree_->RefreshNodeTexts();
        history_->EndCommand(QStringLiteral("Recover Unsaved Changes"));
        ScheduleRecovery();
    }
    startNote_.clear();
    recover_->setEnabled(recovery_->Newest().has_value());
}

}  // namespace chanwright
