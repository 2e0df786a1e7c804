#include "ui/channel_pages.h"

namespace chanwright {

ChannelCommonPage::ChannelCommonPage(AppState& app, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pictA"));
    (void)app;
}

void ChannelCommonPage::Fill() {}

}  // namespace chanwright
