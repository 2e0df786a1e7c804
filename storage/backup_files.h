#pragma once

#include <QDateTime>
#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "core/error_info.h"
#include "core/memory_image.h"

namespace chanwright {

// The program's own per-user folder, the same for the window and the tool whatever they are
// called: on Linux ~/.local/share/Chanwright.
QString UserDataFolder();
// Where every completed read leaves the radio's image: UserDataFolder()/backups.
QString BackupFolder();
// Where the window's serial traces go: UserDataFolder()/traces.
QString TraceFolder();

// "YYYYMMDD-HHMMSS" of a local time, as backup and trace names carry it.
QString FileTimeStamp(const QDateTime& local);

// The radio's image, exactly as read, saved in folder as "MODEL-MMSI-YYYYMMDD-HHMMSS.hex" when
// the image holds a user MMSI (its 9 digits), else "MODEL-YYYYMMDD-HHMMSS.hex" (either with "-2",
// "-3" … when the name is taken), written whole and never over another file. The path, or
// nothing with the reason.
std::optional<QString> SaveBackup(const QString& folder, const std::string& modelName,
                                  const QDateTime& local, const MemoryImage& image,
                                  ErrorInfo& error);

// A backup, as its name tells.
struct BackupEntry {
    QString path;
    QString model;
    QString mmsi;  // 9 digits, or empty when the radio held none
    QDateTime taken;
    int copy = 1;  // 2, 3 … for the "-2", "-3" names of one second
};
// The backups in folder named as SaveBackup names them, newest first; other files are left out.
std::vector<BackupEntry> ListBackups(const QString& folder);

}  // namespace chanwright
