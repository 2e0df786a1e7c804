#include "ui/settings_page.h"

#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

namespace chanwright {

SettingsPage::SettingsPage(AppState& app, Prompter& prompter, EntryPending& entry, QWidget* parent)
    : QWidget(parent), app_(app), prompter_(prompter), entry_(entry) {
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

void SettingsPage::Reset() {}

bool SettingsPage::ValidateFocusedEntry() {
    return true;
}

}  // namespace chanwright
