#pragma once

#include <QString>
#include <QWidget>
#include <array>

#include "core/app_state.h"
#include "image/image_codec.h"

class QComboBox;
class QLabel;

namespace chanwright {

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

  private:
    // One column of the page: a region's A, B and P choices.
    struct Column {
        Region region;
        QComboBox* a = nullptr;
        QComboBox* b = nullptr;
        QComboBox* p = nullptr;
    };

    void FillColumn(const Column& column);

    AppState& app_;
    std::array<Column, 3> columns_{};
    // Column captions and row captions, hidden once the page is filled.
    std::array<QLabel*, 5> captions_{};
};

}  // namespace chanwright
