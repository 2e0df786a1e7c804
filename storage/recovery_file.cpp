#include "storage/recovery_file.h"

#include <QDir>
#include <QRegularExpression>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "storage/backup_files.h"
#include "storage/data_file_reader.h"
#include "storage/data_file_writer.h"
#include "storage/file_io.h"
#include "storage/file_system.h"
#include "storage/profile_file.h"

namespace chanwright {

namespace {

constexpr std::size_t kMaxRecoverySize = 16 * 1024 * 1024;
constexpr const char* kSection = "[RECOVERY]\r\n";
constexpr const char* kTimeFormat = "yyyy-MM-ddTHH:mm:ss";

// The text of one "KEY=" line of the section, up to its line end.
std::string SectionValue(const std::string& section, const std::string& key) {
    const std::size_t at = section.find("\r\n" + key + "=");
    if (at == std::string::npos)
        return {};
    const std::size_t start = at + key.size() + 3;
    return section.substr(start, section.find("\r\n", start) - start);
}

}  // namespace

QString RecoveryFolder() {
    return QDir(UserDataFolder()).filePath(QStringLiteral("recovery"));
}

std::string WriteRecoveryFile(const SharedState& shared, const RadioData& data,
                              const QDateTime& saved) {
    // The name (the system's bytes) is kept byte for byte whatever its length, percent-encoded so
    // that the section stays ASCII and the file's text encoding is the data set's alone.
    const QByteArray name =
        QByteArray::fromStdString(shared.CurrentFileName).toPercentEncoding("/");
    std::string bytes = WriteDataFile(shared, data);
    if (!bytes.empty() && bytes.back() != '\n')
        bytes += "\r\n";
    bytes += kSection;
    bytes += "File=" + name.toStdString() + "\r\n";
    bytes += "Saved=" + saved.toString(QLatin1String(kTimeFormat)).toStdString() + "\r\n";
    return bytes;
}

std::optional<RecoveryInfo> ReadRecoveryInfo(const std::string& bytes) {
    const std::size_t at = bytes.rfind(std::string("\n") + kSection);
    if (at == std::string::npos)
        return std::nullopt;
    const std::string section = "\r" + bytes.substr(at);
    RecoveryInfo info;
    info.fileName = PathFromSystem(
        QByteArray::fromPercentEncoding(QByteArray::fromStdString(SectionValue(section, "File"))));
    info.saved = QDateTime::fromString(QString::fromStdString(SectionValue(section, "Saved")),
                                       QLatin1String(kTimeFormat));
    return info;
}

RecoveryFiles::RecoveryFiles(QString folder, qint64 processId) : folder_(std::move(folder)) {
    // A file of an earlier process of the same number is someone's unsaved changes.
    const QString stem = QDir(folder_).filePath(QStringLiteral("unsaved-%1").arg(processId));
    own_ = stem + QStringLiteral(".dat");
    for (int copy = 2; PathTaken(own_); ++copy)
        own_ = stem + QStringLiteral("-%1.dat").arg(copy);
}

bool RecoveryFiles::Write(const std::string& bytes, ErrorInfo& error) {
    if (!MakeFolder(folder_)) {
        error = {EACCES, "The folder " +
                             ShownPath(QDir::toNativeSeparators(folder_)).toStdString() +
                             " cannot be made"};
        return false;
    }
    return WriteOutputFile(own_, bytes, error);
}

void RecoveryFiles::RemoveOwn() {
    RemoveFile(own_);
}

std::optional<RecoveryInfo> RecoveryFiles::Newest() const {
    static const QRegularExpression recovery(QStringLiteral("^unsaved-.*\\.dat$"));
    for (const FolderEntry& file : ListFiles(folder_)) {
        if (!recovery.match(file.name).hasMatch() || SameFile(file.path, own_))
            continue;
        ErrorInfo error;
        const std::optional<std::string> bytes = ReadInputFile(file.path, kMaxRecoverySize, error);
        std::optional<RecoveryInfo> info = bytes ? ReadRecoveryInfo(*bytes) : std::nullopt;
        if (!info)
            info = RecoveryInfo{};
        info->path = file.path;
        if (!info->saved.isValid())
            info->saved = file.modified;
        return info;
    }
    return std::nullopt;
}

std::optional<std::string> RecoveryFiles::Take(const RecoveryInfo& found, ErrorInfo& error) {
    std::optional<std::string> bytes = ReadInputFile(found.path, kMaxRecoverySize, error);
    if (!bytes)
        return std::nullopt;
    const std::optional<FileText> text = ProfileText(*bytes);
    if (bytes->size() > kMaxRecoverySize || !text || !ReadRecoveryInfo(*bytes) ||
        !HoldsProgramData(ProfileFile::Parse(text->text))) {
        error = {EINVAL, "It holds no data set the program wrote"};
        return std::nullopt;
    }
    if (!RenameFile(found.path, own_)) {
        error = {errno, std::strerror(errno)};
        return std::nullopt;
    }
    return bytes;
}

QString RecoveryFiles::SetAside(const QString& path) {
    QString aside = path + QStringLiteral(".bad");
    for (int copy = 2; PathTaken(aside); ++copy)
        aside = path + QStringLiteral(".bad-%1").arg(copy);
    return RenameFile(path, aside) ? aside : path;
}

}  // namespace chanwright
