#include "storage/settings_store.h"

#include <QSettings>
#include <QVariant>
#include <cstdint>
#include <memory>

#include "core/shared_state.h"
#include "storage/device_path.h"
#include "storage/file_io.h"
#include "storage/file_system.h"
#include "storage/settings_file.h"

namespace chanwright {

namespace {

const char kComKey[] = "ComPath/ComNum";
const char kModelKey[] = "ModelPath/ModelNum";
const char kLogTrafficKey[] = "Transfer/LogSerialTraffic";
const char kLastFolderKey[] = "Files/LastFolder";

constexpr int16_t kFirstPort = 1;
constexpr int16_t kLastPort = 4;

// The store's file name may not contain the title's "/": QSettings would read it as a folder.
QString StoreName() {
    return QString::fromLatin1(SettingsStore::kApplicationTitle)
        .replace(QLatin1Char('/'), QLatin1Char('-'));
}

// Where QSettings kept the store before the program read and wrote it itself: the users' settings
// stay where they are.
QString UserStorePath() {
#ifdef Q_OS_UNIX
    return UserFolder("XDG_CONFIG_HOME", ".config") + QStringLiteral("/Chanwright/") + StoreName() +
           QStringLiteral(".ini");
#else
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Chanwright"),
                     StoreName())
        .fileName();
#endif
}

// A path that is not UTF-8 would come back from the INI text with U+FFFD in place of its odd
// bytes; as a file URL it keeps them. No path the program stores otherwise starts so.
const QLatin1String kUrlStart("file://");

QString StoredPath(const QString& path) {
    const QByteArray bytes = SystemPath(path);
    return bytes == path.toUtf8() ? path
                                  : kUrlStart + QString::fromLatin1(bytes.toPercentEncoding("/"));
}

QString ReadPath(const SettingsFile& file, const QString& key) {
    const QVariant stored = file.Value(key);
    if (stored.typeId() != QMetaType::QString)
        return QString();
    const QString text = stored.toString();
    if (!text.startsWith(kUrlStart))
        return text;
    return PathFromSystem(QByteArray::fromPercentEncoding(text.mid(kUrlStart.size()).toLatin1()));
}

// Values are plain decimal texts; anything else (including an INI list) reads as absent.
bool ReadInteger(const SettingsFile& settings, const char* key, int* value) {
    const QVariant stored = settings.Value(QLatin1String(key));
    if (!stored.isValid() || stored.typeId() != QMetaType::QString)
        return false;
    bool ok = false;
    *value = stored.toString().trimmed().toInt(&ok, 10);
    return ok;
}

}  // namespace

SettingsStore::SettingsStore() : file_(std::make_unique<SettingsFile>(UserStorePath())) {}

SettingsStore::SettingsStore(const QString& iniPath)
    : file_(std::make_unique<SettingsFile>(iniPath)) {}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::FileName() const {
    return file_->Path();
}

QString SettingsStore::Problem() const {
    return file_->Problem();
}

int16_t SettingsStore::ReadComNum() const {
    int value = 0;
    if (!ReadInteger(*file_, kComKey, &value) || value < kFirstPort || value > kLastPort) {
        return kFirstPort;
    }
    return static_cast<int16_t>(value);
}

void SettingsStore::WriteComNum(int16_t comNum) {
    file_->SetValue(QLatin1String(kComKey), QString::number(comNum));
}

QString SettingsStore::DefaultComDevice(int16_t comNum) {
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(comNum);
#else
    static const char* const devices[] = {"/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyACM0",
                                          "/dev/ttyS0"};
    if (comNum < kFirstPort || comNum > kLastPort)
        return QString();
    return QLatin1String(devices[comNum - kFirstPort]);
#endif
}

QString SettingsStore::ReadComDevice(int16_t comNum) const {
    const QString stored = ReadPath(*file_, QStringLiteral("ComPath/Port%1").arg(comNum)).trimmed();
    return stored.isEmpty() ? DefaultComDevice(comNum) : DevicePath(stored);
}

void SettingsStore::WriteComDevice(int16_t comNum, const QString& device) {
    file_->SetValue(QStringLiteral("ComPath/Port%1").arg(comNum), StoredPath(device));
}

Model SettingsStore::ReadModelNum() const {
    int value = 0;
    if (ReadInteger(*file_, kModelKey, &value) && value == static_cast<int>(Model::TQ5300))
        return Model::TQ5300;
    return Model::HV2071P;
}

void SettingsStore::WriteModelNum(Model model) {
    file_->SetValue(QLatin1String(kModelKey), QString::number(static_cast<int>(model)));
}

bool SettingsStore::ReadLogSerialTraffic() const {
    int value = 0;
    return ReadInteger(*file_, kLogTrafficKey, &value) && value != 0;
}

void SettingsStore::WriteLogSerialTraffic(bool on) {
    file_->SetValue(QLatin1String(kLogTrafficKey), QString::number(on ? 1 : 0));
}

QStringList SettingsStore::ReadRecentFiles() const {
    QStringList paths;
    for (int i = 1;; ++i) {
        const QString stored = ReadPath(*file_, QStringLiteral("Files/Recent%1").arg(i));
        if (stored.isEmpty())
            return paths;
        paths << stored;
    }
}

void SettingsStore::WriteRecentFiles(const QStringList& paths) {
    // A shorter list leaves no old entries behind it.
    for (int i = static_cast<int>(paths.size()) + 1;
         file_->Contains(QStringLiteral("Files/Recent%1").arg(i)); ++i) {
        file_->Remove(QStringLiteral("Files/Recent%1").arg(i));
    }
    for (int i = 0; i < paths.size(); ++i)
        file_->SetValue(QStringLiteral("Files/Recent%1").arg(i + 1), StoredPath(paths[i]));
}

QString SettingsStore::ReadLastFolder() const {
    return ReadPath(*file_, QLatin1String(kLastFolderKey));
}

void SettingsStore::WriteLastFolder(const QString& folder) {
    file_->SetValue(QLatin1String(kLastFolderKey), StoredPath(folder));
}

void SettingsStore::WriteWindowPosition(int left, int top, int width, int height) {
    file_->SetValue(QStringLiteral("Settings/MainLeft"), QString::number(left));
    file_->SetValue(QStringLiteral("Settings/MainTop"), QString::number(top));
    file_->SetValue(QStringLiteral("Settings/MainWidth"), QString::number(width));
    file_->SetValue(QStringLiteral("Settings/MainHeight"), QString::number(height));
}

bool SettingsStore::Writable() const {
    return file_->Writable();
}

void SettingsStore::Sync() {
    file_->Sync();
}

}  // namespace chanwright
