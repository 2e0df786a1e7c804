#include "storage/error_log.h"

#include <QByteArray>
#include <QLocale>
#include <string>
#include <utility>

#include "storage/file_system.h"

namespace chanwright {

ErrorLog::ErrorLog(const SharedState& shared, QString path, Now now)
    : shared_(shared), path_(std::move(path)), now_(std::move(now)) {}

void ErrorLog::LogError(const std::string& procedure, const std::string& text) const {
    if (!shared_.DebugMode)
        return;

    const QDateTime stamp = now_();
    const QLocale locale = QLocale::system();
    QByteArray record = locale.toString(stamp.date(), QLocale::ShortFormat).toUtf8();
    record += ',';
    record += locale.toString(stamp.time(), QLocale::ShortFormat).toUtf8();
    record += ':';
    record += QByteArray::fromStdString(procedure);
    record += " -> ";
    record += QByteArray::fromStdString(text);
    record += "\r\n";

    // Opened per record so the log is complete on disk even if the program dies next.
    AppendToFile(path_, record);
}

}  // namespace chanwright
