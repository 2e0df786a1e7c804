#pragma once

#include <QString>
#include <vector>

namespace chanwright {

// One serial port the system offers now.
struct PortInfo {
    QString device;        // "/dev/ttyUSB0", "COM7"
    QString description;   // as the system describes it; may be empty
    QString manufacturer;  // may be empty
    QString serialNumber;  // may be empty
    QString byId;          // the stable "/dev/serial/by-id/…" name leading to it; empty if none
};

// The serial ports found now. The window and the tool take the system's; tests hand in a list.
class PortEnumerator {
  public:
    virtual ~PortEnumerator() = default;
    virtual std::vector<PortInfo> Ports() const = 0;
};

// The system's ports as Qt finds them, sorted by device (ttyS2 before ttyS10).
class QtPortEnumerator : public PortEnumerator {
  public:
    std::vector<PortInfo> Ports() const override;
};

// What to do when no port is found at all; the Device dialog and `ports` both say it.
QString NoPortsHint();

}  // namespace chanwright
