#pragma once

#include <cstdint>
#include <string>

#include "core/radio_data.h"

namespace chanwright {

constexpr int16_t kModelHV2071P = 0;
constexpr int16_t kModelTQ5300 = 1;

// "TQ5300" for model number 1, "HV2071P" for anything else.
std::string GetModelName(int16_t modelNum);

// The state that is not radio data: the selected model and port, the current file and the flags
// by which the single user-interface thread keeps its handlers apart.
struct SharedState {
    Bool16 DebugMode = kFalse;
    std::string ModelCode = "KW83";
    int16_t ModelNum = kModelHV2071P;
    int16_t ComNum = 1;
    std::string CurrentFileName;  // UTF-8 path, empty after a new data set
    Bool16 Busy = kFalse;
    Bool16 OperationFailed = kFalse;
    Bool16 AbortRequested = kFalse;
    int16_t RetryCount = 1;
    int16_t TransferMode = 0;
    Bool16 TransferDone = kFalse;

    std::string ModelName() const { return GetModelName(ModelNum); }
};

// The developer switch: the whole command-line text, upper-cased and trimmed of spaces, must be
// exactly "/K". Anything else is ignored.
bool IsDeveloperSwitch(const std::string& commandLine);

}  // namespace chanwright
