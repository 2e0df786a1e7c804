#include "link/port_list.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSerialPortInfo>
#include <algorithm>
#include <utility>

namespace chanwright {

namespace {

// udev's links named after the adapter's maker, model and serial number: they survive replugging
// and reboots, where ttyUSB0 may become ttyUSB1.
constexpr const char* kByIdFolder = "/dev/serial/by-id";

// The links of the folder by the device each leads to; the first by name where two lead to one.
QHash<QString, QString> StableNames() {
    QHash<QString, QString> names;
    const QFileInfoList links =
        QDir(QString::fromLatin1(kByIdFolder))
            .entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& link : links) {
        const QString target = link.canonicalFilePath();
        if (!target.isEmpty() && !names.contains(target))
            names.insert(target, link.absoluteFilePath());
    }
    return names;
}

// A name and its trailing number, so that ttyS2 sorts before ttyS10.
std::pair<QString, qulonglong> SortKey(const QString& device) {
    qsizetype digits = device.size();
    while (digits > 0 && device.at(digits - 1).isDigit())
        --digits;
    return {device.left(digits), device.mid(digits).toULongLong()};
}

}  // namespace

std::vector<PortInfo> QtPortEnumerator::Ports() const {
    const QHash<QString, QString> stable = StableNames();
    std::vector<PortInfo> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
#ifdef Q_OS_WIN
        const QString device = info.portName();
#else
        const QString device = info.systemLocation();
#endif
        ports.push_back({device, info.description(), info.manufacturer(), info.serialNumber(),
                         stable.value(QFileInfo(device).canonicalFilePath())});
    }
    std::sort(ports.begin(), ports.end(), [](const PortInfo& a, const PortInfo& b) {
        return SortKey(a.device) < SortKey(b.device);
    });
    return ports;
}

QString NoPortsHint() {
    return QStringLiteral(
        "No serial ports were found. Plug in the radio's cable and look again. On Linux your user "
        "must also be in the group that owns serial devices (usually dialout, or uucp): "
        "sudo usermod -aG dialout $USER, then log out and in again.");
}

}  // namespace chanwright
