#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "core/platform.h"
#include "storage/backup_files.h"

class QTableWidget;

namespace chanwright {

// `frmRestore`: which backup Transfer ▸ Restore Backup… puts back. It lists the backups in the
// backup folder, newest first, with the model, the user MMSI the radio held and when it was read,
// so the user can tell one boat's radio from another's; Other File… chooses any image file.
class RestoreDialog : public QDialog {
    Q_OBJECT
  public:
    RestoreDialog(const QString& folder, Prompter& prompter, QWidget* parent = nullptr);

    // The backup or file chosen; empty unless the dialog was accepted.
    QString Chosen() const { return chosen_; }

  private:
    void TakeRow();
    void OpenOther();

    QString folder_;
    Prompter& prompter_;
    std::vector<BackupEntry> backups_;
    QTableWidget* list_;
    QString chosen_;
};

// Runs the dialog with `runModal`: the image file to restore, or empty when the user cancelled.
QString ChooseBackup(const QString& folder, Prompter& prompter,
                     const std::function<void(QDialog&)>& runModal, QWidget* parent);

}  // namespace chanwright
