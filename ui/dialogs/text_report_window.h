#pragma once

#include <QDialog>
#include <string>

#include "core/app_state.h"
#include "core/platform.h"

class QPlainTextEdit;
class QShowEvent;
class QPushButton;
class QTimer;

namespace chanwright {

// `frmPrn`: the text image in a read-only box, built by a 10 ms timer once the window shows,
// with "&File" ▸ "&Save As..." and "&Exit".
class TextReportWindow : public QDialog {
    Q_OBJECT
  public:
    TextReportWindow(AppState& app, Platform& platform, QWidget* parent = nullptr);

    // The timer's work: builds the text into `txtPrn`.
    void BuildText();
    // "&Save As...": the save dialog through the prompter, then an atomic write of the text
    // followed by CR LF.
    void SaveAs();

  private:
    void showEvent(QShowEvent* event) override;
    // Writes the text and its closing CR LF through a temporary file, so a failed write never
    // leaves a half-written report behind.
    bool WriteText(const QString& path, QString& error) const;

    AppState& app_;
    Platform& platform_;
    QPlainTextEdit* text_;
    QPushButton* ok_;
    QTimer* timer_;
    std::string text_bytes_;  // the text image exactly as it is saved, CR LF included
};

}  // namespace chanwright
