#pragma once

#include <QString>

namespace chanwright {

// The device a name given for a serial port stands for, the same wherever a name comes from
// (--port, a COM item's mapping in the settings file, the Device dialog), so that the program and
// the tool, whatever folder each runs in, open one device:
// - a relative name that exists in the current folder is that file, written out absolute;
// - a bare name that does not (ttyUSB3) is the serial library's /dev/ttyUSB3;
// - any other relative name is taken from the current folder;
// - a name that is not UTF-8, which the serial library cannot open, is the device it leads to when
//   that one's name is UTF-8; otherwise it stays as it is and is refused when opened.
// Empty stays empty; elsewhere than on Unix a name is the system's own (COM3) and kept as given.
QString DevicePath(const QString& name);

}  // namespace chanwright
