#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/channel_plan_entry.h"
#include "core/text_encoding.h"

namespace chanwright {

// Booleans of the data set are 16-bit values: -1 for true and 0 for false. Anything non-zero
// reads as true, because files and images written elsewhere may hold other values.
using Bool16 = int16_t;
constexpr Bool16 kTrue = -1;
constexpr Bool16 kFalse = 0;
constexpr Bool16 ToBool16(bool value) {
    return value ? kTrue : kFalse;
}

// One channel of a regional, WX or EXP list. WX records use only Position, Enable, ScanMemory
// and ChTag; EXP records use every field, Position naming their ExpPlan row.
struct PlanChannel {
    int16_t Position = 0;
    Bool16 Enable = kFalse;
    Bool16 LowPower = kFalse;
    Bool16 PowUp = kFalse;
    Bool16 Duplex = kFalse;
    Bool16 DuplexSelectable = kFalse;  // never stored in a file or the image
    Bool16 TxEnable = kFalse;
    Bool16 DispayA = kFalse;
    Bool16 ScanMemory = kFalse;
    Bool16 VsMemory = kFalse;
    std::string ChTag;  // at most 12 characters of the radio's set

    bool operator==(const PlanChannel& other) const;
    bool operator!=(const PlanChannel& other) const { return !(*this == other); }
};
// Copies what the user sets on a channel (its switches and name); Position, DispayA and
// DuplexSelectable stay, as the plan row decides them.
void CopyChosenFields(PlanChannel& to, const PlanChannel& from);
using WxChannel = PlanChannel;
using ExpChannel = PlanChannel;

// An MMSI as the user types it: 9 digits, or a group's 8 after its leading "0". The stored form
// adds the radio's tenth digit.
constexpr int kIndividualMmsiDigits = 9;
constexpr int kGroupMmsiDigits = 8;
std::string TypedMmsi(const std::string& stored, bool group);
// An MMSI as a person reads and copies it: 9 digits, a group's being "0" and its 8. The stored
// form's tenth digit is the radio's, not part of the number. Any other stored text shows as is.
std::string ShownMmsi(const std::string& stored);

struct DirectoryEntry {
    Bool16 Enable = kFalse;
    std::string TagName;  // at most 10 characters
    std::string Mmsid;    // stored form: 10 digits, or empty

    bool operator==(const DirectoryEntry& other) const;
    bool operator!=(const DirectoryEntry& other) const { return !(*this == other); }
};

struct CommonSettings {
    int16_t Contrast = 0;   // 0 … 7
    int16_t Dimmer = 0;     // 0 OFF, 1 LO, 2 MID, 3 HI
    int16_t Scrambler = 0;  // 0 OFF, 1 … 4 = code "0" … "3"
    Bool16 KeyBeep = kFalse;
    Bool16 TrueMAG = kFalse;
    Bool16 AtisOnOffUSA = kFalse;
    Bool16 AtisOnOffInternational = kFalse;
    Bool16 AtisOnOffCanada = kFalse;
    std::string AtisNo;    // empty or 10 digits
    int16_t ScanType = 0;  // 0 Memory, 1 Priority
    int16_t Ind = 0;       // 0 "5 times", 1 "10 times", 2 "15 times", 3 "3 min"
    Bool16 IndReply = kFalse;
    Bool16 IndACK = kFalse;
    Bool16 POSRR = kFalse;
    Bool16 DscScan = kFalse;
    Bool16 WxAlert = kFalse;
    int16_t OffsetTime = 0;  // 0 … 24, 12 = no offset
    std::string UserMmsid;   // empty, or 9 digits followed by "0"

    bool operator==(const CommonSettings& other) const;
    bool operator!=(const CommonSettings& other) const { return !(*this == other); }
};

// The nine channel common values. The A and B choices hold a memory slot (Position - 1) of their
// plan or kNoChannel; the priority values live only in data files.
constexpr int16_t kNoChannel = 255;
struct ChannelCommon {
    int16_t UsaPch = 0;
    int16_t IntPch = 0;
    int16_t CanPch = 0;
    int16_t UsaAch = 0;
    int16_t IntAch = 0;
    int16_t CanAch = 0;
    int16_t UsaBch = 0;
    int16_t IntBch = 0;
    int16_t CanBch = 0;

    bool operator==(const ChannelCommon& other) const;
    bool operator!=(const ChannelCommon& other) const { return !(*this == other); }
};

constexpr int kExpChannelCount = 40;
constexpr int kIndividualDirectorySize = 20;
constexpr int kGroupDirectorySize = 5;
constexpr int kChannelTagLength = 12;
constexpr int kDirectoryTagLength = 10;

// The one editable data set. ExpChannels[n - 1] is EXP memory place n; the directories are
// indexed the same way.
struct RadioData {
    std::vector<PlanChannel> UsaChannels;
    std::vector<PlanChannel> IntlChannels;
    std::vector<PlanChannel> CanadaChannels;
    std::vector<WxChannel> WxChannels;
    std::array<ExpChannel, kExpChannelCount> ExpChannels{};
    std::array<DirectoryEntry, kIndividualDirectorySize> IndividualDirectory{};
    std::array<DirectoryEntry, kGroupDirectorySize> GroupDirectory{};
    CommonSettings Common;
    ChannelCommon Channels;
    // How the data file the set came from held its texts, so a save writes them back alike. Not
    // data of the radio: two sets that differ only in it are equal.
    TextEncoding FileEncoding = TextEncoding::Windows1252;

    bool operator==(const RadioData& other) const;
    bool operator!=(const RadioData& other) const { return !(*this == other); }
};

// Rebuilds one channel list from its plan: one record per valid row, in position order.
// Regional channels never get a selectable Duplex; WX channels do.
void BuildChannelList(std::vector<PlanChannel>& list, const ChannelPlan& plan, bool regional);

// Seeds an EXP record from the ExpPlan row its Position names. TxEnable and DispayA are only
// ever switched on here, never off.
void SeedExpChannel(ExpChannel& record, const ChannelPlan& expPlan);

void ResetExpChannels(RadioData& data, const ChannelPlan& expPlan);

template <std::size_t N>
void ClearDirectory(std::array<DirectoryEntry, N>& directory) {
    for (DirectoryEntry& entry : directory)
        entry = DirectoryEntry{};
}

}  // namespace chanwright
