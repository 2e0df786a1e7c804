#pragma once

#include <QByteArray>
#include <QString>
#include <string>

#include "storage/file_io.h"

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

}  // namespace chanwright
