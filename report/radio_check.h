#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/app_state.h"
#include "image/image_encoder.h"

namespace chanwright::report {

// What a radio holds against what the user expects it to hold.
struct RadioComparison {
    // The fields that differ, as DiffLines words them: the expected value first.
    std::vector<std::string> fields;
    // Of the bytes Program to Radio sends, how many the radio holds otherwise (an unused name byte
    // the radio keeps as 0xFF where a space would go counts as held).
    int differingBytes = 0;
    int writtenBytes = 0;
    bool matches = false;
};

// Does the radio hold the data set? The data set encoded over the radio's image as Program to
// Radio would write it (a user MMSI of the radio's own kept unless writeUserMmsi), compared field
// by field with what the radio holds: it matches when every field decodes alike, whatever the
// padding. An encode error gives nothing back, as programming would send nothing.
std::optional<RadioComparison> CompareWithRadio(const AppState& app, const MemoryImage& radio,
                                                bool writeUserMmsi,
                                                std::optional<EncodeError>& error);

// Does the radio hold the backup in app.Image? Byte for byte over what a restore writes, allowing
// only the spaces unused name bytes travel as; the fields that differ are listed too.
RadioComparison CompareWithBackup(const AppState& app, const MemoryImage& radio);

// The byte count line of a comparison: "Differing bytes: N of M written".
std::string DifferingBytesLine(const RadioComparison& comparison);

}  // namespace chanwright::report
