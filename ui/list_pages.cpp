#include "ui/list_pages.h"

#include <QEvent>
#include <QVBoxLayout>
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

constexpr int kDirectoryNameColumn = 1;
const std::vector<Column> kDirectoryColumns = {
    {"No.", 800},
    {"STATION NAME", 2500},
    {"MMSI", 2150},
};

const char kChannelListHint[] = "[Double click],[Enter]:Jump the Setting screen.";

// The page's one grid, filling it.
ListGrid* MakeGrid(QWidget* page, const char* objectName) {
    auto* grid = new ListGrid(objectName, page);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(grid);
    return grid;
}

void SetCell(ListGrid* grid, int row, int column, const QString& text) {
    grid->SetText(row, column, text);
}

void SetCell(ListGrid* grid, int row, int column, const std::string& text) {
    grid->SetText(row, column, QString::fromStdString(text));
}

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
    SetCell(grid, row, column++, EnableCell(channel.Enable));
    if (withPosition)
        SetCell(grid, row, column++, QString::number(channel.Position));
    SetCell(grid, row, column++, FormatFreq(RxFreqOf(channel, planRow)));
    SetCell(grid, row, column++, FormatFreq(planRow ? planRow->TxFreq : 0.0));
    SetCell(grid, row, column++, TxCell(channel.TxEnable));
    SetCell(grid, row, column++, LowCell(channel.LowPower));
    SetCell(grid, row, column++, UpCell(channel.PowUp));
    SetCell(grid, row, column++, DupCell(channel.Duplex));
    SetCell(grid, row, column++, MemCell(channel.ScanMemory));
    SetCell(grid, row, column, channel.ChTag);
}

}  // namespace

ChannelListPage::ChannelListPage(AppState& app, QWidget* parent)
    : QWidget(parent), app_(app), grid_(MakeGrid(this, "MSFlexGrid1")) {
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
        SetCell(grid_, i + 1, 0, planRow ? planRow->ChannelNo : std::string());
        SetChannelCells(grid_, i + 1, 1, channel, planRow, false);
    }
    grid_->EndFill();
}

void ChannelListPage::ShowExp() {
    const auto& channels = app_.Data.ExpChannels;
    grid_->BeginFill(kExpColumns, static_cast<int>(channels.size()));
    for (int i = 0; i < static_cast<int>(channels.size()); ++i) {
        const ExpChannel& channel = channels[i];
        SetCell(grid_, i + 1, 0, QString::number(i + 1));
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

DirectoryListPage::DirectoryListPage(AppState& app, QWidget* parent)
    : QWidget(parent), app_(app), grid_(MakeGrid(this, "MSFlexGrid2")) {
    setObjectName(QStringLiteral("pictE"));
    connect(grid_, &ListGrid::RowActivated, this, &DirectoryListPage::RowActivated);
}

void DirectoryListPage::ShowDirectory(bool group) {
    // Both directories are shown by this one grid, so its help topic follows the directory.
    grid_->setProperty("helpContext", group ? 1067 : 1047);
    std::vector<Column> columns = kDirectoryColumns;
    if (group)
        columns[kDirectoryNameColumn].title = "GROUP NAME";
    const DirectoryEntry* entries =
        group ? app_.Data.GroupDirectory.data() : app_.Data.IndividualDirectory.data();
    const int count = group ? kGroupDirectorySize : kIndividualDirectorySize;
    grid_->BeginFill(columns, count);
    for (int i = 0; i < count; ++i) {
        SetCell(grid_, i + 1, 0, QString::number(i + 1));
        SetCell(grid_, i + 1, 1, entries[i].TagName);
        SetCell(grid_, i + 1, 2, ShownMmsi(entries[i].Mmsid));
    }
    grid_->EndFill();
}

}  // namespace chanwright
