#pragma once

#include <QString>
#include <QWidget>

#include "core/app_state.h"
#include "image/image_codec.h"

namespace chanwright {

// Which channel the detail page shows: a regional list entry (0-based) or an EXP channel (1-40).
struct ChannelRef {
    bool exp = false;
    Region region = Region::Usa;
    int index = 0;
};

// `pictA`: the per-plan A- and B-channel choices. Showing it keeps them consistent with the
// channels in use; its rows stay hidden.
class ChannelCommonPage : public QWidget {
    Q_OBJECT
  public:
    explicit ChannelCommonPage(AppState& app, QWidget* parent = nullptr);
    // Rebuilds the A and B lists and clears choices that no longer name a usable channel.
    void Fill();

  signals:
    void StatusHint(const QString& text);
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
    AppState& app_;
    ChannelRef channel_;
};

}  // namespace chanwright
