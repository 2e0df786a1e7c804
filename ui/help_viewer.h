#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>
#include <QTextBrowser>

namespace chanwright {

// The program's help: one HTML file with a topic per context number ("#1022"), shown in a
// browser window beside the main window.
class HelpViewer {
  public:
    // helpFile may be empty: there is no help then.
    HelpViewer(QString helpFile, QWidget* parent);

    bool Available() const { return !helpFile_.isEmpty(); }
    const QString& HelpFile() const { return helpFile_; }
    void ShowTopic(int context);
    QTextBrowser* Browser() const { return browser_.data(); }

  private:
    QString helpFile_;
    QWidget* parent_;
    QPointer<QDialog> window_;
    QPointer<QTextBrowser> browser_;
};

// The help file of a model code ("KW83" → "KW83.html"), looked for beside the executable, in the
// installed data folder and in the per-user data folder; empty when it is nowhere.
QString FindHelpFile(const QString& modelCode);

}  // namespace chanwright
