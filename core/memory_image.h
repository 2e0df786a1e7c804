#pragma once

#include <array>
#include <cstdint>

namespace chanwright {

constexpr int kImageSize = 8192;
// The radio reads and writes its memory 16 bytes at a time.
constexpr int kBlockSize = 16;

// The radio's whole programmable memory, addresses 0x0000 … 0x1FFF.
using MemoryImage = std::array<uint8_t, kImageSize>;

}  // namespace chanwright
