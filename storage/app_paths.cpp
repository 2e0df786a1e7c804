#include "storage/app_paths.h"

#include <QCoreApplication>
#include <QDir>

#ifdef Q_OS_LINUX
#include <unistd.h>
#endif

#include "storage/file_io.h"
#include "storage/file_system.h"

namespace chanwright {

namespace {

// Permission bits do not tell the whole story (root, read-only mounts, ACLs), so try a write.
bool IsWritableFolder(const QString& folder) {
    if (folder.isEmpty())
        return false;
    ErrorInfo error;
    return OutputFile(QDir(folder).filePath(QStringLiteral("chanwright-probe"))).Probe(error);
}

// The folder of the running program, its bytes as the system holds them where it tells them.
QString ExecutableFolder() {
#ifdef Q_OS_LINUX
    char target[4096];
    const ssize_t length = ::readlink("/proc/self/exe", target, sizeof target);
    if (length > 0 && static_cast<std::size_t>(length) < sizeof target) {
        const QByteArray path(target, length);
        return PathFromSystem(path.left(path.lastIndexOf('/')));
    }
#endif
    return QCoreApplication::applicationDirPath();
}

}  // namespace

QString ResolveDataFolder(const QString& executableFolder, const QString& userDataFolder) {
    if (IsWritableFolder(executableFolder))
        return executableFolder;
    MakeFolder(userDataFolder);
    return userDataFolder;
}

QString ApplicationDataFolder() {
    return ResolveDataFolder(ExecutableFolder(),
                             QDir(UserFolder("XDG_DATA_HOME", ".local/share"))
                                 .filePath(QCoreApplication::applicationName()));
}

QString DefaultsFilePath(const QString& dataFolder, const QString& modelName) {
    return QDir(dataFolder).filePath(modelName + QStringLiteral(".def"));
}

}  // namespace chanwright
