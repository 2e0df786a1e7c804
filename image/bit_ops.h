#pragma once

#include <cstdint>

// Bit access to image bytes. Bit 7 is the most significant; a field of `count` bits whose highest
// bit is `top` holds its value's least significant bit at top - count + 1. Out-of-range bit
// numbers read as 0 and write nothing, so a wrong constant can never touch a neighbouring field.
namespace chanwright {

constexpr bool ValidField(int count, int top) {
    return count >= 1 && top <= 7 && top - count + 1 >= 0;
}

constexpr int GetBit(uint8_t byte, int bit) {
    return (bit < 0 || bit > 7) ? 0 : (byte >> bit) & 1;
}

constexpr int GetBits(uint8_t byte, int count, int top) {
    if (!ValidField(count, top))
        return 0;
    const int shift = top - count + 1;
    return (byte >> shift) & ((1 << count) - 1);
}

// Sets the bit when value is exactly 1 and clears it for anything else.
constexpr void SetBit(uint8_t& byte, int bit, int value) {
    if (bit < 0 || bit > 7)
        return;
    const uint8_t mask = static_cast<uint8_t>(1u << bit);
    byte = value == 1 ? static_cast<uint8_t>(byte | mask) : static_cast<uint8_t>(byte & ~mask);
}

// Writes the low `count` bits of value. A value outside 0 … 255 is an overflow: nothing is
// written and false comes back.
constexpr bool SetBits(uint8_t& byte, int count, int top, int value) {
    if (value < 0 || value > 255)
        return false;
    if (!ValidField(count, top))
        return true;
    const int shift = top - count + 1;
    const unsigned mask = ((1u << count) - 1u) << shift;
    const unsigned bits = (static_cast<unsigned>(value) << shift) & mask;
    byte = static_cast<uint8_t>((byte & ~mask) | bits);
    return true;
}

constexpr int BoolBit(int16_t value) {
    return value != 0 ? 1 : 0;
}

}  // namespace chanwright
