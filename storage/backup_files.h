#pragma once

#include <QDateTime>
#include <QString>
#include <optional>
#include <string>

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

// The radio's image, exactly as read, saved in folder as "MODEL-YYYYMMDD-HHMMSS.hex" (or with
// "-2", "-3" … when the name is taken), written whole and never over another file. The path, or
// nothing with the reason.
std::optional<QString> SaveBackup(const QString& folder, const std::string& modelName,
                                  const QDateTime& local, const MemoryImage& image,
                                  ErrorInfo& error);

}  // namespace chanwright
