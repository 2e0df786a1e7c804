#pragma once

#include <QString>
#include <QWidget>

#include "core/app_state.h"
#include "image/image_codec.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace chanwright {

// Which channel the detail page shows: a regional list entry (0-based) or an EXP channel (1-40).
struct ChannelRef {
    bool exp = false;
    Region region = Region::Usa;
    int index = 0;
};

// `pictC`: one channel's attributes, with the cascade Enable → Tx Enable → Only Low Power →
// Power Up.
class ChannelDetailPage : public QWidget {
    Q_OBJECT
  public:
    explicit ChannelDetailPage(AppState& app, QWidget* parent = nullptr);
    // Loads the controls from the record; the caller makes the page the active one.
    void ShowChannel(const ChannelRef& channel);
    const ChannelRef& Channel() const { return channel_; }

  signals:
    void StatusHint(const QString& text);
    // The channel's tree node text follows its Enable flag.
    void NodeTextChanged();

  private:
    // The steps of the cascade, in the order one leads to the next.
    enum class Step { Enable, TxEnable, LowPower };

    bool eventFilter(QObject* watched, QEvent* event) override;
    PlanChannel* Record();
    // Recomputes the enabled states from `from` on; a user change also stores Tx Enable and Only
    // Low Power, a refresh stores nothing.
    void Cascade(Step from, bool userChange);
    // True when a user action may change the record: the page is active and not being loaded.
    bool Editable() const;
    void EnableClicked(bool checked);
    void PositionChosen();
    void ShowRxFreq();

    AppState& app_;
    ChannelRef channel_;

    QLabel* positionLabel_ = nullptr;
    QLabel* channelLabel_ = nullptr;
    QComboBox* positionList_ = nullptr;
    QLabel* rxFrequencyLabel_ = nullptr;
    QLabel* txFrequencyLabel_ = nullptr;
    QCheckBox* enableCheck_ = nullptr;
    QCheckBox* txEnableCheck_ = nullptr;
    QCheckBox* txOnlyCheck_ = nullptr;
    QCheckBox* txPowerCheck_ = nullptr;
    QCheckBox* duplexCheck_ = nullptr;
    QCheckBox* scanCheck_ = nullptr;
    QCheckBox* vsMemoryCheck_ = nullptr;
    QLabel* tagLabel_ = nullptr;
    QLineEdit* tagEdit_ = nullptr;

    // Set while the position list has the focus: only then is a selection the user's own.
    bool positionFocus_ = false;
    // The position on show, or when the list got the focus; choosing it again re-seeds nothing.
    QString lastPositionText_;
};

}  // namespace chanwright
