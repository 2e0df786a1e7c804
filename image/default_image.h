#pragma once

#include <cstdint>
#include <optional>

#include "core/memory_image.h"
#include "core/shared_state.h"

namespace chanwright {

// The identifier both copies carry, high byte first. The HV2071P's is 0x081F: that is what its
// radios and image files hold, although the model's name suggests 2071 (0x0817).
constexpr uint16_t kModelIdHV2071P = 0x081F;
constexpr uint16_t kModelIdTQ5300 = 0x14B4;

uint16_t ModelIdFor(Model modelNum);

// The two identifier copies as an image holds them: bytes 0-1 and 8190-8191.
uint16_t FirstModelId(const MemoryImage& image);
uint16_t SecondModelId(const MemoryImage& image);

// True when both copies agree with each other and with the selected model.
bool CheckModelId(uint16_t first, uint16_t second, Model modelNum);

// The model both copies name; nothing when they disagree or name no model this program knows.
std::optional<Model> ModelOfIds(uint16_t first, uint16_t second);

// Writes the default image of the model into target. Unlike the radio's own start-up copy it
// decodes nothing: callers decode from the image they mean.
void BuildDefaultImage(MemoryImage& target, Model modelNum);

// Copies the bytes that a radio read does not take over from a default image into the image.
void RestoreLocalBytes(MemoryImage& image, const MemoryImage& defaultImage);

}  // namespace chanwright
