#pragma once

#include <QFile>
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

#include "core/error_info.h"
#include "core/platform.h"
#include "link/serial_port.h"

namespace chanwright {

// A record of the radio link, for finding out afterwards why a transfer failed. One line per
// event, milliseconds since Open first:
//
//       0 # opened /dev/ttyUSB0
//      11 TX 01 31 32 31 32 33 30 44 36 0D      bytes handed to the port
//      31 RX 01                                 bytes read from it
//      38 RX 31 32 30 30 33 30 0D
//      38 # bad reply: checksum 30, should be 3C    what the link made of them
//
// Each line reaches the file as it happens, so the trace survives a crash or a pulled cable. A
// trace that cannot be written loses lines, never the transfer. Use:
//
//     SerialTrace trace(clock);
//     if (!trace.Open(path, error)) ...   // error: the system's reason
//     TracingPort traced(port, trace);    // TX, RX and port failures
//     RadioLink link(shared, traced, clock, events, log);
//     link.SetTrace(&trace);              // retries, time limits, bad replies, Cancel
//
// The trace must outlive both.
class SerialTrace {
  public:
    explicit SerialTrace(Clock& clock);
    SerialTrace(const SerialTrace&) = delete;
    SerialTrace& operator=(const SerialTrace&) = delete;

    // Creates or empties the file; the times count from here.
    bool Open(const QString& path, ErrorInfo& error);
    QString Path() const { return path_; }

    void Bytes(bool transmitted, const std::vector<uint8_t>& bytes);
    // Control characters (a multi-line error text) become spaces: one event, one line. A note
    // that repeats the line just before it is left out, so a port failure met by every poll of
    // a wait shows once.
    void Note(const std::string& text);

  private:
    std::string Start();
    void Write(std::string line);

    Clock& clock_;
    double start_;
    QString path_;
    QFile file_;
    std::string lastNote_;  // the line just written, when it was a note
};

// A port that passes everything on unchanged and records it in a trace: the bytes, opening and
// closing, and each failure of the port before it goes on to the link.
class TracingPort : public SerialPort {
  public:
    TracingPort(SerialPort& port, SerialTrace& trace) : port_(port), trace_(trace) {}

    std::string Device() const override { return port_.Device(); }
    bool Open(ErrorInfo& error) override;
    bool IsOpen() const override { return port_.IsOpen(); }
    void Close() override;
    int BytesAvailable() override;
    std::vector<uint8_t> Read(int count) override;
    void Write(const std::vector<uint8_t>& bytes) override;
    void WaitForInput(int milliseconds, int wanted) override;

  private:
    template <typename Call>
    auto Watched(const char* what, Call call);

    SerialPort& port_;
    SerialTrace& trace_;
};

}  // namespace chanwright
