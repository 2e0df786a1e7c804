#pragma once

#include <string>
#include <vector>

class QBoxLayout;
class QDialog;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

// What the program's dialogs share, so they look and answer alike.
namespace chanwright {

struct DialogButtons {
    QPushButton* ok;
    QPushButton* cancel;
};

// The row along a dialog's foot: `extra` (if any) on the left, OK (the default button, `cmdOK`)
// and Cancel (`cmdCancel`, which rejects the dialog) on the right. What OK does is the caller's.
DialogButtons AddDialogButtons(QDialog* dialog, QBoxLayout* layout, QPushButton* extra);

// Lines to read, select and copy, one a row, not wrapped: what a comparison or an import found.
QPlainTextEdit* AddLinesView(QDialog* dialog, QBoxLayout* layout,
                             const std::vector<std::string>& lines, const char* objectName);
// A table to choose one row from: whole rows, one at a time, nothing to edit, no row numbers.
void MakeRowChooser(QTableWidget* table);

}  // namespace chanwright
