#pragma once

#include <string>
#include <vector>

#include "core/app_state.h"
#include "core/platform.h"

namespace chanwright::report {

// Every name that goes into the image other than it stands in the data set (FitRadioName), one
// line each, worded as the field comparison words them:
//   USA 16 CH Name: CAFÉ DU PORT → CAFE DU PORT
//   Individual ID 3 Name: ÅSA → ASA
// No name changes: no lines. The data set itself keeps its names as typed.
std::vector<std::string> NameChangeLines(const AppState& app);

// Before names are written to an image or a radio: when any changes, asks with the lines whether
// to go on (OK / Cancel, under `title`). True when none changes or the user chose OK.
bool AcceptNameChanges(const AppState& app, Prompter& prompter, const std::string& title);

}  // namespace chanwright::report
