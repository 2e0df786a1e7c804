#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/app_state.h"
#include "image/image_encoder.h"

namespace chanwright::report {

// What a radio holds against what programming the data set would leave on it.
struct RadioComparison {
    // The fields that differ, as DiffLines words them: the data set's value first.
    std::vector<std::string> fields;
    // Of the bytes Program to Radio sends, how many the radio holds otherwise.
    int differingBytes = 0;
    int writtenBytes = 0;

    bool Matches() const { return differingBytes == 0 && fields.empty(); }
};

// Encodes the data set as Program to Radio would (the image's own bytes kept where the data set
// has none), puts what the radio would receive over the radio's image, and compares. An encode
// error gives nothing back, as it would send nothing.
std::optional<RadioComparison> CompareWithRadio(const AppState& app, const MemoryImage& radio,
                                                std::optional<EncodeError>& error);

// The byte count line of a comparison: "Differing bytes: N of M written".
std::string DifferingBytesLine(const RadioComparison& comparison);

}  // namespace chanwright::report
