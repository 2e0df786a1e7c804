#pragma once

#include <functional>

#include "core/app_state.h"

namespace chanwright {

// Replaces the whole data set with the default one for the selected model: channel lists from
// the plans, reset EXP channels, empty directories, the default image with its common settings
// and channel choices, and an encode so that image and data set agree. The priority channel
// values are kept. `refreshView` lets the window refill its pages and tree before the current
// file name is cleared; the caller refreshes the title afterwards.
void NewDataSet(AppState& app, const std::function<void()>& refreshView = {});

}  // namespace chanwright
