#include "ui/channel_pages.h"

namespace chanwright {

ChannelDetailPage::ChannelDetailPage(AppState& app, QWidget* parent) : QWidget(parent), app_(app) {
    setObjectName(QStringLiteral("pictC"));
}

void ChannelDetailPage::ShowChannel(const ChannelRef& channel) {
    channel_ = channel;
}

}  // namespace chanwright
