#pragma once

#include <cstdint>
#include <string>

#include "core/radio_data.h"

namespace chanwright {

// The settings hold a model as its number.
enum class Model : int16_t { HV2071P = 0, TQ5300 = 1 };

// What the radio dialog's OK does. Verify reads the radio to compare it with the data being
// edited, which it leaves alone.
enum class Transfer { Read, Program, Clear, Verify };

std::string GetModelName(Model model);

// The state that is not radio data: the selected model and port, the current file and the flags
// by which the single user-interface thread keeps its handlers apart.
struct SharedState {
    bool DebugMode = false;
    std::string ModelCode = "KW83";
    Model ModelNum = Model::HV2071P;
    int16_t ComNum = 1;
    std::string CurrentFileName;  // UTF-8 path, empty after a new data set
    bool Busy = false;
    bool OperationFailed = false;
    bool AbortRequested = false;
    int16_t RetryCount = 1;
    Transfer TransferMode = Transfer::Read;
    bool TransferDone = false;

    std::string ModelName() const { return GetModelName(ModelNum); }
};

// The developer switch: the whole command-line text, upper-cased and trimmed of spaces, must be
// exactly "/K". Anything else is ignored.
bool IsDeveloperSwitch(const std::string& commandLine);
// The command line after the program's name, its arguments joined by spaces, taken from argv as
// the program was started (before any library takes options out of it).
std::string CommandLineAfterName(int argc, const char* const* argv);

}  // namespace chanwright
