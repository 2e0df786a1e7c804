#include "image/image_decoder.h"

#include <array>

#include "image/bit_ops.h"

namespace chanwright {

namespace {

using layout::kNameSlotSize;

Bool16 Flag(uint8_t byte, int bit) {
    return ToBool16(GetBit(byte, bit) == 1);
}

// Bits of `byteCount` bytes, most significant first, into the field of consecutive records.
template <typename Iterator>
void DecodeBits(const MemoryImage& image, int address, int byteCount, Iterator first, Iterator last,
                Bool16 PlanChannel::*field) {
    for (int i = 0; i < byteCount; ++i) {
        for (int bit = 7; bit >= 0; --bit) {
            if (first == last)
                return;
            (*first).*field = Flag(image[address + i], bit);
            ++first;
        }
    }
}

}  // namespace

std::string DecodeName(const MemoryImage& image, int address, int length) {
    std::string name;
    for (int i = 0; i < length && address + i < kImageSize; ++i) {
        const uint8_t code = image[address + i];
        if (!IsRadioChar(code))
            break;
        name.push_back(static_cast<char>(code));
    }
    const std::size_t end = name.find_last_not_of(' ');
    name.erase(end == std::string::npos ? 0 : end + 1);
    return name;
}

std::string DecodeDigits(const MemoryImage& image, int address) {
    std::string digits;
    for (int i = 0; i < layout::kPackedDigitBytes; ++i) {
        const uint8_t byte = image[address + i];
        const int high = byte >> 4;
        const int low = byte & 0x0F;
        if (high > 9)
            break;
        digits.push_back(static_cast<char>('0' + high));
        if (low > 9)
            break;
        digits.push_back(static_cast<char>('0' + low));
    }
    return digits;
}

int16_t DecodeOffset(uint8_t byte) {
    const int code = byte & 0x3F;
    if (code == 0x3F || code == 0)
        return 12;
    int hours = code & 0x0F;
    if (hours > 12)
        hours = 12;
    if (GetBit(static_cast<uint8_t>(code), 4) == 0)
        hours = -hours;
    return static_cast<int16_t>(12 + hours);
}

void DecodeAttributes(uint8_t byte, PlanChannel& record) {
    record.TxEnable = Flag(byte, layout::attr::kTxEnable);
    record.Duplex = Flag(byte, layout::attr::kDuplex);
    record.PowUp = Flag(byte, layout::attr::kPowUp);
    record.LowPower = ToBool16(GetBit(byte, layout::attr::kHighPower) == 0);
    record.VsMemory = Flag(byte, layout::attr::kVsMemory);
    record.DispayA = Flag(byte, layout::attr::kDispayA);
}

void DecodeCommonSettings(const MemoryImage& image, CommonSettings& common) {
    namespace bit = layout::bit;
    const uint8_t display = image[layout::kDisplayAndScan];
    const uint8_t dsc = image[layout::kDscSwitches];
    const uint8_t atis = image[layout::kAtisSwitches];
    common.ScanType = static_cast<int16_t>(GetBit(display, bit::kScanType));
    common.WxAlert = Flag(display, bit::kWxAlert);
    common.Dimmer = static_cast<int16_t>(GetBits(display, bit::kDimmerCount, bit::kDimmerTop));
    common.KeyBeep = Flag(display, bit::kKeyBeep);
    common.Contrast =
        static_cast<int16_t>(GetBits(display, bit::kContrastCount, bit::kContrastTop));
    common.TrueMAG = Flag(image[layout::kMagAndOffset], bit::kTrueMag);
    common.OffsetTime = DecodeOffset(image[layout::kMagAndOffset]);
    common.IndReply = Flag(dsc, bit::kIndReply);
    common.IndACK = Flag(dsc, bit::kIndAck);
    common.POSRR = Flag(dsc, bit::kPosrr);
    common.DscScan = Flag(dsc, bit::kDscScan);
    common.Ind = static_cast<int16_t>(GetBits(dsc, bit::kIndCount, bit::kIndTop));
    common.AtisOnOffUSA = Flag(atis, bit::kAtisUsa);
    common.AtisOnOffInternational = Flag(atis, bit::kAtisInternational);
    common.AtisOnOffCanada = Flag(atis, bit::kAtisCanada);
    common.Scrambler = image[layout::kScrambler];
    common.UserMmsid = DecodeDigits(image, layout::kUserMmsid);
    common.AtisNo = DecodeDigits(image, layout::kAtisNo);
}

void DecodeChannelPointers(const MemoryImage& image, ChannelCommon& channels) {
    channels.UsaAch = image[layout::kUsaAch];
    channels.UsaBch = image[layout::kUsaBch];
    channels.IntAch = image[layout::kIntAch];
    channels.IntBch = image[layout::kIntBch];
    channels.CanAch = image[layout::kCanAch];
    channels.CanBch = image[layout::kCanBch];
}

void DecodePlanChannels(const MemoryImage& image, RadioData& data, Region region) {
    const layout::RegionLayout& where = RegionOf(region);
    std::array<PlanChannel, layout::kRegionalSlots> slots{};
    const int bitBytes = layout::kRegionalSlots / 8;
    DecodeBits(image, where.enableBits, bitBytes, slots.begin(), slots.end(), &PlanChannel::Enable);
    DecodeBits(image, where.scanBits, bitBytes, slots.begin(), slots.end(),
               &PlanChannel::ScanMemory);
    for (int k = 0; k < layout::kRegionalSlots; ++k) {
        PlanChannel& slot = slots[k];
        slot.ChTag = DecodeName(image, where.names + kNameSlotSize * k, layout::kChannelNameLength);
        DecodeAttributes(image[where.attributes + k], slot);
    }
    // Position and DispayA stay as the plan made them; a record without a slot gets nothing.
    for (PlanChannel& record : ChannelsOf(data, region)) {
        const int k = record.Position - 1;
        if (k < 0 || k >= layout::kRegionalSlots)
            continue;
        CopyChosenFields(record, slots[k]);
    }
}

void DecodeWxChannels(const MemoryImage& image, RadioData& data) {
    std::vector<WxChannel>& wx = data.WxChannels;
    DecodeBits(image, layout::kWxEnableBits, 2, wx.begin(), wx.end(), &PlanChannel::Enable);
    DecodeBits(image, layout::kWxScanBits, 2, wx.begin(), wx.end(), &PlanChannel::ScanMemory);
    for (std::size_t k = 0; k < wx.size() && k < layout::kWxSlots; ++k) {
        wx[k].ChTag = DecodeName(image, layout::kWxNames + kNameSlotSize * static_cast<int>(k),
                                 layout::kChannelNameLength);
    }
}

void DecodeExpChannels(const MemoryImage& image, RadioData& data) {
    auto& exp = data.ExpChannels;
    const int bitBytes = layout::kExpSlots / 8;
    DecodeBits(image, layout::kExpEnableBits, bitBytes, exp.begin(), exp.end(),
               &PlanChannel::Enable);
    DecodeBits(image, layout::kExpScanBits, bitBytes, exp.begin(), exp.end(),
               &PlanChannel::ScanMemory);
    for (int n = 0; n < layout::kExpSlots; ++n) {
        ExpChannel& channel = exp[n];
        channel.ChTag =
            DecodeName(image, layout::kExpNames + kNameSlotSize * n, layout::kChannelNameLength);
        const uint8_t b0 = image[layout::kExpWords + 2 * n];
        const uint8_t b1 = image[layout::kExpWords + 2 * n + 1];
        DecodeAttributes(b0, channel);
        if (channel.Enable != 0) {
            const int index = (b0 & 3) * 256 + b1;
            if (index <= kExpPlanLast)
                channel.Position = static_cast<int16_t>(index);
        }
    }
}

void DecodeDirectory(const MemoryImage& image, RadioData& data, bool group) {
    DirectoryEntry* entries = group ? data.GroupDirectory.data() : data.IndividualDirectory.data();
    const int count = group ? kGroupDirectorySize : kIndividualDirectorySize;
    for (int n = 0; n < count; ++n) {
        const int slot = DirectoryEntryAddress(group, n);
        entries[n].Mmsid = DecodeDigits(image, slot);
        entries[n].TagName =
            DecodeName(image, slot + layout::kDirectoryNameOffset, layout::kDirectoryNameLength);
    }
    // The first entry without a number ends the directory, whatever later slots hold.
    bool ended = false;
    for (int n = 0; n < count; ++n) {
        ended = ended || entries[n].Mmsid.empty();
        if (ended) {
            entries[n] = DirectoryEntry{};
        } else {
            entries[n].Enable = kTrue;
        }
    }
}

void DecodeImage(const MemoryImage& image, RadioData& data) {
    DecodeCommonSettings(image, data.Common);
    DecodeChannelPointers(image, data.Channels);
    DecodePlanChannels(image, data, Region::Usa);
    DecodePlanChannels(image, data, Region::International);
    DecodePlanChannels(image, data, Region::Canada);
    DecodeWxChannels(image, data);
    DecodeExpChannels(image, data);
    DecodeDirectory(image, data, false);
    DecodeDirectory(image, data, true);
}

}  // namespace chanwright
