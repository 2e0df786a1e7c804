#pragma once

#include <cstdint>

// Where each field of the data set lives in the radio's 8192-byte memory. Everything not named
// here is carried: no decoder reads it and no encoder writes it.
namespace chanwright::layout {

// Model identifier, high byte first, in two copies.
constexpr int kModelIdFirst = 0x0000;
constexpr int kModelIdSecond = 0x1FFE;

// Common settings.
constexpr int kAtisSwitches = 0x000D;  // bit 2 USA, 1 International, 0 Canada
constexpr int kDisplayAndScan =
    0x000E;                            // 7 ScanType, 6 WxAlert, 5-4 Dimmer, 3 KeyBeep, 2-0 Contrast
constexpr int kMagAndOffset = 0x000F;  // 6 TrueMAG, 4-0 offset code
constexpr int kDscSwitches = 0x0010;   // 7 IndReply, 6 IndACK, 5 POSRR, 4 DscScan, 3-2 Ind
constexpr int kScrambler = 0x0025;     // whole byte
constexpr int kUserMmsid = 0x0150;     // 5 bytes of packed digits
constexpr int kPermissionCount = 0x0155;  // carried; cleared by the radio's Clear operation
constexpr int kAtisNo = 0x0156;           // 5 bytes of packed digits

namespace bit {
constexpr int kAtisUsa = 2;
constexpr int kAtisInternational = 1;
constexpr int kAtisCanada = 0;
constexpr int kScanType = 7;
constexpr int kWxAlert = 6;
constexpr int kDimmerTop = 5;
constexpr int kDimmerCount = 2;
constexpr int kKeyBeep = 3;
constexpr int kContrastTop = 2;
constexpr int kContrastCount = 3;
constexpr int kTrueMag = 6;
constexpr int kOffsetTop = 4;
constexpr int kOffsetCount = 5;
constexpr int kIndReply = 7;
constexpr int kIndAck = 6;
constexpr int kPosrr = 5;
constexpr int kDscScan = 4;
constexpr int kIndTop = 3;
constexpr int kIndCount = 2;
}  // namespace bit

// A and B channel pointers, one byte each.
constexpr int kUsaAch = 0x0013;
constexpr int kUsaBch = 0x0014;
constexpr int kIntAch = 0x0015;
constexpr int kIntBch = 0x0016;
constexpr int kCanAch = 0x0017;
constexpr int kCanBch = 0x0018;

// Channel slots: enable and scan bits (most significant bit first), attribute bytes, and names of
// 16 bytes of which the first 12 hold the text.
constexpr int kRegionalSlots = 64;
constexpr int kWxSlots = 10;
constexpr int kExpSlots = 40;
constexpr int kNameSlotSize = 16;
constexpr int kChannelNameLength = 12;

struct RegionLayout {
    int enableBits;
    int scanBits;
    int attributes;
    int names;
};
constexpr RegionLayout kUsa{0x0050, 0x0070, 0x0090, 0x0200};
constexpr RegionLayout kInternational{0x0058, 0x0078, 0x00D0, 0x0600};
constexpr RegionLayout kCanada{0x0060, 0x0080, 0x0110, 0x0A00};

constexpr int kWxEnableBits = 0x0068;
constexpr int kWxScanBits = 0x0088;
constexpr int kWxNames = 0x0E00;

constexpr int kExpEnableBits = 0x006A;
constexpr int kExpScanBits = 0x008A;
constexpr int kExpWords = 0x0160;  // 2 bytes per EXP channel
constexpr int kExpNames = 0x0EA0;

// Attribute byte of a regional channel; EXP channels keep bits 7-3 in their word.
namespace attr {
constexpr int kTxEnable = 7;
constexpr int kDuplex = 6;
constexpr int kPowUp = 5;
constexpr int kHighPower = 4;  // set = LowPower false
constexpr int kVsMemory = 3;
constexpr int kDispayA = 0;
constexpr uint8_t kExpMask = 0xF8;
}  // namespace attr

// Directories: 16-byte entries of 5 bytes of packed digits, a 10-character name and one carried
// byte.
constexpr int kIndividualDirectory = 0x1120;
constexpr int kGroupDirectory = 0x1400;
constexpr int kDirectoryEntrySize = 16;
constexpr int kDirectoryNameOffset = 5;
constexpr int kDirectoryNameLength = 10;
constexpr int kPackedDigitBytes = 5;

// Records whose text the radio keeps as spaces where nothing was typed: in a block write, an
// unused byte (0xFF) at text bytes textFirst … textLast of a 16-byte record goes out as a space.
struct TextRecords {
    int first;  // first byte of the first record
    int last;   // last byte of the last record
    int textFirst;
    int textLast;
};
constexpr int kTextRecordSize = 16;
// Every channel name slot, USA through EXP.
constexpr TextRecords kChannelNameRecords{0x0200, 0x111F, 0, 13};
constexpr TextRecords kIndividualDirectoryRecords{0x1120, 0x125F, 5, 15};
constexpr TextRecords kGroupDirectoryRecords{0x1400, 0x144F, 5, 15};
constexpr TextRecords kTextRecords[] = {kChannelNameRecords, kIndividualDirectoryRecords,
                                        kGroupDirectoryRecords};
static_assert(kChannelNameRecords.first == kUsa.names &&
              kChannelNameRecords.last == kExpNames + kExpSlots * kNameSlotSize - 1);
static_assert(kIndividualDirectoryRecords.first == kIndividualDirectory &&
              kGroupDirectoryRecords.first == kGroupDirectory);
static_assert(kTextRecordSize == kNameSlotSize && kTextRecordSize == kDirectoryEntrySize);

// Carried bytes that a read from the radio does not take over: they are put back from a fresh
// default image afterwards.
constexpr int kLocalByteA = 0x000C;
constexpr int kLocalByteB = 0x0027;
constexpr int kLocalBlockStart = 0x01E0;
constexpr int kLocalBlockEnd = 0x01E7;

}  // namespace chanwright::layout
