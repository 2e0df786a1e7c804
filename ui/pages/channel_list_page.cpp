#include "ui/pages/channel_list_page.h"

#include <QEvent>
#include <QVariant>
#include <vector>

#include "image/channel_text.h"

namespace chanwright {

namespace {

using Column = ListGrid::Column;

const std::vector<Column> kRegionalColumns = {
    {"CH", 800},  {"ENABLE", 1000}, {"RX[MHz]", 1000}, {"TX[MHz]", 1000}, {"TX", 600},
    {"LOW", 600}, {"UP", 600},      {"DUP", 600},      {"MEM", 600},      {"CH Name", 2000},
};

const std::vector<Column> kExpColumns = {
    {"CH", 800},  {"ENABLE", 1000}, {"POS", 800}, {"RX[MHz]", 1000}, {"TX[MHz]", 1000}, {"TX", 600},
    {"LOW", 600}, {"UP", 600},      {"DUP", 600}, {"MEM", 600},      {"CH Name", 2000},
};

const char kChannelListHint[] = "[Double click],[Enter]:Jump the Setting screen.";

const ChannelPlanEntry* PlanRow(const ChannelPlan& plan, int position) {
    return plan.Contains(position) ? &plan.At(position) : nullptr;
}

// The frequency a channel receives on: the duplex one when the channel is set to duplex.
double RxFreqOf(const PlanChannel& channel, const ChannelPlanEntry* row) {
    if (!row)
        return 0.0;
    return channel.Duplex != 0 ? row->DupRxFreq : row->RxFreq;
}

// The cells right of the CH column; the EXP list shows the plan row (POS) after ENABLE.
void SetChannelCells(ListGrid* grid, int row, int column, const PlanChannel& channel,
                     const ChannelPlanEntry* planRow, bool withPosition) {
    grid->SetText(row, column++, EnableCell(channel.Enable));
    if (withPosition)
        grid->SetText(row, column++, QString::number(channel.Position));
    grid->SetText(row, column++, FormatFreq(RxFreqOf(channel, planRow)));
    grid->SetText(row, column++, FormatFreq(planRow ? planRow->TxFreq : 0.0));
    grid->SetText(row, column++, TxCell(channel.TxEnable));
    grid->SetText(row, column++, LowCell(channel.LowPower));
    grid->SetText(row, column++, UpCell(channel.PowUp));
    grid->SetText(row, column++, DupCell(channel.Duplex));
    grid->SetText(row, column++, MemCell(channel.ScanMemory));
    grid->SetText(row, column, channel.ChTag);
}

}  // namespace

ChannelListPage::ChannelListPage(AppState& app, QWidget* parent)
    : QWidget(parent), app_(app), grid_(ListGrid::FillingPage(this, "MSFlexGrid1")) {
    setObjectName(QStringLiteral("pictB"));
    grid_->installEventFilter(this);
    connect(grid_, &ListGrid::RowActivated, this, &ChannelListPage::RowActivated);
}

void ChannelListPage::ShowRegion(Region region) {
    const std::vector<PlanChannel>& channels = ChannelsOf(app_.Data, region);
    const ChannelPlan& plan = PlanOf(app_.Plans, region);
    grid_->BeginFill(kRegionalColumns, static_cast<int>(channels.size()));
    for (int i = 0; i < static_cast<int>(channels.size()); ++i) {
        const PlanChannel& channel = channels[i];
        const ChannelPlanEntry* planRow = PlanRow(plan, channel.Position);
        grid_->SetText(i + 1, 0, planRow ? planRow->ChannelNo : std::string());
        SetChannelCells(grid_, i + 1, 1, channel, planRow, false);
    }
    grid_->EndFill();
}

void ChannelListPage::ShowExp() {
    const auto& channels = app_.Data.ExpChannels;
    grid_->BeginFill(kExpColumns, static_cast<int>(channels.size()));
    for (int i = 0; i < static_cast<int>(channels.size()); ++i) {
        const ExpChannel& channel = channels[i];
        grid_->SetText(i + 1, 0, QString::number(i + 1));
        SetChannelCells(grid_, i + 1, 1, channel, PlanRow(app_.Plans.ExpPlan, channel.Position),
                        true);
    }
    grid_->EndFill();
}

bool ChannelListPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grid_ && event->type() == QEvent::FocusIn)
        emit StatusHint(QString::fromLatin1(kChannelListHint));
    return QWidget::eventFilter(watched, event);
}

}  // namespace chanwright
