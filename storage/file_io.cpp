#include "storage/file_io.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/system_path.h"
#include "storage/file_system.h"
#include "storage/temporary_files.h"

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#else
#include <io.h>

#include <QFile>
#include <QSaveFile>
#endif

namespace chanwright {

namespace {

ErrorInfo SystemError(int number) {
    return {number, std::strerror(number)};
}

bool IsStandardOutput(const QString& path) {
    return IsStandardStream(path) || path == QLatin1String("/dev/stdout");
}

QString AbsoluteName(const QString& path) {
    return QDir::cleanPath(QDir::current().absoluteFilePath(path));
}

// One set of bytes put at the first free name of several, never over anything there.
class NewFile {
  public:
    enum class Outcome { Written, Taken, Failed };
    NewFile(const std::string& bytes, LinkCall link) : bytes_(bytes), link_(link) {}
    ~NewFile();
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;
    Outcome PutAt(const QString& path, ErrorInfo& error);

  private:
    const std::string& bytes_;
    LinkCall link_;
    QByteArray copy_;      // the finished copy each name is linked to
    bool linking_ = true;  // until the file system refuses a link
};

}  // namespace

bool IsStandardStream(const QString& path) {
    return path == QLatin1String("-");
}

QString PathFromSystem(const QByteArray& bytes) {
    return QString::fromStdU16String(
        PathFromBytes(std::string_view(bytes.constData(), bytes.size())));
}

QByteArray SystemPath(const QString& path) {
#ifdef Q_OS_UNIX
    return QByteArray::fromStdString(PathBytes(path.toStdU16String()));
#else
    return QFile::encodeName(path);
#endif
}

QString ShownPath(const QString& path) {
    return QString::fromStdString(ShownName(path.toStdU16String()));
}

#ifdef Q_OS_UNIX

namespace {

// Why an input that exists is no file to read.
ErrorInfo NotRegular(mode_t mode) {
    if (S_ISDIR(mode))
        return SystemError(EISDIR);
    const char* kind = S_ISFIFO(mode) ? "a FIFO" : S_ISSOCK(mode) ? "a socket" : "a device";
    return {EINVAL, std::string("Not a regular file (") + kind + ")"};
}

bool WriteAll(int fd, const char* data, std::size_t size, ErrorInfo& error) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            error = SystemError(errno);
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// Writes the bytes, flushes them to the disk, checks the file's size and closes it, each step
// checked: a full disk shows in one of them, never as a short file that looks whole.
bool WriteWhole(int fd, const std::string& bytes, ErrorInfo& error) {
    struct stat written {};
    bool ok = WriteAll(fd, bytes.data(), bytes.size(), error);
    if (ok && (::fsync(fd) != 0 || ::fstat(fd, &written) != 0)) {
        error = SystemError(errno);
        ok = false;
    }
    if (ok && static_cast<std::size_t>(written.st_size) != bytes.size()) {
        error = SystemError(EIO);
        ok = false;
    }
    if (::close(fd) != 0 && ok) {
        error = SystemError(errno);
        ok = false;
    }
    return ok;
}

// What link() answers where the file system keeps no hard links (FAT, exFAT, some network shares).
bool LinksUnsupported(int number) {
    return number == EPERM || number == EXDEV || number == EMLINK || number == ENOTSUP ||
           number == EOPNOTSUPP || number == ENOSYS;
}

// A file made read-only is not replaced or emptied behind the user's back unless forced: not
// when it has no write bit at all, which root could write all the same, nor when the system
// tells another user no. True, with the reason, when refused.
bool RefusedReadOnly(const QByteArray& name, mode_t mode, const QString& path, bool force,
                     ErrorInfo& error) {
    if (force)
        return false;
    const bool writeBits = (mode & 0222) != 0;
    if (writeBits && ::access(name.constData(), W_OK) == 0)
        return false;
    error = writeBits && errno != EACCES
                ? SystemError(errno)
                : ErrorInfo{EACCES, ShownPath(path).toStdString() + " is read-only"};
    return true;
}

// Where a dangling link leads: the name at the end of its chain, which the output creates, as cp
// does, rather than replacing the link. A relative link is read from the link's own folder. 0,
// or ELOOP past 40 links, as the system counts them.
int FollowLinks(QByteArray& name) {
    for (int links = 0; links < 40; ++links) {
        struct stat info {};
        if (::lstat(name.constData(), &info) != 0 || !S_ISLNK(info.st_mode))
            return 0;
        char next[PATH_MAX];
        const ssize_t length = ::readlink(name.constData(), next, sizeof next);
        if (length < 0 || length == static_cast<ssize_t>(sizeof next))
            return length < 0 ? errno : ENAMETOOLONG;
        const QByteArray leadsTo(next, static_cast<qsizetype>(length));
        name = leadsTo.startsWith('/') ? leadsTo : name.left(name.lastIndexOf('/') + 1) + leadsTo;
    }
    return ELOOP;
}

}  // namespace

bool SameFile(const QString& first, const QString& second) {
    if (IsStandardStream(first) || IsStandardStream(second))
        return first == second;
    struct stat a {};
    struct stat b {};
    if (::stat(SystemPath(first).constData(), &a) == 0 &&
        ::stat(SystemPath(second).constData(), &b) == 0)
        return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
    return AbsoluteName(first) == AbsoluteName(second);
}

std::optional<std::string> ReadInputFile(const QString& path, std::size_t limit, ErrorInfo& error) {
    const bool standardInput = IsStandardStream(path) || path == QLatin1String("/dev/stdin");
    int fd = STDIN_FILENO;
    if (!standardInput) {
        // Not blocking: a FIFO without a writer is refused below instead of waited on.
        fd = ::open(SystemPath(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) {
            error = SystemError(errno);
            return std::nullopt;
        }
        struct stat info {};
        const bool known = ::fstat(fd, &info) == 0;
        if (!known || !S_ISREG(info.st_mode)) {
            error = known ? NotRegular(info.st_mode) : SystemError(errno);
            ::close(fd);
            return std::nullopt;
        }
    }
    std::string bytes;
    bool failed = false;
    char buffer[64 * 1024];
    while (bytes.size() <= limit) {
        const std::size_t want = std::min(sizeof buffer, limit + 1 - bytes.size());
        const ssize_t got = ::read(fd, buffer, want);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            error = SystemError(errno);
            failed = true;
            break;
        }
        if (got == 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    if (!standardInput)
        ::close(fd);
    if (failed)
        return std::nullopt;
    return bytes;
}

OutputFile::OutputFile(QString path, bool force) : path_(std::move(path)), force_(force) {
    if (IsStandardOutput(path_)) {
        stream_ = true;
        return;
    }
    target_ = SystemPath(path_);
    struct stat info {};
    if (::stat(target_.constData(), &info) == 0 && !S_ISREG(info.st_mode) &&
        !S_ISDIR(info.st_mode)) {
        stream_ = true;
        return;
    }
    // A link keeps linking: the file it leads to is the one replaced, or made when missing.
    char resolved[PATH_MAX];
    if (::realpath(target_.constData(), resolved))
        target_ = resolved;
    else
        linkError_ = FollowLinks(target_);
}

OutputFile::~OutputFile() {
    Cancel();
}

// Whether the regular output may be put in place of its target: a folder may not, nor a file made
// read-only, nor a chain of links without end. `exists` and `mode` tell what is there now.
bool OutputFile::Replaceable(bool& exists, unsigned& mode, ErrorInfo& error) const {
    struct stat existing {};
    exists = ::stat(target_.constData(), &existing) == 0;
    mode = existing.st_mode;
    if (linkError_ != 0 || (exists && S_ISDIR(existing.st_mode))) {
        error = SystemError(linkError_ != 0 ? linkError_ : EISDIR);
        return false;
    }
    return !exists || !RefusedReadOnly(target_, existing.st_mode, path_, force_, error);
}

bool OutputFile::Probe(ErrorInfo& error) const {
    if (stream_) {
        if (target_.isEmpty() || ::access(target_.constData(), W_OK) == 0)
            return true;
        error = SystemError(errno);
        return false;
    }
    bool exists = false;
    unsigned mode = 0;
    if (!Replaceable(exists, mode, error))
        return false;
    QByteArray probe;
    const int fd = CreateTemporary(target_, probe, error);
    if (fd < 0)
        return false;
    ::close(fd);
    RemoveTemporary(probe);
    return true;
}

bool OutputFile::Prepare(const std::string& bytes, ErrorInfo& error) {
    Cancel();
    if (stream_) {
        pending_ = bytes;
        prepared_ = true;
        return true;
    }
    bool exists = false;
    unsigned mode = 0;
    if (!Replaceable(exists, mode, error))
        return false;
    const int fd = CreateTemporary(target_, temporary_, error);
    if (fd < 0) {
        temporary_.clear();
        return false;
    }
    // The replacement keeps the old file's permissions, where the system lets it.
    if (exists)
        (void)::fchmod(fd, mode & 07777);
    if (!WriteWhole(fd, bytes, error)) {
        Cancel();
        return false;
    }
    prepared_ = true;
    return true;
}

bool OutputFile::Commit(ErrorInfo& error) {
    if (!prepared_) {
        error = SystemError(EINVAL);
        return false;
    }
    prepared_ = false;
    if (!stream_) {
        const bool renamed = PutTemporaryInPlace(temporary_, target_, error);
        temporary_.clear();
        if (renamed)
            RemoveStaleTemporaries(target_);
        return renamed;
    }
    const int fd = target_.isEmpty() ? STDOUT_FILENO
                                     : ::open(target_.constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        error = SystemError(errno);
        return false;
    }
    bool ok = WriteAll(fd, pending_.data(), pending_.size(), error);
    if (fd != STDOUT_FILENO && ::close(fd) != 0 && ok) {
        error = SystemError(errno);
        ok = false;
    }
    pending_.clear();
    return ok;
}

void OutputFile::Cancel() {
    if (!temporary_.isEmpty())
        RemoveTemporary(temporary_);
    temporary_.clear();
    pending_.clear();
    prepared_ = false;
}

int SystemLink(const char* existing, const char* name) {
    return ::link(existing, name);
}

NewFile::~NewFile() {
    if (!copy_.isEmpty())
        RemoveTemporary(copy_);
}

NewFile::Outcome NewFile::PutAt(const QString& path, ErrorInfo& error) {
    const QByteArray name = SystemPath(path);
    if (linking_ && copy_.isEmpty()) {
        const int fd = CreateTemporary(name, copy_, error);
        if (fd < 0)
            copy_.clear();
        if (fd < 0 || !WriteWhole(fd, bytes_, error))
            return Outcome::Failed;
    }
    if (linking_) {
        // A hard link puts the copy in place only where nothing is; a rename would replace.
        if (link_(copy_.constData(), name.constData()) == 0)
            return Outcome::Written;
        const int number = errno;
        if (number == EEXIST)
            return Outcome::Taken;
        if (!LinksUnsupported(number)) {
            error = SystemError(number);
            return Outcome::Failed;
        }
        RemoveTemporary(copy_);
        copy_.clear();
        linking_ = false;
    }
    // Made exclusively, so anything at the name, a link included, is left alone; a file that
    // could not be written whole is ours to remove.
    const int fd =
        ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) {
        if (errno == EEXIST)
            return Outcome::Taken;
        error = SystemError(errno);
        return Outcome::Failed;
    }
    if (WriteWhole(fd, bytes_, error))
        return Outcome::Written;
    ::unlink(name.constData());
    return Outcome::Failed;
}

int OpenGrowingFile(const QString& path, bool force, ErrorInfo& error) {
    const QByteArray name = SystemPath(path);
    struct stat info {};
    if (::stat(name.constData(), &info) == 0 && S_ISREG(info.st_mode) &&
        RefusedReadOnly(name, info.st_mode, path, force, error))
        return -1;
    // Not blocking only while opening: a FIFO without a reader is refused instead of waited on.
    const int fd = ::open(name.constData(),
                          O_WRONLY | O_CREAT | O_TRUNC | O_NOCTTY | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = SystemError(errno);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

#else  // Other systems: Qt's file classes, with the same checks.

bool SameFile(const QString& first, const QString& second) {
    if (IsStandardStream(first) || IsStandardStream(second))
        return first == second;
    const QFileInfo a(first);
    const QFileInfo b(second);
    if (a.exists() && b.exists())
        return a.canonicalFilePath() == b.canonicalFilePath();
    return AbsoluteName(first) == AbsoluteName(second);
}

std::optional<std::string> ReadInputFile(const QString& path, std::size_t limit, ErrorInfo& error) {
    QFile file(path);
    const bool opened = IsStandardStream(path)
                            ? file.open(stdin, QIODevice::ReadOnly)
                            : QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly);
    if (!opened) {
        error = {static_cast<int>(QFileDevice::OpenError), "Not a regular file"};
        return std::nullopt;
    }
    const QByteArray bytes = file.read(static_cast<qint64>(limit) + 1);
    if (file.error() != QFileDevice::NoError) {
        error = {static_cast<int>(file.error()), file.errorString().toStdString()};
        return std::nullopt;
    }
    return bytes.toStdString();
}

OutputFile::OutputFile(QString path, bool force) : path_(std::move(path)), force_(force) {
    stream_ = IsStandardOutput(path_);
}

OutputFile::~OutputFile() {
    Cancel();
}

bool OutputFile::Probe(ErrorInfo& error) const {
    const QFileInfo folder(QFileInfo(path_).absolutePath());
    if (stream_ || (folder.isDir() && folder.isWritable()))
        return true;
    error = {static_cast<int>(QFileDevice::OpenError), "The folder cannot be written"};
    return false;
}

bool OutputFile::Prepare(const std::string& bytes, ErrorInfo& error) {
    pending_ = bytes;
    prepared_ = true;
    (void)error;
    return true;
}

bool OutputFile::Commit(ErrorInfo& error) {
    if (!prepared_)
        return false;
    prepared_ = false;
    const auto size = static_cast<qint64>(pending_.size());
    if (stream_) {
        QFile out;
        const bool ok = out.open(stdout, QIODevice::WriteOnly) &&
                        out.write(pending_.data(), size) == size && out.flush();
        if (!ok)
            error = {static_cast<int>(out.error()), out.errorString().toStdString()};
        return ok;
    }
    QSaveFile file(path_);
    const bool ok = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) &&
                    file.write(pending_.data(), size) == size && file.flush() && file.commit();
    if (!ok) {
        error = {static_cast<int>(file.error()), file.errorString().toStdString()};
        file.cancelWriting();
    }
    return ok;
}

void OutputFile::Cancel() {
    pending_.clear();
    prepared_ = false;
}

// Other systems make no links: a new file is saved only when nothing holds its name.
int SystemLink(const char*, const char*) {
    errno = ENOSYS;
    return -1;
}

NewFile::~NewFile() = default;

int OpenGrowingFile(const QString& path, bool, ErrorInfo& error) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        error = {static_cast<int>(file.error()), file.errorString().toStdString()};
        return -1;
    }
    return ::_dup(file.handle());
}

NewFile::Outcome NewFile::PutAt(const QString& path, ErrorInfo& error) {
    const QFileInfo existing(path);
    if (existing.exists() || existing.isSymLink())
        return Outcome::Taken;
    return WriteOutputFile(path, bytes_, error) ? Outcome::Written : Outcome::Failed;
}

#endif

bool WriteOutputFile(const QString& path, const std::string& bytes, ErrorInfo& error, bool force) {
    OutputFile output(path, force);
    return output.Prepare(bytes, error) && output.Commit(error);
}

std::optional<QString> WriteNewFile(const QString& folder, const QString& stem,
                                    const QString& suffix, const std::string& bytes,
                                    ErrorInfo& error, LinkCall link) {
    if (!MakeFolder(folder)) {
        error = {EACCES, "The folder " + ShownPath(folder).toStdString() + " cannot be made"};
        return std::nullopt;
    }
    const QDir dir(folder);
    // The copy is named after the first name tried, and so are the left-overs of earlier runs.
    RemoveStaleTemporaries(SystemPath(dir.filePath(stem + suffix)));
    NewFile file(bytes, link);
    for (int attempt = 1; attempt <= 1000; ++attempt) {
        const QString path = dir.filePath(
            stem + (attempt > 1 ? QStringLiteral("-%1").arg(attempt) : QString()) + suffix);
        const NewFile::Outcome outcome = file.PutAt(path, error);
        if (outcome != NewFile::Outcome::Taken)
            return outcome == NewFile::Outcome::Written ? std::optional(path) : std::nullopt;
    }
    error = SystemError(EEXIST);
    return std::nullopt;
}

}  // namespace chanwright
