#pragma once

#include <QString>
#include <QTableWidget>
#include <string>
#include <vector>

class QAbstractButton;

namespace chanwright {

// A read-only list grid addressed as the program's grids are: row 0 is the header row and
// column 0 the fixed first column (the channel or entry number); rows 1 … n hold the items. The
// header row and the first column are the table's own headers, so they stay in view while the
// items scroll under them.
class ListGrid : public QTableWidget {
    Q_OBJECT
  public:
    struct Column {
        const char* title;
        int widthTwips;
    };

    ListGrid(const char* objectName, QWidget* parent);
    // A grid that fills the page, its only control.
    static ListGrid* FillingPage(QWidget* page, const char* objectName);

    // Empties the grid to these columns and `items` item rows. The grid stays hidden until
    // EndFill, so that the refill is drawn once.
    void BeginFill(const std::vector<Column>& columns, int items);
    // Shows the grid with the first item row current, ready for Enter.
    void EndFill();
    void SetText(int row, int column, const QString& text);
    void SetText(int row, int column, const std::string& text) {
        SetText(row, column, QString::fromStdString(text));
    }
    QString Text(int row, int column) const;
    // The header row and the item rows.
    int Rows() const { return rowCount() + 1; }
    // The current item row, 1 … n; 0 when there is none.
    int Row() const { return currentRow() + 1; }
    // In pixels, the header row and the first column included.
    int ColumnWidth(int column) const;
    int RowHeight(int row) const;

  signals:
    // Double-click or Enter on an item row (1 … n).
    void RowActivated(int row);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Where the header row meets the first column: the first column's title.
    QAbstractButton* corner_ = nullptr;
    QString cornerTitle_;
};

}  // namespace chanwright
