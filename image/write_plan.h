#pragma once

#include <cstdint>
#include <vector>

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

// What a block write sends for `value` at `address`: an unused byte (0xFF) in a record's text
// (layout::kTextRecords) goes as a space; everything else as it is.
uint8_t BlockByteAsSent(int address, uint8_t value);

// The byte the radio receives for image[address]: single bytes as they are, block bytes as
// BlockByteAsSent has them.
uint8_t SentByte(const MemoryImage& image, int address);

// True when the radio holding `held` where `image` sends SentByte(image, address) holds the same
// thing: the same byte, or an unused text byte the radio left 0xFF where a space would go.
bool HoldsSentByte(const MemoryImage& image, const MemoryImage& held, int address);

// One exchange of Program to Radio: a whole block, or one byte of the scrambler's block.
struct WriteStep {
    uint16_t address = 0;
    bool singleByte = false;

    bool operator==(const WriteStep& other) const {
        return address == other.address && singleByte == other.singleByte;
    }
};

// The exchanges that write `image`, in the plan's order. Without `radio`, the whole plan; with it,
// only the blocks and single bytes whose bytes, as they go out, differ from what the radio holds.
// The plan's first and last blocks always go: they open and close every programming the radio
// has ever seen.
std::vector<WriteStep> PlanWrites(const MemoryImage& image, const MemoryImage* radio);

// How many blocks the steps touch, the scrambler's single bytes counting as their one block.
int BlocksWritten(const std::vector<WriteStep>& steps);

}  // namespace chanwright
