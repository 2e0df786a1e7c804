#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "image/channel_plans.h"
#include "image/new_data_set.h"
#include "tests/robustness/robustness_checks.h"

namespace chanwright::fuzz {

// The state the window starts with; the fuzzers copy it for every input. (The tests' own
// test::MakeDefaultApp lives in the Qt test support library, which the fuzzers do not link.)
inline AppState MakeApp(Model modelNum, const char* modelCode = "KW83") {
    AppState app;
    app.Shared.ModelNum = modelNum;
    app.Shared.ModelCode = modelCode;
    LoadAllPlans(app.Plans);
    NewDataSet(app);
    return app;
}

// A broken robustness check stops the fuzzer where it happened, in release builds too.
inline void Require(const std::string& why) {
    if (why.empty())
        return;
    std::fprintf(stderr, "%s\n", why.c_str());
    __builtin_trap();
}

}  // namespace chanwright::fuzz
