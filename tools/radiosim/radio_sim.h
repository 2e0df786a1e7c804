#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/memory_image.h"

// A radio as seen from the cable: bytes the program sends go in, the bytes the radio answers come
// out. No transport and no time; the radiosim tool and the tests' fake port drive it.
namespace chanwright {

// Misbehaviours the radio can be told to show. Unless noted, a fault changes only the answer to
// a read (the one that carries SOH, data and a checksum); write acknowledgements stay plain ACK.
enum class FaultKind {
    BadChecksum,        // checksum digits upper-case but one more than the right value
    LowercaseChecksum,  // checksum digits lower-cased; identical to a good reply when both are 0-9
    DropReply,          // reads and writes: executed, nothing answered
    Noise,              // "~?x" and a 0x00 before the reply's SOH
    ExtraByte,          // one '0' after the reply's CR
    Silence,            // reads and writes: from here on executed, never answered
    HangUp,             // from here on nothing is executed or answered and HungUp() is true
    WrongModel,         // bytes 0, 1, 8190, 8191 read as the other model's identifier
    MismatchedIds,      // bytes 8190, 8191 read as an identifier that differs from bytes 0, 1
    LostWrite,          // writes: acknowledged, but the memory keeps what it held
    LateReply,          // the reply held back (by the tool: --late) while the radio is busy
    PreviousReply,      // from here on each read answered with the previous read's reply
    NonHex,             // a data digit that is no hex digit, under a checksum that verifies
    BlockIds,           // block reads carry the other model's identifiers; byte reads do not
    Flood,              // from here on every answer followed by copies of it without end
};

struct SimFault {
    FaultKind kind;
    int atCommand = 0;  // 0: every command; N: only the N-th command (1-based)
};

// "drop-reply", "drop-reply@5": the tool's --fault argument. Nothing for an unknown name, a
// negative or malformed number.
std::optional<SimFault> ParseFault(const std::string& text);
std::string FaultName(FaultKind kind);

class RadioSim {
  public:
    using LogSink = std::function<void(const std::string&)>;

    explicit RadioSim(const MemoryImage& memory);

    const MemoryImage& Memory() const { return memory_; }

    // Takes bytes as they come off the cable, in any split, and returns the radio's answer to
    // the frames they complete (often nothing).
    std::vector<uint8_t> Receive(const uint8_t* data, size_t count);
    std::vector<uint8_t> Receive(const std::vector<uint8_t>& bytes);

    void AddFault(SimFault fault) { faults_.push_back(fault); }
    void ClearFaults() { faults_.clear(); }

    // The radio has been unplugged by a hang-up fault; it takes no more bytes.
    bool HungUp() const { return hungUp_; }
    // Between a SOH and the end of its frame; the tool uses it to time the line.
    bool InFrame() const { return inFrame_; }
    // The answer just returned is to be held back (a late-reply fault).
    bool ReplyLate() const { return replyLate_; }
    // A flood fault has started: FloodBytes() are to be sent again and again, as fast as the
    // line takes them. Receive returns a first burst of them with the answer.
    bool Flooding() const { return !flood_.empty(); }
    const std::vector<uint8_t>& FloodBytes() const { return flood_; }

    // Every well-formed command frame, repeats included; the number faults count against.
    int CommandCount() const { return commandCount_; }
    int CanCount() const { return canCount_; }
    int BadFrameCount() const { return badFrameCount_; }
    // Answers actually sent, ACKs included.
    int ReplyCount() const { return replyCount_; }

    // One line per complete frame: "read-byte 0155", "read-block 0120", "write-byte 0155 00",
    // "write-block 0200 <32 hex digits>", "can", "bad-frame <frame bytes in hex>".
    const std::vector<std::string>& Log() const { return log_; }
    void SetLogSink(LogSink sink) { logSink_ = std::move(sink); }
    // A long-running tool logs to its sink only, so memory stays flat.
    void KeepLog(bool keep) { keepLog_ = keep; }

  private:
    struct Command {
        uint8_t type = 0;
        uint16_t address = 0;
        std::vector<uint8_t> data;
    };

    void Take(uint8_t byte, std::vector<uint8_t>& out);
    void HandleFrame(std::vector<uint8_t>& out);
    std::optional<Command> ParseFrame() const;
    void Execute(const Command& command, bool answer, std::vector<uint8_t>& out);
    std::vector<uint8_t> ReadReply(const Command& command);
    uint8_t AnsweredByte(int address) const;
    bool Triggers(FaultKind kind) const;
    void LogLine(const std::string& line);

    MemoryImage memory_;
    std::vector<SimFault> faults_;
    std::vector<uint8_t> frame_;
    bool inFrame_ = false;
    bool hungUp_ = false;
    bool silent_ = false;
    bool lagging_ = false;
    uint8_t reading_ = 0;  // the type of the read being answered
    bool replyLate_ = false;
    std::vector<uint8_t> lastReadReply_;
    std::vector<uint8_t> flood_;
    int commandCount_ = 0;
    int canCount_ = 0;
    int badFrameCount_ = 0;
    int replyCount_ = 0;
    std::vector<std::string> log_;
    LogSink logSink_;
    bool keepLog_ = true;
};

}  // namespace chanwright
