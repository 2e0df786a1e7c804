#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/app_state.h"

namespace chanwright::report {

// The parts of a data set that one file can give another. Each field of the data set belongs to
// exactly one part:
//   Channels    the USA, International and Canada lists: each channel's Enable, TX, Low Power,
//               Power Up, Duplex, Scan, VS Memory and name; and the channel common values (the
//               A, B and priority choices of the three plans)
//   Wx          the WX list: Enable, Scan and name
//   Exp         the 40 EXP memory places whole, Position (the channel each holds) included
//   Individual  the 20 Individual ID directory entries: Enable, name, MMSI
//   Group       the 5 Group ID directory entries
//   Settings    the radio and DSC settings: Contrast, Dimmer, Scrambler, Key Beep, True MAG, the
//               three ATIS switches, Scan Type, Individual Ringer, Reply and ACK, POS Request
//               Reply, DSC Scan, WX Alert, Offset Time
//   Identity    the user MMSI and the ATIS number: what makes one radio itself, so that no merge
//               of settings carries one boat's identity into another
// What the plan decides (DispayA, and whether Duplex is selectable) stays the base's, as does the
// way the base's file holds its texts. The memory image is not touched.
enum class MergePart { Channels, Wx, Exp, Individual, Group, Settings, Identity };

// "channels", "wx", "exp", "individual", "group", "settings", "identity"; nothing for another word.
std::optional<MergePart> ParseMergePart(std::string_view word);
// The words ParseMergePart takes, comma-separated, for messages.
std::string MergePartWords();

// Copies the named parts of `from`'s data set into `base`'s. Channels of one plan are matched by
// Position; a channel only one side lists is left as it is. Both must be of one model: otherwise
// false with the reason, and base is left as it was.
bool MergeParts(AppState& base, const AppState& from, const std::vector<MergePart>& parts,
                std::string& error);

}  // namespace chanwright::report
