#pragma once

#include "core/channel_plan_entry.h"
#include "core/memory_image.h"
#include "core/radio_data.h"
#include "core/shared_state.h"

namespace chanwright {

// Everything one running application edits and shares. The application owns exactly one and
// hands it on by reference; each test builds its own.
struct AppState {
    SharedState Shared;
    ChannelPlans Plans;
    RadioData Data;
    MemoryImage Image{};
};

}  // namespace chanwright
