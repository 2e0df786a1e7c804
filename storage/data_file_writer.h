#pragma once

#include <string>

#include "core/radio_data.h"
#include "core/shared_state.h"

namespace chanwright {

// The data file as bytes: INI text with CR LF line ends, the sections and keys in their fixed
// order. Numbers are decimal, booleans "1"/"0", texts "#" and the text (so leading spaces and empty
// texts survive), MMSI numbers bare. The texts are written in the set's FileEncoding; a character
// Windows-1252 lacks is written "?" and added to `lacking`, when given, once.
std::string WriteDataFile(const SharedState& shared, const RadioData& data,
                          std::string* lacking = nullptr);

// The defaults file: only the [MAIN], [SETCOM] and [CHCOM] sections, always in Windows-1252, as
// the older program, which reads it from its own folder, wrote it.
std::string WriteDefaultsFile(const SharedState& shared, const RadioData& data,
                              std::string* lacking = nullptr);

}  // namespace chanwright
