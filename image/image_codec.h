#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/channel_plan_entry.h"
#include "core/memory_image.h"
#include "core/radio_data.h"
#include "image/memory_layout.h"

// Pieces shared by the decoder and the encoder: which list and which slot region belong to a
// regional plan, and the radio's character set.
namespace chanwright {

enum class Region { Usa, International, Canada };

const layout::RegionLayout& RegionOf(Region region);
std::vector<PlanChannel>& ChannelsOf(RadioData& data, Region region);
const std::vector<PlanChannel>& ChannelsOf(const RadioData& data, Region region);
const ChannelPlan& PlanOf(const ChannelPlans& plans, Region region);
// The A- and B-channel choices of a region's plan.
std::pair<int16_t*, int16_t*> ChoicesOf(ChannelCommon& common, Region region);

// The 71 characters a radio can show: digits, letters of both cases, space and ( ) * + , - . /
constexpr bool IsRadioChar(uint8_t code) {
    return (code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z') ||
           (code >= 'a' && code <= 'z') || code == ' ' || (code >= 0x28 && code <= 0x2F);
}

// A directory entry's first byte in the image.
int DirectoryEntryAddress(bool group, int index);

}  // namespace chanwright
