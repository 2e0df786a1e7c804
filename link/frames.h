#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "core/memory_image.h"

// The radio's wire format: ASCII-hexadecimal frames between SOH and CR, with a checksum that is
// the one's complement of the 8-bit sum of the characters between them. Pure functions only;
// the exchanges that send and await these frames live in radio_link.h.
namespace chanwright {

constexpr uint8_t kSoh = 0x01;
constexpr uint8_t kCr = 0x0D;
constexpr uint8_t kAck = 0x06;
constexpr uint8_t kCan = 0x18;

constexpr uint8_t kTypeWriteByte = 0x11;
constexpr uint8_t kTypeReadByte = 0x12;
constexpr uint8_t kTypeWriteBlock = 0x13;
constexpr uint8_t kTypeReadBlock = 0x14;

// Reply bodies as they are received after their SOH: type, data, checksum, CR.
constexpr int kBlockReplyBodyLength = 37;
constexpr int kByteReplyBodyLength = 7;

using Frame = std::vector<uint8_t>;

// Upper-case, zero-padded, high digit first.
std::array<uint8_t, 2> ByteToHex(uint8_t value);
// Accepts either case. A character that is not a hex digit ends the number: a bad first
// character gives 0, a bad second one gives the first digit's value.
uint8_t HexToByte(uint8_t high, uint8_t low);
// 255 minus the 8-bit sum of bytes[first] … bytes[last].
uint8_t CalcSum(const uint8_t* bytes, int first, int last);

// Command frames, ready for one output call. Write frames take their data from the image.
Frame BuildReadBlock(uint16_t address);
Frame BuildReadByte(uint16_t address);
Frame BuildWriteByte(uint16_t address, const MemoryImage& image);
// A block's unused text bytes go as spaces (BlockByteAsSent).
Frame BuildWriteBlock(uint16_t address, const MemoryImage& image);

// The reply frame a radio sends for a read: SOH, type, data, checksum, CR.
Frame BuildReply(uint8_t type, const uint8_t* data, int count);

// "0"-"9", "A"-"F" and "a"-"f".
bool IsHexDigit(uint8_t c);

// The type of a received reply body (CR last) when every character before the CR is a hex digit,
// its checksum verifies, byte for byte against upper-case digits, and the type is one of the four;
// otherwise 0. A digit that is no digit would read as 0 under a checksum that verifies.
uint8_t CheckReply(const uint8_t* body, int length);

}  // namespace chanwright
