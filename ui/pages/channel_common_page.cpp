#include "ui/pages/channel_common_page.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QVariant>
#include <algorithm>
#include <cctype>
#include <string>
#include <utility>

namespace chanwright {

namespace {

const char kInfo[] = "Select a channel list or a channel in the tree to change its settings.";

struct ColumnNames {
    Region region;
    const char* caption;
    const char* a;
    const char* b;
    const char* p;
};
constexpr ColumnNames kColumns[] = {
    {Region::Usa, "USA", "cmbAUSA", "cmbBUSA", "cmbPUSA"},
    {Region::International, "International", "cmbAInterNational", "cmbBInterNational",
     "cmbPInterNational"},
    {Region::Canada, "Canada", "cmbACanada", "cmbBCanada", "cmbPCanada"},
};

// Channels 9 (calling), 16 (distress) and 70 (DSC) are kept by the radio itself and cannot be
// an A or B channel, whatever follows the number ("09" is channel 9).
bool IsReservedChannel(const std::string& channelNo) {
    int number = 0;
    std::size_t i = 0;
    for (; i < channelNo.size() && std::isdigit(static_cast<unsigned char>(channelNo[i])); ++i)
        number = number * 10 + (channelNo[i] - '0');
    return i > 0 && (number == 9 || number == 16 || number == 70);
}

// The choices of one list: "[None]", then every channel in use that may be chosen, except the
// one the other list holds.
void FillChoices(QComboBox* box, const std::vector<PlanChannel>& channels, const ChannelPlan& plan,
                 int16_t other) {
    box->clear();
    box->addItem(QStringLiteral("[None]"), int(kNoChannel));
    for (const PlanChannel& channel : channels) {
        if (channel.Enable == 0 || !plan.Contains(channel.Position))
            continue;
        const std::string& channelNo = plan.At(channel.Position).ChannelNo;
        const int slot = channel.Position - 1;
        if (IsReservedChannel(channelNo) || slot == other)
            continue;
        box->addItem(QString::fromStdString(channelNo), slot);
    }
}

// Selects the item holding `value`, or "[None]" when no item does; returns the row chosen.
int SelectValue(QComboBox* box, int16_t value) {
    const int row = std::max(0, box->findData(int(value)));
    box->setCurrentIndex(row);
    return row;
}

}  // namespace

ChannelCommonPage::ChannelCommonPage(AppState& app, QWidget* parent) : QWidget(parent), app_(app) {
    setObjectName(QStringLiteral("pictA"));
    auto* grid = new QGridLayout(this);
    auto* info = new QLabel(QString::fromLatin1(kInfo), this);
    info->setObjectName(QStringLiteral("lblAInfo"));
    info->setWordWrap(true);
    grid->addWidget(info, 0, 0, 1, 5);

    const char* const rowCaptions[] = {"A-Ch", "B-Ch", "P-Ch"};
    QLabel* pCaption = nullptr;
    for (int r = 0; r < 3; ++r) {
        auto* caption = new QLabel(QString::fromLatin1(rowCaptions[r]), this);
        grid->addWidget(caption, r + 2, 0);
        if (r < 2)
            captions_[3 + r] = caption;
        else
            pCaption = caption;
    }
    for (int c = 0; c < 3; ++c) {
        const ColumnNames& names = kColumns[c];
        auto* caption = new QLabel(QString::fromLatin1(names.caption), this);
        grid->addWidget(caption, 1, c + 1);
        captions_[c] = caption;
        Column& column = columns_[c];
        column.region = names.region;
        const auto combo = [&](const char* name, int row) {
            auto* box = new QComboBox(this);
            box->setObjectName(QString::fromLatin1(name));
            grid->addWidget(box, row, c + 1);
            return box;
        };
        column.a = combo(names.a, 2);
        column.b = combo(names.b, 3);
        column.p = combo(names.p, 4);
        // The priority channels live only in data files; nothing here edits them.
        column.p->hide();
    }
    pCaption->hide();
    grid->setRowStretch(5, 1);
    grid->setColumnStretch(4, 1);
}

void ChannelCommonPage::Fill() {
    // Both lists are built from the choices as they stand before either is corrected.
    for (const Column& column : columns_) {
        const auto [a, b] = ChoicesOf(app_.Data.Channels, column.region);
        const std::vector<PlanChannel>& channels = ChannelsOf(app_.Data, column.region);
        const ChannelPlan& plan = PlanOf(app_.Plans, column.region);
        FillChoices(column.a, channels, plan, *b);
        FillChoices(column.b, channels, plan, *a);
    }
    for (const Column& column : columns_)
        FillColumn(column);
    // The choices are kept consistent here but not offered for editing.
    for (QLabel* caption : captions_)
        caption->hide();
    for (const Column& column : columns_) {
        column.a->hide();
        column.b->hide();
    }
}

void ChannelCommonPage::FillColumn(const Column& column) {
    const auto [a, b] = ChoicesOf(app_.Data.Channels, column.region);
    if (SelectValue(column.a, *a) == 0)
        *a = kNoChannel;
    // Without an A channel there is no B channel either.
    if (*a == kNoChannel)
        *b = kNoChannel;
    column.b->setEnabled(*a != kNoChannel);
    // A B channel no item names stays as it is; only the A choice governs it.
    SelectValue(column.b, *b);
}

}  // namespace chanwright
