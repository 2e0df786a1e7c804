#pragma once

#include <string>
#include <vector>

// The texts and list positions of the common settings, shared by the settings page and the
// report.
namespace chanwright {

// The Offset Time choices for -12 … +12 hours in ascending order: "-12:00" … "-1:00", " 0:00",
// "+1:00" … "+12:00". The list position is the stored OffsetTime (12 = no offset).
std::vector<std::string> OffsetTimeList();

// The Dimmer and Individual Ringer lists run from the highest level down: position 0 is
// level 3, position 3 level 0. Anything unknown counts as the lowest.
int IndexToLevel(int index);
int LevelToIndex(int level);

// The Voice Scrambler list position of a stored value: 1 … 4 keep their place, anything else
// is "OFF".
int ScramblerIndex(int value);

}  // namespace chanwright
