#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace chanwright {

// One row of a built-in channel plan. Frequencies are in MHz; 0 means none.
struct ChannelPlanEntry {
    int16_t Valid = 0;
    std::string ChannelNo;
    double TxFreq = 0.0;
    double RxFreq = 0.0;
    double DupRxFreq = 0.0;
    int16_t DuplexFlag = 0;
    int16_t LowPowerFlag = 0;
    std::string Tag;
};

// A plan indexed by its own positions: the regional and WX plans from 1, the EXP raster from 0.
// Rows outside the table's range are a programming error and are refused by At().
class ChannelPlan {
  public:
    ChannelPlan(int first, int last)
        : first_(first), rows_(static_cast<std::size_t>(last - first + 1)) {}

    int First() const { return first_; }
    int Last() const { return first_ + static_cast<int>(rows_.size()) - 1; }
    bool Contains(int position) const { return position >= First() && position <= Last(); }

    const ChannelPlanEntry& At(int position) const { return rows_.at(Index(position)); }
    ChannelPlanEntry& At(int position) { return rows_.at(Index(position)); }

  private:
    std::size_t Index(int position) const { return static_cast<std::size_t>(position - first_); }

    int first_;
    std::vector<ChannelPlanEntry> rows_;
};

constexpr int kRegionalPlanSize = 64;
constexpr int kWxPlanSize = 10;
constexpr int kExpPlanLast = 281;

// The five plans, empty until the load routines fill them.
struct ChannelPlans {
    ChannelPlan UsaPlan{1, kRegionalPlanSize};
    ChannelPlan IntlPlan{1, kRegionalPlanSize};
    ChannelPlan CanadaPlan{1, kRegionalPlanSize};
    ChannelPlan WxPlan{1, kWxPlanSize};
    ChannelPlan ExpPlan{0, kExpPlanLast};
};

}  // namespace chanwright
