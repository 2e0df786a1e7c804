#pragma once

#include <QString>
#include <QTextStream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/app_state.h"
#include "core/system_platform.h"
#include "storage/error_log.h"
#include "storage/file_operations.h"
#include "storage/settings_store.h"

namespace chanwright::cli {

// 130 is the shell's status for a program stopped by Ctrl+C.
enum ExitCode { kSuccess = 0, kFailed = 1, kBadUsage = 2 };

// Messages go to standard error as plain lines; the command line asks no questions.
class StderrPrompter : public Prompter {
  public:
    // Called before each message, so that a progress line can end first.
    std::function<void()> beforeMessage;

    void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) override;
    MessageAnswer Ask(const std::string& text, const std::string& title, MessageButtons buttons,
                      MessageIcon icon) override;
    int Choose(const std::string& text, const std::string& title,
               const std::vector<std::string>& buttons, MessageIcon icon) override;
    std::string ChooseOpenFile(const std::string& filter) override;
    std::string ChooseSaveFile(const std::string& filter) override;

    // The last message written, so that its detail is not written a second time.
    const std::string& LastShown() const { return lastShown_; }

  private:
    std::string lastShown_;
};

// One command's application: a fresh default data set, built exactly as the window builds one at
// start-up, and the file operations on it. Its model is the --model option when given, else the
// model the input data file's [MAIN] section names, else the one stored in the settings.
class CliSession {
  public:
    // The input (a data file or an image file; none for "") is read here, once, so that standard
    // input or a file that changes meanwhile gives the model and the data from the same bytes.
    explicit CliSession(const std::optional<Model>& model, const QString& input = QString());

    AppState& App() { return app_; }
    StderrPrompter& Messages() { return prompter_; }
    const ErrorLog& Log() const { return log_; }

    // The model the input data file's [MAIN] section names; nothing for an image or a file that
    // names none.
    const std::optional<Model>& NamedModel() const { return named_; }
    // False, with the message on standard error, when the input is a text that holds none of a
    // data file's sections: loading it would give a data set of empty names. An input that could
    // not be read passes, for Load to tell why.
    bool HoldsData();
    // Loads the input into the data set. False (with the message already on standard error) when
    // it could not be read or loaded.
    bool Load();
    // Writes the data set as a data file, or encoded as an image file. The file is only replaced
    // when the whole write succeeded; a read-only file only when forced. An image file's names
    // are said first (ReportNameChanges).
    bool Write(const QString& path, bool force);
    // Each name the image gets other than the data set holds it, one line each on standard error
    // ("USA 16 CH Name: CAFÉ DU PORT → CAFE DU PORT").
    void ReportNameChanges();
    // As Write, except that an image file gets the memory image exactly as it stands: after a
    // radio read, a byte-exact backup of the radio.
    bool WriteAsRead(const QString& path, bool force);

    // Writes the message and the reason of a failure that did not go through the file
    // operations, as they write theirs.
    void ReportFailure(const char* message, const ErrorInfo& error);

    // The user's settings, read when first asked for (see UserSettings).
    const SettingsStore& Settings();

  private:
    // ok back; after a failed file operation, its reason on standard error first.
    bool Report(bool ok);

    QString input_;
    std::unique_ptr<SettingsStore> settings_;
    std::optional<std::string> inputBytes_;
    std::optional<Model> named_;
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

// The user's settings file, read; why it is ignored, when it is, said on standard error. A command
// reads it once at most, so that the warning stands there once.
std::unique_ptr<SettingsStore> UserSettings();

// The field changes on standard output, one a line, with diff(1)'s exit status: 0 none, 1 some.
int PrintChanges(const std::vector<std::string>& lines);

// The exit status once everything the command printed on standard output has been handed to the
// system: a command's status, or 2 with a message when standard output could not take it all (a
// full disk, a closed pipe), so that a script never takes a lost listing or comparison for a
// complete one. 130 and 143 (stopped) stay as they are.
int CheckStandardOutput(int status);

}  // namespace chanwright::cli
