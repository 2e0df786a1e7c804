#include "storage/file_system.h"

#include <QDir>
#include <QStandardPaths>
#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "storage/file_io.h"

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QFile>
#include <QFileInfo>
#endif

namespace chanwright {

#ifdef Q_OS_UNIX

bool PathTaken(const QString& path) {
    struct stat info {};
    return ::lstat(SystemPath(path).constData(), &info) == 0;
}

bool FileThere(const QString& path, bool regular) {
    struct stat info {};
    return ::stat(SystemPath(path).constData(), &info) == 0 && (!regular || S_ISREG(info.st_mode));
}

bool MakeFolder(const QString& folder) {
    const QByteArray bytes = SystemPath(QDir::cleanPath(folder));
    struct stat info {};
    for (qsizetype end = bytes.indexOf('/', 1);; end = bytes.indexOf('/', end + 1)) {
        const QByteArray part = end < 0 ? bytes : bytes.left(end);
        if (::mkdir(part.constData(), 0777) != 0 && errno != EEXIST)
            return false;
        if (end < 0)
            break;
    }
    return ::stat(bytes.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool RemoveFile(const QString& path) {
    return ::unlink(SystemPath(path).constData()) == 0;
}

bool AppendToFile(const QString& path, const QByteArray& bytes) {
    const int fd = ::open(SystemPath(path).constData(),
                          O_WRONLY | O_APPEND | O_CREAT | O_NOCTTY | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
              ::write(fd, bytes.constData(), bytes.size()) == bytes.size();
    ok = ::close(fd) == 0 && ok;
    return ok;
}

std::vector<FolderEntry> ListFiles(const QString& folder) {
    std::vector<FolderEntry> files;
    const QByteArray bytes = SystemPath(folder);
    DIR* dir = ::opendir(bytes.constData());
    if (!dir)
        return files;
    while (const dirent* entry = ::readdir(dir)) {
        struct stat info {};
        const QByteArray path = bytes + '/' + entry->d_name;
        if (::stat(path.constData(), &info) != 0 || !S_ISREG(info.st_mode))
            continue;
        const QString name = PathFromSystem(QByteArray(entry->d_name));
        files.push_back(
            {QDir(folder).filePath(name), name, QDateTime::fromSecsSinceEpoch(info.st_mtime)});
    }
    ::closedir(dir);
    std::sort(files.begin(), files.end(), [](const FolderEntry& a, const FolderEntry& b) {
        return a.modified != b.modified ? a.modified > b.modified : a.name < b.name;
    });
    return files;
}

QString UserFolder(const char* variable, const char* fallback) {
    const QByteArray set = qgetenv(variable);
    if (set.startsWith('/'))
        return PathFromSystem(set);
    return PathFromSystem(qgetenv("HOME")) + QLatin1Char('/') + QLatin1String(fallback);
}

#else

bool PathTaken(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

bool FileThere(const QString& path, bool regular) {
    const QFileInfo info(path);
    return info.exists() && (!regular || info.isFile());
}

bool MakeFolder(const QString& folder) {
    return QDir().mkpath(folder);
}

bool RemoveFile(const QString& path) {
    return QFile::remove(path);
}

std::vector<FolderEntry> ListFiles(const QString& folder) {
    std::vector<FolderEntry> files;
    for (const QFileInfo& file : QDir(folder).entryInfoList(QDir::Files, QDir::Time))
        files.push_back({file.absoluteFilePath(), file.fileName(), file.lastModified()});
    return files;
}

bool AppendToFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Append) && file.write(bytes) == bytes.size();
}

QString UserFolder(const char* variable, const char*) {
    const bool data = qstrcmp(variable, "XDG_DATA_HOME") == 0;
    return QStandardPaths::writableLocation(data ? QStandardPaths::GenericDataLocation
                                                 : QStandardPaths::GenericConfigLocation);
}

#endif

bool RenameFile(const QString& from, const QString& to) {
    return std::rename(SystemPath(from).constData(), SystemPath(to).constData()) == 0;
}

}  // namespace chanwright
