#pragma once

#include <string>

#include "core/app_state.h"
#include "image/image_codec.h"

// The value texts both renderings of the report share.
namespace chanwright::report {

std::string YesNo(Bool16 value);
std::string DimmerText(int16_t dimmer);
std::string ScanTypeText(int16_t scanType);
std::string RingerText(int16_t ind);
// The OffsetTimeList entry at the index; empty outside the list.
std::string OffsetText(int16_t offsetTime);

// The cells of a channel row from "ENABLE" on: Enable, RX, TX, TX, LOW, UP, DUP, SCAN, name.
struct ChannelCells {
    std::string enable, rx, tx, txEnable, low, up, dup, scan, name;
};
// The plan row gives the frequencies; a position outside the plan shows no frequency.
ChannelCells CellsOf(const PlanChannel& channel, const ChannelPlan& plan);

// The channel number text of an A or B choice (a memory slot, 255 for none): the plan's
// ChannelNo of position slot + 1, or "(None)".
std::string ChoiceText(int16_t slot, const ChannelPlan& plan);

}  // namespace chanwright::report
