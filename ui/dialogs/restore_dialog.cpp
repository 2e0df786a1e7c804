#include "ui/dialogs/restore_dialog.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/messages.h"
#include "ui/dialogs/dialog_parts.h"
#include "ui/path_string.h"

namespace chanwright {

RestoreDialog::RestoreDialog(const QString& folder, Prompter& prompter, QWidget* parent)
    : QDialog(parent), folder_(folder), prompter_(prompter), backups_(ListBackups(folder)) {
    setObjectName(QStringLiteral("frmRestore"));
    setWindowTitle(QStringLiteral("Restore Backup"));
    resize(520, 320);
    auto* layout = new QVBoxLayout(this);
    const QString shownFolder = ShownPath(QDir::toNativeSeparators(folder));
    auto* where =
        new QLabel(backups_.empty() ? QStringLiteral("No backups yet in %1.").arg(shownFolder)
                                    : QStringLiteral("Backups in %1:").arg(shownFolder),
                   this);
    where->setObjectName(QStringLiteral("lblBackups"));
    where->setWordWrap(true);
    layout->addWidget(where);

    list_ = new QTableWidget(static_cast<int>(backups_.size()), 3, this);
    list_->setObjectName(QStringLiteral("lstBackups"));
    list_->setHorizontalHeaderLabels(
        {QStringLiteral("Model"), QStringLiteral("User MMSI"), QStringLiteral("Read on")});
    MakeRowChooser(list_);
    for (int row = 0; row < list_->rowCount(); ++row) {
        const BackupEntry& backup = backups_[static_cast<std::size_t>(row)];
        const QString cells[] = {backup.model,
                                 backup.mmsi.isEmpty() ? QStringLiteral("\u2014") : backup.mmsi,
                                 backup.taken.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))};
        for (int column = 0; column < 3; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            item->setToolTip(ShownPath(QDir::toNativeSeparators(backup.path)));
            list_->setItem(row, column, item);
        }
    }
    list_->resizeColumnsToContents();
    list_->selectRow(0);
    layout->addWidget(list_, 1);

    auto* other = new QPushButton(QStringLiteral("&Other File..."), this);
    other->setObjectName(QStringLiteral("cmdOpenOther"));
    const DialogButtons buttons = AddDialogButtons(this, layout, other);
    buttons.ok->setEnabled(!backups_.empty());

    connect(other, &QPushButton::clicked, this, &RestoreDialog::OpenOther);
    connect(buttons.ok, &QPushButton::clicked, this, &RestoreDialog::TakeRow);
    connect(list_, &QTableWidget::cellDoubleClicked, this, &RestoreDialog::TakeRow);
    list_->setFocus();
}

void RestoreDialog::TakeRow() {
    const int row = list_->currentRow();
    if (row < 0 || row >= static_cast<int>(backups_.size()))
        return;
    chosen_ = backups_[static_cast<std::size_t>(row)].path;
    accept();
}

// A copy kept elsewhere, or a backup of an older name, is chosen as any image file is.
void RestoreDialog::OpenOther() {
    const std::string path =
        prompter_.ChooseOpenFileIn(PathString(folder_), messages::kImageFileFilter);
    if (path.empty())
        return;
    chosen_ = PathFromString(path);
    accept();
}

QString ChooseBackup(const QString& folder, Prompter& prompter,
                     const std::function<void(QDialog&)>& runModal, QWidget* parent) {
    RestoreDialog dialog(folder, prompter, parent);
    runModal(dialog);
    return dialog.result() == QDialog::Accepted ? dialog.Chosen() : QString();
}

}  // namespace chanwright
