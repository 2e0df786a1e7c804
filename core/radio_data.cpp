#include "core/radio_data.h"

#include <tuple>

namespace chanwright {

std::string TypedMmsi(const std::string& stored, bool group) {
    const std::size_t first = group && !stored.empty() ? 1 : 0;
    return stored.substr(first, group ? kGroupMmsiDigits : kIndividualMmsiDigits);
}

void CopyChosenFields(PlanChannel& to, const PlanChannel& from) {
    to.Enable = from.Enable;
    to.LowPower = from.LowPower;
    to.PowUp = from.PowUp;
    to.Duplex = from.Duplex;
    to.TxEnable = from.TxEnable;
    to.ScanMemory = from.ScanMemory;
    to.VsMemory = from.VsMemory;
    to.ChTag = from.ChTag;
}

std::string ShownMmsi(const std::string& stored) {
    return stored.size() == kIndividualMmsiDigits + 1 ? stored.substr(0, kIndividualMmsiDigits)
                                                      : stored;
}

namespace {

auto Fields(const PlanChannel& c) {
    return std::tie(c.Position, c.Enable, c.LowPower, c.PowUp, c.Duplex, c.DuplexSelectable,
                    c.TxEnable, c.DispayA, c.ScanMemory, c.VsMemory, c.ChTag);
}

auto Fields(const CommonSettings& s) {
    return std::tie(s.Contrast, s.Dimmer, s.Scrambler, s.KeyBeep, s.TrueMAG, s.AtisOnOffUSA,
                    s.AtisOnOffInternational, s.AtisOnOffCanada, s.AtisNo, s.ScanType, s.Ind,
                    s.IndReply, s.IndACK, s.POSRR, s.DscScan, s.WxAlert, s.OffsetTime, s.UserMmsid);
}

auto Fields(const ChannelCommon& c) {
    return std::tie(c.UsaPch, c.IntPch, c.CanPch, c.UsaAch, c.IntAch, c.CanAch, c.UsaBch, c.IntBch,
                    c.CanBch);
}

bool EndsWithA(const std::string& channelNo) {
    return !channelNo.empty() && channelNo.back() == 'A';
}

}  // namespace

bool PlanChannel::operator==(const PlanChannel& other) const {
    return Fields(*this) == Fields(other);
}

bool DirectoryEntry::operator==(const DirectoryEntry& other) const {
    return std::tie(Enable, TagName, Mmsid) == std::tie(other.Enable, other.TagName, other.Mmsid);
}

bool CommonSettings::operator==(const CommonSettings& other) const {
    return Fields(*this) == Fields(other);
}

bool ChannelCommon::operator==(const ChannelCommon& other) const {
    return Fields(*this) == Fields(other);
}

bool RadioData::operator==(const RadioData& other) const {
    return std::tie(UsaChannels, IntlChannels, CanadaChannels, WxChannels, ExpChannels,
                    IndividualDirectory, GroupDirectory, Common, Channels) ==
           std::tie(other.UsaChannels, other.IntlChannels, other.CanadaChannels, other.WxChannels,
                    other.ExpChannels, other.IndividualDirectory, other.GroupDirectory,
                    other.Common, other.Channels);
}

void BuildChannelList(std::vector<PlanChannel>& list, const ChannelPlan& plan, bool regional) {
    list.clear();
    for (int p = 1; p <= plan.Last(); ++p) {
        const ChannelPlanEntry& row = plan.At(p);
        if (row.Valid == 0)
            continue;
        PlanChannel record;
        record.Position = static_cast<int16_t>(p);
        record.Enable = kTrue;
        record.LowPower = ToBool16(row.LowPowerFlag != 0);
        record.PowUp = kFalse;
        record.Duplex = ToBool16(row.DuplexFlag != 0);
        record.DuplexSelectable = ToBool16(row.DuplexFlag != 0 && !regional);
        record.TxEnable = ToBool16(row.TxFreq > 0);
        record.DispayA = ToBool16(EndsWithA(row.ChannelNo));
        record.ScanMemory = kFalse;
        record.VsMemory = kFalse;
        record.ChTag = row.Tag;
        list.push_back(record);
    }
}

void SeedExpChannel(ExpChannel& record, const ChannelPlan& expPlan) {
    if (!expPlan.Contains(record.Position))
        return;
    const ChannelPlanEntry& row = expPlan.At(record.Position);
    record.Enable = kTrue;
    record.LowPower = ToBool16(row.LowPowerFlag != 0);
    record.PowUp = kFalse;
    record.DuplexSelectable = ToBool16(row.DuplexFlag != 0);
    record.Duplex = kFalse;
    if (row.TxFreq > 0)
        record.TxEnable = kTrue;
    if (EndsWithA(row.ChannelNo))
        record.DispayA = kTrue;
    record.ScanMemory = kFalse;
    record.VsMemory = kFalse;
    record.ChTag = row.Tag;
}

void ResetExpChannels(RadioData& data, const ChannelPlan& expPlan) {
    for (ExpChannel& record : data.ExpChannels) {
        record.Position = 0;
        SeedExpChannel(record, expPlan);
    }
}

}  // namespace chanwright
