#include "ui/detail_pages.h"

#include <QLabel>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

#include "image/channel_plans.h"

namespace chanwright {

namespace {

QLabel* AddSummary(QWidget* page) {
    auto* layout = new QVBoxLayout(page);
    auto* label = new QLabel(page);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    layout->addWidget(label);
    return label;
}

}  // namespace

ChannelCommonPage::ChannelCommonPage(AppState& app, QWidget* parent)
    : QWidget(parent), app_(app), summary_(AddSummary(this)) {
    setObjectName(QStringLiteral("pictA"));
}

void ChannelCommonPage::Fill() {
    summary_->setText(
        tr("A-channel, B-channel and priority channel of the USA, International "
           "and Canada plans."));
}

ChannelDetailPage::ChannelDetailPage(AppState& app, QWidget* parent)
    : QWidget(parent), app_(app), summary_(AddSummary(this)) {
    setObjectName(QStringLiteral("pictC"));
}

void ChannelDetailPage::ShowChannel(const ChannelRef& channel) {
    channel_ = channel;
    const PlanChannel& record =
        channel.exp
            ? app_.Data.ExpChannels[static_cast<std::size_t>(channel.index - 1)]
            : ChannelsOf(app_.Data, channel.region)[static_cast<std::size_t>(channel.index)];
    summary_->setText(QString::fromStdString(record.ChTag));
}

SettingsPage::SettingsPage(AppState& app, QWidget* parent) : QWidget(parent), app_(app) {
    setObjectName(QStringLiteral("pictF"));
    auto* layout = new QVBoxLayout(this);
    tbsFNE_ = new QTabBar(this);
    tbsFNE_->setObjectName(QStringLiteral("tbsFNE"));
    tbsFNE_->addTab(QStringLiteral("Radio Setup"));
    tbsFNE_->addTab(QStringLiteral("DSC Setup"));
    tbsF_ = new QTabBar(this);
    tbsF_->setObjectName(QStringLiteral("tbsF"));
    tbsF_->addTab(QStringLiteral("Radio Setup"));
    tbsF_->addTab(QStringLiteral("DSC Setup"));
    tbsF_->addTab(QStringLiteral("ATIS Setup"));
    tbsF_->hide();
    stack_ = new QStackedWidget(this);
    for (int i = 0; i < kSubPages; ++i) {
        auto* subPage = new QWidget(stack_);
        subPage->setObjectName(QStringLiteral("pictFtbs"));
        subPage->setProperty("index", i);
        stack_->addWidget(subPage);
        subPages_[static_cast<std::size_t>(i)] = subPage;
    }
    layout->addWidget(tbsFNE_);
    layout->addWidget(tbsF_);
    layout->addWidget(stack_, 1);
    for (QTabBar* strip : {tbsFNE_, tbsF_})
        connect(strip, &QTabBar::tabBarClicked, this, [this](int tab) { SelectSubPage(tab); });
}

void SettingsPage::SelectSubPage(int index) {
    if (index < 0 || index >= kSubPages)
        return;
    for (int i = 0; i < kSubPages; ++i)
        subPages_[static_cast<std::size_t>(i)]->setEnabled(i == index);
    stack_->setCurrentIndex(index);
    if (index < tbsFNE_->count())
        tbsFNE_->setCurrentIndex(index);
}

void SettingsPage::Fill() {
    SelectSubPage(0);
}

DirectoryEntryPage::DirectoryEntryPage(AppState& app, QWidget* parent)
    : QWidget(parent), app_(app), summary_(AddSummary(this)) {
    setObjectName(QStringLiteral("pictG"));
}

void DirectoryEntryPage::ShowEntry(bool group, int number) {
    const DirectoryEntry& entry =
        group ? app_.Data.GroupDirectory[static_cast<std::size_t>(number - 1)]
              : app_.Data.IndividualDirectory[static_cast<std::size_t>(number - 1)];
    summary_->setText(QString::fromStdString(entry.TagName + "  " + entry.Mmsid));
}

}  // namespace chanwright
