#pragma once

#include <QWidget>

#include "core/app_state.h"
#include "ui/list_grid.h"

namespace chanwright {

// The directory list page `pictE` with its grid `MSFlexGrid2`: the individual or the group
// directory, one row per entry.
class DirectoryListPage : public QWidget {
    Q_OBJECT
  public:
    explicit DirectoryListPage(AppState& app, QWidget* parent = nullptr);

    void ShowDirectory(bool group);
    ListGrid* Grid() const { return grid_; }

  signals:
    void RowActivated(int row);
    void StatusHint(const QString& text);

  private:
    AppState& app_;
    ListGrid* grid_;
};

}  // namespace chanwright
