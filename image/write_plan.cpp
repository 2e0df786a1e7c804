#include "image/write_plan.h"

#include <algorithm>

#include "image/memory_layout.h"

namespace chanwright {

namespace {

constexpr int kFirstBlock = 0;
constexpr int kLastBlock = kImageSize - kBlockSize;

bool Differs(const MemoryImage& image, const MemoryImage& radio, int first, int count) {
    for (int address = first; address < first + count; ++address) {
        if (SentByte(image, address) != radio[static_cast<std::size_t>(address)])
            return true;
    }
    return false;
}

}  // namespace

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

uint8_t BlockByteAsSent(int address, uint8_t value) {
    if (value != 0xFF)
        return value;
    for (const layout::TextRecords& records : layout::kTextRecords) {
        if (address < records.first || address > records.last)
            continue;
        const int offset = (address - records.first) % layout::kTextRecordSize;
        return offset >= records.textFirst && offset <= records.textLast ? 0x20 : value;
    }
    return value;
}

uint8_t SentByte(const MemoryImage& image, int address) {
    const uint8_t value = image[static_cast<std::size_t>(address)];
    if (address - address % kBlockSize == kByteWrittenBlock)
        return value;
    return BlockByteAsSent(address, value);
}

bool HoldsSentByte(const MemoryImage& image, const MemoryImage& held, int address) {
    const uint8_t sent = SentByte(image, address);
    const uint8_t value = held[static_cast<std::size_t>(address)];
    return value == sent || (value == 0xFF && sent == 0x20 && image[address] == 0xFF);
}

std::vector<WriteStep> PlanWrites(const MemoryImage& image, const MemoryImage* radio) {
    std::vector<WriteStep> steps;
    for (int block = kFirstBlock; block <= kLastBlock; block += kBlockSize) {
        if (block == kByteWrittenBlock) {
            for (int byte = kFirstByteWritten; byte <= kLastByteWritten; ++byte) {
                if (!radio || Differs(image, *radio, byte, 1))
                    steps.push_back({static_cast<uint16_t>(byte), true});
            }
        } else if (!IsSkippedBlock(block)) {
            const bool always = block == kFirstBlock || block == kLastBlock;
            if (always || !radio || Differs(image, *radio, block, kBlockSize))
                steps.push_back({static_cast<uint16_t>(block), false});
        }
    }
    return steps;
}

int BlocksWritten(const std::vector<WriteStep>& steps) {
    const auto singles = std::count_if(steps.begin(), steps.end(),
                                       [](const WriteStep& step) { return step.singleByte; });
    return static_cast<int>(steps.size() - singles) + (singles > 0 ? 1 : 0);
}

}  // namespace chanwright
