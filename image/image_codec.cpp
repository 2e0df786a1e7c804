#include "image/image_codec.h"

namespace chanwright {

const layout::RegionLayout& RegionOf(Region region) {
    switch (region) {
        case Region::Usa:
            return layout::kUsa;
        case Region::International:
            return layout::kInternational;
        case Region::Canada:
            break;
    }
    return layout::kCanada;
}

std::vector<PlanChannel>& ChannelsOf(RadioData& data, Region region) {
    switch (region) {
        case Region::Usa:
            return data.UsaChannels;
        case Region::International:
            return data.IntlChannels;
        case Region::Canada:
            break;
    }
    return data.CanadaChannels;
}

const std::vector<PlanChannel>& ChannelsOf(const RadioData& data, Region region) {
    return ChannelsOf(const_cast<RadioData&>(data), region);
}

std::pair<int16_t*, int16_t*> ChoicesOf(ChannelCommon& common, Region region) {
    switch (region) {
        case Region::International:
            return {&common.IntAch, &common.IntBch};
        case Region::Canada:
            return {&common.CanAch, &common.CanBch};
        case Region::Usa:
            break;
    }
    return {&common.UsaAch, &common.UsaBch};
}

const ChannelPlan& PlanOf(const ChannelPlans& plans, Region region) {
    switch (region) {
        case Region::International:
            return plans.IntlPlan;
        case Region::Canada:
            return plans.CanadaPlan;
        case Region::Usa:
            break;
    }
    return plans.UsaPlan;
}

int DirectoryEntryAddress(bool group, int index) {
    const int base = group ? layout::kGroupDirectory : layout::kIndividualDirectory;
    return base + layout::kDirectoryEntrySize * index;
}

}  // namespace chanwright
