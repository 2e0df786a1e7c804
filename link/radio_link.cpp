#include "link/radio_link.h"

#include <algorithm>
#include <cstdio>

#include "link/frames.h"
#include "link/serial_trace.h"

namespace chanwright {

namespace {

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

// Why a body that ends in CR was refused: its checksum, else its type.
std::string ReplyFault(const std::vector<uint8_t>& body, uint8_t type) {
    const auto end = static_cast<int>(body.size()) - 1;
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
    ErrorInfo error;
    if (port_.Open(error))
        return true;
    openError_ = error;
    log_.LogError("frmRadio.PortOpen", error.Text());
    return false;
}

void RadioLink::PortClose() {
    if (port_.IsOpen())
        port_.Close();
}

// Leftovers of an earlier attempt go; a port that fails here ends the operation step.
void RadioLink::FlushInput() {
    const int waiting = port_.BytesAvailable();
    if (waiting != 0)
        port_.Read(waiting);
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
    for (;;) {
        events_.ProcessEvents();
        if (WaitingBytes() > 0) {
            const std::vector<uint8_t> byte = ReceivedBytes(1);
            if (!byte.empty())
                last = byte.front();
        }
        if (shared_.AbortRequested) {
            Note("cancelled awaiting " + Awaited(expected));
            return kWaitAborted;
        }
        // The deadline comes first: a byte that arrives as time runs out is a time-out.
        if (clock_.Seconds() > deadline) {
            Note("time limit: " + Limit(limit) + " for " + Awaited(expected));
            return kWaitTimedOut;
        }
        if (last == expected)
            return kWaitDone;
        if (WaitingBytes() == 0)
            WaitForInput(1);
    }
}

WaitResult RadioLink::RecvFrame(int length, double limit, std::vector<uint8_t>& frame) {
    shared_.OperationFailed = kTrue;
    shared_.AbortRequested = kFalse;
    const double deadline = clock_.Seconds() + limit;
    for (;;) {
        events_.ProcessEvents();
        // Exactly the frame's length: a stray byte more makes the receive run into its limit.
        const int waiting = WaitingBytes();
        if (waiting == length)
            break;
        if (shared_.AbortRequested) {
            Note("cancelled awaiting the reply body");
            return kWaitAborted;
        }
        if (clock_.Seconds() > deadline) {
            Note("time limit: " + Limit(limit) + " for the reply body, " + std::to_string(waiting) +
                 " of " + std::to_string(length) + " bytes in");
            return kWaitTimedOut;
        }
        WaitForInput(length);
    }
    frame = ReceivedBytes(length);
    if (static_cast<int>(frame.size()) != length) {
        Note("bad reply: read " + std::to_string(frame.size()) + " of " + std::to_string(length) +
             " bytes");
        return kWaitBadEnd;
    }
    if (frame.back() != kCr) {
        Note("bad reply: no CR at the end");
        return kWaitBadEnd;
    }
    shared_.OperationFailed = kFalse;
    return kWaitDone;
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

void RadioLink::RecvReply(int length, uint8_t type,
                          const std::function<void(const uint8_t*)>& store) {
    shared_.OperationFailed = kTrue;
    shared_.AbortRequested = kFalse;
    if (WaitByte(kSoh, timings_.SohLimit) != kWaitDone)
        return;
    std::vector<uint8_t> frame;
    if (RecvFrame(length, timings_.BodyLimit, frame) != kWaitDone)
        return;
    shared_.OperationFailed = kTrue;
    if (CheckReply(frame.data(), length) != type) {
        if (trace_)
            Note(ReplyFault(frame, type));
        return;
    }
    store(frame.data());
    shared_.OperationFailed = kFalse;
}

void RadioLink::RecvBlockReply(MemoryImage& destination, uint16_t address) {
    RecvReply(kBlockReplyBodyLength, kTypeReadBlock, [&](const uint8_t* body) {
        for (int i = 0; i < kBlockSize; ++i) {
            destination[(address + i) % kImageSize] = HexToByte(body[2 + 2 * i], body[3 + 2 * i]);
        }
    });
}

void RadioLink::RecvByteReply(MemoryImage& destination, uint16_t address) {
    RecvReply(kByteReplyBodyLength, kTypeReadByte, [&](const uint8_t* body) {
        destination[address % kImageSize] = HexToByte(body[2], body[3]);
    });
}

void RadioLink::RecvAck() {
    shared_.OperationFailed = kTrue;
    shared_.AbortRequested = kFalse;
    if (WaitByte(kAck, timings_.AckLimit) == kWaitDone)
        shared_.OperationFailed = kFalse;
}

template <typename Send, typename Await>
void RadioLink::Exchange(Send send, Await await) {
    const int attempts = std::max<int>(shared_.RetryCount, 0) + 1;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        shared_.OperationFailed = kTrue;
        shared_.AbortRequested = kFalse;
        if (attempt > 0)
            Note("retry: attempt " + std::to_string(attempt + 1) + " of " +
                 std::to_string(attempts) + ", CAN first");
        FlushInput();
        if (attempt > 0) {
            port_.Write({kCan});
            clock_.Pause(timings_.CanPause);
        }
        send();
        await();
        if (!shared_.OperationFailed || shared_.AbortRequested)
            return;
    }
}

void RadioLink::ReadBlock(MemoryImage& destination, uint16_t address) {
    Exchange([&] { SendReadBlock(address); }, [&] { RecvBlockReply(destination, address); });
}

void RadioLink::ReadByte(MemoryImage& destination, uint16_t address) {
    Exchange([&] { SendReadByte(address); }, [&] { RecvByteReply(destination, address); });
}

void RadioLink::WriteBlock(const MemoryImage& source, uint16_t address) {
    Exchange([&] { SendWriteBlock(address, source); }, [&] { RecvAck(); });
}

void RadioLink::WriteByte(const MemoryImage& source, uint16_t address) {
    Exchange([&] { SendWriteByte(address, source); }, [&] { RecvAck(); });
}

}  // namespace chanwright
