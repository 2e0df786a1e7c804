#pragma once

#include <QString>
#include <QWidget>
#include <optional>

#include "core/app_state.h"
#include "core/platform.h"
#include "ui/digit_entry.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;

namespace chanwright {

// `pictG`: one entry of the individual or group directory, with Add and Delete.
class DirectoryEntryPage : public QWidget {
    Q_OBJECT
  public:
    DirectoryEntryPage(AppState& app, Prompter& prompter, EntryPending& entry,
                       QWidget* parent = nullptr);
    // ShowDirectoryEntry for the entry's 1-based number in the individual or group directory;
    // a number outside the directory shows nothing.
    void ShowEntry(bool group, int number);
    // CheckPendingEntry's part for this page: validates the entry pending in txtGMMSI, wherever
    // the focus went meanwhile.
    bool ValidatePendingEntry();

  signals:
    void StatusHint(const QString& text);
    // The directory's used block changed: the window recolours the entry nodes.
    void DirectoryChanged(bool group);

  private:
    // An entry: its directory and its 1-based number.
    struct EntrySlot {
        bool group;
        int number;
    };

    bool eventFilter(QObject* watched, QEvent* event) override;

    DirectoryEntry& EntryAt(const EntrySlot& slot);
    // How many entries from the first one on are in use; the radio keeps them in one block.
    int CountUsedEntries(bool group) const;
    void SetupDirectoryEntryPage(bool group);
    void AddClicked(bool checked);
    void DeleteClicked();
    bool CheckMmsi(bool show);

    AppState& app_;
    Prompter& prompter_;
    EntryPending& entry_;
    // The entry shown; none before the first one is.
    std::optional<EntrySlot> slot_;

    QGroupBox* entryFrame_;
    QCheckBox* enableCheck_;
    QCheckBox* deleteCheck_;
    QLabel* lblTag_;
    QLineEdit* positionEdit_;
    QLabel* lblMmsi_;
    QWidget* mmsiBox_;
    QLabel* lblGroup_;
    QLineEdit* mmsiEdit_;
    DigitEntry* mmsiEntry_;
};

}  // namespace chanwright
