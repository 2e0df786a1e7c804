#pragma once

#include <QWidget>
#include <array>

#include "core/app_state.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace chanwright {

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
