#include "link/write_plan.h"

#include "link/frames.h"

namespace chanwright {

bool IsSkippedBlock(int address) {
    return address == 0x0030 || address == 0x0040 || address == 0x01B0 || address == 0x01C0 ||
           address == 0x01D0;
}

bool IsWrittenAddress(int address) {
    const int block = address - address % kBlockSize;
    if (block == kByteWrittenBlock)
        return address >= kFirstByteWritten && address <= kLastByteWritten;
    return address >= 0 && address < kImageSize && !IsSkippedBlock(block);
}

uint8_t SentByte(const MemoryImage& image, int address) {
    const uint8_t value = image[static_cast<std::size_t>(address)];
    const int block = address - address % kBlockSize;
    // Single bytes go as they are; only block frames carry the text rule.
    if (block == kByteWrittenBlock)
        return value;
    return value == 0xFF && IsTextByte(static_cast<uint16_t>(block), address % kBlockSize) ? 0x20
                                                                                           : value;
}

int DifferingWrittenBytes(const MemoryImage& programmed, const MemoryImage& radio) {
    int count = 0;
    for (int address = 0; address < kImageSize; ++address) {
        if (IsWrittenAddress(address) &&
            SentByte(programmed, address) != radio[static_cast<std::size_t>(address)])
            ++count;
    }
    return count;
}

}  // namespace chanwright
