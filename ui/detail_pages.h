#pragma once

#include <QWidget>
#include <array>

#include "core/app_state.h"
#include "image/image_codec.h"

class QLabel;
class QStackedWidget;
class QTabBar;

namespace chanwright {

// Which channel a detail page shows: a regional list entry (0-based) or an EXP channel (1-40).
struct ChannelRef {
    bool exp = false;
    Region region = Region::Usa;
    int index = 0;
};

// The pages that edit one item. Each fills its controls from the data set when shown and
// writes every change straight back.

// `pictA`: the A-, B- and priority-channel choices of the three plans.
class ChannelCommonPage : public QWidget {
    Q_OBJECT
  public:
    explicit ChannelCommonPage(AppState& app, QWidget* parent = nullptr);
    void Fill();

  signals:
    void StatusHint(const QString& text);

  private:
    AppState& app_;
    QLabel* summary_;
};

// `pictC`: one channel's attributes.
class ChannelDetailPage : public QWidget {
    Q_OBJECT
  public:
    explicit ChannelDetailPage(AppState& app, QWidget* parent = nullptr);
    void ShowChannel(const ChannelRef& channel);
    const ChannelRef& Channel() const { return channel_; }

  signals:
    void StatusHint(const QString& text);
    // A change that the channel's tree node text follows (Enable).
    void NodeTextChanged();

  private:
    AppState& app_;
    ChannelRef channel_;
    QLabel* summary_;
};

// `pictF`: the common settings, on the sub-pages of the tab strip `tbsFNE` (the three-tab strip
// `tbsF` exists but is never shown).
class SettingsPage : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kSubPages = 3;

    explicit SettingsPage(AppState& app, QWidget* parent = nullptr);
    // Loads the controls and selects the first tab.
    void Fill();
    // Brings sub-page index to the top and enables it; the others are disabled.
    void SelectSubPage(int index);
    QWidget* SubPage(int index) const { return subPages_[static_cast<std::size_t>(index)]; }

  signals:
    void StatusHint(const QString& text);
    // The clear button: the window runs Clear through the radio dialog.
    void ClearRequested();

  private:
    AppState& app_;
    QTabBar* tbsFNE_;
    QTabBar* tbsF_;
    QStackedWidget* stack_;
    std::array<QWidget*, kSubPages> subPages_{};
};

// `pictG`: one entry of the individual or group directory.
class DirectoryEntryPage : public QWidget {
    Q_OBJECT
  public:
    explicit DirectoryEntryPage(AppState& app, QWidget* parent = nullptr);
    void ShowEntry(bool group, int number);

  signals:
    void StatusHint(const QString& text);
    void DirectoryChanged(bool group);

  private:
    AppState& app_;
    QLabel* summary_;
};

}  // namespace chanwright
