#pragma once

#include <QSerialPort>
#include <QString>

#include "link/serial_port.h"

namespace chanwright {

// The radio's cable: a real serial device at 9600 baud, 8N1, no flow control. The link opens it
// per operation step, so a radio plugged in between two steps is found again.
class QtSerialPort : public SerialPort {
  public:
    explicit QtSerialPort(QString device);

    std::string Device() const override;
    bool Open(ErrorInfo& error) override;
    bool IsOpen() const override;
    void Close() override;
    int BytesAvailable() override;
    std::vector<uint8_t> Read(int count) override;
    void Write(const std::vector<uint8_t>& bytes) override;
    void WaitForInput(int milliseconds, int wanted) override;

  private:
    [[noreturn]] void Fail(const QString& what);
    void CheckUsable();

    QString device_;
    QSerialPort port_;
};

// The user-facing reason a device could not be opened, with a hint where the cure is known.
QString OpenFailureText(const QString& device, QSerialPort::SerialPortError error,
                        const QString& systemReason);
// The hint: a port the user may open (accessible) is held by another program; one the user may
// not open needs the user in the group that owns it. Empty when none applies.
QString OpenFailureHint(QSerialPort::SerialPortError error, bool accessible, const QString& group);

}  // namespace chanwright
