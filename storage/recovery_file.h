#pragma once

#include <QDateTime>
#include <QString>
#include <optional>
#include <string>

#include "core/error_info.h"
#include "core/radio_data.h"
#include "core/shared_state.h"

namespace chanwright {

// Where the window's unsaved changes go: UserDataFolder()/recovery.
QString RecoveryFolder();

// A recovery file: a data file of the data set being edited, and at its end a section of its own
// naming the file the data belonged to and when it was written. Any data-file reader takes it as
// the data set it holds.
std::string WriteRecoveryFile(const SharedState& shared, const RadioData& data,
                              const QDateTime& saved);

// What a recovery file says of itself.
struct RecoveryInfo {
    QString path;
    // The data file the changes belonged to; empty for data never saved.
    QString fileName;
    QDateTime saved;
};

// The recovery files of one window. Its own file is "unsaved-PID.dat" (or "unsaved-PID-2.dat"
// when an earlier process of that number left one), written whole or not at all; files left by a
// window that ended without saving are found for File ▸ Recover Unsaved Changes…, newest first, and
// one taken becomes the window's own, so it stays until saved.
class RecoveryFiles {
  public:
    RecoveryFiles(QString folder, qint64 processId);

    const QString& OwnPath() const { return own_; }
    bool Write(const std::string& bytes, ErrorInfo& error);
    void RemoveOwn();
    // The newest file another window left; nothing when there is none.
    std::optional<RecoveryInfo> Newest() const;
    // The bytes of a found file, which becomes this window's own; nothing, with the reason, when
    // it cannot be read.
    std::optional<std::string> Take(const RecoveryInfo& found, ErrorInfo& error);
    // A file that cannot be read is kept for a person to look at, as NAME.bad, never read again;
    // the new name.
    QString SetAside(const QString& path);

  private:
    QString folder_;
    QString own_;
};

// The section a recovery file adds, read back from its bytes; nothing when it has none.
std::optional<RecoveryInfo> ReadRecoveryInfo(const std::string& bytes);

}  // namespace chanwright
