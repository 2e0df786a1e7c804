#pragma once

#include <cstdint>

#include "core/memory_image.h"

// What Program to Radio sends, and what the radio then holds: the blocks it writes, the bytes of
// the scrambler's block it writes one by one, and the spaces it sends for unused text.
namespace chanwright {

// The scrambler's block goes byte by byte, 0x25 … 0x2F only.
constexpr int kByteWrittenBlock = 0x0020;
constexpr int kFirstByteWritten = 0x25;
constexpr int kLastByteWritten = 0x2F;

// The blocks the radio keeps for itself: never sent.
bool IsSkippedBlock(int address);

// Whether Program to Radio sends the byte at this address.
bool IsWrittenAddress(int address);

// The byte the radio receives for image[address]: an unused 0xFF in a record's text goes as a
// space.
uint8_t SentByte(const MemoryImage& image, int address);

// How many of the bytes Program to Radio sends would leave the radio holding something other than
// what `radio` holds, programming `programmed`.
int DifferingWrittenBytes(const MemoryImage& programmed, const MemoryImage& radio);

}  // namespace chanwright
