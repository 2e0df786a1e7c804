#include "storage/file_operations.h"

#include <QFile>
#include <QSaveFile>

#include "core/messages.h"
#include "image/default_image.h"
#include "image/image_decoder.h"
#include "image/image_encoder.h"
#include "storage/data_file_reader.h"
#include "storage/data_file_writer.h"
#include "storage/profile_file.h"

namespace chanwright {

namespace {

// A data file of a full set is about 40 KB; anything far larger is not one of ours, and reading
// it whole would only cost memory.
constexpr qint64 kMaxDataFileSize = 16 * 1024 * 1024;

ErrorInfo FileError(const QFileDevice& file) {
    return {static_cast<int>(file.error()), file.errorString().toStdString()};
}

// At most `limit` bytes from the start of the file.
std::optional<std::string> ReadFileStart(const QString& path, qint64 limit, ErrorInfo& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = FileError(file);
        return std::nullopt;
    }
    // read(limit) would reserve the whole limit up front; most files are far smaller.
    const QByteArray bytes = file.size() <= limit ? file.readAll() : file.read(limit);
    if (file.error() != QFileDevice::NoError) {
        error = FileError(file);
        return std::nullopt;
    }
    return bytes.toStdString();
}

}  // namespace

FileOperations::FileOperations(AppState& app, Platform& platform, const ErrorLog& log)
    : app_(app), platform_(platform), log_(log) {}

void FileOperations::RunBusy(const std::function<void()>& work) {
    platform_.busyView.SetBusy(true);
    app_.Shared.Busy = kTrue;
    work();
    if (settlePauseMs_ > 0)
        platform_.clock.Pause(settlePauseMs_);
    app_.Shared.Busy = kFalse;
    platform_.busyView.SetBusy(false);
}

void FileOperations::Fail(const char* procedure, const ErrorInfo& error, const char* message) {
    lastError_ = error;
    app_.Shared.OperationFailed = kTrue;
    log_.LogError(procedure, error.Text());
    platform_.prompter.ShowMessage(message, messages::kAppTitle, MessageIcon::Exclamation);
    app_.Shared.AbortRequested = kTrue;
}

bool FileOperations::WriteAtomically(const QString& path, const std::string& bytes,
                                     ErrorInfo& error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        error = FileError(file);
        return false;
    }
    const auto size = static_cast<qint64>(bytes.size());
    if (file.write(bytes.data(), size) != size) {
        error = FileError(file);
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        error = FileError(file);
        return false;
    }
    return true;
}

void FileOperations::FileRead2(const QString& path) {
    app_.Shared.OperationFailed = kFalse;
    ErrorInfo error;
    bool ok = false;
    RunBusy([&] {
        // The file is read and parsed whole before the data set is touched, so a file that
        // cannot be read leaves every field as it was.
        const std::optional<std::string> bytes = ReadFileStart(path, kMaxDataFileSize + 1, error);
        if (!bytes)
            return;
        if (bytes->size() > static_cast<std::size_t>(kMaxDataFileSize)) {
            error = {static_cast<int>(QFileDevice::ReadError), "File too large"};
            return;
        }
        ReadDataFile(ProfileFile::Parse(*bytes), app_.Shared, app_.Data);
        ok = true;
    });
    if (!ok)
        Fail("frmMain.FileRead2", error, messages::kFileReadError);
}

void FileOperations::Save(const QString& path, const std::string& bytes, const char* procedure) {
    app_.Shared.OperationFailed = kFalse;
    ErrorInfo error;
    bool ok = false;
    RunBusy([&] { ok = WriteAtomically(path, bytes, error); });
    if (!ok)
        Fail(procedure, error, messages::kFileSaveError);
}

void FileOperations::SaveFileAs(const QString& path) {
    Save(path, WriteDataFile(app_.Shared, app_.Data), "frmMain.SaveFileAs");
}

void FileOperations::SaveFileAsDefault(const QString& path) {
    Save(path, WriteDefaultsFile(app_.Shared, app_.Data), "frmMain.SaveFileAsDefault");
}

void FileOperations::SaveHexFileAs(const QString& path) {
    Save(path, std::string(app_.Image.begin(), app_.Image.end()), "frmMain.SaveHexFileAs");
}

void FileOperations::ReadHexFileAs(const QString& path) {
    app_.Shared.OperationFailed = kFalse;
    ErrorInfo error;
    std::optional<std::string> bytes;
    // An image file may be longer than an image; only its first 8192 bytes count.
    RunBusy([&] {
        bytes = ReadFileStart(path, kImageSize, error);
        if (bytes && bytes->size() < static_cast<std::size_t>(kImageSize)) {
            error = {static_cast<int>(QFileDevice::ReadError),
                     "File holds " + std::to_string(bytes->size()) + " of 8192 bytes"};
            bytes.reset();
        }
    });
    if (!bytes) {
        Fail("frmMain.ReadHexFileAs", error, messages::kFileReadError);
        return;
    }
    MemoryImage buffer{};
    std::copy(bytes->begin(), bytes->begin() + kImageSize, buffer.begin());
    if (!CheckModelId(FirstModelId(buffer), SecondModelId(buffer), app_.Shared.ModelNum)) {
        lastError_ = {0, "the file holds another model's image"};
        app_.Shared.OperationFailed = kTrue;
        platform_.prompter.ShowMessage(messages::kModelNameError, messages::kReadFromRadio,
                                       MessageIcon::Critical);
        return;
    }
    app_.Image = buffer;
    DecodeImage(app_.Image, app_.Data);
}

bool FileOperations::EncodeForSave(const char* procedure) {
    const std::optional<EncodeError> error = EncodeImage(app_.Data, app_.Image);
    if (!error)
        return true;
    lastError_ = {EncodeError::kNumber, error->Message()};
    app_.Shared.OperationFailed = kTrue;
    log_.LogError(procedure, lastError_.Text());
    platform_.prompter.ShowMessage(error->Message(), messages::kAppTitle, MessageIcon::Exclamation);
    app_.Shared.AbortRequested = kTrue;
    return false;
}

}  // namespace chanwright
