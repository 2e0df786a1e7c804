#include "storage/app_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace chanwright {

namespace {

// Permission bits do not tell the whole story (root, read-only mounts, ACLs), so try a write.
bool IsWritableFolder(const QString& folder) {
    if (folder.isEmpty())
        return false;
    const QFileInfo info(folder);
    if (!info.exists() || !info.isDir())
        return false;
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral("chanwright-probe-XXXXXX")));
    if (!probe.open())
        return false;
    probe.remove();
    return true;
}

}  // namespace

QString ResolveDataFolder(const QString& executableFolder, const QString& userDataFolder) {
    if (IsWritableFolder(executableFolder))
        return executableFolder;
    QDir().mkpath(userDataFolder);
    return userDataFolder;
}

QString ApplicationDataFolder() {
    return ResolveDataFolder(QCoreApplication::applicationDirPath(),
                             QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

QString DefaultsFilePath(const QString& dataFolder, const QString& modelName) {
    return QDir(dataFolder).filePath(modelName + QStringLiteral(".def"));
}

}  // namespace chanwright
