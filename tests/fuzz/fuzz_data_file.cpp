// Arbitrary bytes as a data file: parse, read into a default data set, encode. Whatever the
// file holds, nothing may point outside a table and a refused encode must leave the image alone.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/app_state.h"
#include "image/image_decoder.h"
#include "image/image_encoder.h"
#include "storage/data_file_reader.h"
#include "storage/profile_file.h"
#include "tests/fuzz/fuzz_support.h"

using namespace chanwright;
using fuzz::MakeApp;
using fuzz::Require;

namespace {

bool IsSwitch(int16_t value) {
    return value == kTrue || value == kFalse;
}

void CheckChannel(const PlanChannel& c, int low, int high) {
    Require(c.Position >= low && c.Position <= high);
    for (Bool16 flag :
         {c.Enable, c.LowPower, c.PowUp, c.Duplex, c.TxEnable, c.DispayA, c.ScanMemory, c.VsMemory})
        Require(IsSwitch(flag));
}

void CheckData(const RadioData& d, const RadioData& defaults) {
    Require(d.UsaChannels.size() == defaults.UsaChannels.size());
    Require(d.IntlChannels.size() == defaults.IntlChannels.size());
    Require(d.CanadaChannels.size() == defaults.CanadaChannels.size());
    Require(d.WxChannels.size() == defaults.WxChannels.size());
    for (const auto* list : {&d.UsaChannels, &d.IntlChannels, &d.CanadaChannels}) {
        for (const PlanChannel& c : *list)
            CheckChannel(c, 1, kRegionalPlanSize);
    }
    for (const ExpChannel& c : d.ExpChannels)
        CheckChannel(c, 0, kExpPlanLast);
    const CommonSettings& s = d.Common;
    Require(s.OffsetTime >= 0 && s.OffsetTime <= 24);
    for (Bool16 flag : {s.KeyBeep, s.TrueMAG, s.AtisOnOffUSA, s.AtisOnOffInternational,
                        s.AtisOnOffCanada, s.IndReply, s.IndACK, s.POSRR, s.DscScan, s.WxAlert})
        Require(IsSwitch(flag));
}

bool OutsideByte(int16_t value) {
    return value < 0 || value > 255;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    // The ATIS fields are read only under the KW83E code, so each input goes to one of three.
    static const AppState apps[] = {MakeApp(kModelHV2071P, "KW83"), MakeApp(kModelTQ5300, "KW83"),
                                    MakeApp(kModelHV2071P, "KW83E")};
    const AppState& app = apps[size % 3];

    const ProfileFile file =
        ProfileFile::Parse(std::string_view(reinterpret_cast<const char*>(bytes), size));
    RadioData data = app.Data;
    ReadDataFile(file, app.Shared, data);
    CheckData(data, app.Data);

    MemoryImage image = app.Image;
    const auto error = EncodeImage(data, image);
    const CommonSettings& s = data.Common;
    const bool outOfRange = OutsideByte(s.Contrast) || OutsideByte(s.Dimmer) ||
                            OutsideByte(s.Scrambler) || OutsideByte(s.Ind);
    Require(error.has_value() == outOfRange);
    if (error) {
        Require(image == app.Image);
        return 0;
    }
    RadioData decoded = app.Data;
    DecodeImage(image, decoded);
    CheckData(decoded, app.Data);
    return 0;
}
