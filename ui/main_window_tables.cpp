// File ▸ Import, File ▸ Export and File ▸ Merge from Data File…: tables in and out as CSV, and
// parts of another data file. What comes in is shown as changes first, and taken as one step.
#include <QDir>
#include <QFileInfo>
#include <QMenu>

#include "core/messages.h"
#include "image/new_data_set.h"
#include "report/data_diff.h"
#include "report/data_merge.h"
#include "report/data_tables.h"
#include "storage/data_file_reader.h"
#include "storage/file_io.h"
#include "storage/model_names.h"
#include "ui/dialogs/changes_dialog.h"
#include "ui/dialogs/merge_dialog.h"
#include "ui/main_window.h"
#include "ui/navigation_tree.h"
#include "ui/path_string.h"

namespace chanwright {

namespace {

constexpr const char* kCsvFilter = "CSV files(*.csv)|*.csv|All files(*.*)|*.*";
constexpr const char* kNotImported = "%1 was not imported; nothing was changed:";
constexpr const char* kOtherTable = "%1 holds no %2 table.";
constexpr const char* kNoChanges = "%1 changes nothing in the data being edited.";

std::string Lines(const QString& head, const std::vector<std::string>& lines) {
    std::string text = head.toStdString();
    for (const std::string& line : lines)
        text += "\n" + line;
    return text;
}

}  // namespace

void MainWindow::BuildTableMenus(QMenu* file) {
    using report::TableKind;
    QMenu* import = file->addMenu(QStringLiteral("&Import"));
    import->setObjectName(QStringLiteral("mnuFileImport"));
    QMenu* exportTo = file->addMenu(QStringLiteral("&Export"));
    exportTo->setObjectName(QStringLiteral("mnuFileExport"));
    const auto add = [this](QMenu* menu, const char* name, const char* caption, auto command) {
        QAction* action = menu->addAction(QString::fromUtf8(caption));
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, command);
    };
    add(import, "mnuFileImportChannels", "&Channels from CSV\u2026",
        [this] { ImportCsv(TableKind::Channels); });
    add(import, "mnuFileImportDirectory", "&Directory from CSV\u2026",
        [this] { ImportCsv(TableKind::Directory); });
    add(exportTo, "mnuFileExportChannels", "&Channels as CSV\u2026",
        [this] { ExportCsv(TableKind::Channels); });
    add(exportTo, "mnuFileExportDirectory", "&Directory as CSV\u2026",
        [this] { ExportCsv(TableKind::Directory); });
    add(file, "mnuFileMerge", "&Merge from Data File\u2026", [this] { MergeFromFile(); });
}

void MainWindow::ImportCsv(report::TableKind kind) {
    if (!CheckPendingEntry())
        return;
    const QString path = PathFromString(services_.prompter.ChooseOpenFileIn(
        PathString(services_.settings.ReadLastFolder()), kCsvFilter));
    if (path.isEmpty())
        return;
    const std::optional<std::string> bytes = files_.ReadInput(path, false);
    if (!bytes)
        return;
    const QString name = ShownPath(QFileInfo(path).fileName());
    AppState changed = app_;
    const report::TableImport found =
        report::ImportTable(changed, *bytes, name.toStdString(), false);
    if (!found.errors.empty()) {
        services_.prompter.ShowMessage(Lines(QString(kNotImported).arg(name), found.errors),
                                       messages::kAppTitle, MessageIcon::Exclamation);
        return;
    }
    if (found.kind != kind) {
        const char* table = kind == report::TableKind::Channels ? "channel" : "directory";
        services_.prompter.ShowMessage(QString(kOtherTable).arg(name, table).toStdString(),
                                       messages::kAppTitle, MessageIcon::Exclamation);
        return;
    }
    TakeChanges("Import " + name, name, changed, found.warnings);
}

void MainWindow::ExportCsv(report::TableKind kind) {
    if (!CheckPendingEntry())
        return;
    const QString path =
        PathFromString(services_.prompter.ChooseSaveFileWithSuffix(kCsvFilter, "csv"));
    if (path.isEmpty())
        return;
    ErrorInfo error;
    if (WriteOutputFile(path, report::ExportTable(app_, kind), error))
        return;
    services_.log.LogError("frmMain.ExportCsv", error.Text());
    services_.prompter.ShowMessage(std::string(messages::kFileSaveError) + "\n" + error.Description,
                                   messages::kAppTitle, MessageIcon::Exclamation);
}

void MainWindow::MergeFromFile() {
    if (!CheckPendingEntry())
        return;
    const QString path = PathFromString(services_.prompter.ChooseOpenFileIn(
        PathString(services_.settings.ReadLastFolder()), messages::kDataFileFilter));
    if (path.isEmpty())
        return;
    const std::optional<std::string> bytes = files_.ReadInput(path, false);
    if (!bytes)
        return;
    // The other file is read as the tool reads one: as the model it names.
    AppState from;
    from.Shared = app_.Shared;
    from.Plans = app_.Plans;
    from.Shared.ModelNum = ModelNamedIn(*bytes).value_or(app_.Shared.ModelNum);
    NewDataSet(from);
    const QString name = ShownPath(QFileInfo(path).fileName());
    if (!ReadDataFileBytes(*bytes, from.Shared, from.Plans, from.Data)) {
        services_.prompter.ShowMessage(std::string(messages::kFileReadError) + "\n" +
                                           name.toStdString() + " holds no data of this program",
                                       messages::kAppTitle, MessageIcon::Exclamation);
        return;
    }
    MergeDialog dialog(name, this);
    services_.runModal(dialog);
    if (dialog.result() != QDialog::Accepted)
        return;
    AppState changed = app_;
    std::string why;
    if (!report::MergeParts(changed, from, dialog.Parts(), why)) {
        services_.prompter.ShowMessage(name.toStdString() + ": " + why, messages::kAppTitle,
                                       MessageIcon::Exclamation);
        return;
    }
    TakeChanges("Merge from " + name, name, changed, {});
}

void MainWindow::TakeChanges(const QString& step, const QString& name, const AppState& changed,
                             const std::vector<std::string>& warnings) {
    std::vector<std::string> lines = report::DiffLines(app_, changed);
    if (lines.empty() && warnings.empty()) {
        services_.prompter.ShowMessage(QString(kNoChanges).arg(name).toStdString(),
                                       messages::kAppTitle, MessageIcon::Information);
        return;
    }
    lines.insert(lines.end(), warnings.begin(), warnings.end());
    ChangesDialog dialog(step, lines, this);
    services_.runModal(dialog);
    if (dialog.result() != QDialog::Accepted)
        return;
    history_->BeginCommand();
    app_.Data = changed.Data;
    RefreshCurrentPage();
    tree_->RefreshNodeTexts();
    history_->EndCommand(step);
}

}  // namespace chanwright
