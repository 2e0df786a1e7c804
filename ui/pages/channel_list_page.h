#pragma once

#include <QWidget>

#include "core/app_state.h"
#include "image/image_codec.h"
#include "ui/list_grid.h"

namespace chanwright {

// The channel list page `pictB` with its grid `MSFlexGrid1`: the USA, International and Canada
// lists and the EXP list, one row per channel (grid row r shows list entry r - 1).
class ChannelListPage : public QWidget {
    Q_OBJECT
  public:
    explicit ChannelListPage(AppState& app, QWidget* parent = nullptr);

    // Refills the grid. The caller makes the page the active one.
    void ShowRegion(Region region);
    void ShowExp();
    ListGrid* Grid() const { return grid_; }

  signals:
    // Double-click or Enter on grid row (1-based, the header being row 0).
    void RowActivated(int row);
    void StatusHint(const QString& text);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    AppState& app_;
    ListGrid* grid_;
};

}  // namespace chanwright
