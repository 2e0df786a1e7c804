#pragma once

#include <QString>
#include <QWidget>

#include "core/app_state.h"
#include "core/platform.h"
#include "ui/entry_checks.h"

namespace chanwright {

// `pictG`: one entry of the individual or group directory, with Add and Delete.
class DirectoryEntryPage : public QWidget {
    Q_OBJECT
  public:
    DirectoryEntryPage(AppState& app, Prompter& prompter, EntryPending& entry,
                       QWidget* parent = nullptr);
    // ShowDirectoryEntry for a node key ("SM3", "SG1"); other keys are ignored.
    void ShowEntry(const QString& key);
    // CheckPendingEntry's part for this page: validates txtGMMSI when it has the focus.
    bool ValidateFocusedEntry();

  signals:
    void StatusHint(const QString& text);
    // The directory's used block changed: the window recolours the entry nodes.
    void DirectoryChanged(bool group);

  private:
    AppState& app_;
    Prompter& prompter_;
    EntryPending& entry_;
    QString key_;
};

}  // namespace chanwright
