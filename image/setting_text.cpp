#include "image/setting_text.h"

#include <cstdlib>

namespace chanwright {

namespace {

constexpr int kOffsetHours = 12;
constexpr int kTopLevel = 3;

}  // namespace

std::vector<std::string> OffsetTimeList() {
    std::vector<std::string> texts;
    for (int hours = -kOffsetHours; hours <= kOffsetHours; ++hours) {
        // The sign column is a space for no offset, so the hours line up.
        const char sign = hours < 0 ? '-' : hours > 0 ? '+' : ' ';
        texts.push_back(sign + std::to_string(std::abs(hours)) + ":00");
    }
    return texts;
}

int IndexToLevel(int index) {
    return index >= 0 && index <= kTopLevel ? kTopLevel - index : 0;
}

int LevelToIndex(int level) {
    return level >= 0 && level <= kTopLevel ? kTopLevel - level : kTopLevel;
}

int ScramblerIndex(int value) {
    return value >= 1 && value <= 4 ? value : 0;
}

}  // namespace chanwright
