#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QPlainTextEdit;

namespace chanwright {

// `frmVerify`: where the radio differs from the data being edited, one line a field, then the
// count of differing bytes; the lines can be selected and copied.
class VerifyDialog : public QDialog {
    Q_OBJECT
  public:
    VerifyDialog(const std::vector<std::string>& lines, QWidget* parent = nullptr);

  private:
    QPlainTextEdit* text_;
};

}  // namespace chanwright
