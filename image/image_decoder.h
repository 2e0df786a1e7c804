#pragma once

#include <cstdint>
#include <string>

#include "core/memory_image.h"
#include "core/radio_data.h"
#include "image/image_codec.h"

// Filling the data set from a memory image. Decoding cannot fail: every byte value has a
// meaning, and anything that would point outside a table is ignored.
namespace chanwright {

void DecodeImage(const MemoryImage& image, RadioData& data);

void DecodeCommonSettings(const MemoryImage& image, CommonSettings& common);
void DecodeChannelPointers(const MemoryImage& image, ChannelCommon& channels);
void DecodePlanChannels(const MemoryImage& image, RadioData& data, Region region);
void DecodeWxChannels(const MemoryImage& image, RadioData& data);
void DecodeExpChannels(const MemoryImage& image, RadioData& data);
void DecodeDirectory(const MemoryImage& image, RadioData& data, bool group);

// Up to `length` characters of the radio's set, ending at the first byte outside it; trailing
// spaces removed (the radio sends unused name bytes as spaces).
std::string DecodeName(const MemoryImage& image, int address, int length);
// 0 … 10 digits from 5 bytes, ending at the first nibble above 9.
std::string DecodeDigits(const MemoryImage& image, int address);
// The offset code of byte 0x000F as 0 … 24, 12 meaning no offset.
int16_t DecodeOffset(uint8_t byte);
void DecodeAttributes(uint8_t byte, PlanChannel& record);

}  // namespace chanwright
