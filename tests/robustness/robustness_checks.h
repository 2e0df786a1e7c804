#pragma once

// What must hold for any data file or memory image, however malformed: the robustness suite
// checks it on seeded random inputs and the fuzz targets on theirs. Each check returns "" or what
// broke, naming the field.
#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "core/app_state.h"
#include "image/image_decoder.h"
#include "image/image_encoder.h"
#include "image/memory_layout.h"
#include "storage/data_file_reader.h"
#include "storage/data_file_writer.h"
#include "storage/profile_file.h"

namespace chanwright::robust {

template <typename Record>
struct Field {
    const char* name;
    int16_t Record::*member;
};
#define CHANNEL(name) \
    { "." #name, &PlanChannel::name }
constexpr Field<PlanChannel> kChannelSwitches[] = {
    CHANNEL(Enable),  CHANNEL(LowPower),         CHANNEL(PowUp),
    CHANNEL(Duplex),  CHANNEL(DuplexSelectable), CHANNEL(TxEnable),
    CHANNEL(DispayA), CHANNEL(ScanMemory),       CHANNEL(VsMemory)};
#define COMMON(name) \
    { "." #name, &CommonSettings::name }
constexpr Field<CommonSettings> kCommonSwitches[] = {
    COMMON(KeyBeep),         COMMON(TrueMAG),  COMMON(AtisOnOffUSA), COMMON(AtisOnOffInternational),
    COMMON(AtisOnOffCanada), COMMON(IndReply), COMMON(IndACK),       COMMON(POSRR),
    COMMON(DscScan),         COMMON(WxAlert)};
#undef CHANNEL
#undef COMMON

inline bool IsSwitch(int16_t value) {
    return value == kTrue || value == kFalse;
}

// Calls f(name, records, their default count, lowest position, highest position) for each list.
template <typename F>
void ForEachList(const RadioData& d, const RadioData& defaults, F f) {
    f("UsaChannels", d.UsaChannels, defaults.UsaChannels.size(), 1, kRegionalPlanSize);
    f("IntlChannels", d.IntlChannels, defaults.IntlChannels.size(), 1, kRegionalPlanSize);
    f("CanadaChannels", d.CanadaChannels, defaults.CanadaChannels.size(), 1, kRegionalPlanSize);
    f("WxChannels", d.WxChannels, defaults.WxChannels.size(), 1, kWxPlanSize);
    f("ExpChannels", d.ExpChannels, d.ExpChannels.size(), 0, kExpPlanLast);
}
template <typename F>
void ForEachDirectory(const RadioData& d, F f) {
    f("IndividualDirectory", d.IndividualDirectory);
    f("GroupDirectory", d.GroupDirectory);
}

// The first line in which the two sets, written as data files, differ, or "" when they are equal.
inline std::string FirstDifference(const RadioData& a, const RadioData& b) {
    if (a == b)
        return {};
    SharedState withAtis;
    withAtis.ModelCode = "KW83E";
    std::istringstream x(WriteDataFile(withAtis, a)), y(WriteDataFile(withAtis, b));
    std::string section, lineA, lineB;
    while (std::getline(x, lineA) && std::getline(y, lineB)) {
        if (lineA != lineB)
            return section + " " + lineA + " vs " + lineB;
        if (lineA.rfind('[', 0) == 0)
            section = lineA;
    }
    return "a field no data file holds (DuplexSelectable, a WX Position, a switch not -1 or 0)";
}

// What must hold for any data set the reader or the decoder leaves behind: nothing points outside
// a table, every switch is -1 or 0, and no list has grown or shrunk.
inline std::string BrokenInvariant(const RadioData& d, const RadioData& defaults) {
    std::string why;  // the first break; the names are put together only for it
    auto fail = [&](const std::string& where, int index, const char* field, int value) {
        if (why.empty())
            why = where + (index < 0 ? "" : "[" + std::to_string(index) + "]") + field + " " +
                  std::to_string(value);
    };
    ForEachList(
        d, defaults,
        [&](const std::string& name, const auto& list, std::size_t length, int low, int high) {
            if (list.size() != length)
                fail(name, -1, " length changed to", static_cast<int>(list.size()));
            for (std::size_t i = 0; i < list.size(); ++i) {
                if (list[i].Position < low || list[i].Position > high)
                    fail(name, static_cast<int>(i), ".Position", list[i].Position);
                for (const auto& f : kChannelSwitches) {
                    if (!IsSwitch(list[i].*f.member))
                        fail(name, static_cast<int>(i), f.name, list[i].*f.member);
                }
            }
        });
    ForEachDirectory(d, [&](const std::string& name, const auto& directory) {
        for (const DirectoryEntry& e : directory) {
            if (!IsSwitch(e.Enable))
                fail(name, static_cast<int>(&e - directory.data()), ".Enable", e.Enable);
        }
    });
    for (const auto& f : kCommonSwitches) {
        if (!IsSwitch(d.Common.*f.member))
            fail("Common", -1, f.name, d.Common.*f.member);
    }
    if (d.Common.OffsetTime < 0 || d.Common.OffsetTime > 24)
        fail("Common", -1, ".OffsetTime", d.Common.OffsetTime);
    return why;
}

// Bytes no encoder may touch: both model identifiers, the permission count and the local bytes.
inline std::string CarriedByteChanged(const MemoryImage& before, const MemoryImage& after) {
    using namespace layout;
    std::vector<int> carried = {kModelIdFirst,      kModelIdFirst + 1, kModelIdSecond,
                                kModelIdSecond + 1, kPermissionCount,  kLocalByteA,
                                kLocalByteB};
    for (int a = kLocalBlockStart; a <= kLocalBlockEnd; ++a)
        carried.push_back(a);
    for (int a : carried) {
        if (before[a] != after[a])
            return "carried byte " + std::to_string(a) + " changed";
    }
    return {};
}

// The reader leaves an A or B choice that is no channel alone, so the fresh set starts with the
// written ones.
inline RadioData WrittenAndReadBack(const AppState& app, const RadioData& data) {
    RadioData again = app.Data;
    again.Channels = data.Channels;  // the priority channels are read from the file
    (void)ReadDataFileBytes(WriteDataFile(app.Shared, data), app.Shared, app.Plans, again);
    return again;
}

// `app` holds the defaults the file is read over; `target` is the image the encode writes into:
// any image, so a partial write cannot hide behind bytes that already held the same values.
inline std::string CheckDataFile(const AppState& app, std::string_view text,
                                 const MemoryImage& target) {
    RadioData data = app.Data;
    ReadDataFile(ProfileFile::Parse(text), app.Shared, app.Plans, data);
    if (auto why = BrokenInvariant(data, app.Data); !why.empty())
        return "after reading: " + why;

    MemoryImage image = target;
    const auto error = EncodeImage(data, image);
    const CommonSettings& c = data.Common;
    const bool mustRefuse = std::min({c.Contrast, c.Dimmer, c.Scrambler, c.Ind}) < 0 ||
                            std::max({c.Contrast, c.Dimmer, c.Scrambler, c.Ind}) > 255;
    if (error && image != target)
        return "a refused encode changed the image (" + error->Message() + ")";
    if (error && !mustRefuse)
        return "encode refused a data set in range: " + error->Message();
    if (!error && mustRefuse)
        return "encode took a setting outside 0 to 255";
    if (!error) {
        if (auto why = CarriedByteChanged(target, image); !why.empty())
            return why;
        RadioData decoded = app.Data;
        DecodeImage(image, decoded);
        if (auto why = BrokenInvariant(decoded, app.Data); !why.empty())
            return "after decoding the encoded image: " + why;
    }
    // A text the reader cut at 127 characters or at a NUL, or a bare MMSI with blanks, loses a
    // little when it is first written; after that one pass the set must read back unchanged.
    const RadioData once = WrittenAndReadBack(app, data);
    if (auto why = FirstDifference(WrittenAndReadBack(app, once), once); !why.empty())
        return "written and read again (second pass vs first): " + why;
    return {};
}

// What must also hold for a set decoded from any image: the settings fit their bits, and each
// directory is a run of enabled entries with numbers followed by empty ones.
inline std::string BrokenDecodedSet(const RadioData& decoded, const RadioData& defaults) {
    if (auto why = BrokenInvariant(decoded, defaults); !why.empty())
        return why;
    const CommonSettings& c = decoded.Common;
    if (c.Contrast < 0 || c.Contrast > 7 || c.Dimmer < 0 || c.Dimmer > 3 || c.Ind < 0 ||
        c.Ind > 3 || c.Scrambler < 0 || c.Scrambler > 255)
        return "a setting outside its bits: Contrast " + std::to_string(c.Contrast) + ", Dimmer " +
               std::to_string(c.Dimmer) + ", Ind " + std::to_string(c.Ind);
    bool gap = false;
    ForEachDirectory(decoded, [&](auto, const auto& directory) {
        bool ended = false;
        for (const DirectoryEntry& e : directory) {
            ended = ended || e.Enable == kFalse;
            gap = gap || (ended ? e != DirectoryEntry{} : e.Mmsid.empty());
        }
    });
    return gap ? "a directory has a gap or an enabled entry without a number" : "";
}

inline std::string CheckImage(const RadioData& defaults, const MemoryImage& image) {
    RadioData decoded = defaults;
    DecodeImage(image, decoded);
    if (auto why = BrokenDecodedSet(decoded, defaults); !why.empty())
        return "after decoding: " + why;
    MemoryImage encoded = image;
    if (const auto error = EncodeImage(decoded, encoded))
        return "encode refused a decoded set: " + error->Message();
    if (auto why = CarriedByteChanged(image, encoded); !why.empty())
        return why;
    MemoryImage twice = encoded;
    EncodeImage(decoded, twice);
    if (twice != encoded)
        return "a second encode of the same set changed the image";

    // The first pass may settle what an image carries but the data set cannot say: a ninth
    // MMSI digit gains its tenth 0, and a disabled EXP word loses the bit DispayA is read from.
    // From then on decode and encode must agree.
    RadioData once = defaults;
    DecodeImage(encoded, once);
    if (auto why = BrokenDecodedSet(once, defaults); !why.empty())
        return "after decoding the encoded image: " + why;
    MemoryImage reencoded = encoded;
    if (const auto error = EncodeImage(once, reencoded))
        return "encode refused a decoded set: " + error->Message();
    RadioData settled = defaults;
    DecodeImage(reencoded, settled);
    if (auto why = FirstDifference(once, settled); !why.empty())
        return "decoded, encoded, decoded again (second pass vs first): " + why;
    return {};
}

}  // namespace chanwright::robust
