#include "image/image_encoder.h"

#include <array>

#include "image/bit_ops.h"
#include "image/radio_name.h"

namespace chanwright {

namespace {

using layout::kNameSlotSize;

// One byte per group of eight records, the first record in bit 7; unused bits are 0.
template <typename Iterator>
void EncodeBits(MemoryImage& image, int address, int byteCount, Iterator first, Iterator last,
                Bool16 PlanChannel::*field) {
    for (int i = 0; i < byteCount; ++i) {
        uint8_t byte = 0;
        for (int bit = 7; bit >= 0 && first != last; --bit, ++first) {
            SetBit(byte, bit, BoolBit((*first).*field));
        }
        image[address + i] = byte;
    }
}

std::optional<EncodeError> PutBits(uint8_t& byte, int count, int top, int16_t value,
                                   const char* field) {
    if (SetBits(byte, count, top, value))
        return std::nullopt;
    return EncodeError{field, value};
}

}  // namespace

std::string EncodeError::Message() const {
    return "Overflow: " + Field + "=" + std::to_string(Value) + " is outside 0 to 255";
}

uint8_t EncodeOffset(int offsetTime) {
    int v = offsetTime < 0 ? 0 : (offsetTime > 24 ? 24 : offsetTime);
    return static_cast<uint8_t>(v <= 12 ? 0x20 + (12 - v) : 0x30 + (v - 12));
}

uint8_t EncodeAttributes(const PlanChannel& record) {
    namespace attr = layout::attr;
    uint8_t byte = 0;
    SetBit(byte, attr::kTxEnable, BoolBit(record.TxEnable));
    SetBit(byte, attr::kDuplex, BoolBit(record.Duplex));
    SetBit(byte, attr::kPowUp, BoolBit(record.PowUp));
    SetBit(byte, attr::kHighPower, record.LowPower == 0 ? 1 : 0);
    SetBit(byte, attr::kVsMemory, BoolBit(record.VsMemory));
    SetBit(byte, attr::kDispayA, BoolBit(record.DispayA));
    return byte;
}

void EncodeName(MemoryImage& image, int address, const std::string& text, int length) {
    const std::string fitted = FitRadioName(text, length);
    for (int i = 0; i < length; ++i) {
        const bool inName = static_cast<std::size_t>(i) < fitted.size();
        image[address + i] = inName ? static_cast<uint8_t>(fitted[i]) : 0xFF;
    }
}

void EncodeDigits(MemoryImage& image, int address, const std::string& text, bool padTenth) {
    if (text.find_first_not_of(' ') == std::string::npos) {
        for (int i = 0; i < layout::kPackedDigitBytes; ++i)
            image[address + i] = 0xFF;
        return;
    }
    const std::string padded = (text + std::string(10, ' ')).substr(0, 10);
    auto nibble = [](char c) { return (c >= '0' && c <= '9') ? c - '0' : 0xF; };
    for (int i = 0; i < layout::kPackedDigitBytes; ++i) {
        const int high = nibble(padded[2 * i]);
        int low = nibble(padded[2 * i + 1]);
        if (padTenth && i == layout::kPackedDigitBytes - 1)
            low = 0;
        image[address + i] = static_cast<uint8_t>(high << 4 | low);
    }
}

std::optional<EncodeError> EncodeCommonSettings(const CommonSettings& common, MemoryImage& image) {
    namespace bit = layout::bit;
    uint8_t& display = image[layout::kDisplayAndScan];
    SetBit(display, bit::kScanType, common.ScanType == 1 ? 1 : 0);
    SetBit(display, bit::kWxAlert, BoolBit(common.WxAlert));
    if (auto error = PutBits(display, bit::kDimmerCount, bit::kDimmerTop, common.Dimmer, "Dimmer"))
        return error;
    if (common.Scrambler < 0 || common.Scrambler > 255) {
        return EncodeError{"Scrambler", common.Scrambler};
    }
    image[layout::kScrambler] = static_cast<uint8_t>(common.Scrambler);
    SetBit(display, bit::kKeyBeep, BoolBit(common.KeyBeep));
    if (auto error =
            PutBits(display, bit::kContrastCount, bit::kContrastTop, common.Contrast, "Contrast"))
        return error;

    uint8_t& magAndOffset = image[layout::kMagAndOffset];
    SetBit(magAndOffset, bit::kTrueMag, BoolBit(common.TrueMAG));
    SetBits(magAndOffset, bit::kOffsetCount, bit::kOffsetTop, EncodeOffset(common.OffsetTime));

    uint8_t& dsc = image[layout::kDscSwitches];
    SetBit(dsc, bit::kIndReply, BoolBit(common.IndReply));
    SetBit(dsc, bit::kIndAck, BoolBit(common.IndACK));
    SetBit(dsc, bit::kPosrr, BoolBit(common.POSRR));
    SetBit(dsc, bit::kDscScan, BoolBit(common.DscScan));
    if (auto error = PutBits(dsc, bit::kIndCount, bit::kIndTop, common.Ind, "Ind"))
        return error;

    EncodeDigits(image, layout::kUserMmsid, common.UserMmsid, true);
    uint8_t& atis = image[layout::kAtisSwitches];
    SetBit(atis, bit::kAtisUsa, BoolBit(common.AtisOnOffUSA));
    SetBit(atis, bit::kAtisInternational, BoolBit(common.AtisOnOffInternational));
    SetBit(atis, bit::kAtisCanada, BoolBit(common.AtisOnOffCanada));
    EncodeDigits(image, layout::kAtisNo, common.AtisNo, false);
    return std::nullopt;
}

void EncodeChannelPointers(const ChannelCommon& channels, MemoryImage& image) {
    auto low8 = [](int16_t value) { return static_cast<uint8_t>(value & 0xFF); };
    image[layout::kUsaAch] = low8(channels.UsaAch);
    image[layout::kUsaBch] = low8(channels.UsaBch);
    image[layout::kIntAch] = low8(channels.IntAch);
    image[layout::kIntBch] = low8(channels.IntBch);
    image[layout::kCanAch] = low8(channels.CanAch);
    image[layout::kCanBch] = low8(channels.CanBch);
}

void EncodePlanChannels(const RadioData& data, Region region, MemoryImage& image) {
    const layout::RegionLayout& where = RegionOf(region);
    // A slot without a record encodes as a disabled, empty, high-power channel.
    std::array<PlanChannel, layout::kRegionalSlots> slots{};
    for (const PlanChannel& record : ChannelsOf(data, region)) {
        const int k = record.Position - 1;
        if (k >= 0 && k < layout::kRegionalSlots)
            slots[k] = record;
    }
    const int bitBytes = layout::kRegionalSlots / 8;
    EncodeBits(image, where.enableBits, bitBytes, slots.begin(), slots.end(), &PlanChannel::Enable);
    EncodeBits(image, where.scanBits, bitBytes, slots.begin(), slots.end(),
               &PlanChannel::ScanMemory);
    for (int k = 0; k < layout::kRegionalSlots; ++k) {
        EncodeName(image, where.names + kNameSlotSize * k, slots[k].ChTag,
                   layout::kChannelNameLength);
        image[where.attributes + k] = EncodeAttributes(slots[k]);
    }
}

void EncodeWxChannels(const RadioData& data, MemoryImage& image) {
    const std::vector<WxChannel>& wx = data.WxChannels;
    EncodeBits(image, layout::kWxEnableBits, 2, wx.begin(), wx.end(), &PlanChannel::Enable);
    EncodeBits(image, layout::kWxScanBits, 2, wx.begin(), wx.end(), &PlanChannel::ScanMemory);
    for (std::size_t k = 0; k < wx.size() && k < layout::kWxSlots; ++k) {
        EncodeName(image, layout::kWxNames + kNameSlotSize * static_cast<int>(k), wx[k].ChTag,
                   layout::kChannelNameLength);
    }
}

void EncodeExpChannels(const RadioData& data, MemoryImage& image) {
    const auto& exp = data.ExpChannels;
    const int bitBytes = layout::kExpSlots / 8;
    EncodeBits(image, layout::kExpEnableBits, bitBytes, exp.begin(), exp.end(),
               &PlanChannel::Enable);
    EncodeBits(image, layout::kExpScanBits, bitBytes, exp.begin(), exp.end(),
               &PlanChannel::ScanMemory);
    for (int n = 0; n < layout::kExpSlots; ++n) {
        const ExpChannel& channel = exp[n];
        EncodeName(image, layout::kExpNames + kNameSlotSize * n, channel.ChTag,
                   layout::kChannelNameLength);
        // DispayA has no place in an EXP word: its bit carries the index's high bits.
        int b0 = EncodeAttributes(channel) & layout::attr::kExpMask;
        int b1 = 0;
        if (channel.Enable != 0) {
            b0 += (channel.Position & 0x700) / 256;
            b1 = channel.Position & 0xFF;
        }
        image[layout::kExpWords + 2 * n] = static_cast<uint8_t>(b0);
        image[layout::kExpWords + 2 * n + 1] = static_cast<uint8_t>(b1);
    }
}

void EncodeDirectory(const RadioData& data, bool group, MemoryImage& image) {
    const DirectoryEntry* entries =
        group ? data.GroupDirectory.data() : data.IndividualDirectory.data();
    const int count = group ? kGroupDirectorySize : kIndividualDirectorySize;
    for (int n = 0; n < count; ++n) {
        const int slot = DirectoryEntryAddress(group, n);
        EncodeDigits(image, slot, entries[n].Mmsid, true);
        EncodeName(image, slot + layout::kDirectoryNameOffset, entries[n].TagName,
                   layout::kDirectoryNameLength);
    }
}

std::optional<EncodeError> EncodeImage(const RadioData& data, MemoryImage& image) {
    MemoryImage work = image;
    if (auto error = EncodeCommonSettings(data.Common, work))
        return error;
    EncodeChannelPointers(data.Channels, work);
    EncodePlanChannels(data, Region::Usa, work);
    EncodePlanChannels(data, Region::International, work);
    EncodePlanChannels(data, Region::Canada, work);
    EncodeWxChannels(data, work);
    EncodeExpChannels(data, work);
    EncodeDirectory(data, false, work);
    EncodeDirectory(data, true, work);
    image = work;
    return std::nullopt;
}

}  // namespace chanwright
