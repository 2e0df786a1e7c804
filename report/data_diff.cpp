#include "report/data_diff.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "image/image_codec.h"
#include "image/setting_text.h"
#include "report/report_values.h"

namespace chanwright::report {

namespace {

// What a field shows, and what tells two values apart when they show alike.
struct Value {
    std::string shown;
    std::string stored;
};

Value Text(const std::string& text) {
    return {text, text};
}
Value Number(int value) {
    return Text(std::to_string(value));
}
// Any non-zero flag reads as true, so only the truth is compared.
Value Flag(Bool16 value) {
    return Text(YesNo(value));
}
// A value the list has no text for shows its number.
Value Choice(const std::string& text, int16_t value) {
    return {text.empty() ? std::to_string(value) : text, std::to_string(value)};
}
// The 9 digits a person reads; the stored form tells apart two that show alike.
Value Mmsi(const std::string& stored) {
    return {ShownMmsi(stored), stored};
}
// The report's text of a list choice; outside the list's `count` entries it shows the number, as
// the report's own text would pass for another choice.
Value Listed(const std::string& text, int16_t value, int count) {
    return Choice(value >= 0 && value < count ? text : "", value);
}
// A channel only one side lists.
const Value kListed = Text("listed");
const Value kAbsent = Text("(none)");

Value Offset(int16_t offsetTime) {
    std::string text = OffsetText(offsetTime);
    text.erase(0, text.find_first_not_of(' '));
    return Choice(text, offsetTime);
}
Value Scrambler(int16_t value) {
    const int index = ScramblerIndex(value);
    return Listed(index == 0 ? "OFF" : std::to_string(index - 1), value, 5);
}

class Differ {
  public:
    // `where` is the section and item, each followed by a space.
    // `note` follows the line: which model's window does not show the field.
    void Add(const std::string& where, const char* field, const Value& a, const Value& b,
             const std::string& note = {}) {
        if (a.stored == b.stored)
            return;
        const bool alike = a.shown == b.shown;
        lines_.push_back(where + field + ": " + Shown(alike ? a.stored : a.shown) + " -> " +
                         Shown(alike ? b.stored : b.shown) + note);
    }
    std::vector<std::string> Take() { return std::move(lines_); }

  private:
    static std::string Shown(const std::string& text) { return text.empty() ? "(empty)" : text; }

    std::vector<std::string> lines_;
};

// Both sides of the comparison, so that each model test and each plan is taken from its own side.
struct Sides {
    const AppState& a;
    const AppState& b;
    bool Both(bool (*has)(const AppState&)) const { return has(a) && has(b); }
    // Fields a model's window hides are still stored and written into its image, so they are
    // compared all the same; the line says where they are not shown.
    std::string Hidden(bool (*has)(const AppState&), const char* hiddenFor) const {
        return Both(has) ? std::string() : std::string(" (not shown for the ") + hiddenFor + ")";
    }
};

bool HasContrast(const AppState& app) {
    return app.Shared.ModelNum != Model::TQ5300;
}
bool HasAtis(const AppState& app) {
    return app.Shared.ModelCode == "KW83E";
}

void AddSettings(Differ& d, const Sides& s) {
    const CommonSettings& a = s.a.Data.Common;
    const CommonSettings& b = s.b.Data.Common;
    const std::string where = "Setting ";
    d.Add(where, "Model", Text(s.a.Shared.ModelName()), Text(s.b.Shared.ModelName()));
    const std::string contrastNote = s.Hidden(HasContrast, "TQ5300");
    d.Add(where, "Contrast", Number(a.Contrast), Number(b.Contrast), contrastNote);
    d.Add(where, "Dimmer", Listed(DimmerText(a.Dimmer), a.Dimmer, 4),
          Listed(DimmerText(b.Dimmer), b.Dimmer, 4), contrastNote);
    d.Add(where, "Offset Time", Offset(a.OffsetTime), Offset(b.OffsetTime));
    d.Add(where, "Key Beep", Flag(a.KeyBeep), Flag(b.KeyBeep));
    d.Add(where, "Wx Alert", Flag(a.WxAlert), Flag(b.WxAlert));
    d.Add(where, "Scan Type", Listed(ScanTypeText(a.ScanType), a.ScanType, 2),
          Listed(ScanTypeText(b.ScanType), b.ScanType, 2));
    d.Add(where, "Scrambler", Scrambler(a.Scrambler), Scrambler(b.Scrambler));
    d.Add(where, "True MAG", Flag(a.TrueMAG), Flag(b.TrueMAG));
    d.Add(where, "Individual Reply", Flag(a.IndReply), Flag(b.IndReply));
    d.Add(where, "Individual ACK", Flag(a.IndACK), Flag(b.IndACK));
    d.Add(where, "Individual Ringer", Listed(RingerText(a.Ind), a.Ind, 4),
          Listed(RingerText(b.Ind), b.Ind, 4));
    d.Add(where, "POS Request Reply", Flag(a.POSRR), Flag(b.POSRR));
    d.Add(where, "DSC Scan", Flag(a.DscScan), Flag(b.DscScan));
    d.Add(where, "User MMSI", Mmsi(a.UserMmsid), Mmsi(b.UserMmsid));
    // Every image holds the ATIS number and switches; only the KW83E's window and files show them.
    const std::string& hidingCode = (HasAtis(s.a) ? s.b : s.a).Shared.ModelCode;
    const std::string atisNote = s.Hidden(HasAtis, hidingCode.c_str());
    d.Add(where, "ATIS No.", Text(a.AtisNo), Text(b.AtisNo), atisNote);
    d.Add(where, "ATIS USA", Flag(a.AtisOnOffUSA), Flag(b.AtisOnOffUSA), atisNote);
    d.Add(where, "ATIS International", Flag(a.AtisOnOffInternational),
          Flag(b.AtisOnOffInternational), atisNote);
    d.Add(where, "ATIS Canada", Flag(a.AtisOnOffCanada), Flag(b.AtisOnOffCanada), atisNote);
}

struct RegionName {
    Region region;
    const char* name;
    int16_t ChannelCommon::*ach;
    int16_t ChannelCommon::*bch;
    int16_t ChannelCommon::*pch;
};
constexpr RegionName kRegions[] = {
    {Region::Usa, "USA", &ChannelCommon::UsaAch, &ChannelCommon::UsaBch, &ChannelCommon::UsaPch},
    {Region::International, "International", &ChannelCommon::IntAch, &ChannelCommon::IntBch,
     &ChannelCommon::IntPch},
    {Region::Canada, "Canada", &ChannelCommon::CanAch, &ChannelCommon::CanBch,
     &ChannelCommon::CanPch}};

void AddChannelCommon(Differ& d, const Sides& s) {
    const ChannelCommon& a = s.a.Data.Channels;
    const ChannelCommon& b = s.b.Data.Channels;
    for (const RegionName& r : kRegions) {
        const ChannelPlan& planA = PlanOf(s.a.Plans, r.region);
        const ChannelPlan& planB = PlanOf(s.b.Plans, r.region);
        const auto choice = [](int16_t slot, const ChannelPlan& plan) {
            return Choice(ChoiceText(slot, plan), slot);
        };
        const std::string where = std::string("Channel Common ") + r.name + " ";
        d.Add(where, "A-ch", choice(a.*r.ach, planA), choice(b.*r.ach, planB));
        d.Add(where, "B-ch", choice(a.*r.bch, planA), choice(b.*r.bch, planB));
        d.Add(where, "P-ch", Number(a.*r.pch), Number(b.*r.pch));
    }
}

enum class ListKind { Regional, Wx, Exp };

// WX records have only Enable, Scan and a name; only EXP records choose their Position.
void AddChannel(Differ& d, const std::string& where, ListKind kind, const PlanChannel& a,
                const PlanChannel& b) {
    const bool full = kind != ListKind::Wx;
    if (kind == ListKind::Exp)
        d.Add(where, "Position", Number(a.Position), Number(b.Position));
    d.Add(where, "Enable", Flag(a.Enable), Flag(b.Enable));
    if (full) {
        d.Add(where, "TX", Flag(a.TxEnable), Flag(b.TxEnable));
        d.Add(where, "Low Power", Flag(a.LowPower), Flag(b.LowPower));
        d.Add(where, "Power Up", Flag(a.PowUp), Flag(b.PowUp));
        d.Add(where, "Duplex", Flag(a.Duplex), Flag(b.Duplex));
    }
    d.Add(where, "Scan", Flag(a.ScanMemory), Flag(b.ScanMemory));
    if (full)
        d.Add(where, "VS Memory", Flag(a.VsMemory), Flag(b.VsMemory));
    d.Add(where, "CH Name", Text(a.ChTag), Text(b.ChTag));
}

std::string ChannelItem(const PlanChannel& channel, const ChannelPlan& plan) {
    return plan.Contains(channel.Position) ? plan.At(channel.Position).ChannelNo
                                           : std::to_string(channel.Position);
}

void AddRegion(Differ& d, const Sides& s, const RegionName& r) {
    const std::vector<PlanChannel>& listA = ChannelsOf(s.a.Data, r.region);
    const std::vector<PlanChannel>& listB = ChannelsOf(s.b.Data, r.region);
    const ChannelPlan& planA = PlanOf(s.a.Plans, r.region);
    const ChannelPlan& planB = PlanOf(s.b.Plans, r.region);
    const std::string section = std::string(r.name) + " ";
    std::vector<bool> matched(listB.size(), false);
    for (const PlanChannel& channel : listA) {
        const std::string where = section + ChannelItem(channel, planA) + " ";
        std::size_t i = 0;
        while (i < listB.size() && (matched[i] || listB[i].Position != channel.Position))
            ++i;
        if (i == listB.size()) {
            d.Add(where, "Channel", kListed, kAbsent);
            continue;
        }
        matched[i] = true;
        AddChannel(d, where, ListKind::Regional, channel, listB[i]);
    }
    for (std::size_t i = 0; i < listB.size(); ++i) {
        if (!matched[i])
            d.Add(section + ChannelItem(listB[i], planB) + " ", "Channel", kAbsent, kListed);
    }
}

void AddWx(Differ& d, const Sides& s) {
    const std::vector<WxChannel>& listA = s.a.Data.WxChannels;
    const std::vector<WxChannel>& listB = s.b.Data.WxChannels;
    for (std::size_t i = 0; i < std::max(listA.size(), listB.size()); ++i) {
        const std::string where = "WX " + std::to_string(i + 1) + " ";
        if (i < listA.size() && i < listB.size())
            AddChannel(d, where, ListKind::Wx, listA[i], listB[i]);
        else
            d.Add(where, "Channel", i < listA.size() ? kListed : kAbsent,
                  i < listB.size() ? kListed : kAbsent);
    }
}

void AddExp(Differ& d, const Sides& s) {
    for (std::size_t i = 0; i < kExpChannelCount; ++i) {
        AddChannel(d, "EXP " + std::to_string(i + 1) + " ", ListKind::Exp, s.a.Data.ExpChannels[i],
                   s.b.Data.ExpChannels[i]);
    }
}

template <std::size_t N>
void AddDirectory(Differ& d, const std::string& section, const std::array<DirectoryEntry, N>& a,
                  const std::array<DirectoryEntry, N>& b) {
    for (std::size_t i = 0; i < N; ++i) {
        const std::string where = section + " " + std::to_string(i + 1) + " ";
        d.Add(where, "Enable", Flag(a[i].Enable), Flag(b[i].Enable));
        d.Add(where, "Name", Text(a[i].TagName), Text(b[i].TagName));
        d.Add(where, "MMSI", Mmsi(a[i].Mmsid), Mmsi(b[i].Mmsid));
    }
}

}  // namespace

std::vector<std::string> DiffLines(const AppState& a, const AppState& b) {
    Differ d;
    const Sides sides{a, b};
    AddSettings(d, sides);
    AddChannelCommon(d, sides);
    for (const RegionName& r : kRegions)
        AddRegion(d, sides, r);
    AddWx(d, sides);
    AddExp(d, sides);
    AddDirectory(d, "Individual ID", a.Data.IndividualDirectory, b.Data.IndividualDirectory);
    AddDirectory(d, "Group ID", a.Data.GroupDirectory, b.Data.GroupDirectory);
    return d.Take();
}

}  // namespace chanwright::report
