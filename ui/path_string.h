#pragma once

#include <QByteArray>
#include <QFileInfo>
#include <QString>
#include <string>

#include "storage/file_io.h"

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace chanwright {

// The window keeps a path in a std::string (the current file, a dialog's answer) as the system's
// bytes, and in a QString in the form PathFromSystem gives, so that a name that is not UTF-8
// keeps its bytes both ways. For a UTF-8 name both are the plain conversions.
inline QString PathFromString(const std::string& bytes) {
    return PathFromSystem(QByteArray::fromStdString(bytes));
}
inline std::string PathString(const QString& path) {
    return SystemPath(path).toStdString();
}

// Whether a file is there, through links (a regular file, when asked), asked with the name's
// bytes: QFileInfo cannot find a name that is not UTF-8.
inline bool FileThere(const QString& path, bool regular = false) {
#ifdef Q_OS_UNIX
    struct stat info {};
    return ::stat(SystemPath(path).constData(), &info) == 0 && (!regular || S_ISREG(info.st_mode));
#else
    const QFileInfo info(path);
    return info.exists() && (!regular || info.isFile());
#endif
}

}  // namespace chanwright
