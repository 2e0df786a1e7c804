#pragma once

#include <string>

#include "core/channel_plan_entry.h"

namespace chanwright {

// Canada channel "28" (position 29) is a duplex channel like its USA and International namesakes,
// so it receives duplex on the same 162.000 MHz rather than showing no duplex frequency.
constexpr double kCanada28DupRxFreq = 162.000;

void SetPlanEntry(ChannelPlan& plan, int position, const std::string& channelNo, double txFreq,
                  double rxFreq, double dupRxFreq, bool duplexFlag, bool lowPowerFlag,
                  const std::string& tag, bool valid);

void LoadUsaPlan(ChannelPlan& plan);
void LoadIntlPlan(ChannelPlan& plan);
void LoadCanadaPlan(ChannelPlan& plan);
void LoadWxPlan(ChannelPlan& plan);
void LoadExpPlan(ChannelPlan& plan);

// The five load routines in the order the application runs them.
void LoadAllPlans(ChannelPlans& plans);

}  // namespace chanwright
