#include "storage/backup_files.h"

#include <QDir>
#include <QRegularExpression>
#include <algorithm>

#include "image/image_decoder.h"
#include "image/memory_layout.h"
#include "storage/file_io.h"
#include "storage/file_system.h"

namespace chanwright {

QString UserDataFolder() {
    // Named here rather than after the running program, so the window and the tool share it.
    return QDir(UserFolder("XDG_DATA_HOME", ".local/share")).filePath(QStringLiteral("Chanwright"));
}

QString BackupFolder() {
    return QDir(UserDataFolder()).filePath(QStringLiteral("backups"));
}

QString TraceFolder() {
    return QDir(UserDataFolder()).filePath(QStringLiteral("traces"));
}

namespace {

constexpr const char* kTimeStampFormat = "yyyyMMdd-HHmmss";

// The user MMSI as a person reads it, when the image holds one whole.
QString UserMmsi(const MemoryImage& image) {
    const std::string shown = ShownMmsi(DecodeDigits(image, layout::kUserMmsid));
    return shown.size() == kIndividualMmsiDigits ? QString::fromStdString(shown) : QString();
}

}  // namespace

QString FileTimeStamp(const QDateTime& local) {
    return local.toString(QLatin1String(kTimeStampFormat));
}

std::optional<QString> SaveBackup(const QString& folder, const std::string& modelName,
                                  const QDateTime& local, const MemoryImage& image,
                                  ErrorInfo& error) {
    const QString mmsi = UserMmsi(image);
    const QString stem = QString::fromStdString(modelName) + '-' +
                         (mmsi.isEmpty() ? QString() : mmsi + '-') + FileTimeStamp(local);
    return WriteNewFile(folder, stem, QStringLiteral(".hex"),
                        std::string(image.begin(), image.end()), error);
}

std::vector<BackupEntry> ListBackups(const QString& folder) {
    static const QRegularExpression name(
        QStringLiteral("^([A-Za-z0-9]+)-(?:(\\d{9})-)?(\\d{8}-\\d{6})(?:-(\\d+))?\\.hex$"));
    std::vector<BackupEntry> backups;
    for (const FolderEntry& file : ListFiles(folder)) {
        const QRegularExpressionMatch parts = name.match(file.name);
        const QDateTime taken =
            QDateTime::fromString(parts.captured(3), QLatin1String(kTimeStampFormat));
        if (!parts.hasMatch() || !taken.isValid())
            continue;
        const int copy = parts.captured(4).isEmpty() ? 1 : parts.captured(4).toInt();
        backups.push_back({file.path, parts.captured(1), parts.captured(2), taken, copy});
    }
    std::sort(backups.begin(), backups.end(), [](const BackupEntry& a, const BackupEntry& b) {
        return a.taken != b.taken ? a.taken > b.taken : a.copy > b.copy;
    });
    return backups;
}

}  // namespace chanwright
