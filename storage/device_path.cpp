#include "storage/device_path.h"

#include <QDir>
#include <cstdlib>

#include "storage/file_io.h"
#include "storage/file_system.h"

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace chanwright {

#ifdef Q_OS_UNIX

namespace {

bool Utf8Name(const QString& name) {
    return SystemPath(name) == name.toUtf8();
}

QString CurrentFolder() {
    char* folder = ::getcwd(nullptr, 0);
    const QString current = folder ? PathFromSystem(QByteArray(folder)) : QDir::currentPath();
    std::free(folder);
    return current;
}

}  // namespace

QString DevicePath(const QString& name) {
    if (name.isEmpty())
        return name;
    QString path = name;
    if (!name.startsWith(QLatin1Char('/'))) {
        const bool bare = !name.contains(QLatin1Char('/'));
        path = bare && !PathTaken(name) ? QStringLiteral("/dev/") + name
                                        : CurrentFolder() + QLatin1Char('/') + name;
    }
    path = QDir::cleanPath(path);
    if (Utf8Name(path))
        return path;
    char* target = ::realpath(SystemPath(path).constData(), nullptr);
    const QString device = target ? PathFromSystem(QByteArray(target)) : QString();
    std::free(target);
    return !device.isEmpty() && Utf8Name(device) ? device : path;
}

#else

QString DevicePath(const QString& name) {
    return name;
}

#endif

}  // namespace chanwright
