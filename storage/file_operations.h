#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "core/app_state.h"
#include "core/platform.h"
#include "image/model_hint.h"
#include "storage/error_log.h"

namespace chanwright {

// A name ending in ".hex", in any case, is an image file; every other name is a data file. The
// window's File ▸ Save and Save As and the command-line tool go by it alike.
bool IsImageFile(const QString& path);

// Reading and writing the data file, the defaults file and the image file. Each operation returns
// whether it succeeded. It clears OperationFailed first; a failure sets OperationFailed and
// AbortRequested, is logged and shown with the program's own message, and leaves the data set, the
// image and any existing file as they were. Files are read and written as storage/file_io.h
// describes: a failed save never leaves a truncated or mixed file. A data file is written back in
// the encoding it was read in (see ProfileText); a save that had to write "?" for characters
// Windows-1252 lacks names them in a message after it.
class FileOperations {
  public:
    FileOperations(AppState& app, Platform& platform, const ErrorLog& log);

    // The window pauses half a second after each file operation so the user sees it happen; a
    // command-line run has no one watching and sets 0.
    void SetSettlePause(int milliseconds) { settlePauseMs_ = milliseconds; }
    // How a model error tells the user to choose the model an image file is for.
    void SetModelChoice(ModelChoice choice) { modelChoice_ = choice; }
    // The window's file error boxes give the system's reason as their second line; a
    // command-line run prints it on a line of its own and sets false.
    void SetReasonInMessage(bool shown) { reasonInMessage_ = shown; }
    // The command-line tool's --force: a file made read-only is replaced all the same.
    void SetForce(bool force) { force_ = force; }

    [[nodiscard]] bool LoadDataFile(const QString& path);
    [[nodiscard]] bool SaveFileAs(const QString& path);
    // The failure has been told; nothing waits on the outcome.
    bool SaveFileAsDefault(const QString& path);

    // Writes the image as it stands (callers encode first): exactly 8192 bytes.
    [[nodiscard]] bool SaveHexFileAs(const QString& path);
    // Replaces the image only with a complete file of the selected model, then decodes it.
    [[nodiscard]] bool ReadHexFileAs(const QString& path);

    // The two loads in their steps, for a caller that reads each input once (the command line,
    // whose standard input can be read only once): ReadInput reads a data file (image false) or
    // an image file as the loads read it and reports a failure as theirs; the Bytes functions
    // load what it read.
    std::optional<std::string> ReadInput(const QString& path, bool image);
    [[nodiscard]] bool LoadDataFileBytes(const std::string& bytes);
    [[nodiscard]] bool ReadHexBytes(const std::string& bytes);

    // Encodes the data set into the image. A range error leaves the image as it was and is
    // reported under `procedure`; false then comes back.
    bool EncodeForSave(const char* procedure);

    // What went wrong in the last failed operation, for callers that can say more than the
    // message box does (the command line).
    const ErrorInfo& LastError() const { return lastError_; }

  private:
    // Runs `work` with the window busy and the Busy flag set, then the fixed pause.
    void RunBusy(const std::function<void()>& work);
    // A save that had to write "?" for characters Windows-1252 lacks (`lacking`) names them.
    bool Save(const QString& path, const std::string& bytes, const char* procedure,
              const std::string& lacking = {});
    void Fail(const char* procedure, const ErrorInfo& error, const char* message);

    AppState& app_;
    Platform& platform_;
    const ErrorLog& log_;
    ErrorInfo lastError_;
    int settlePauseMs_ = 500;
    ModelChoice modelChoice_ = ModelChoice::Menu;
    bool reasonInMessage_ = true;
    bool force_ = false;
};

}  // namespace chanwright
