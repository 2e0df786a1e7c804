#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/error_info.h"

namespace chanwright {

// Raised by a port that fails under the link's hands, for example a write to a USB adapter that
// has just been pulled. The operation step running the exchange catches it and reports it.
class SerialPortError : public std::runtime_error {
  public:
    SerialPortError(ErrorInfo info, std::string source)
        : std::runtime_error(info.Description),
          info_(std::move(info)),
          source_(std::move(source)) {}

    const ErrorInfo& Info() const { return info_; }
    // Who raised it; the step's message box is titled with it.
    const std::string& Source() const { return source_; }

  private:
    ErrorInfo info_;
    std::string source_;
};

// The byte pipe to the radio. The link owns no port of its own: whoever runs an operation hands
// one in, so tests can feed, record, stall and unplug.
class SerialPort {
  public:
    virtual ~SerialPort() = default;

    // The device as messages name it ("/dev/ttyUSB0", "COM3").
    virtual std::string Device() const = 0;

    // Opens at 9600 baud, 8 data bits, no parity, 1 stop bit, raw bytes. On failure the error
    // carries the system's reason, worded for the user.
    virtual bool Open(ErrorInfo& error) = 0;
    virtual bool IsOpen() const = 0;
    virtual void Close() = 0;

    // These may throw SerialPortError.
    virtual int BytesAvailable() = 0;
    virtual std::vector<uint8_t> Read(int count) = 0;           // at most count bytes, never blocks
    virtual void Write(const std::vector<uint8_t>& bytes) = 0;  // all of them, or throws

    // Blocks until input may have arrived or the milliseconds have passed, whichever is first.
    // Wanted is how many bytes the caller needs in all; a port that knows its line rate may
    // sleep through the time the missing ones need on the line instead of waking for each.
    virtual void WaitForInput(int milliseconds, int wanted) = 0;
};

}  // namespace chanwright
