// Arbitrary bytes as a memory image: decode into a default data set, encode back. Decoded values
// are always in range, so the encode must take them, and it must keep the bytes it does not own.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "core/app_state.h"
#include "image/image_decoder.h"
#include "image/image_encoder.h"
#include "image/memory_layout.h"
#include "tests/fuzz/fuzz_support.h"

using namespace chanwright;
using fuzz::MakeApp;
using fuzz::Require;

namespace {

template <std::size_t N>
void CheckDirectory(const std::array<DirectoryEntry, N>& directory) {
    bool ended = false;
    for (const DirectoryEntry& e : directory) {
        ended = ended || e.Enable == kFalse;
        Require(ended ? e == DirectoryEntry{} : (e.Enable == kTrue && !e.Mmsid.empty()));
    }
}

void CheckData(const RadioData& d) {
    for (const ExpChannel& c : d.ExpChannels)
        Require(c.Position >= 0 && c.Position <= kExpPlanLast);
    const CommonSettings& s = d.Common;
    Require(s.OffsetTime >= 0 && s.OffsetTime <= 24);
    Require(s.Contrast >= 0 && s.Contrast <= 7 && s.Dimmer >= 0 && s.Dimmer <= 3);
    Require(s.Ind >= 0 && s.Ind <= 3 && s.Scrambler >= 0 && s.Scrambler <= 255);
    CheckDirectory(d.IndividualDirectory);
    CheckDirectory(d.GroupDirectory);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    static const AppState apps[] = {MakeApp(kModelHV2071P), MakeApp(kModelTQ5300)};
    if (size == 0)
        return 0;
    // The first byte picks the model; the rest lies over that model's default image.
    const AppState& app = apps[bytes[0] & 1];
    MemoryImage image = app.Image;
    std::copy(bytes + 1, bytes + std::min<std::size_t>(size, kImageSize + 1), image.begin());

    RadioData decoded = app.Data;
    DecodeImage(image, decoded);
    CheckData(decoded);

    MemoryImage encoded = image;
    Require(!EncodeImage(decoded, encoded));
    for (int a : {layout::kModelIdFirst, layout::kModelIdFirst + 1, layout::kModelIdSecond,
                  layout::kModelIdSecond + 1, layout::kPermissionCount, layout::kLocalByteA,
                  layout::kLocalByteB})
        Require(encoded[a] == image[a]);
    MemoryImage twice = encoded;
    EncodeImage(decoded, twice);
    Require(twice == encoded);

    RadioData again = app.Data;
    DecodeImage(encoded, again);
    CheckData(again);
    return 0;
}
