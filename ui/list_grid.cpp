#include "ui/list_grid.h"

#include <QVBoxLayout>

#include <QAbstractButton>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStyleOptionHeader>
#include <QStylePainter>

namespace chanwright {

namespace {

// Grid measures are kept in twips, as the grids were drawn; the screen has 15 twips per pixel.
constexpr int kTwipsPerPixel = 15;
constexpr int kRowHeightTwips = 350;

constexpr int Pixels(int twips) {
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

QTableWidgetItem* ReadOnlyItem(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

}  // namespace

ListGrid::ListGrid(const char* objectName, QWidget* parent) : QTableWidget(parent) {
    setObjectName(QString::fromLatin1(objectName));
    const int rowHeight = Pixels(kRowHeightTwips);
    for (QHeaderView* header : {horizontalHeader(), verticalHeader()}) {
        header->setSectionResizeMode(QHeaderView::Fixed);
        // The headers name the columns and rows; only item rows are ever drawn as selected.
        header->setHighlightSections(false);
    }
    // A click on a row's number selects the row; the column titles are no buttons.
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setFixedHeight(rowHeight);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(rowHeight);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setTabKeyNavigation(false);
    setCornerButtonEnabled(false);
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);

    corner_ = findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly);
    if (corner_)
        corner_->installEventFilter(this);
    connect(this, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { emit RowActivated(row + 1); });
    connect(verticalHeader(), &QHeaderView::sectionDoubleClicked, this,
            [this](int section) { emit RowActivated(section + 1); });
}

void ListGrid::BeginFill(const std::vector<Column>& columns, int items) {
    hide();
    clear();
    const int count = static_cast<int>(columns.size());
    setColumnCount(count - 1);
    setRowCount(items);
    cornerTitle_ = count > 0 ? QString::fromLatin1(columns[0].title) : QString();
    if (count > 0)
        verticalHeader()->setFixedWidth(Pixels(columns[0].widthTwips));
    for (int c = 1; c < count; ++c) {
        setHorizontalHeaderItem(c - 1, ReadOnlyItem(QString::fromLatin1(columns[c].title)));
        setColumnWidth(c - 1, Pixels(columns[c].widthTwips));
    }
}

void ListGrid::EndFill() {
    if (rowCount() > 0)
        setCurrentCell(0, 0);
    show();
}

ListGrid* ListGrid::FillingPage(QWidget* page, const char* objectName) {
    auto* grid = new ListGrid(objectName, page);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(grid);
    return grid;
}

void ListGrid::SetText(int row, int column, const QString& text) {
    if (row < 0 || column < 0 || (row == 0 && column == 0))
        return;
    if (row == 0)
        setHorizontalHeaderItem(column - 1, ReadOnlyItem(text));
    else if (column == 0)
        setVerticalHeaderItem(row - 1, ReadOnlyItem(text));
    else
        setItem(row - 1, column - 1, ReadOnlyItem(text));
}

QString ListGrid::Text(int row, int column) const {
    if (row == 0 && column == 0)
        return cornerTitle_;
    const QTableWidgetItem* cell = row == 0      ? horizontalHeaderItem(column - 1)
                                   : column == 0 ? verticalHeaderItem(row - 1)
                                                 : item(row - 1, column - 1);
    return cell ? cell->text() : QString();
}

int ListGrid::ColumnWidth(int column) const {
    return column == 0 ? verticalHeader()->maximumWidth() : columnWidth(column - 1);
}

int ListGrid::RowHeight(int row) const {
    return row == 0 ? horizontalHeader()->maximumHeight() : rowHeight(row - 1);
}

// Enter is a double-click on the current row; it is taken so that no default button sees it.
void ListGrid::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (Row() >= 1)
            emit RowActivated(Row());
        event->accept();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

bool ListGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == corner_ && event->type() == QEvent::Paint) {
        QStyleOptionHeader option;
        option.initFrom(corner_);
        // The corner is no button (it selects nothing), but its title reads like the others.
        option.palette = horizontalHeader()->palette();
        option.state |= QStyle::State_Enabled | QStyle::State_Raised;
        option.rect = corner_->rect();
        option.text = cornerTitle_;
        option.textAlignment = Qt::AlignCenter;
        option.position = QStyleOptionHeader::OnlyOneSection;
        QStylePainter painter(corner_);
        painter.drawControl(QStyle::CE_Header, option);
        return true;
    }
    return QTableWidget::eventFilter(watched, event);
}

}  // namespace chanwright
