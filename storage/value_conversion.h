#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "core/radio_data.h"

// How a data-file value becomes a number or a switch. A value that does not convert leaves the
// field as it was, so everything here answers "nothing" rather than guessing.
namespace chanwright {

// A decimal number: optional sign, digits with an optional fraction, an optional exponent.
// Independent of the user's locale.
std::optional<double> ToNumber(std::string_view text);

// Rounded half to even, as the radio programs of old did, and refused outside -32768 … 32767.
std::optional<int16_t> RoundToInt16(double value);
std::optional<int16_t> ToInt16(std::string_view text);

// "0" is false, any other number true; the words True and False in any case are taken too.
std::optional<Bool16> ToBool16(std::string_view text);

}  // namespace chanwright
