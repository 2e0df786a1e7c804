#include "storage/settings_store.h"

#include <QSettings>
#include <QVariant>
#include <cstdint>
#include <memory>

#include "core/shared_state.h"

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

// Values are plain decimal texts; anything else (including an INI list) reads as absent.
bool ReadInteger(const QSettings& settings, const char* key, int* value) {
    const QVariant stored = settings.value(QLatin1String(key));
    if (!stored.isValid() || stored.typeId() != QMetaType::QString)
        return false;
    bool ok = false;
    *value = stored.toString().trimmed().toInt(&ok, 10);
    return ok;
}

}  // namespace

SettingsStore::SettingsStore()
    : settings_(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                            QStringLiteral("Chanwright"), StoreName())) {}

SettingsStore::SettingsStore(const QString& iniPath)
    : settings_(std::make_unique<QSettings>(iniPath, QSettings::IniFormat)) {}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::FileName() const {
    return settings_->fileName();
}

int16_t SettingsStore::ReadComNum() const {
    int value = 0;
    if (!ReadInteger(*settings_, kComKey, &value) || value < kFirstPort || value > kLastPort) {
        return kFirstPort;
    }
    return static_cast<int16_t>(value);
}

void SettingsStore::WriteComNum(int16_t comNum) {
    settings_->setValue(QLatin1String(kComKey), QString::number(comNum));
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
    const QVariant stored = settings_->value(QStringLiteral("ComPath/Port%1").arg(comNum));
    if (stored.typeId() == QMetaType::QString && !stored.toString().trimmed().isEmpty())
        return stored.toString().trimmed();
    return DefaultComDevice(comNum);
}

void SettingsStore::WriteComDevice(int16_t comNum, const QString& device) {
    settings_->setValue(QStringLiteral("ComPath/Port%1").arg(comNum), device);
}

Model SettingsStore::ReadModelNum() const {
    int value = 0;
    if (ReadInteger(*settings_, kModelKey, &value) && value == static_cast<int>(Model::TQ5300))
        return Model::TQ5300;
    return Model::HV2071P;
}

void SettingsStore::WriteModelNum(Model model) {
    settings_->setValue(QLatin1String(kModelKey), QString::number(static_cast<int>(model)));
}

bool SettingsStore::ReadLogSerialTraffic() const {
    int value = 0;
    return ReadInteger(*settings_, kLogTrafficKey, &value) && value != 0;
}

void SettingsStore::WriteLogSerialTraffic(bool on) {
    settings_->setValue(QLatin1String(kLogTrafficKey), QString::number(on ? 1 : 0));
}

QStringList SettingsStore::ReadRecentFiles() const {
    QStringList paths;
    for (int i = 1;; ++i) {
        const QVariant stored = settings_->value(QStringLiteral("Files/Recent%1").arg(i));
        if (stored.typeId() != QMetaType::QString || stored.toString().isEmpty())
            return paths;
        paths << stored.toString();
    }
}

void SettingsStore::WriteRecentFiles(const QStringList& paths) {
    // A shorter list leaves no old entries behind it.
    for (int i = static_cast<int>(paths.size()) + 1;
         settings_->contains(QStringLiteral("Files/Recent%1").arg(i)); ++i) {
        settings_->remove(QStringLiteral("Files/Recent%1").arg(i));
    }
    for (int i = 0; i < paths.size(); ++i)
        settings_->setValue(QStringLiteral("Files/Recent%1").arg(i + 1), paths[i]);
}

QString SettingsStore::ReadLastFolder() const {
    const QVariant stored = settings_->value(QLatin1String(kLastFolderKey));
    return stored.typeId() == QMetaType::QString ? stored.toString() : QString();
}

void SettingsStore::WriteLastFolder(const QString& folder) {
    settings_->setValue(QLatin1String(kLastFolderKey), folder);
}

void SettingsStore::WriteWindowPosition(int left, int top, int width, int height) {
    settings_->beginGroup(QStringLiteral("Settings"));
    settings_->setValue(QStringLiteral("MainLeft"), QString::number(left));
    settings_->setValue(QStringLiteral("MainTop"), QString::number(top));
    settings_->setValue(QStringLiteral("MainWidth"), QString::number(width));
    settings_->setValue(QStringLiteral("MainHeight"), QString::number(height));
    settings_->endGroup();
}

bool SettingsStore::Writable() const {
    return settings_->isWritable();
}

void SettingsStore::Sync() {
    settings_->sync();
}

}  // namespace chanwright
