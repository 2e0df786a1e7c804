#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <functional>

#include "core/app_state.h"
#include "core/platform.h"
#include "ui/digit_entry.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
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
    // CheckPendingEntry's part for this page: validates the entry pending in txtFUser or
    // txtFATISNo, wherever the focus went meanwhile; false when the entry is refused.
    bool ValidatePendingEntry();

  signals:
    void StatusHint(const QString& text);
    // cmdFClear: the window opens the radio dialog in Clear mode.
    void ClearRequested();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // A caption on the left and its control on the right, moved and hidden together.
    struct Row {
        QLabel* caption = nullptr;
        QWidget* control = nullptr;
    };

    void BuildRadioSetup(QWidget* frame);
    void BuildDscSetup(QWidget* frame);
    void BuildAtisSetup(QWidget* frame);
    // A list whose user choice is stored at once, by store(list position).
    QComboBox* MakeCombo(QWidget* frame, const char* name, std::function<void(int)> store);
    // A check box whose click stores true or false into the field, unless Busy.
    QCheckBox* MakeCheck(QWidget* frame, const char* name, const QString& text,
                         Bool16 CommonSettings::*field);
    Row AddRow(QWidget* frame, const char* caption, QWidget* control, int topTwips);
    void FillLists();
    void ApplyModelLayout();
    void OnTabChosen(QTabBar* strip, int tab);
    bool CheckUserMmsi(bool show);
    bool CheckAtisNo(bool show);

    AppState& app_;
    Prompter& prompter_;
    EntryPending& entry_;
    QTabBar* tabsWithoutAtis_;
    QTabBar* tabsWithAtis_;
    QStackedWidget* stack_;
    std::array<QWidget*, kSubPages> subPages_{};
    // The room each panel's rows take.
    std::array<QSize, kSubPages> extents_{};
    int rowHeight_ = 0;  // pixels, every control of the panels

    QComboBox* contrastList_ = nullptr;
    QComboBox* dimmerList_ = nullptr;
    QComboBox* offsetList_ = nullptr;
    QCheckBox* beepCheck_ = nullptr;
    QCheckBox* wxAlertCheck_ = nullptr;
    QComboBox* scanList_ = nullptr;
    QComboBox* scramblerList_ = nullptr;
    QCheckBox* magneticCheck_ = nullptr;
    Row contrastRow_, dimmerRow_, offsetRow_, beepRow_, wxRow_, scanRow_;

    QLineEdit* userMmsiEdit_ = nullptr;
    QLineEdit* permissionCountEdit_ = nullptr;
    QPushButton* clearButton_ = nullptr;
    QComboBox* individualRingerList_ = nullptr;
    QCheckBox* individualReplyCheck_ = nullptr;
    QCheckBox* individualAckCheck_ = nullptr;
    QCheckBox* positionReplyCheck_ = nullptr;
    QCheckBox* dscScanCheck_ = nullptr;

    std::array<QCheckBox*, 3> atisChecks_{};
    QLineEdit* atisNumberEdit_ = nullptr;

    DigitEntry* userEntry_ = nullptr;
    DigitEntry* atisEntry_ = nullptr;
};

}  // namespace chanwright
