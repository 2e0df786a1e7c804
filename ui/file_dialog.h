#pragma once

#include <QFileDialog>
#include <QPushButton>
#include <QString>

namespace chanwright {

class OddNamesModel;

// Qt's own (widget) file dialog, which also lists and opens files whose names are not UTF-8. Qt
// leaves such files out and cannot open them by name; here they are listed after a folder's own
// files, shown with \xNN for each odd byte, and a name chosen or typed in that form is turned back
// into the file's bytes when no file is named as typed but one is by those bytes.
class FileDialog : public QFileDialog {
  public:
    FileDialog(QWidget* parent, const QString& folder, const QString& filter, AcceptMode mode);

    // The file chosen, as PathFromSystem names it; empty when the dialog was cancelled.
    QString Chosen() const;

  protected:
    void accept() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The chosen name's file when only its \xNN bytes name one, otherwise empty.
    QString ByBytes() const;
    void TakeSelection();
    void KeepButton();

    OddNamesModel* names_;
    QPushButton* button_ = nullptr;
    QString chosen_;
};

}  // namespace chanwright
