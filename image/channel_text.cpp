#include "image/channel_text.h"

#include <cmath>
#include <cstdio>

namespace chanwright {

namespace {

struct AttrTexts {
    const char* on;
    const char* off;
};

constexpr AttrTexts kTx{"TX", "--"};
constexpr AttrTexts kLow{"LOW", "---"};
constexpr AttrTexts kUp{"UP", "--"};
constexpr AttrTexts kDup{"DUP", "---"};
constexpr AttrTexts kMem{"MEM", "---"};
constexpr AttrTexts kEnable{"[Enable]", ""};

// Any non-zero value counts as set, as everywhere in the data set.
std::string AttrCell(Bool16 value, const AttrTexts& texts) {
    return value != 0 ? texts.on : texts.off;
}

}  // namespace

std::string FormatFreq(double mhz) {
    // No frequency, or nothing a plan could hold.
    if (!(mhz > 0) || !std::isfinite(mhz))
        return "---.---";
    // 156.0505 is stored as 156.05049999...; the small nudge lets it round as the decimal text
    // it was written as, half away from zero, instead of as its binary neighbour.
    const double khz = std::floor(mhz * 1000.0 + 0.5 + 1e-6);
    const double fraction = std::fmod(khz, 1000.0);
    const double whole = (khz - fraction) / 1000.0;
    // The '.' is written here, not taken from the locale: plans and files use it, and users
    // compare printed lists across machines. "%.0f" prints no separator of its own.
    char text[400];
    std::snprintf(text, sizeof text, "%03.0f.%03.0f", whole, fraction);
    return text;
}

std::string TxCell(Bool16 value) {
    return AttrCell(value, kTx);
}
std::string LowCell(Bool16 value) {
    return AttrCell(value, kLow);
}
std::string UpCell(Bool16 value) {
    return AttrCell(value, kUp);
}
std::string DupCell(Bool16 value) {
    return AttrCell(value, kDup);
}
std::string MemCell(Bool16 value) {
    return AttrCell(value, kMem);
}
std::string EnableCell(Bool16 value) {
    return AttrCell(value, kEnable);
}

}  // namespace chanwright
