#pragma once

#include <string>

#include "core/app_state.h"

namespace chanwright::report {

// The first w characters of text, filled with spaces to w.
std::string PadRight(const std::string& text, int width);
// PadRight(text, w - 1) and ": ", so the value starts in column w + 1.
std::string Label(const std::string& text, int width);

// The whole text image: lines joined by CR LF, each line preceded by its CR LF, so the text
// begins with an empty line. Reads the data set, the plans, the model values and image byte 341.
std::string BuildTextReport(const AppState& app);

}  // namespace chanwright::report
