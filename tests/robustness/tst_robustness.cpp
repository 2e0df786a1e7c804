#include <QtTest>

#include <cstdint>
#include <cstdio>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "image/default_image.h"
#include "image/image_decoder.h"
#include "image/image_encoder.h"
#include "image/memory_layout.h"
#include "storage/data_file_reader.h"
#include "storage/data_file_writer.h"
#include "storage/profile_file.h"
#include "tests/support/test_files.h"

using namespace chanwright;

// Seeded random data files and images. Every case is reproducible from its seed alone: a failure
// prints it, and CHANWRIGHT_SEED=<seed> runs just that case in each row.
namespace {

using Rng = std::mt19937_64;

std::size_t Pick(Rng& rng, std::size_t n) {
    return n == 0 ? 0 : static_cast<std::size_t>(rng() % n);
}
bool Chance(Rng& rng, int percent) {
    return static_cast<int>(rng() % 100) < percent;
}

// ---- field tables, for naming the first difference and for the switch checks -------------------

struct IntField {
    const char* name;
    int16_t PlanChannel::*member;
};
constexpr IntField kChannelInts[] = {
    {"Position", &PlanChannel::Position},     {"Enable", &PlanChannel::Enable},
    {"LowPower", &PlanChannel::LowPower},     {"PowUp", &PlanChannel::PowUp},
    {"Duplex", &PlanChannel::Duplex},         {"DuplexSelectable", &PlanChannel::DuplexSelectable},
    {"TxEnable", &PlanChannel::TxEnable},     {"DispayA", &PlanChannel::DispayA},
    {"ScanMemory", &PlanChannel::ScanMemory}, {"VsMemory", &PlanChannel::VsMemory},
};

struct CommonField {
    const char* name;
    int16_t CommonSettings::*member;
    bool isSwitch;
};
constexpr CommonField kCommonInts[] = {
    {"Contrast", &CommonSettings::Contrast, false},
    {"Dimmer", &CommonSettings::Dimmer, false},
    {"Scrambler", &CommonSettings::Scrambler, false},
    {"KeyBeep", &CommonSettings::KeyBeep, true},
    {"TrueMAG", &CommonSettings::TrueMAG, true},
    {"AtisOnOffUSA", &CommonSettings::AtisOnOffUSA, true},
    {"AtisOnOffInternational", &CommonSettings::AtisOnOffInternational, true},
    {"AtisOnOffCanada", &CommonSettings::AtisOnOffCanada, true},
    {"ScanType", &CommonSettings::ScanType, false},
    {"Ind", &CommonSettings::Ind, false},
    {"IndReply", &CommonSettings::IndReply, true},
    {"IndACK", &CommonSettings::IndACK, true},
    {"POSRR", &CommonSettings::POSRR, true},
    {"DscScan", &CommonSettings::DscScan, true},
    {"WxAlert", &CommonSettings::WxAlert, true},
    {"OffsetTime", &CommonSettings::OffsetTime, false},
};

constexpr int16_t ChannelCommon::*kChannelCommon[] = {
    &ChannelCommon::UsaPch, &ChannelCommon::IntPch, &ChannelCommon::CanPch,
    &ChannelCommon::UsaAch, &ChannelCommon::IntAch, &ChannelCommon::CanAch,
    &ChannelCommon::UsaBch, &ChannelCommon::IntBch, &ChannelCommon::CanBch,
};

std::string Quote(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out + "\"";
}

bool IsSwitch(int16_t value) {
    return value == kTrue || value == kFalse;
}

struct ChannelList {
    const char* name;
    const PlanChannel* first;
    std::size_t size;
    const PlanChannel& operator[](std::size_t i) const { return first[i]; }
};
std::vector<ChannelList> ListsOf(const RadioData& d) {
    return {{"UsaChannels", d.UsaChannels.data(), d.UsaChannels.size()},
            {"IntlChannels", d.IntlChannels.data(), d.IntlChannels.size()},
            {"CanadaChannels", d.CanadaChannels.data(), d.CanadaChannels.size()},
            {"WxChannels", d.WxChannels.data(), d.WxChannels.size()},
            {"ExpChannels", d.ExpChannels.data(), d.ExpChannels.size()}};
}

// The first field in which the two data sets differ, or "" when they are equal.
std::string FirstDifference(const RadioData& a, const RadioData& b) {
    const auto lists = ListsOf(a);
    const auto otherLists = ListsOf(b);
    for (std::size_t l = 0; l < lists.size(); ++l) {
        const ChannelList& x = lists[l];
        const ChannelList& y = otherLists[l];
        if (x.size != y.size)
            return std::string(x.name) + " length " + std::to_string(x.size) + " vs " +
                   std::to_string(y.size);
        for (std::size_t i = 0; i < x.size; ++i) {
            const std::string where = std::string(lists[l].name) + "[" + std::to_string(i) + "].";
            for (const IntField& f : kChannelInts) {
                if (x[i].*f.member != y[i].*f.member)
                    return where + f.name + ": " + std::to_string(x[i].*f.member) + " vs " +
                           std::to_string(y[i].*f.member);
            }
            if (x[i].ChTag != y[i].ChTag)
                return where + "ChTag: " + Quote(x[i].ChTag) + " vs " + Quote(y[i].ChTag);
        }
    }
    auto directory = [](const char* name, const auto& x, const auto& y) -> std::string {
        for (std::size_t n = 0; n < x.size(); ++n) {
            if (x[n] != y[n])
                return std::string(name) + "[" + std::to_string(n) + "]: {" +
                       std::to_string(x[n].Enable) + "," + Quote(x[n].TagName) + "," +
                       Quote(x[n].Mmsid) + "} vs {" + std::to_string(y[n].Enable) + "," +
                       Quote(y[n].TagName) + "," + Quote(y[n].Mmsid) + "}";
        }
        return {};
    };
    if (auto d = directory("IndividualDirectory", a.IndividualDirectory, b.IndividualDirectory);
        !d.empty())
        return d;
    if (auto d = directory("GroupDirectory", a.GroupDirectory, b.GroupDirectory); !d.empty())
        return d;
    for (const CommonField& f : kCommonInts) {
        if (a.Common.*f.member != b.Common.*f.member)
            return std::string("Common.") + f.name + ": " + std::to_string(a.Common.*f.member) +
                   " vs " + std::to_string(b.Common.*f.member);
    }
    if (a.Common.AtisNo != b.Common.AtisNo)
        return "Common.AtisNo: " + Quote(a.Common.AtisNo) + " vs " + Quote(b.Common.AtisNo);
    if (a.Common.UserMmsid != b.Common.UserMmsid)
        return "Common.UserMmsid: " + Quote(a.Common.UserMmsid) + " vs " +
               Quote(b.Common.UserMmsid);
    for (std::size_t i = 0; i < std::size(kChannelCommon); ++i) {
        if (a.Channels.*kChannelCommon[i] != b.Channels.*kChannelCommon[i])
            return "Channels[" + std::to_string(i) +
                   "]: " + std::to_string(a.Channels.*kChannelCommon[i]) + " vs " +
                   std::to_string(b.Channels.*kChannelCommon[i]);
    }
    // A field the tables above miss would still make the sets differ.
    return a == b ? std::string() : "a field outside the comparison tables";
}

// What must hold for any data set the reader or the decoder leaves behind: nothing points outside
// a table, every switch is -1 or 0, and no list has grown or shrunk.
std::string BrokenInvariant(const RadioData& d, const RadioData& defaults) {
    const auto lists = ListsOf(d);
    const auto defaultLists = ListsOf(defaults);
    for (std::size_t l = 0; l < lists.size(); ++l) {
        const ChannelList& records = lists[l];
        const std::string name = records.name;
        if (records.size != defaultLists[l].size)
            return name + " length changed to " + std::to_string(records.size);
        const bool exp = name == "ExpChannels";
        const bool wx = name == "WxChannels";
        for (std::size_t i = 0; i < records.size; ++i) {
            const PlanChannel& r = records[i];
            const std::string where = name + "[" + std::to_string(i) + "].";
            const int low = exp ? 0 : 1;
            const int high = exp ? kExpPlanLast : (wx ? kWxPlanSize : kRegionalPlanSize);
            if (r.Position < low || r.Position > high)
                return where + "Position " + std::to_string(r.Position);
            for (const IntField& f : kChannelInts) {
                if (f.member != &PlanChannel::Position && !IsSwitch(r.*f.member))
                    return where + f.name + " " + std::to_string(r.*f.member);
            }
        }
    }
    for (const DirectoryEntry& e : d.IndividualDirectory) {
        if (!IsSwitch(e.Enable))
            return "IndividualDirectory Enable " + std::to_string(e.Enable);
    }
    for (const DirectoryEntry& e : d.GroupDirectory) {
        if (!IsSwitch(e.Enable))
            return "GroupDirectory Enable " + std::to_string(e.Enable);
    }
    for (const CommonField& f : kCommonInts) {
        if (f.isSwitch && !IsSwitch(d.Common.*f.member))
            return std::string("Common.") + f.name + " " + std::to_string(d.Common.*f.member);
    }
    if (d.Common.OffsetTime < 0 || d.Common.OffsetTime > 24)
        return "Common.OffsetTime " + std::to_string(d.Common.OffsetTime);
    return {};
}

bool OutsideByte(int16_t value) {
    return value < 0 || value > 255;
}
bool EncoderMustRefuse(const CommonSettings& c) {
    return OutsideByte(c.Contrast) || OutsideByte(c.Dimmer) || OutsideByte(c.Scrambler) ||
           OutsideByte(c.Ind);
}

// Bytes no encoder may touch: both model identifiers, the permission count and the local bytes.
std::string CarriedByteChanged(const MemoryImage& before, const MemoryImage& after) {
    std::vector<int> carried = {layout::kModelIdFirst,    layout::kModelIdFirst + 1,
                                layout::kModelIdSecond,   layout::kModelIdSecond + 1,
                                layout::kPermissionCount, layout::kLocalByteA,
                                layout::kLocalByteB};
    for (int a = layout::kLocalBlockStart; a <= layout::kLocalBlockEnd; ++a)
        carried.push_back(a);
    for (int a : carried) {
        if (before[a] != after[a])
            return "carried byte " + std::to_string(a) + " changed";
    }
    return {};
}

// ---- data-file mutations -----------------------------------------------------------------------

std::string RandomBytes(Rng& rng, std::size_t length) {
    std::string bytes(length, '\0');
    for (char& c : bytes)
        c = static_cast<char>(rng() & 0xFF);
    return bytes;
}

std::string RandomValue(Rng& rng) {
    static const char* const kSamples[] = {
        "99999999999", "-40000",  "1e300",     "-1e300",     "nan",         "NaN",
        "inf",         "-inf",    "0x10",      "",           "   ",         "32767",
        "-32768",      "32768",   "-32769",    "32767.5",    "-32768.5",    "0.5",
        "1.5",         "2.5",     "-0",        "1e-300",     "+5",          "5.",
        ".5",          "1e5",     "1e",        "--1",        "True",        "fALSE",
        "<NONE>",      "#",       "##x",       "#  a  ",     "   7  ",      "255",
        "256",         "-1",      "0",         "1",          "7",           "8",
        "24",          "-24",     "-25",       "-12",        "0.4",         "-24.4",
        "-24.6",       "64",      "65",        "281",        "282",         "281.4",
        "1e2",         "#ABC-12", "123456789", "1234567890", "12345678901", "#\xff\xfe",
        "a=b=c",       "[CHUSA0]"};
    switch (Pick(rng, 8)) {
        case 0:
            return std::string(500, static_cast<char>('A' + Pick(rng, 26)));
        case 1:
            return RandomBytes(rng, Pick(rng, 40));
        case 2:
            return std::to_string(static_cast<int>(Pick(rng, 700)) - 350);
        case 3:
            return "#" + std::string(Pick(rng, 130), ' ') + RandomBytes(rng, Pick(rng, 140));
        default:
            return kSamples[Pick(rng, std::size(kSamples))];
    }
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = text.find("\r\n", pos);
        lines.push_back(text.substr(pos, end - pos));
        pos = end == std::string::npos ? text.size() : end + 2;
    }
    return lines;
}

// Start and end (exclusive) of the section holding line i.
std::pair<std::size_t, std::size_t> SectionAround(const std::vector<std::string>& lines,
                                                  std::size_t i) {
    std::size_t start = i;
    while (start > 0 && (lines[start].empty() || lines[start][0] != '['))
        --start;
    std::size_t end = i + 1;
    while (end < lines.size() && (lines[end].empty() || lines[end][0] != '['))
        ++end;
    return {start, end};
}

// The keys whose values index tables or must fit the image; a random line is rarely one of them.
void MutateKnownKey(Rng& rng, std::vector<std::string>& lines) {
    static const char* const kKeys[] = {
        "Contrast", "Dimmer",  "Scrambler", "Ind",     "ScanType", "OffsetTime", "KeyBeep",
        "TrueMag",  "WxAlert", "UserMmsid", "AtisNo",  "USA-PCH",  "Position",   "Position",
        "Position", "Enable",  "LowPower",  "DispayA", "ChTag",    "TagName",    "Mmsid"};
    const std::string key = std::string(kKeys[Pick(rng, std::size(kKeys))]) + "=";
    std::vector<std::size_t> found;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].compare(0, key.size(), key) == 0)
            found.push_back(i);
    }
    // Half the time a value at or just past the edge of some table, where off-by-ones live.
    static const char* const kEdges[] = {"-1",    "0",    "1",     "7",     "8",     "10",  "11",
                                         "24",    "25",   "-24",   "-25",   "64",    "65",  "255",
                                         "256",   "281",  "282",   "0.5",   "-24.5", "1.5", "64.5",
                                         "281.5", "-0.5", "32767", "-32768"};
    if (!found.empty())
        lines[found[Pick(rng, found.size())]] =
            key + (Chance(rng, 50) ? kEdges[Pick(rng, std::size(kEdges))] : RandomValue(rng));
}

void Mutate(Rng& rng, std::vector<std::string>& lines) {
    if (lines.empty()) {
        lines.push_back(RandomValue(rng));
        return;
    }
    if (Chance(rng, 30)) {
        MutateKnownKey(rng, lines);
        return;
    }
    const std::size_t i = Pick(rng, lines.size());
    std::string& line = lines[i];
    const std::size_t eq = line.find('=');
    switch (Pick(rng, 12)) {
        case 0:
            lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        case 1: {
            const std::string copy = line;
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(Pick(rng, lines.size())),
                         copy);
            break;
        }
        case 2: {  // a whole section again, possibly under a differently cased name
            const auto [start, end] = SectionAround(lines, i);
            std::vector<std::string> block(lines.begin() + static_cast<std::ptrdiff_t>(start),
                                           lines.begin() + static_cast<std::ptrdiff_t>(end));
            for (std::string& l : block) {
                const std::size_t e = l.find('=');
                if (e != std::string::npos && Chance(rng, 50))
                    l = l.substr(0, e + 1) + RandomValue(rng);
            }
            if (!block.empty() && Chance(rng, 50)) {
                for (char& c : block[0])
                    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            }
            const std::size_t at = Pick(rng, lines.size() + 1);
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), block.begin(),
                         block.end());
            break;
        }
        case 3: {
            const auto [start, end] = SectionAround(lines, i);
            lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(start),
                        lines.begin() + static_cast<std::ptrdiff_t>(end));
            break;
        }
        case 4:
        case 5:
        case 6:
            if (eq != std::string::npos)
                line = line.substr(0, eq + 1) + RandomValue(rng);
            break;
        case 7:
            if (eq != std::string::npos)
                line.erase(eq, 1);
            break;
        case 8:
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(i), RandomValue(rng));
            break;
        case 9: {  // spaces, tabs and case around the key
            if (eq == std::string::npos)
                break;
            std::string key = line.substr(0, eq);
            for (char& c : key) {
                if (Chance(rng, 50))
                    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            }
            line = std::string(Pick(rng, 3), ' ') + key + std::string(Pick(rng, 3), '\t') + "=" +
                   std::string(Pick(rng, 3), ' ') + line.substr(eq + 1) +
                   std::string(Pick(rng, 3), ' ');
            break;
        }
        case 10:
            std::swap(line, lines[Pick(rng, lines.size())]);
            break;
        case 11:
            if (Chance(rng, 10)) {
                const std::string key = eq == std::string::npos ? "X" : line.substr(0, eq + 1);
                line = key + std::string(100 * 1024, static_cast<char>('0' + Pick(rng, 10)));
            } else {
                line.insert(Pick(rng, line.size() + 1), 1, Chance(rng, 50) ? '\0' : '\xFF');
            }
            break;
    }
}

std::string JoinLines(Rng& rng, const std::vector<std::string>& lines) {
    static const char* const kEnds[] = {"\r\n", "\n", "\r", "\r\r\n", "\n\r"};
    const std::size_t style = Pick(rng, 6);  // 5: a different end on every line
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += kEnds[style < 5 ? style : Pick(rng, 5)];
    }
    if (Chance(rng, 10))
        text += RandomBytes(rng, Pick(rng, 64));
    return text;
}

// ---- the cases ---------------------------------------------------------------------------------

struct Model {
    AppState app;
    std::string file;
};

std::optional<uint64_t> ReplaySeed() {
    bool ok = false;
    const qulonglong seed = qEnvironmentVariable("CHANWRIGHT_SEED").toULongLong(&ok);
    return ok ? std::optional<uint64_t>(seed) : std::nullopt;
}

// Runs check(seed) for `count` seeds from `first` (or just the replay seed). Every case runs
// even after a failure, so one broken property does not hide the others; the failure names how
// many broke and the first few seeds with what broke.
template <typename Check>
void ForEachSeed(uint64_t first, int count, Check check) {
    const auto replay = ReplaySeed();
    const uint64_t begin = replay ? *replay : first;
    const uint64_t end = replay ? *replay + 1 : first + static_cast<uint64_t>(count);
    int broken = 0;
    std::string report;
    for (uint64_t seed = begin; seed < end; ++seed) {
        const std::string why = check(seed);
        if (why.empty())
            continue;
        if (++broken <= 3)
            report += "\n  seed " + std::to_string(seed) + ": " + why.substr(0, 400);
    }
    if (broken > 0)
        QFAIL(
            qPrintable(QStringLiteral("%1 of %2 cases broken (replay one with CHANWRIGHT_SEED):%3")
                           .arg(broken)
                           .arg(end - begin)
                           .arg(QString::fromStdString(report))));
}

// The reader leaves the A and B choices alone, so the fresh set starts with the written ones.
RadioData WrittenAndReadBack(const SharedState& shared, const RadioData& data,
                             const RadioData& defaults) {
    RadioData again = defaults;
    again.Channels.UsaAch = data.Channels.UsaAch;
    again.Channels.IntAch = data.Channels.IntAch;
    again.Channels.CanAch = data.Channels.CanAch;
    again.Channels.UsaBch = data.Channels.UsaBch;
    again.Channels.IntBch = data.Channels.IntBch;
    again.Channels.CanBch = data.Channels.CanBch;
    ReadDataFile(ProfileFile::Parse(WriteDataFile(shared, data)), shared, again);
    return again;
}

// `target` is the image the encode writes into: any image, so a partial write cannot hide behind
// bytes that already held the same values.
std::string CheckDataFile(const Model& model, const std::string& text, const MemoryImage& target) {
    const SharedState& shared = model.app.Shared;
    const RadioData& defaults = model.app.Data;

    RadioData data = defaults;
    ReadDataFile(ProfileFile::Parse(text), shared, data);
    if (auto why = BrokenInvariant(data, defaults); !why.empty())
        return "after reading: " + why;

    MemoryImage image = target;
    const MemoryImage before = image;
    const auto error = EncodeImage(data, image);
    const bool mustRefuse = EncoderMustRefuse(data.Common);
    if (error) {
        if (image != before)
            return "a refused encode changed the image (" + error->Message() + ")";
        if (!mustRefuse)
            return "encode refused a data set in range: " + error->Message();
    } else {
        if (mustRefuse)
            return "encode took a setting outside 0 to 255";
        if (auto why = CarriedByteChanged(before, image); !why.empty())
            return why;
        RadioData decoded = defaults;
        DecodeImage(image, decoded);
        if (auto why = BrokenInvariant(decoded, defaults); !why.empty())
            return "after decoding the encoded image: " + why;
    }

    // A text the reader cut at 127 characters or at a NUL, or a bare MMSI with blanks, loses a
    // little when it is first written; after that one pass the set must read back unchanged.
    const RadioData once = WrittenAndReadBack(shared, data, defaults);
    const RadioData twice = WrittenAndReadBack(shared, once, defaults);
    if (auto why = FirstDifference(twice, once); !why.empty())
        return "written and read again (second pass vs first): " + why;
    return {};
}

std::string CheckImage(const Model& model, const MemoryImage& image) {
    const RadioData& defaults = model.app.Data;
    RadioData decoded = defaults;
    DecodeImage(image, decoded);
    if (auto why = BrokenInvariant(decoded, defaults); !why.empty())
        return "after decoding: " + why;
    auto gapFree = [](const auto& dir) {
        bool ended = false;
        for (const DirectoryEntry& e : dir) {
            if (e.Enable != kFalse && (ended || e.Mmsid.empty()))
                return false;
            if (e.Enable == kFalse && e != DirectoryEntry{})
                return false;
            ended = ended || e.Enable == kFalse;
        }
        return true;
    };
    if (!gapFree(decoded.IndividualDirectory) || !gapFree(decoded.GroupDirectory))
        return "a directory has a gap or an enabled entry without a number";

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
    MemoryImage reencoded = encoded;
    if (const auto error = EncodeImage(once, reencoded))
        return "encode refused a decoded set: " + error->Message();
    RadioData settled = defaults;
    DecodeImage(reencoded, settled);
    if (auto why = FirstDifference(once, settled); !why.empty())
        return "decoded, encoded, decoded again (second pass vs first): " + why;
    return {};
}

void FlipBytes(Rng& rng, MemoryImage& image) {
    const std::size_t flips = 1 + Pick(rng, 64);
    for (std::size_t f = 0; f < flips; ++f) {
        // Half the changes land in the first 0x200 bytes, where the settings and bits are dense.
        const std::size_t at = Chance(rng, 50) ? Pick(rng, 0x200) : Pick(rng, kImageSize);
        switch (Pick(rng, 4)) {
            case 0:
                image[at] ^= static_cast<uint8_t>(1u << Pick(rng, 8));
                break;
            case 1:
                image[at] = static_cast<uint8_t>(rng());
                break;
            case 2: {  // packed digits where a number may live
                static const int kNumbers[] = {layout::kUserMmsid, layout::kAtisNo,
                                               layout::kIndividualDirectory,
                                               layout::kGroupDirectory};
                int address = kNumbers[Pick(rng, std::size(kNumbers))];
                if (address >= layout::kIndividualDirectory)
                    address += layout::kDirectoryEntrySize * static_cast<int>(Pick(rng, 5));
                for (int i = 0; i < layout::kPackedDigitBytes; ++i)
                    image[address + i] = static_cast<uint8_t>(Pick(rng, 10) << 4 |
                                                              Pick(rng, Chance(rng, 90) ? 10 : 16));
                break;
            }
            default:
                image[at] = Chance(rng, 50) ? 0x00 : 0xFF;
                break;
        }
    }
}

}  // namespace

class TestRobustness : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void randomDataFiles_data();
    void randomDataFiles();
    void randomImages_data();
    void randomImages();

  private:
    std::vector<Model> models_;
};

void TestRobustness::initTestCase() {
    // The ATIS fields are read only under the KW83E model code, so both codes get their files.
    for (const auto& [modelNum, code] : {std::pair<int16_t, const char*>{kModelHV2071P, "KW83"},
                                         {kModelTQ5300, "KW83"},
                                         {kModelHV2071P, "KW83E"}}) {
        Model model{test::MakeDefaultApp(modelNum), {}};
        model.app.Shared.ModelCode = code;
        model.file = WriteDataFile(model.app.Shared, model.app.Data);
        models_.push_back(std::move(model));
    }
}

void TestRobustness::randomDataFiles_data() {
    QTest::addColumn<int>("model");
    QTest::addColumn<int>("count");
    QTest::addColumn<qulonglong>("firstSeed");
    QTest::newRow("HV2071P") << 0 << 500 << 1'000'000ULL;
    QTest::newRow("TQ5300") << 1 << 350 << 2'000'000ULL;
    QTest::newRow("HV2071P KW83E") << 2 << 350 << 3'000'000ULL;
}

void TestRobustness::randomDataFiles() {
    QFETCH(int, model);
    QFETCH(int, count);
    QFETCH(qulonglong, firstSeed);
    const Model& m = models_[static_cast<std::size_t>(model)];
    QVERIFY(CheckDataFile(m, m.file, m.app.Image).empty());
    ForEachSeed(firstSeed, count, [&](uint64_t seed) {
        Rng rng(seed);
        std::vector<std::string> lines = SplitLines(m.file);
        const std::size_t mutations = 1 + Pick(rng, Chance(rng, 20) ? 200 : 12);
        for (std::size_t k = 0; k < mutations; ++k)
            Mutate(rng, lines);
        MemoryImage target = m.app.Image;
        if (Chance(rng, 50)) {
            for (uint8_t& byte : target)
                byte = static_cast<uint8_t>(rng());
        }
        return CheckDataFile(m, JoinLines(rng, lines), target);
    });
}

void TestRobustness::randomImages_data() {
    QTest::addColumn<int>("model");
    QTest::addColumn<bool>("fullyRandom");
    QTest::addColumn<int>("count");
    QTest::addColumn<qulonglong>("firstSeed");
    QTest::newRow("random bytes") << 0 << true << 3000 << 4'000'000ULL;
    QTest::newRow("HV2071P flipped") << 0 << false << 1500 << 5'000'000ULL;
    QTest::newRow("TQ5300 flipped") << 1 << false << 1500 << 6'000'000ULL;
}

void TestRobustness::randomImages() {
    QFETCH(int, model);
    QFETCH(bool, fullyRandom);
    QFETCH(int, count);
    QFETCH(qulonglong, firstSeed);
    const Model& m = models_[static_cast<std::size_t>(model)];
    ForEachSeed(firstSeed, count, [&](uint64_t seed) {
        Rng rng(seed);
        MemoryImage image = m.app.Image;
        if (fullyRandom) {
            for (uint8_t& byte : image)
                byte = static_cast<uint8_t>(rng());
        } else {
            FlipBytes(rng, image);
        }
        return CheckImage(m, image);
    });
}

QTEST_GUILESS_MAIN(TestRobustness)
#include "tst_robustness.moc"
