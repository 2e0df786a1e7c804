#pragma once

#include <string_view>

#include "core/channel_plan_entry.h"
#include "core/radio_data.h"
#include "core/shared_state.h"
#include "storage/profile_file.h"

namespace chanwright {

// Fills the data set from a parsed data file. Sections are found by name, so their order does
// not matter and extra ones are ignored; the reader visits exactly the records the lists hold.
// A number or switch that is missing or does not convert leaves its field as it was; a text
// takes whatever the lookup gives, so a missing name empties it. A position or time offset that
// would point outside its table is not taken, nor an A or B channel choice that is neither a
// channel of its plan (the memory slot of a valid row) nor 255 for none.
void ReadDataFile(const ProfileFile& file, const SharedState& shared, const ChannelPlans& plans,
                  RadioData& data);

// Reads a data file's bytes as the program opens one: their text as ProfileText finds it, the
// set taking the file's encoding. False, the set left as it was, for a file that is no text file.
[[nodiscard]] bool ReadDataFileBytes(std::string_view bytes, const SharedState& shared,
                                     const ChannelPlans& plans, RadioData& data);

// True when the file holds at least one section a data file has ([MAIN], [SETCOM], [CHCOM], or a
// channel or directory record such as [CHUSA0] or [CHMMSID1]). Reading any other text would
// leave every name empty, which programmed into a radio wipes it.
bool HoldsProgramData(const ProfileFile& file);

}  // namespace chanwright
