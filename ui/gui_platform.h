#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include "core/platform.h"

namespace chanwright {

// The window's message boxes and file dialogs.
class GuiPrompter : public Prompter {
  public:
    explicit GuiPrompter(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }

    void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) override;
    MessageAnswer Ask(const std::string& text, const std::string& title, MessageButtons buttons,
                      MessageIcon icon) override;
    int Choose(const std::string& text, const std::string& title,
               const std::vector<std::string>& buttons, MessageIcon icon) override;
    std::string ChooseOpenFile(const std::string& filter) override;
    std::string ChooseSaveFile(const std::string& filter) override;
    std::string ChooseOpenFileIn(const std::string& folder, const std::string& filter) override;
    std::string ChooseSaveFileIn(const std::string& folder, const std::string& filter) override;
    std::string ChooseSaveFileWithSuffix(const std::string& filter,
                                         const std::string& suffix) override;

  private:
    std::string ChooseSave(const std::string& folder, const std::string& filter,
                           const QString& suffix);

    QPointer<QWidget> parent_;
};

// "dat files(*.dat)|*.dat|All files(*.*)|*.*" in the form Qt's file dialogs take: the program's
// own entries first, then "All Files (*)", since "*.*" misses names without a dot.
QString QtFileFilter(const std::string& filter);

// The name chosen in the data file's Save As dialog, with ".dat" when it has no suffix; other
// filters keep the name as it is.
QString WithDefaultSuffix(const QString& path, const std::string& filter);

// A lone CR breaks a line in a message; Qt's labels want LF.
QString MessageText(const std::string& text);

// Lets the window repaint and deliver clicks (Cancel) while a long operation holds the thread.
class QtEventPump : public EventPump {
  public:
    void ProcessEvents() override;
};

// The main window disabled, with the busy pointer, while a file operation runs.
class WindowBusyView : public BusyView {
  public:
    explicit WindowBusyView(QWidget* window = nullptr) : window_(window) {}
    void SetWindow(QWidget* window) { window_ = window; }
    void SetBusy(bool busy) override;

  private:
    QPointer<QWidget> window_;
    int depth_ = 0;
};

}  // namespace chanwright
