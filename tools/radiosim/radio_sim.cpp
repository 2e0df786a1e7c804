#include "tools/radiosim/radio_sim.h"

#include <cctype>

#include "image/default_image.h"
#include "link/frames.h"

namespace chanwright {

namespace {

// The longest command, a block write: SOH, 40 characters, CR.
constexpr size_t kMaxFrameLength = 42;
constexpr int kFirstIdAddress = 0;
constexpr int kSecondIdAddress = kImageSize - 2;

struct FaultNameEntry {
    FaultKind kind;
    const char* name;
};

constexpr FaultNameEntry kFaultNames[] = {
    {FaultKind::BadChecksum, "bad-checksum"},
    {FaultKind::LowercaseChecksum, "lowercase-checksum"},
    {FaultKind::DropReply, "drop-reply"},
    {FaultKind::Noise, "noise"},
    {FaultKind::ExtraByte, "extra-byte"},
    {FaultKind::Silence, "silence"},
    {FaultKind::HangUp, "hang-up"},
    {FaultKind::WrongModel, "wrong-model"},
    {FaultKind::MismatchedIds, "mismatched-ids"},
    {FaultKind::LostWrite, "lost-write"},
    {FaultKind::LateReply, "late-reply"},
    {FaultKind::PreviousReply, "previous-reply"},
    {FaultKind::NonHex, "non-hex"},
    {FaultKind::BlockIds, "block-ids"},
    {FaultKind::Flood, "flood"},
};

// Copies of an answer a flood sends with it; the tool goes on sending them.
constexpr int kFloodBurst = 64;

bool IsUpperHexDigit(uint8_t c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

std::string Hex(const uint8_t* bytes, size_t count) {
    std::string text;
    for (size_t i = 0; i < count; ++i) {
        const auto hex = ByteToHex(bytes[i]);
        text.append(hex.begin(), hex.end());
    }
    return text;
}

std::string HexAddress(uint16_t address) {
    const uint8_t bytes[] = {static_cast<uint8_t>(address >> 8),
                             static_cast<uint8_t>(address & 0xFF)};
    return Hex(bytes, 2);
}

// Data bytes a command carries, and how many bytes it touches.
int DataLength(uint8_t type) {
    switch (type) {
        case kTypeWriteByte:
            return 1;
        case kTypeWriteBlock:
            return kBlockSize;
        default:
            return 0;
    }
}

int Span(uint8_t type) {
    return type == kTypeReadBlock || type == kTypeWriteBlock ? kBlockSize : 1;
}

bool IsKnownType(uint8_t type) {
    return type == kTypeWriteByte || type == kTypeReadByte || type == kTypeWriteBlock ||
           type == kTypeReadBlock;
}

// The other model's identifier; a memory holding neither answers as a TQ5300.
uint16_t OtherModelId(uint16_t id) {
    return id == kModelIdTQ5300 ? kModelIdHV2071P : kModelIdTQ5300;
}

uint8_t IdByte(uint16_t id, int address) {
    return static_cast<uint8_t>(address % 2 == 0 ? id >> 8 : id & 0xFF);
}

}  // namespace

std::optional<SimFault> ParseFault(const std::string& text) {
    const size_t at = text.find('@');
    const std::string name = text.substr(0, at);
    SimFault fault{FaultKind::BadChecksum, 0};
    bool known = false;
    for (const auto& entry : kFaultNames) {
        if (name == entry.name) {
            fault.kind = entry.kind;
            known = true;
        }
    }
    if (!known)
        return std::nullopt;
    if (at == std::string::npos)
        return fault;
    const std::string number = text.substr(at + 1);
    if (number.empty() || number.size() > 9)
        return std::nullopt;
    for (const char c : number) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
    }
    fault.atCommand = std::stoi(number);
    return fault;
}

std::string FaultName(FaultKind kind) {
    for (const auto& entry : kFaultNames) {
        if (entry.kind == kind)
            return entry.name;
    }
    return {};
}

RadioSim::RadioSim(const MemoryImage& memory) : memory_(memory) {}

std::vector<uint8_t> RadioSim::Receive(const uint8_t* data, size_t count) {
    std::vector<uint8_t> out;
    for (size_t i = 0; i < count; ++i)
        Take(data[i], out);
    return out;
}

std::vector<uint8_t> RadioSim::Receive(const std::vector<uint8_t>& bytes) {
    return Receive(bytes.data(), bytes.size());
}

void RadioSim::Take(uint8_t byte, std::vector<uint8_t>& out) {
    if (hungUp_)
        return;
    if (byte == kCan) {
        // The program gives up on an exchange: whatever half frame we hold is void.
        frame_.clear();
        inFrame_ = false;
        ++canCount_;
        LogLine("can");
        return;
    }
    if (!inFrame_) {
        if (byte == kSoh) {
            inFrame_ = true;
            frame_.assign(1, byte);
        }
        return;
    }
    // A SOH inside a frame is just a bad character: only CAN restarts the radio.
    frame_.push_back(byte);
    if (byte == kCr) {
        inFrame_ = false;
        HandleFrame(out);
        frame_.clear();
    } else if (frame_.size() >= kMaxFrameLength) {
        inFrame_ = false;
        ++badFrameCount_;
        LogLine("bad-frame " + Hex(frame_.data(), frame_.size()));
        frame_.clear();
    }
}

void RadioSim::HandleFrame(std::vector<uint8_t>& out) {
    const std::optional<Command> command = ParseFrame();
    if (!command) {
        ++badFrameCount_;
        LogLine("bad-frame " + Hex(frame_.data(), frame_.size()));
        return;
    }
    ++commandCount_;
    switch (command->type) {
        case kTypeReadByte:
            LogLine("read-byte " + HexAddress(command->address));
            break;
        case kTypeReadBlock:
            LogLine("read-block " + HexAddress(command->address));
            break;
        case kTypeWriteByte:
            LogLine("write-byte " + HexAddress(command->address) + " " +
                    Hex(command->data.data(), command->data.size()));
            break;
        default:
            LogLine("write-block " + HexAddress(command->address) + " " +
                    Hex(command->data.data(), command->data.size()));
            break;
    }
    if (Triggers(FaultKind::HangUp)) {
        hungUp_ = true;
        return;
    }
    if (Triggers(FaultKind::Silence))
        silent_ = true;
    lagging_ = lagging_ || Triggers(FaultKind::PreviousReply);
    replyLate_ = Triggers(FaultKind::LateReply);
    const size_t start = out.size();
    Execute(*command, !silent_ && !Triggers(FaultKind::DropReply), out);
    if (Triggers(FaultKind::Flood) && out.size() > start)
        flood_.assign(out.begin() + static_cast<std::ptrdiff_t>(start), out.end());
    for (int i = 0; i < kFloodBurst && !flood_.empty(); ++i)
        out.insert(out.end(), flood_.begin(), flood_.end());
}

// A well-formed command: upper-case hex throughout, the length its type calls for, a checksum
// that verifies and an address range inside the memory.
std::optional<RadioSim::Command> RadioSim::ParseFrame() const {
    const uint8_t* body = frame_.data() + 1;
    const int length = static_cast<int>(frame_.size()) - 2;
    if (length < 8)
        return std::nullopt;
    for (int i = 0; i < length; ++i) {
        if (!IsUpperHexDigit(body[i]))
            return std::nullopt;
    }
    Command command;
    command.type = HexToByte(body[0], body[1]);
    if (!IsKnownType(command.type))
        return std::nullopt;
    const int dataLength = DataLength(command.type);
    if (length != 8 + 2 * dataLength)
        return std::nullopt;
    if (CalcSum(body, 0, length - 3) != HexToByte(body[length - 2], body[length - 1]))
        return std::nullopt;
    command.address =
        static_cast<uint16_t>(HexToByte(body[2], body[3]) * 256 + HexToByte(body[4], body[5]));
    if (command.address + Span(command.type) > kImageSize)
        return std::nullopt;
    for (int i = 0; i < dataLength; ++i)
        command.data.push_back(HexToByte(body[6 + 2 * i], body[7 + 2 * i]));
    return command;
}

void RadioSim::Execute(const Command& command, bool answer, std::vector<uint8_t>& out) {
    std::vector<uint8_t> reply;
    if (command.type == kTypeWriteByte || command.type == kTypeWriteBlock) {
        // Stored exactly as sent: the program's spaces in text stay spaces.
        for (size_t i = 0; i < command.data.size() && !Triggers(FaultKind::LostWrite); ++i)
            memory_[command.address + i] = command.data[i];
        reply.push_back(kAck);
    } else {
        reply = ReadReply(command);
        // A radio that lags answers each read with the one before; its first has none.
        if (lagging_)
            std::swap(reply, lastReadReply_);
        else
            lastReadReply_ = reply;
    }
    if (!answer || reply.empty())
        return;
    ++replyCount_;
    out.insert(out.end(), reply.begin(), reply.end());
}

std::vector<uint8_t> RadioSim::ReadReply(const Command& command) {
    reading_ = command.type;
    std::vector<uint8_t> data;
    for (int i = 0; i < Span(command.type); ++i)
        data.push_back(AnsweredByte(command.address + i));
    std::vector<uint8_t> reply =
        BuildReply(command.type, data.data(), static_cast<int>(data.size()));

    const size_t sumAt = reply.size() - 3;
    if (Triggers(FaultKind::NonHex)) {
        // 'G' reads as a 0 digit would; the checksum covers it as sent.
        reply[3] = 'G';
        const auto sum = ByteToHex(CalcSum(reply.data(), 1, static_cast<int>(sumAt) - 1));
        reply[sumAt] = sum[0];
        reply[sumAt + 1] = sum[1];
    }
    if (Triggers(FaultKind::BadChecksum)) {
        const auto wrong =
            ByteToHex(static_cast<uint8_t>(HexToByte(reply[sumAt], reply[sumAt + 1]) + 1));
        reply[sumAt] = wrong[0];
        reply[sumAt + 1] = wrong[1];
    }
    if (Triggers(FaultKind::LowercaseChecksum)) {
        reply[sumAt] = static_cast<uint8_t>(std::tolower(reply[sumAt]));
        reply[sumAt + 1] = static_cast<uint8_t>(std::tolower(reply[sumAt + 1]));
    }
    if (Triggers(FaultKind::Noise)) {
        const uint8_t noise[] = {'~', '?', 'x', 0x00};
        reply.insert(reply.begin(), std::begin(noise), std::end(noise));
    }
    if (Triggers(FaultKind::ExtraByte))
        reply.push_back('0');
    return reply;
}

// A memory byte as a read answers it, after the identifier faults.
uint8_t RadioSim::AnsweredByte(int address) const {
    const bool firstId = address == kFirstIdAddress || address == kFirstIdAddress + 1;
    const bool secondId = address == kSecondIdAddress || address == kSecondIdAddress + 1;
    const bool wrongModel = Triggers(FaultKind::WrongModel) ||
                            (Triggers(FaultKind::BlockIds) && reading_ == kTypeReadBlock);
    if (firstId && wrongModel)
        return IdByte(OtherModelId(FirstModelId(memory_)), address);
    if (secondId && Triggers(FaultKind::MismatchedIds)) {
        // Differ from the first copy as this same fault set answers it.
        const uint16_t first = FirstModelId(memory_);
        return IdByte(OtherModelId(wrongModel ? OtherModelId(first) : first), address);
    }
    if (secondId && wrongModel)
        return IdByte(OtherModelId(SecondModelId(memory_)), address);
    return memory_[address];
}

bool RadioSim::Triggers(FaultKind kind) const {
    for (const SimFault& fault : faults_) {
        if (fault.kind == kind && (fault.atCommand == 0 || fault.atCommand == commandCount_))
            return true;
    }
    return false;
}

void RadioSim::LogLine(const std::string& line) {
    if (keepLog_)
        log_.push_back(line);
    if (logSink_)
        logSink_(line);
}

}  // namespace chanwright
