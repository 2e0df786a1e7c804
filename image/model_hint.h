#pragma once

#include <cstdint>
#include <string>

#include "core/memory_image.h"
#include "core/shared_state.h"

namespace chanwright {

// Where the user chooses the model: the window's Edit menu, or the tool's --model option.
enum class ModelChoice { Menu, Option };
// What carried the identifiers: the radio's answer to the model check, or an image file.
enum class IdentifierSource { Radio, File };

// The paragraph that goes under "ModelName Error !!": the model the identifiers name and how to
// choose it, or the unknown identifier in hex; two copies that disagree are both shown, and no
// model is suggested. Empty when both copies are the selected model's.
std::string ModelFoundHint(uint16_t first, uint16_t second, Model selectedModel,
                           IdentifierSource source, ModelChoice choice);

// "ModelName Error !!" with the hint, for an image that failed the model check.
std::string ModelErrorText(const MemoryImage& image, Model selectedModel, IdentifierSource source,
                           ModelChoice choice);

}  // namespace chanwright
