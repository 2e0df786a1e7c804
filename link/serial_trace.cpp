#include "link/serial_trace.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

namespace chanwright {

namespace {

constexpr qint64 kMiB = 1024 * 1024;
// Enough for any frame of the protocol; a read past it is a flood, its bytes counted, not shown.
constexpr std::size_t kBytesShown = 64;

std::string SizeText(qint64 bytes) {
    return bytes % kMiB == 0 ? std::to_string(bytes / kMiB) + " MiB"
                             : std::to_string(bytes) + " bytes";
}

}  // namespace

SerialTrace::SerialTrace(Clock& clock, qint64 limit)
    : clock_(clock), limit_(limit), start_(clock.Seconds()) {}

void SerialTrace::Restart(const QString& path) {
    file_.close();
    path_ = path;
    start_ = clock_.Seconds();
    written_ = 0;
    failure_.reset();
    lastNote_.clear();
}

bool SerialTrace::Open(const QString& path, int fd) {
    Restart(path);
    return fd >= 0 && file_.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered,
                                 QFileDevice::AutoCloseHandle);
}

// Left open when the trace ends: the program's own messages go on there.
void SerialTrace::OpenStandardError() {
    Restart(QStringLiteral("-"));
    file_.open(fileno(stderr), QIODevice::WriteOnly | QIODevice::Unbuffered,
               QFileDevice::DontCloseHandle);
}

std::string SerialTrace::Start() {
    char time[24];
    std::snprintf(time, sizeof time, "%7lld ", std::llround((clock_.Seconds() - start_) * 1000));
    return time;
}

void SerialTrace::Bytes(bool transmitted, const std::vector<uint8_t>& bytes) {
    if (!file_.isOpen())
        return;
    static constexpr char kDigits[] = "0123456789ABCDEF";
    lastNote_.clear();
    const std::size_t shown = std::min(bytes.size(), kBytesShown);
    std::string line = Start() + (transmitted ? "TX" : "RX");
    line.reserve(line.size() + 3 * shown + 1);
    for (std::size_t i = 0; i < shown; ++i) {
        line += ' ';
        line += kDigits[bytes[i] >> 4];
        line += kDigits[bytes[i] & 0x0F];
    }
    if (shown < bytes.size())
        line += " … (" + std::to_string(bytes.size()) + " bytes)";
    Write(std::move(line));
}

void SerialTrace::Note(const std::string& text) {
    if (!file_.isOpen() || text == lastNote_)
        return;
    lastNote_ = text;
    std::string line = Start() + "# " + text;
    for (char& c : line) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = ' ';
    }
    Write(std::move(line));
}

// Unbuffered: the whole line in one system write, nothing left in memory to lose. A trace that
// has failed or been cut is closed, so nothing more is tried.
void SerialTrace::Write(std::string line) {
    line += '\n';
    written_ += static_cast<qint64>(line.size());
    const bool cut = written_ > limit_;
    if (cut)
        line = Start() + "# trace cut at " + SizeText(limit_) + '\n';
    if (file_.write(line.data(), static_cast<qint64>(line.size())) !=
        static_cast<qint64>(line.size())) {
        failure_ = ErrorInfo{static_cast<int>(file_.error()), file_.errorString().toStdString()};
        file_.close();
        if (onFailure)
            onFailure(*failure_);
    } else if (cut) {
        file_.close();
    }
}

template <typename Call>
auto TracingPort::Watched(const char* what, Call call) {
    try {
        return call();
    } catch (const SerialPortError& error) {
        const ErrorInfo& info = error.Info();
        trace_.Note(std::string(what) + " failed (error " + std::to_string(info.Number) +
                    "): " + info.Description);
        throw;
    }
}

bool TracingPort::Open(ErrorInfo& error) {
    const bool opened = port_.Open(error);
    trace_.Note(opened ? "opened " + Device()
                       : "open failed (error " + std::to_string(error.Number) +
                             "): " + error.Description);
    return opened;
}

void TracingPort::Close() {
    port_.Close();
    trace_.Note("closed");
}

int TracingPort::BytesAvailable() {
    return Watched("input count", [&] { return port_.BytesAvailable(); });
}

std::vector<uint8_t> TracingPort::Read(int count) {
    std::vector<uint8_t> bytes = Watched("read", [&] { return port_.Read(count); });
    if (!bytes.empty())
        trace_.Bytes(false, bytes);
    return bytes;
}

// Noted before it goes out: a write that hangs or fails still shows what it carried.
void TracingPort::Write(const std::vector<uint8_t>& bytes) {
    trace_.Bytes(true, bytes);
    Watched("write", [&] { port_.Write(bytes); });
}

void TracingPort::WaitForInput(int milliseconds, int wanted) {
    Watched("wait", [&] { port_.WaitForInput(milliseconds, wanted); });
}

}  // namespace chanwright
