// Arbitrary bytes as a memory image: the robustness suite's image checks
// (tests/robustness/robustness_checks.h) must hold. Decoded values are always in range, so the
// encode must take them, keep the bytes it does not own, and agree with the decoder after one pass.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "tests/fuzz/fuzz_support.h"

using namespace chanwright;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    static const AppState apps[] = {fuzz::MakeApp(Model::HV2071P), fuzz::MakeApp(Model::TQ5300)};
    if (size == 0)
        return 0;
    // The first byte picks the model; the rest lies over that model's default image.
    const AppState& app = apps[bytes[0] & 1];
    MemoryImage image = app.Image;
    std::copy(bytes + 1, bytes + std::min<std::size_t>(size, kImageSize + 1), image.begin());
    fuzz::Require(robust::CheckImage(app.Data, image));
    return 0;
}
