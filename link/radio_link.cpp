#include "link/radio_link.h"

#include <algorithm>
#include <cstdio>

#include "link/frames.h"
#include "link/serial_trace.h"

namespace chanwright {

namespace {

// More bytes than this before the awaited one, or any more than a reply holds, come from a device
// that floods the line, not from a radio: the attempt fails at once instead of reading on.
constexpr int kStrayLimit = 4 * 38;
// What a drain reads at a time.
constexpr int kDrainChunk = 4096;

std::string Awaited(uint8_t expected) {
    if (expected == kSoh)
        return "the reply's SOH";
    if (expected == kAck)
        return "the ACK";
    const auto hex = ByteToHex(expected);
    return "byte " + std::string(hex.begin(), hex.end());
}

std::string Limit(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%g s", seconds);
    return text;
}

// Two received characters as the trace shows them; noise must not break the line.
std::string Shown(uint8_t first, uint8_t second) {
    std::string text;
    for (const uint8_t c : {first, second})
        text += c > 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
    return text;
}

// Why a body that ends in CR was refused: a character that is no hex digit, its checksum, else its
// type.
std::string ReplyFault(const std::vector<uint8_t>& body, uint8_t type) {
    const auto end = static_cast<int>(body.size()) - 1;
    for (int i = 0; i < end; ++i) {
        if (!IsHexDigit(body[i]))
            return "bad reply: character " + std::to_string(i) + " is no hex digit";
    }
    const auto sum = ByteToHex(CalcSum(body.data(), 0, end - 3));
    const auto awaited = ByteToHex(type);
    if (sum[0] != body[end - 2] || sum[1] != body[end - 1]) {
        return "bad reply: checksum " + Shown(body[end - 2], body[end - 1]) + ", should be " +
               Shown(sum[0], sum[1]);
    }
    return "bad reply: type " + Shown(body[0], body[1]) + ", awaited " +
           Shown(awaited[0], awaited[1]);
}

}  // namespace

RadioLink::RadioLink(SharedState& shared, SerialPort& port, Clock& clock, EventPump& events,
                     const FailureLog& log, LinkTimings timings)
    : shared_(shared), port_(port), clock_(clock), events_(events), log_(log), timings_(timings) {}

bool RadioLink::PortOpen() {
    if (port_.IsOpen())
        return true;
    previous_.reset();
    ErrorInfo error;
    if (port_.Open(error))
        return true;
    openError_ = error;
    log_.LogError("frmRadio.PortOpen", error.Text());
    return false;
}

void RadioLink::PortClose() {
    previous_.reset();
    if (port_.IsOpen())
        port_.Close();
}

// While a reply is awaited, a failing port only looks like a silent radio: the attempt then
// times out and counts as failed, and the retry's flush meets the failure head-on.
int RadioLink::WaitingBytes() {
    try {
        return port_.BytesAvailable();
    } catch (const SerialPortError&) {
        return 0;
    }
}

std::vector<uint8_t> RadioLink::ReceivedBytes(int count) {
    try {
        return port_.Read(count);
    } catch (const SerialPortError&) {
        return {};
    }
}

void RadioLink::Note(const std::string& text) {
    if (trace_)
        trace_->Note(text);
}

void RadioLink::WaitForInput(int wanted) {
    try {
        port_.WaitForInput(timings_.PollLimit, wanted);
    } catch (const SerialPortError&) {
        clock_.Pause(timings_.PollLimit);
    }
}

WaitResult RadioLink::WaitByte(uint8_t expected, double limit) {
    const double deadline = clock_.Seconds() + limit;
    uint8_t last = 0;
    int stray = 0;
    for (;;) {
        events_.ProcessEvents();
        if (WaitingBytes() > 0) {
            const std::vector<uint8_t> byte = ReceivedBytes(1);
            if (!byte.empty())
                last = byte.front();
            if (!byte.empty() && last != expected && ++stray > kStrayLimit) {
                Note("bad reply: more than " + std::to_string(kStrayLimit) + " bytes before " +
                     Awaited(expected));
                return WaitResult::BadEnd;
            }
        }
        if (shared_.AbortRequested) {
            Note("cancelled awaiting " + Awaited(expected));
            return WaitResult::Aborted;
        }
        // The deadline comes first: a byte that arrives as time runs out is a time-out.
        if (clock_.Seconds() > deadline) {
            Note("time limit: " + Limit(limit) + " for " + Awaited(expected));
            return WaitResult::TimedOut;
        }
        if (last == expected)
            return WaitResult::Done;
        if (WaitingBytes() == 0)
            WaitForInput(1);
    }
}

WaitResult RadioLink::RecvFrame(int length, double limit, std::vector<uint8_t>& frame) {
    shared_.OperationFailed = true;
    shared_.AbortRequested = false;
    const double deadline = clock_.Seconds() + limit;
    for (;;) {
        events_.ProcessEvents();
        // Exactly the frame's length: a stray byte more makes the receive run into its limit.
        const int waiting = WaitingBytes();
        if (waiting == length)
            break;
        if (waiting > length) {
            Note("bad reply: " + std::to_string(waiting) + " bytes in, more than the " +
                 std::to_string(length) + " a reply holds");
            return WaitResult::BadEnd;
        }
        if (shared_.AbortRequested) {
            Note("cancelled awaiting the reply body");
            return WaitResult::Aborted;
        }
        if (clock_.Seconds() > deadline) {
            Note("time limit: " + Limit(limit) + " for the reply body, " + std::to_string(waiting) +
                 " of " + std::to_string(length) + " bytes in");
            return WaitResult::TimedOut;
        }
        WaitForInput(length);
    }
    frame = ReceivedBytes(length);
    if (static_cast<int>(frame.size()) != length) {
        Note("bad reply: read " + std::to_string(frame.size()) + " of " + std::to_string(length) +
             " bytes");
        return WaitResult::BadEnd;
    }
    if (frame.back() != kCr) {
        Note("bad reply: no CR at the end");
        return WaitResult::BadEnd;
    }
    shared_.OperationFailed = false;
    return WaitResult::Done;
}

void RadioLink::SendReadBlock(uint16_t address) {
    port_.Write(BuildReadBlock(address));
}

void RadioLink::SendReadByte(uint16_t address) {
    port_.Write(BuildReadByte(address));
}

void RadioLink::SendWriteBlock(uint16_t address, const MemoryImage& source) {
    port_.Write(BuildWriteBlock(address, source));
}

void RadioLink::SendWriteByte(uint16_t address, const MemoryImage& source) {
    port_.Write(BuildWriteByte(address, source));
}

bool RadioLink::RecvReply(int length, uint8_t type,
                          const std::function<void(const uint8_t*)>& store) {
    shared_.OperationFailed = true;
    shared_.AbortRequested = false;
    if (WaitByte(kSoh, timings_.SohLimit) != WaitResult::Done)
        return false;
    std::vector<uint8_t> frame;
    if (RecvFrame(length, timings_.BodyLimit, frame) != WaitResult::Done)
        return false;
    shared_.OperationFailed = true;
    if (CheckReply(frame.data(), length) != type) {
        if (trace_)
            Note(ReplyFault(frame, type));
        return false;
    }
    store(frame.data());
    shared_.OperationFailed = false;
    return true;
}

bool RadioLink::RecvBlockReply(MemoryImage& destination, uint16_t address) {
    return RecvReply(kBlockReplyBodyLength, kTypeReadBlock, [&](const uint8_t* body) {
        for (int i = 0; i < kBlockSize; ++i) {
            destination[(address + i) % kImageSize] = HexToByte(body[2 + 2 * i], body[3 + 2 * i]);
        }
    });
}

bool RadioLink::RecvByteReply(MemoryImage& destination, uint16_t address) {
    return RecvReply(kByteReplyBodyLength, kTypeReadByte, [&](const uint8_t* body) {
        destination[address % kImageSize] = HexToByte(body[2], body[3]);
    });
}

bool RadioLink::RecvAck() {
    shared_.OperationFailed = true;
    shared_.AbortRequested = false;
    if (WaitByte(kAck, timings_.AckLimit) != WaitResult::Done)
        return false;
    shared_.OperationFailed = false;
    return true;
}

// Reads and drops input until none has come for QuietTime. False when Cancel stops it, or when the
// line does not fall quiet within about the reply limit (a device flooding it), which fails the
// exchange. A port that fails here ends the operation step, as the flush does.
bool RadioLink::Drain() {
    const double start = clock_.Seconds();
    double quietSince = start;
    long long dropped = 0;
    for (;;) {
        events_.ProcessEvents();
        if (shared_.AbortRequested)
            return false;
        const int waiting = port_.BytesAvailable();
        const double now = clock_.Seconds();
        if (waiting > 0) {
            dropped += static_cast<long long>(port_.Read(std::min(waiting, kDrainChunk)).size());
            quietSince = now;
        } else if (now - quietSince >= timings_.QuietTime) {
            if (dropped > 0)
                Note("drained " + std::to_string(dropped) + " bytes");
            return true;
        }
        // A reply late by up to the reply limit still falls quiet in time.
        if (now - start > timings_.SohLimit + timings_.QuietTime) {
            Note("the line did not fall quiet: " + std::to_string(dropped) + " bytes in " +
                 Limit(now - start));
            return false;
        }
        if (waiting == 0)
            WaitForInput(1);
    }
}

// True when no input came for the seconds; false as soon as some did (it is left waiting) or
// Cancel was pressed.
bool RadioLink::QuietFor(double seconds) {
    const double deadline = clock_.Seconds() + seconds;
    for (;;) {
        events_.ProcessEvents();
        if (WaitingBytes() > 0 || shared_.AbortRequested)
            return false;
        if (clock_.Seconds() >= deadline)
            return true;
        WaitForInput(1);
    }
}

// The attempts the retry count allows, each after CAN but the first. Before a repeated attempt the
// line is drained until quiet, so that a late answer to the failed one cannot pass for its own.
// True on success, with whether it took a repeat and how long its answer took.
bool RadioLink::Attempts(const Step& step, bool& retried, double& answerTime) {
    const int attempts = std::max<int>(shared_.RetryCount, 0) + 1;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        shared_.OperationFailed = true;
        shared_.AbortRequested = false;
        if (attempt > 0) {
            Note("retry: attempt " + std::to_string(attempt + 1) + " of " +
                 std::to_string(attempts) + ", CAN first");
            if (!Drain())
                return false;
            port_.Write({kCan});
            clock_.Pause(timings_.CanPause);
        }
        const double sent = clock_.Seconds();
        step.send();
        if (step.await()) {
            retried = attempt > 0;
            answerTime = clock_.Seconds() - sent;
            return true;
        }
        if (shared_.AbortRequested)
            return false;
    }
    return false;
}

// Runs the exchange until its answer is known to be its own. After a repeated attempt the failed
// attempt's reply may still be on its way: the line must stay quiet for about two answer times,
// or what came was the other reply, and either may have been taken, so the exchange runs again.
// Each run again spends one of repeats.
bool RadioLink::RunInStep(const Step& step, int& repeats) {
    for (;;) {
        bool retried = false;
        double answerTime = 0;
        if (!Attempts(step, retried, answerTime))
            return false;
        if (!retried)
            return true;
        if (QuietFor(std::clamp(2 * answerTime, timings_.QuietTime, timings_.SohLimit)))
            return true;
        if (shared_.AbortRequested)
            return false;
        shared_.OperationFailed = true;
        Note("out of step: a reply came after the answer");
        if (repeats-- <= 0 || !Drain())
            return false;
    }
}

// Bytes waiting before the command goes were asked for by no one the link knows of: the previous
// exchange may have taken another's reply, so it runs again before this one.
bool RadioLink::Exchange(const Step& step) {
    int repeats = std::max<int>(shared_.RetryCount, 0);
    shared_.OperationFailed = true;
    shared_.AbortRequested = false;
    if (drainFirst_) {
        drainFirst_ = false;
        if (!Drain())
            return false;
    } else if (port_.BytesAvailable() > 0) {
        Note("out of step: input before the command");
        if (!Drain())
            return false;
        if (previous_ && (repeats-- <= 0 || !RunInStep(*previous_, repeats)))
            return false;
    }
    if (!RunInStep(step, repeats))
        return false;
    previous_ = step;
    return true;
}

// The steps keep what they need by value: the previous one may run again after its call returned.
bool RadioLink::ReadBlock(MemoryImage& destination, uint16_t address) {
    return Exchange(
        {[this, address] { SendReadBlock(address); },
         [this, &destination, address] { return RecvBlockReply(destination, address); }});
}

bool RadioLink::ReadByte(MemoryImage& destination, uint16_t address) {
    return Exchange(
        {[this, address] { SendReadByte(address); },
         [this, &destination, address] { return RecvByteReply(destination, address); }});
}

bool RadioLink::WriteBlock(const MemoryImage& source, uint16_t address) {
    return Exchange({[this, &source, address] { SendWriteBlock(address, source); },
                     [this] { return RecvAck(); }});
}

bool RadioLink::WriteByte(const MemoryImage& source, uint16_t address) {
    return Exchange({[this, &source, address] { SendWriteByte(address, source); },
                     [this] { return RecvAck(); }});
}

}  // namespace chanwright
