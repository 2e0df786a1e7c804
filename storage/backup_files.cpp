#include "storage/backup_files.h"

#include <QDir>
#include <QStandardPaths>

#include "storage/file_io.h"

namespace chanwright {

QString UserDataFolder() {
    // Named here rather than after the running program, so the window and the tool share it.
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("Chanwright"));
}

QString BackupFolder() {
    return QDir(UserDataFolder()).filePath(QStringLiteral("backups"));
}

QString TraceFolder() {
    return QDir(UserDataFolder()).filePath(QStringLiteral("traces"));
}

QString FileTimeStamp(const QDateTime& local) {
    return local.toString(QStringLiteral("yyyyMMdd-HHmmss"));
}

std::optional<QString> SaveBackup(const QString& folder, const std::string& modelName,
                                  const QDateTime& local, const MemoryImage& image,
                                  ErrorInfo& error) {
    const QString stem = QString::fromStdString(modelName) + '-' + FileTimeStamp(local);
    return WriteNewFile(folder, stem, QStringLiteral(".hex"),
                        std::string(image.begin(), image.end()), error);
}

}  // namespace chanwright
