#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/memory_image.h"
#include "core/radio_data.h"
#include "image/image_codec.h"

// Writing the data set into a memory image. Encoding is read-modify-write: every byte and bit the
// data set does not own keeps what the image held, so the radio's carried areas survive.
namespace chanwright {

// A multi-bit setting whose value does not fit a byte.
struct EncodeError {
    std::string Field;
    int Value = 0;

    static constexpr int kNumber = 6;  // the error number an overflow is logged with
    std::string Message() const;
};

// All or nothing: on a range error the image is left exactly as it was and the error comes back.
std::optional<EncodeError> EncodeImage(const RadioData& data, MemoryImage& image);

// The steps of EncodeImage. They write straight into the image, so a failed common-settings step
// leaves what it wrote so far; use EncodeImage unless a half-written image is what a test wants.
std::optional<EncodeError> EncodeCommonSettings(const CommonSettings& common, MemoryImage& image);
void EncodeChannelPointers(const ChannelCommon& channels, MemoryImage& image);
void EncodePlanChannels(const RadioData& data, Region region, MemoryImage& image);
void EncodeWxChannels(const RadioData& data, MemoryImage& image);
void EncodeExpChannels(const RadioData& data, MemoryImage& image);
void EncodeDirectory(const RadioData& data, bool group, MemoryImage& image);

// Exactly `length` bytes: the name fitted to the radio (FitRadioName), then 0xFF for every
// position past its end.
void EncodeName(MemoryImage& image, int address, const std::string& text, int length);
// Exactly 5 bytes of packed digits; with padTenth the tenth digit is written as 0.
void EncodeDigits(MemoryImage& image, int address, const std::string& text, bool padTenth);
// The offset code, clamped to 0 … 24 first: bit 4 the sign, bits 3-0 the hours.
uint8_t EncodeOffset(int offsetTime);
uint8_t EncodeAttributes(const PlanChannel& record);

}  // namespace chanwright
