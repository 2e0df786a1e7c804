#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "core/app_state.h"
#include "core/platform.h"
#include "storage/error_log.h"

namespace chanwright {

// Reading and writing the data file, the defaults file and the image file. Each operation clears
// OperationFailed first; a failure sets OperationFailed and AbortRequested, is logged and shown
// with the program's own message, and leaves the data set, the image and any existing file as
// they were. Files are replaced atomically: a failed save never leaves a truncated or mixed file.
class FileOperations {
  public:
    FileOperations(AppState& app, Platform& platform, const ErrorLog& log);

    // The window pauses half a second after each file operation so the user sees it happen; a
    // command-line run has no one watching and sets 0.
    void SetSettlePause(int milliseconds) { settlePauseMs_ = milliseconds; }

    void FileRead2(const QString& path);
    void SaveFileAs(const QString& path);
    void SaveFileAsDefault(const QString& path);

    // Writes the image as it stands (callers encode first): exactly 8192 bytes.
    void SaveHexFileAs(const QString& path);
    // Replaces the image only with a complete file of the selected model, then decodes it.
    void ReadHexFileAs(const QString& path);

    // Encodes the data set into the image. A range error leaves the image as it was and is
    // reported under `procedure`; false then comes back.
    bool EncodeForSave(const char* procedure);

    // What went wrong in the last failed operation, for callers that can say more than the
    // message box does (the command line).
    const ErrorInfo& LastError() const { return lastError_; }

  private:
    // Runs `work` with the window busy and the Busy flag set, then the fixed pause.
    void RunBusy(const std::function<void()>& work);
    void Save(const QString& path, const std::string& bytes, const char* procedure);
    void Fail(const char* procedure, const ErrorInfo& error, const char* message);
    bool WriteAtomically(const QString& path, const std::string& bytes, ErrorInfo& error);

    AppState& app_;
    Platform& platform_;
    const ErrorLog& log_;
    ErrorInfo lastError_;
    int settlePauseMs_ = 500;
};

}  // namespace chanwright
