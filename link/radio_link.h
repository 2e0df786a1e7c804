#pragma once

#include <cstdint>
#include <functional>
#include <optional>
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
    // Seconds without input that show no reply is on its way: before the first command of an
    // operation, before a repeated attempt, and after an exchange that needed one.
    double QuietTime = 0.3;
};

enum class WaitResult { Done, Aborted, TimedOut, BadEnd };

// The byte-level exchanges with the radio: each sends one command and awaits its answer, trying
// once more after CAN when the first attempt fails, and returns whether it was answered. The
// shared flags still tell the rest of the program: OperationFailed after a failed exchange,
// AbortRequested after a Cancel.
//
// Replies carry no address, so the link keeps the line in step itself: a reply is taken only
// when nothing else can be on its way. The line is drained until quiet before an operation's
// first command and before a repeated attempt; after an exchange that needed one, the other
// attempt's reply is awaited for a while; and bytes that nobody asked for, found before a
// command, repeat the exchange they may have answered. On a clean line none of this sends a byte
// more or waits a moment longer, apart from the quiet wait before the first command.
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

    // Lets pending window events (a Cancel) run between exchanges.
    void LetEventsRun() { events_.ProcessEvents(); }

    // The next command waits until the line is quiet: whatever an earlier session left on its way
    // (a reply to a command sent before the program was stopped) must not pass as an answer.
    void ExpectStrayInput() { drainFirst_ = true; }
    WaitResult WaitByte(uint8_t expected, double limit);
    // On WaitResult::Done, frame holds the length bytes received, the CR last.
    WaitResult RecvFrame(int length, double limit, std::vector<uint8_t>& frame);

    void SendReadBlock(uint16_t address);
    void SendReadByte(uint16_t address);
    void SendWriteBlock(uint16_t address, const MemoryImage& source);
    void SendWriteByte(uint16_t address, const MemoryImage& source);

    [[nodiscard]] bool RecvBlockReply(MemoryImage& destination, uint16_t address);
    [[nodiscard]] bool RecvByteReply(MemoryImage& destination, uint16_t address);
    [[nodiscard]] bool RecvAck();

    [[nodiscard]] bool ReadBlock(MemoryImage& destination, uint16_t address);
    [[nodiscard]] bool ReadByte(MemoryImage& destination, uint16_t address);
    [[nodiscard]] bool WriteBlock(const MemoryImage& source, uint16_t address);
    [[nodiscard]] bool WriteByte(const MemoryImage& source, uint16_t address);

  private:
    // One exchange: sends its command and awaits the answer, true when it came.
    struct Step {
        std::function<void()> send;
        std::function<bool()> await;
    };
    bool Exchange(const Step& step);
    bool RunInStep(const Step& step, int& repeats);
    bool Attempts(const Step& step, bool& retried, double& answerTime);
    bool Drain();
    bool QuietFor(double seconds);
    bool RecvReply(int length, uint8_t type, const std::function<void(const uint8_t*)>& store);
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
    bool drainFirst_ = false;
    // The last exchange that succeeded in this step, repeated when a reply turns out to have
    // been another's. Its buffers belong to the running step; the port's closing forgets it.
    std::optional<Step> previous_;
};

}  // namespace chanwright
