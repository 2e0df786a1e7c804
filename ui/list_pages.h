#pragma once

#include <QString>
#include <QWidget>
#include <array>

#include "core/app_state.h"
#include "image/image_codec.h"
#include "ui/list_grid.h"

class QCheckBox;
class QLabel;
class QLineEdit;

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

// The WX page `pictD`: ten rows of controls that edit the WX channels directly. The controls of
// a row share their objectName (`lblWX`, `chkDEnable`, `chkDScan`, `txtDTagName`) and carry the
// row in the property "index", as a control array does.
class WxPage : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kRows = 10;

    explicit WxPage(AppState& app, QWidget* parent = nullptr);

    // Loads every row from the data set (Busy held while loading).
    void Fill();

  signals:
    void StatusHint(const QString& text);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    AppState& app_;
    std::array<QLabel*, kRows> labels_{};
    std::array<QCheckBox*, kRows> enables_{};
    std::array<QCheckBox*, kRows> scans_{};
    std::array<QLineEdit*, kRows> names_{};
};

}  // namespace chanwright
