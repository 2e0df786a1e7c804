#pragma once

#include <string>

#include "core/radio_data.h"
#include "core/shared_state.h"

namespace chanwright {

// The data file as bytes: INI text with CR LF line ends, the sections and keys in their fixed
// order. Numbers are decimal, booleans "1"/"0", texts "#" and the text (so leading spaces and empty
// texts survive), MMSI numbers bare. Texts are written byte for byte (8-bit).
std::string WriteDataFile(const SharedState& shared, const RadioData& data);

// The defaults file: only the [MAIN], [SETCOM] and [CHCOM] sections.
std::string WriteDefaultsFile(const SharedState& shared, const RadioData& data);

}  // namespace chanwright
