#pragma once

#include <optional>
#include <string>

#include "core/memory_image.h"
#include "core/radio_data.h"
#include "image/image_encoder.h"

// What programming leaves on a radio: the data set encoded over the radio's own memory, so that
// every byte and bit the data set does not own keeps the radio's value.
namespace chanwright {

// The user MMSI identifies the vessel in distress calls: the radio's and the data set's, each in
// the stored form the radio would hold. Empty when there is none.
struct UserMmsiCheck {
    std::string radio;
    std::string data;

    // The radio has a user MMSI of its own and the data set would write another (none included).
    bool Conflicts() const { return !radio.empty() && radio != data; }
    // A radio without one takes the data set's: that is how a new radio is set up.
    bool NewRadio() const { return radio.empty() && !data.empty(); }
};

UserMmsiCheck CheckUserMmsi(const RadioData& data, const MemoryImage& radio);

// `radio` with the data set encoded over it. The ATIS number and switches, which these models'
// data never carry, keep the radio's values; so does the user MMSI unless writeUserMmsi. On a
// range error target is left as it was and the error comes back.
std::optional<EncodeError> EncodeOverRadio(const RadioData& data, const MemoryImage& radio,
                                           bool writeUserMmsi, MemoryImage& target);

}  // namespace chanwright
