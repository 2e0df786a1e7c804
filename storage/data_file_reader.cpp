#include "storage/data_file_reader.h"

#include <string>

#include "image/image_codec.h"
#include "storage/value_conversion.h"

namespace chanwright {

namespace {

class SectionReader {
  public:
    SectionReader(const ProfileFile& file, std::string section)
        : file_(file), section_(std::move(section)) {}

    std::string Value(const char* key) const { return ReadProfileValue(file_, section_, key); }

    void Number(const char* key, int16_t& field) const {
        if (auto value = ToInt16(Value(key)))
            field = *value;
    }
    void NumberWithin(const char* key, int16_t& field, int low, int high) const {
        const auto value = ToInt16(Value(key));
        if (value && *value >= low && *value <= high)
            field = *value;
    }
    void Flag(const char* key, Bool16& field) const {
        if (auto value = ToBool16(Value(key)))
            field = *value;
    }
    void Text(const char* key, std::string& field) const { field = Value(key); }

  private:
    const ProfileFile& file_;
    std::string section_;
};

void ReadCommonSettings(const SectionReader& r, const SharedState& shared, CommonSettings& s) {
    r.Number("Contrast", s.Contrast);
    r.Number("Dimmer", s.Dimmer);
    r.Number("Scrambler", s.Scrambler);
    r.Flag("KeyBeep", s.KeyBeep);
    r.Flag("TrueMAG", s.TrueMAG);
    if (shared.ModelCode == "KW83E") {
        r.Flag("AtisOnOffUSA", s.AtisOnOffUSA);
        r.Flag("AtisOnOffInternational", s.AtisOnOffInternational);
        r.Flag("AtisOnOffCanada", s.AtisOnOffCanada);
        r.Text("AtisNo", s.AtisNo);
    }
    r.Number("ScanType", s.ScanType);
    r.Number("Ind", s.Ind);
    r.Flag("IndReply", s.IndReply);
    r.Flag("IndACK", s.IndACK);
    r.Flag("POSRR", s.POSRR);
    r.Flag("DscScan", s.DscScan);
    r.Flag("WxAlert", s.WxAlert);
    // Stored as -24 … 0; anything that lands outside 0 … 24 would index past the offset list.
    if (auto stored = ToNumber(r.Value("OffsetTime"))) {
        const auto offset = RoundToInt16(*stored + 24);
        if (offset && *offset >= 0 && *offset <= 24)
            s.OffsetTime = *offset;
    }
    r.Text("UserMmsid", s.UserMmsid);
}

// A file saved from a radio holds the radio's A and B channels; programming it back should keep
// them. A slot of no channel of the plan would leave the radio pointing at nothing.
void ReadChoice(const SectionReader& r, const char* key, const ChannelPlan& plan, int16_t& field) {
    const auto slot = ToInt16(r.Value(key));
    if (!slot)
        return;
    const int position = *slot + 1;
    if (*slot == kNoChannel || (plan.Contains(position) && plan.At(position).Valid != 0))
        field = *slot;
}

struct ChoiceKeys {
    Region region;
    const char* a;
    const char* b;
};
constexpr ChoiceKeys kChoiceKeys[] = {{Region::Usa, "USA-ACH", "USA-BCH"},
                                      {Region::International, "INT-ACH", "INT-BCH"},
                                      {Region::Canada, "CAN-ACH", "CAN-BCH"}};

void ReadChannel(const SectionReader& r, PlanChannel& ch, int lowPosition, int highPosition) {
    r.NumberWithin("Position", ch.Position, lowPosition, highPosition);
    r.Flag("Enable", ch.Enable);
    r.Flag("LowPower", ch.LowPower);
    r.Flag("PowUp", ch.PowUp);
    r.Flag("Duplex", ch.Duplex);
    r.Flag("TxEnable", ch.TxEnable);
    r.Flag("DispayA", ch.DispayA);
    r.Flag("ScanMemory", ch.ScanMemory);
    r.Flag("VsMemory", ch.VsMemory);
    r.Text("ChTag", ch.ChTag);
}

void ReadRegional(const ProfileFile& file, const char* prefix, std::vector<PlanChannel>& list) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        ReadChannel(SectionReader(file, prefix + std::to_string(i)), list[i], 1, kRegionalPlanSize);
    }
}

template <std::size_t N>
void ReadDirectory(const ProfileFile& file, const char* prefix,
                   std::array<DirectoryEntry, N>& directory) {
    for (std::size_t n = 0; n < N; ++n) {
        const SectionReader r(file, prefix + std::to_string(n + 1));
        r.Flag("Enable", directory[n].Enable);
        r.Text("TagName", directory[n].TagName);
        r.Text("Mmsid", directory[n].Mmsid);
    }
}

bool IsDataSection(std::string_view name) {
    for (const std::string_view whole : {"MAIN", "SETCOM", "CHCOM"}) {
        if (name == whole)
            return true;
    }
    for (const std::string_view record :
         {"CHUSA", "CHINT", "CHCAN", "CHWX", "CHEXP", "CHMMSID", "CHGRPID"}) {
        if (name.size() > record.size() && name.substr(0, record.size()) == record &&
            name.find_first_not_of("0123456789", record.size()) == std::string_view::npos)
            return true;
    }
    return false;
}

}  // namespace

void ReadDataFile(const ProfileFile& file, const SharedState& shared, const ChannelPlans& plans,
                  RadioData& data) {
    // The [MAIN] header is not checked: a file of the other model, or any INI file, is taken.
    ReadCommonSettings(SectionReader(file, "SETCOM"), shared, data.Common);

    const SectionReader chcom(file, "CHCOM");
    chcom.Number("USA-PCH", data.Channels.UsaPch);
    chcom.Number("INT-PCH", data.Channels.IntPch);
    chcom.Number("CAN-PCH", data.Channels.CanPch);
    for (const ChoiceKeys& keys : kChoiceKeys) {
        const auto [a, b] = ChoicesOf(data.Channels, keys.region);
        ReadChoice(chcom, keys.a, PlanOf(plans, keys.region), *a);
        ReadChoice(chcom, keys.b, PlanOf(plans, keys.region), *b);
    }

    ReadRegional(file, "CHUSA", data.UsaChannels);
    ReadRegional(file, "CHINT", data.IntlChannels);
    ReadRegional(file, "CHCAN", data.CanadaChannels);
    for (std::size_t i = 0; i < data.WxChannels.size(); ++i) {
        const SectionReader r(file, "CHWX" + std::to_string(i));
        r.Flag("Enable", data.WxChannels[i].Enable);
        r.Flag("ScanMemory", data.WxChannels[i].ScanMemory);
        r.Text("ChTag", data.WxChannels[i].ChTag);
    }
    for (int n = 0; n < kExpChannelCount; ++n) {
        ReadChannel(SectionReader(file, "CHEXP" + std::to_string(n + 1)), data.ExpChannels[n], 0,
                    kExpPlanLast);
    }
    ReadDirectory(file, "CHMMSID", data.IndividualDirectory);
    ReadDirectory(file, "CHGRPID", data.GroupDirectory);
}

bool ReadDataFileBytes(std::string_view bytes, const SharedState& shared, const ChannelPlans& plans,
                       RadioData& data) {
    const std::optional<FileText> text = ProfileText(bytes);
    if (!text)
        return false;
    ReadDataFile(ProfileFile::Parse(text->text), shared, plans, data);
    data.FileEncoding = text->encoding;
    return true;
}

bool HoldsProgramData(const ProfileFile& file) {
    return file.AnySection(IsDataSection);
}

}  // namespace chanwright
