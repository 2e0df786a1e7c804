#pragma once

#include <string>
#include <vector>

#include "core/app_state.h"

namespace chanwright::report {

// Every field that differs between two data sets, one line each, in the order of the text
// report: settings, channel common, the USA, International and Canada lists, WX, EXP, then the
// Individual ID and Group ID directories. A line reads "SECTION ITEM FIELD: A -> B":
//   Setting Dimmer: HI -> OFF                 (settings have no item)
//   Channel Common USA A-ch: 16 -> (None)
//   USA 06 CH Name: HARBOR -> MARINA          (the plan's channel number)
//   WX 3 Scan: No -> Yes                      (the list's row number)
//   EXP 12 Position: 3 -> 17                  (the memory place)
//   Individual ID 3 MMSI: 366123456 -> 366999999
// Values are the report's texts; MMSIs show their 9 digits, a group's starting with its 0. An
// empty text shows as "(empty)", a choice outside its list as its number, and two stored values
// that would show alike (an MMSI's radio digits) as stored. Regional channels are matched by
// Position; a channel only one side lists gives the single line "USA 88A Channel: (none) ->
// listed". Data sets of two models start with "Setting Model: HV2071P -> TQ5300". Contrast and
// Dimmer, which the TQ5300's window does not show but its data and image hold, are compared for
// every model, their lines ending "(not shown for the TQ5300)" when a side is one; the ATIS fields
// only where both sides show them. Not compared: what the plan decides (DispayA, DuplexSelectable)
// and the image bytes (the User MMSI count). Nothing differs: no lines.
std::vector<std::string> DiffLines(const AppState& a, const AppState& b);

}  // namespace chanwright::report
