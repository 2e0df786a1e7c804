#pragma once

#include <QString>
#include <QTextStream>
#include <functional>
#include <optional>

#include "core/app_state.h"
#include "core/system_platform.h"
#include "storage/error_log.h"
#include "storage/file_operations.h"

namespace chanwright::cli {

enum ExitCode { kSuccess = 0, kFailed = 1, kBadUsage = 2 };

// Messages go to standard error as plain lines; the command line asks no questions.
class StderrPrompter : public Prompter {
  public:
    // Called before each message, so that a progress line can end first.
    std::function<void()> beforeMessage;

    void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) override;
    MessageAnswer Ask(const std::string& text, const std::string& title, MessageButtons buttons,
                      MessageIcon icon) override;
    std::string ChooseOpenFile(const std::string& filter) override;
    std::string ChooseSaveFile(const std::string& filter) override;
};

// ".hex" in any case is an image file; every other name is a data file.
bool IsImageFile(const QString& path);

// "HV2071P" or "TQ5300" in any case; nothing for other names.
std::optional<int16_t> ParseModel(const QString& name);

// The model a command works with: the --model option when given, else the model a data file's
// [MAIN] section names, else the one stored in the application settings.
int16_t ResolveModel(const std::optional<int16_t>& option, const QString& input);

// One command's application: a fresh default data set for the model, built exactly as the window
// builds one at start-up, and the file operations on it.
class CliSession {
  public:
    explicit CliSession(int16_t modelNum);

    AppState& App() { return app_; }
    StderrPrompter& Messages() { return prompter_; }
    const ErrorLog& Log() const { return log_; }

    // Loads a data file or an image file into the data set. False (with the message already on
    // standard error) when it failed.
    bool Load(const QString& path);
    // Writes the data set as a data file, or encoded as an image file. The file is only replaced
    // when the whole write succeeded.
    bool Write(const QString& path);
    // As Write, except that an image file gets the memory image exactly as it stands: after a
    // radio read, a byte-exact backup of the radio.
    bool WriteAsRead(const QString& path);

  private:
    bool Report();

    AppState app_;
    StderrPrompter prompter_;
    SteadyClock clock_;
    NoEventPump events_;
    NoBusyView busyView_;
    Platform platform_{prompter_, clock_, events_, busyView_};
    ErrorLog log_;
    FileOperations files_;
};

QTextStream& StdErr();
QTextStream& StdOut();

}  // namespace chanwright::cli
