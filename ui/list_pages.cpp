#include "ui/list_pages.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QFont>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTableWidget>
#include <QTableWidgetItem>
#include <QVBoxLayout>
#include <QVariant>
#include <vector>

#include "image/channel_text.h"

namespace chanwright {

namespace {

// Grid measures are kept in twips, as the layout was drawn; the screen has 15 twips per pixel.
constexpr int kTwipsPerPixel = 15;
constexpr int kRowHeightTwips = 350;

constexpr int Pixels(int twips) {
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

struct Column {
    const char* title;
    int widthTwips;
};

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

// A read-only grid whose first row and column are drawn as fixed cells, like a flex grid.
QTableWidget* MakeGrid(QWidget* page, const char* objectName) {
    auto* grid = new QTableWidget(page);
    grid->setObjectName(QString::fromLatin1(objectName));
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setMinimumSectionSize(1);
    grid->verticalHeader()->setDefaultSectionSize(Pixels(kRowHeightTwips));
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setTabKeyNavigation(false);
    QFont font = grid->font();
    font.setBold(true);
    grid->setFont(font);

    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(grid);
    return grid;
}

void SetCell(QTableWidget* grid, int row, int column, const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    if (row == 0 || column == 0)
        item->setBackground(grid->palette().button());
    grid->setItem(row, column, item);
}

void SetCell(QTableWidget* grid, int row, int column, const std::string& text) {
    SetCell(grid, row, column, QString::fromStdString(text));
}

// Clears the grid down to its header row, with the grid hidden so that the refill is drawn once.
void BeginRefill(QTableWidget* grid, const std::vector<Column>& columns, int rows) {
    grid->hide();
    grid->clearContents();
    grid->setColumnCount(static_cast<int>(columns.size()));
    grid->setRowCount(rows);
    for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
        grid->setColumnWidth(c, Pixels(columns[c].widthTwips));
        SetCell(grid, 0, c, QString::fromLatin1(columns[c].title));
    }
}

void EndRefill(QTableWidget* grid) {
    grid->setCurrentCell(0, 0);
    grid->show();
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
void SetChannelCells(QTableWidget* grid, int row, int column, const PlanChannel& channel,
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

// Enter or Return in a grid; the event is taken so that no default button sees it.
bool IsEnterKey(QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

}  // namespace

ChannelListPage::ChannelListPage(AppState& app, QWidget* parent)
    : QWidget(parent), app_(app), grid_(MakeGrid(this, "MSFlexGrid1")) {
    setObjectName(QStringLiteral("pictB"));
    grid_->installEventFilter(this);
    // The header row names the columns; only channel rows lead to a setting screen.
    connect(grid_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
        if (row >= 1)
            emit RowActivated(row);
    });
}

void ChannelListPage::ShowRegion(Region region) {
    const std::vector<PlanChannel>& channels = ChannelsOf(app_.Data, region);
    const ChannelPlan& plan = PlanOf(app_.Plans, region);
    BeginRefill(grid_, kRegionalColumns, static_cast<int>(channels.size()) + 1);
    for (int i = 0; i < static_cast<int>(channels.size()); ++i) {
        const PlanChannel& channel = channels[i];
        const ChannelPlanEntry* planRow = PlanRow(plan, channel.Position);
        SetCell(grid_, i + 1, 0, planRow ? planRow->ChannelNo : std::string());
        SetChannelCells(grid_, i + 1, 1, channel, planRow, false);
    }
    EndRefill(grid_);
}

void ChannelListPage::ShowExp() {
    const auto& channels = app_.Data.ExpChannels;
    BeginRefill(grid_, kExpColumns, static_cast<int>(channels.size()) + 1);
    for (int i = 0; i < static_cast<int>(channels.size()); ++i) {
        const ExpChannel& channel = channels[i];
        SetCell(grid_, i + 1, 0, QString::number(i + 1));
        SetChannelCells(grid_, i + 1, 1, channel, PlanRow(app_.Plans.ExpPlan, channel.Position),
                        true);
    }
    EndRefill(grid_);
}

bool ChannelListPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grid_) {
        if (event->type() == QEvent::FocusIn)
            emit StatusHint(QString::fromLatin1(kChannelListHint));
        if (IsEnterKey(event)) {
            if (grid_->currentRow() >= 1)
                emit RowActivated(grid_->currentRow());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

DirectoryListPage::DirectoryListPage(AppState& app, QWidget* parent)
    : QWidget(parent), app_(app), grid_(MakeGrid(this, "MSFlexGrid2")) {
    setObjectName(QStringLiteral("pictE"));
    grid_->installEventFilter(this);
    connect(grid_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
        if (row >= 1)
            emit RowActivated(row);
    });
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
    BeginRefill(grid_, columns, count + 1);
    for (int i = 0; i < count; ++i) {
        SetCell(grid_, i + 1, 0, QString::number(i + 1));
        SetCell(grid_, i + 1, 1, entries[i].TagName);
        SetCell(grid_, i + 1, 2, entries[i].Mmsid);
    }
    EndRefill(grid_);
}

bool DirectoryListPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grid_ && IsEnterKey(event)) {
        if (grid_->currentRow() >= 1)
            emit RowActivated(grid_->currentRow());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace chanwright
