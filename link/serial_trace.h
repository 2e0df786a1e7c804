#pragma once

#include <QFile>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
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
// Each line reaches the file as it happens, so the trace survives a crash or a pulled cable. The
// trace never costs the transfer: the first write that fails (a full disk, a pipe whose reader
// left) ends the trace, and it is told, not thrown; past the size limit one last line says the
// trace was cut there. Use:
//
//     SerialTrace trace(clock);
//     if (!trace.Open(path, OpenGrowingFile(path, force, error))) ...   // storage/file_io.h
//     TracingPort traced(port, trace);    // TX, RX and port failures
//     RadioLink link(shared, traced, clock, events, log);
//     link.SetTrace(&trace);              // retries, time limits, bad replies, Cancel
//
// The trace must outlive both.
class SerialTrace {
  public:
    // A device that floods the line would otherwise fill the disk during one failed read.
    static constexpr qint64 kDefaultLimit = 16 * 1024 * 1024;

    explicit SerialTrace(Clock& clock, qint64 limit = kDefaultLimit);
    SerialTrace(const SerialTrace&) = delete;
    SerialTrace& operator=(const SerialTrace&) = delete;

    // Writes into fd, open to the file at path (which storage opens by the rules of every output
    // the program writes), and closes it when done; the times count from here. False, and no
    // trace, for -1: a file that could not be opened.
    bool Open(const QString& path, int fd);
    // The trace read as it happens, in the terminal or a pipe.
    void OpenStandardError();
    QString Path() const { return path_; }

    // Why the trace stopped early, after the first write that failed; nothing when it did not.
    const std::optional<ErrorInfo>& Failure() const { return failure_; }
    // Called once, as that write fails, for a caller that tells the user then.
    std::function<void(const ErrorInfo&)> onFailure;

    // A line shows at most 64 bytes, then how many came: a flood makes no megabyte line.
    void Bytes(bool transmitted, const std::vector<uint8_t>& bytes);
    // Control characters (a multi-line error text) become spaces: one event, one line. A note
    // that repeats the line just before it is left out, so a port failure met by every poll of
    // a wait shows once.
    void Note(const std::string& text);

  private:
    void Restart(const QString& path);
    std::string Start();
    void Write(std::string line);

    Clock& clock_;
    qint64 limit_;
    double start_;
    QString path_;
    QFile file_;
    qint64 written_ = 0;
    std::optional<ErrorInfo> failure_;
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
