#include "storage/settings_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <cerrno>
#include <cstring>
#include <optional>

#include "storage/file_io.h"
#include "storage/file_system.h"

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace chanwright {

namespace {

// Why the file at path is not read (empty when it is, or is missing: no settings yet), its bytes
// in `bytes` otherwise. Its kind and size are asked first, so that nothing waits on a FIFO or opens
// a device, and a file of gigabytes is not read to be refused.
QString Refusal(const QString& path, std::string& bytes) {
    bytes.clear();
#ifdef Q_OS_UNIX
    struct stat info {};
    if (::stat(SystemPath(path).constData(), &info) != 0) {
        return errno == ENOENT ? QString()
                               : QStringLiteral("cannot be read (%1)").arg(std::strerror(errno));
    }
    if (!S_ISREG(info.st_mode))
        return QStringLiteral("is not a regular file");
#else
    if (!QFileInfo::exists(path))
        return QString();
#endif
    ErrorInfo error;
    const std::optional<std::string> read = ReadInputFile(path, SettingsFile::kSizeLimit, error);
    if (!read)
        return QStringLiteral("cannot be read (%1)").arg(QString::fromStdString(error.Description));
    if (read->size() > SettingsFile::kSizeLimit)
        return QStringLiteral("is larger than 1 MiB");
    bytes = *read;
    return QString();
}

// The file's folder, made when missing (a first start); false when it cannot be.
bool MakeFolderOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash <= 0 || MakeFolder(path.left(slash));
}

bool PutBytes(const QString& path, const std::string& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
               static_cast<qint64>(bytes.size());
}

}  // namespace

SettingsFile::SettingsFile(QString path) : path_(std::move(path)) {
    std::string bytes;
    QString refusal = Refusal(path_, bytes);
    // The private copy needs a temporary folder; without one the file is neither read nor
    // written, and the user is told so rather than meeting the defaults unawares.
    if (refusal.isEmpty() && !copies_.isValid())
        refusal = QStringLiteral("cannot be read (%1)").arg(copies_.errorString());
    if (!refusal.isEmpty()) {
        problem_ = QStringLiteral(
                       "The settings file %1 %2; the defaults are used and nothing is "
                       "saved.")
                       .arg(ShownPath(path_), refusal);
    }
    Load(bytes);
}

SettingsFile::~SettingsFile() {
    if (!changed_.isEmpty())
        Sync();
}

// Each copy has a name of its own: QSettings keeps what it read of a file by name and would take
// a rewritten file of the same size and time for the one it knows.
void SettingsFile::Load(const std::string& bytes) {
    settings_.reset();
    // Without a temporary folder QSettings holds the values in memory only.
    QString copy;
    if (copies_.isValid()) {
        copy = copies_.filePath(QStringLiteral("copy%1.ini").arg(++copiesMade_));
        QFile::remove(copies_.filePath(QStringLiteral("copy%1.ini").arg(copiesMade_ - 1)));
        PutBytes(copy, bytes);
    }
    settings_ = std::make_unique<QSettings>(copy, QSettings::IniFormat);
}

bool SettingsFile::Writable() const {
    ErrorInfo error;
    return problem_.isEmpty() && MakeFolderOf(path_) && OutputFile(path_).Probe(error);
}

QVariant SettingsFile::Value(const QString& key) const {
    return settings_->value(key);
}

bool SettingsFile::Contains(const QString& key) const {
    return settings_->contains(key);
}

void SettingsFile::SetValue(const QString& key, const QString& value) {
    settings_->setValue(key, value);
    changed_ << key;
}

void SettingsFile::Remove(const QString& key) {
    settings_->remove(key);
    changed_ << key;
}

// Reads what others wrote meanwhile as well. A file that has since become unreadable, or no
// regular file, is no longer this store's to replace; what could not be written stays pending for
// the next Sync.
void SettingsFile::Sync() {
    settings_->sync();
    std::string bytes;
    if (!problem_.isEmpty() || !copies_.isValid() || !Refusal(path_, bytes).isEmpty())
        return;
    if (changed_.isEmpty()) {
        Load(bytes);
        return;
    }
    const QString merged = copies_.filePath(QStringLiteral("merged%1.ini").arg(++copiesMade_));
    if (!PutBytes(merged, bytes))
        return;
    {
        QSettings file(merged, QSettings::IniFormat);
        for (const QString& key : std::as_const(changed_)) {
            if (settings_->contains(key))
                file.setValue(key, settings_->value(key));
            else
                file.remove(key);
        }
        file.sync();
        if (file.status() != QSettings::NoError)
            return;
    }
    QFile result(merged);
    if (!result.open(QIODevice::ReadOnly))
        return;
    bytes = result.readAll().toStdString();
    result.close();
    QFile::remove(merged);
    ErrorInfo error;
    if (MakeFolderOf(path_) && WriteOutputFile(path_, bytes, error)) {
        changed_.clear();
        Load(bytes);
    }
}

}  // namespace chanwright
