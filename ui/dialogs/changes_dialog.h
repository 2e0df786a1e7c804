#pragma once

#include <QDialog>
#include <string>
#include <vector>

namespace chanwright {

// `frmChanges`: what an import or a merge would change in the data being edited, one line a
// field as `diff` words it, and any warnings after them. OK makes the changes; Cancel leaves
// everything as it was.
class ChangesDialog : public QDialog {
    Q_OBJECT
  public:
    ChangesDialog(const QString& title, const std::vector<std::string>& lines,
                  QWidget* parent = nullptr);
};

}  // namespace chanwright
