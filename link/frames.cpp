#include "link/frames.h"

#include "image/write_plan.h"

namespace chanwright {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

int HexDigitValue(uint8_t c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

void AppendHex(Frame& frame, uint8_t value) {
    const auto hex = ByteToHex(value);
    frame.insert(frame.end(), hex.begin(), hex.end());
}

Frame CommandHead(uint8_t type, uint16_t address) {
    Frame frame{kSoh};
    AppendHex(frame, type);
    AppendHex(frame, static_cast<uint8_t>(address / 256));
    AppendHex(frame, static_cast<uint8_t>(address % 256));
    return frame;
}

// Closes a frame: the checksum over everything after SOH, then CR.
Frame& Finish(Frame& frame) {
    AppendHex(frame, CalcSum(frame.data(), 1, static_cast<int>(frame.size()) - 1));
    frame.push_back(kCr);
    return frame;
}

}  // namespace

std::array<uint8_t, 2> ByteToHex(uint8_t value) {
    return {static_cast<uint8_t>(kHexDigits[value >> 4]),
            static_cast<uint8_t>(kHexDigits[value & 0x0F])};
}

uint8_t HexToByte(uint8_t high, uint8_t low) {
    const int h = HexDigitValue(high);
    if (h < 0)
        return 0;
    const int l = HexDigitValue(low);
    if (l < 0)
        return static_cast<uint8_t>(h);
    return static_cast<uint8_t>(h * 16 + l);
}

uint8_t CalcSum(const uint8_t* bytes, int first, int last) {
    unsigned sum = 0;
    for (int i = first; i <= last; ++i)
        sum += bytes[i];
    return static_cast<uint8_t>(255 - sum % 256);
}

Frame BuildReadBlock(uint16_t address) {
    Frame frame = CommandHead(kTypeReadBlock, address);
    return Finish(frame);
}

Frame BuildReadByte(uint16_t address) {
    Frame frame = CommandHead(kTypeReadByte, address);
    return Finish(frame);
}

Frame BuildWriteByte(uint16_t address, const MemoryImage& image) {
    Frame frame = CommandHead(kTypeWriteByte, address);
    AppendHex(frame, image[address % kImageSize]);
    return Finish(frame);
}

Frame BuildWriteBlock(uint16_t address, const MemoryImage& image) {
    Frame frame = CommandHead(kTypeWriteBlock, address);
    for (int i = 0; i < kBlockSize; ++i)
        AppendHex(frame, BlockByteAsSent(address + i, image[(address + i) % kImageSize]));
    return Finish(frame);
}

Frame BuildReply(uint8_t type, const uint8_t* data, int count) {
    Frame frame{kSoh};
    AppendHex(frame, type);
    for (int i = 0; i < count; ++i)
        AppendHex(frame, data[i]);
    return Finish(frame);
}

bool IsHexDigit(uint8_t c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

uint8_t CheckReply(const uint8_t* body, int length) {
    if (length < 5)
        return 0;
    for (int i = 0; i < length - 1; ++i) {
        if (!IsHexDigit(body[i]))
            return 0;
    }
    const auto sum = ByteToHex(CalcSum(body, 0, length - 4));
    if (sum[0] != body[length - 3] || sum[1] != body[length - 2])
        return 0;
    const uint8_t type = HexToByte(body[0], body[1]);
    const bool known = type == kTypeWriteByte || type == kTypeReadByte || type == kTypeWriteBlock ||
                       type == kTypeReadBlock;
    return known ? type : 0;
}

}  // namespace chanwright
