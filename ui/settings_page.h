#pragma once

#include <QString>
#include <QWidget>
#include <array>

#include "core/app_state.h"
#include "core/platform.h"
#include "ui/entry_checks.h"

class QStackedWidget;
class QTabBar;

namespace chanwright {

// `pictF`: the common settings, on the sub-pages `pictFtbs` of the tab strip `tbsFNE` (the
// three-tab strip `tbsF` with the ATIS frame exists, wired, but is never shown).
class SettingsPage : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kSubPages = 3;

    SettingsPage(AppState& app, Prompter& prompter, EntryPending& entry, QWidget* parent = nullptr);

    // ResetCommonPage: empties the controls and fills the value lists (every new data set).
    void Reset();
    // ShowCommonPage's filling: controls from the data set, the model's layout, first tab.
    void Fill();
    void SelectSubPage(int index);
    // CheckPendingEntry's part for this page: validates txtFUser or txtFATISNo when one of them
    // has the focus; false when the entry is refused.
    bool ValidateFocusedEntry();

  signals:
    void StatusHint(const QString& text);
    // cmdFClear: the window opens the radio dialog in Clear mode.
    void ClearRequested();

  private:
    AppState& app_;
    Prompter& prompter_;
    EntryPending& entry_;
    QTabBar* tbsFNE_;
    QTabBar* tbsF_;
    QStackedWidget* stack_;
    std::array<QWidget*, kSubPages> subPages_{};
};

}  // namespace chanwright
