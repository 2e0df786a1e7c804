#include "storage/file_operations.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/busy_guard.h"
#include "core/messages.h"
#include "core/text_encoding.h"
#include "image/default_image.h"
#include "image/image_decoder.h"
#include "image/image_encoder.h"
#include "storage/data_file_reader.h"
#include "storage/data_file_writer.h"
#include "storage/file_io.h"

namespace chanwright {

namespace {

// A data file of a full set is about 40 KB; anything far larger is not one of ours, and reading
// it whole would only cost memory.
constexpr std::size_t kMaxDataFileSize = 16 * 1024 * 1024;

// Names each character with its number, so that one the screen shows blank is found too.
std::string LackingMessage(const std::string& lacking) {
    std::string listed;
    char32_t code = 0;
    for (std::size_t at = 0; at < lacking.size();) {
        const int length = std::max(1, Utf8Sequence(lacking, at, code));
        char number[16];
        std::snprintf(number, sizeof number, " (U+%04X)", static_cast<unsigned>(code));
        listed += (listed.empty() ? "" : ", ") + lacking.substr(at, length) + number;
        at += static_cast<std::size_t>(length);
    }
    return messages::kLackingCharacters + listed;
}

}  // namespace

bool IsImageFile(const QString& path) {
    return path.endsWith(QLatin1String(".hex"), Qt::CaseInsensitive);
}

FileOperations::FileOperations(AppState& app, Platform& platform, const ErrorLog& log)
    : app_(app), platform_(platform), log_(log) {}

void FileOperations::RunBusy(const std::function<void()>& work) {
    const BusyGuard busy(app_.Shared.Busy, &platform_.busyView);
    work();
    if (settlePauseMs_ > 0)
        platform_.clock.Pause(settlePauseMs_);
}

void FileOperations::Fail(const char* procedure, const ErrorInfo& error, const char* message) {
    lastError_ = error;
    app_.Shared.OperationFailed = true;
    log_.LogError(procedure, error.Text());
    const std::string reason =
        reasonInMessage_ && !error.Description.empty() ? "\n" + error.Description : "";
    platform_.prompter.ShowMessage(message + reason, messages::kAppTitle, MessageIcon::Exclamation);
    app_.Shared.AbortRequested = true;
}

std::optional<std::string> FileOperations::ReadInput(const QString& path, bool image) {
    app_.Shared.OperationFailed = false;
    ErrorInfo error;
    std::optional<std::string> bytes;
    RunBusy([&] {
        bytes = ReadInputFile(path, image ? kImageSize : kMaxDataFileSize, error);
        if (!bytes)
            return;
        if (!image && bytes->size() > kMaxDataFileSize) {
            error = {EFBIG, std::strerror(EFBIG)};
            bytes.reset();
        } else if (image && bytes->size() < static_cast<std::size_t>(kImageSize)) {
            error = {EINVAL, "File holds " + std::to_string(bytes->size()) + " of 8192 bytes"};
            bytes.reset();
        }
    });
    if (!bytes) {
        Fail(image ? "frmMain.ReadHexFileAs" : "frmMain.FileRead2", error,
             messages::kFileReadError);
    }
    return bytes;
}

bool FileOperations::LoadDataFile(const QString& path) {
    // The file is read and parsed whole before the data set is touched, so a file that cannot be
    // read leaves every field as it was.
    const std::optional<std::string> bytes = ReadInput(path, false);
    return bytes && LoadDataFileBytes(*bytes);
}

bool FileOperations::LoadDataFileBytes(const std::string& bytes) {
    app_.Shared.OperationFailed = false;
    if (!ReadDataFileBytes(bytes, app_.Shared, app_.Plans, app_.Data)) {
        Fail("frmMain.FileRead2", {EINVAL, "The file holds NUL bytes: it is no text data file"},
             messages::kFileReadError);
        return false;
    }
    return true;
}

bool FileOperations::Save(const QString& path, const std::string& bytes, const char* procedure,
                          const std::string& lacking) {
    app_.Shared.OperationFailed = false;
    ErrorInfo error;
    bool ok = false;
    RunBusy([&] { ok = WriteOutputFile(path, bytes, error, force_); });
    if (!ok)
        Fail(procedure, error, messages::kFileSaveError);
    else if (!lacking.empty())
        platform_.prompter.ShowMessage(LackingMessage(lacking), messages::kAppTitle,
                                       MessageIcon::Exclamation);
    return ok;
}

bool FileOperations::SaveFileAs(const QString& path) {
    std::string lacking;
    const std::string bytes = WriteDataFile(app_.Shared, app_.Data, &lacking);
    return Save(path, bytes, "frmMain.SaveFileAs", lacking);
}

bool FileOperations::SaveFileAsDefault(const QString& path) {
    std::string lacking;
    const std::string bytes = WriteDefaultsFile(app_.Shared, app_.Data, &lacking);
    return Save(path, bytes, "frmMain.SaveFileAsDefault", lacking);
}

bool FileOperations::SaveHexFileAs(const QString& path) {
    return Save(path, std::string(app_.Image.begin(), app_.Image.end()), "frmMain.SaveHexFileAs");
}

bool FileOperations::ReadHexFileAs(const QString& path) {
    // An image file may be longer than an image; only its first 8192 bytes count.
    const std::optional<std::string> bytes = ReadInput(path, true);
    return bytes && ReadHexBytes(*bytes);
}

bool FileOperations::ReadHexBytes(const std::string& bytes) {
    app_.Shared.OperationFailed = false;
    MemoryImage buffer{};
    std::copy_n(bytes.begin(), std::min(bytes.size(), buffer.size()), buffer.begin());
    if (!CheckModelId(FirstModelId(buffer), SecondModelId(buffer), app_.Shared.ModelNum)) {
        lastError_ = {0, "the file holds another model's image"};
        app_.Shared.OperationFailed = true;
        platform_.prompter.ShowMessage(
            ModelErrorText(buffer, app_.Shared.ModelNum, IdentifierSource::File, modelChoice_),
            messages::kReadFromRadio, MessageIcon::Critical);
        return false;
    }
    app_.Image = buffer;
    DecodeImage(app_.Image, app_.Data);
    return true;
}

bool FileOperations::EncodeForSave(const char* procedure) {
    const std::optional<EncodeError> error = EncodeImage(app_.Data, app_.Image);
    if (!error)
        return true;
    lastError_ = {EncodeError::kNumber, error->Message()};
    app_.Shared.OperationFailed = true;
    log_.LogError(procedure, lastError_.Text());
    platform_.prompter.ShowMessage(error->Message(), messages::kAppTitle, MessageIcon::Exclamation);
    app_.Shared.AbortRequested = true;
    return false;
}

}  // namespace chanwright
