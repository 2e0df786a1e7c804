#include "link/qt_serial_port.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>
#include <algorithm>

#include "core/messages.h"
#include "core/system_path.h"

namespace chanwright {

namespace {

constexpr int kWriteLimit = 2000;  // ms for a 42-byte frame to leave; 44 ms at line rate
constexpr qint64 kMicrosecondsPerByte = 10 * 1000000 / 9600;  // start, 8 data and stop bits
// A reply is 38 bytes. A device that floods the line is held back here, not in memory: what the
// port does not take waits in the system's buffer, or is lost there.
constexpr qint64 kReadBufferSize = 4096;

}  // namespace

QtSerialPort::QtSerialPort(QString device) : device_(std::move(device)) {
    port_.setPortName(device_);
    port_.setReadBufferSize(kReadBufferSize);
}

std::string QtSerialPort::Device() const {
    return device_.toStdString();
}

QString OpenFailureHint(QSerialPort::SerialPortError error, bool accessible, const QString& group) {
    if (error != QSerialPort::PermissionError)
        return {};
    // Qt reports a port another program holds as a permission error too; a port the user may
    // open is held, whatever its group.
    if (accessible) {
        return QStringLiteral(
            "\nAnother program is using the port. Close it (or unplug the cable and plug it in "
            "again), then try again.");
    }
    // Debian names the serial devices' group dialout, Arch and others uucp. Only root may open a
    // device of root's group, and joining root is no cure.
    if (group.isEmpty() || group == QLatin1String("root"))
        return {};
    return QStringLiteral(
               "\nThe port belongs to the %1 group. Add your user to it "
               "(sudo usermod -aG %1 $USER), then log out and in again.")
        .arg(group);
}

QString OpenFailureText(const QString& device, QSerialPort::SerialPortError error,
                        const QString& systemReason) {
    const QFileInfo file(device);
    return QStringLiteral("Cannot open %1: %2").arg(device, systemReason) +
           OpenFailureHint(error, file.isReadable() && file.isWritable(), file.group());
}

namespace {

// A device name from the settings file may hold anything: control characters, and bytes that are
// not UTF-8 (which the serial library cannot open), are shown as codes, never written into a
// message as they are.
QString Printable(const QString& device) {
    return QString::fromStdString(ShownName(device.toStdU16String()));
}

}  // namespace

bool QtSerialPort::Open(ErrorInfo& error) {
    // No device name holds a control character; opening one would leave a lock file named after
    // it behind.
    if (device_.isEmpty() || Printable(device_) != device_) {
        error.Number = static_cast<int>(QSerialPort::DeviceNotFoundError);
        error.Description = QStringLiteral("Cannot open %1: invalid device name")
                                .arg(Printable(device_))
                                .toStdString();
        return false;
    }
    port_.setBaudRate(QSerialPort::Baud9600);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    if (port_.open(QIODevice::ReadWrite)) {
        port_.clearError();
        return true;
    }
    error.Number = static_cast<int>(port_.error());
    error.Description = OpenFailureText(device_, port_.error(), port_.errorString()).toStdString();
    port_.clearError();
    return false;
}

bool QtSerialPort::IsOpen() const {
    return port_.isOpen();
}

void QtSerialPort::Close() {
    port_.close();
    port_.clearError();
}

void QtSerialPort::Fail(const QString& what) {
    // The system's words say what failed; the sentence after them says what to do.
    ErrorInfo info{static_cast<int>(port_.error()),
                   QStringLiteral("%1 %2: %3\nThe radio stopped answering; check the cable.")
                       .arg(what, device_, port_.errorString())
                       .toStdString()};
    if (!port_.isOpen())
        info.Description = QStringLiteral("%1 is not open").arg(device_).toStdString();
    if (info.Number == QSerialPort::NoError)
        info.Number = QSerialPort::NotOpenError;
    port_.clearError();
    throw SerialPortError(info, messages::kAppTitle);
}

// A device that vanished (a pulled USB adapter) leaves a resource error behind.
void QtSerialPort::CheckUsable() {
    if (!port_.isOpen())
        Fail(QString());
    if (port_.error() == QSerialPort::ResourceError)
        Fail(QStringLiteral("Lost the connection to"));
}

int QtSerialPort::BytesAvailable() {
    CheckUsable();
    return static_cast<int>(port_.bytesAvailable());
}

std::vector<uint8_t> QtSerialPort::Read(int count) {
    CheckUsable();
    const QByteArray bytes = port_.read(count);
    return {bytes.begin(), bytes.end()};
}

void QtSerialPort::Write(const std::vector<uint8_t>& bytes) {
    CheckUsable();
    const auto size = static_cast<qint64>(bytes.size());
    if (port_.write(reinterpret_cast<const char*>(bytes.data()), size) != size)
        Fail(QStringLiteral("Cannot write to"));
    QElapsedTimer timer;
    timer.start();
    while (port_.bytesToWrite() > 0) {
        const int left = kWriteLimit - static_cast<int>(timer.elapsed());
        if (left <= 0 || !port_.waitForBytesWritten(left))
            Fail(QStringLiteral("Cannot write to"));
    }
}

void QtSerialPort::WaitForInput(int milliseconds, int wanted) {
    QElapsedTimer timer;
    timer.start();
    if (port_.isOpen() && port_.error() != QSerialPort::ResourceError) {
        // All but the last missing byte cannot arrive sooner than the line carries them. Sleeping
        // through that time spares a wake-up per byte; the last one is awaited as it comes.
        const qint64 missing = wanted - port_.bytesAvailable();
        if (missing > 1) {
            const qint64 lineTime = (missing - 1) * kMicrosecondsPerByte;
            QThread::usleep(
                static_cast<unsigned long>(std::min<qint64>(lineTime, milliseconds * 1000)));
        }
        const qint64 left = milliseconds - timer.elapsed();
        if (port_.waitForReadyRead(static_cast<int>(std::max<qint64>(left, 0))))
            return;
    }
    // A port that cannot wait (closed, or failing) returns at once; rest the remaining time so
    // that the caller's poll does not spin.
    const qint64 left = milliseconds - timer.elapsed();
    if (left > 0)
        QThread::msleep(static_cast<unsigned long>(left));
}

}  // namespace chanwright
