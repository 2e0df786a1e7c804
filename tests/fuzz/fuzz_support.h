#pragma once

#include <cstdint>

#include "core/app_state.h"
#include "image/channel_plans.h"
#include "image/new_data_set.h"

namespace chanwright::fuzz {

// The state the window starts with; the fuzzers copy it for every input.
inline AppState MakeApp(int16_t modelNum, const char* modelCode = "KW83") {
    AppState app;
    app.Shared.ModelNum = modelNum;
    app.Shared.ModelCode = modelCode;
    LoadAllPlans(app.Plans);
    NewDataSet(app);
    return app;
}

// A broken expectation must stop the fuzzer where it happened, in release builds too.
inline void Require(bool condition) {
    if (!condition)
        __builtin_trap();
}

}  // namespace chanwright::fuzz
