#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/error_info.h"
#include "core/memory_image.h"
#include "core/platform.h"
#include "core/shared_state.h"
#include "link/serial_port.h"

namespace chanwright {

class SerialTrace;

// How long the link waits. The radio's limits are fixed; tests and tools shorten them.
struct LinkTimings {
    double SohLimit = 10.0;  // seconds from a read command to its reply's SOH
    double BodyLimit = 1.0;  // seconds from the SOH to the end of the reply body
    double AckLimit = 10.0;  // seconds from a write command to its ACK
    int CanPause = 50;       // milliseconds between CAN and the repeated command
    int PollLimit = 10;      // milliseconds one poll may block waiting for input
};

enum WaitResult { kWaitDone = 0, kWaitAborted = 1, kWaitTimedOut = 3, kWaitBadEnd = -1 };

// The byte-level exchanges with the radio: each sends one command and awaits its answer, trying
// once more after CAN when the first attempt fails. Outcomes are left in OperationFailed and
// AbortRequested, as every caller tests them.
//
// A wait polls: it lets pending window events run (so Cancel can set AbortRequested), then
// looks at the input, AbortRequested and the deadline, in that order, and otherwise blocks in
// the port for at most PollLimit until input arrives, so an idle wait uses no processor.
class RadioLink {
  public:
    RadioLink(SharedState& shared, SerialPort& port, Clock& clock, EventPump& events,
              const FailureLog& log, LinkTimings timings = {});

    // True when the port is open afterwards. A port already open is left as it is. A failure
    // is logged and kept for OpenError().
    bool PortOpen();
    const ErrorInfo& OpenError() const { return openError_; }
    void PortClose();

    // Retries, time limits, bad replies and Cancel are noted there; null for none. The traffic
    // is the same either way.
    void SetTrace(SerialTrace* trace) { trace_ = trace; }

    void FlushInput();
    WaitResult WaitByte(uint8_t expected, double limit);
    // On kWaitDone, frame holds the length bytes received, the CR last.
    WaitResult RecvFrame(int length, double limit, std::vector<uint8_t>& frame);

    void SendReadBlock(uint16_t address);
    void SendReadByte(uint16_t address);
    void SendWriteBlock(uint16_t address, const MemoryImage& source);
    void SendWriteByte(uint16_t address, const MemoryImage& source);

    void RecvBlockReply(MemoryImage& destination, uint16_t address);
    void RecvByteReply(MemoryImage& destination, uint16_t address);
    void RecvAck();

    void ReadBlock(MemoryImage& destination, uint16_t address);
    void ReadByte(MemoryImage& destination, uint16_t address);
    void WriteBlock(const MemoryImage& source, uint16_t address);
    void WriteByte(const MemoryImage& source, uint16_t address);

  private:
    template <typename Send, typename Await>
    void Exchange(Send send, Await await);
    void RecvReply(int length, uint8_t type, const std::function<void(const uint8_t*)>& store);
    int WaitingBytes();
    std::vector<uint8_t> ReceivedBytes(int count);
    void WaitForInput(int wanted);
    void Note(const std::string& text);

    SharedState& shared_;
    SerialPort& port_;
    Clock& clock_;
    EventPump& events_;
    const FailureLog& log_;
    LinkTimings timings_;
    ErrorInfo openError_;
    SerialTrace* trace_ = nullptr;
};

}  // namespace chanwright
