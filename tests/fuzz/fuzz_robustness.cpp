// Arbitrary bytes as a data file or a memory image: whatever they hold, the robustness suite's
// checks (tests/robustness/robustness_checks.h) must hold. The first byte picks the defaults the
// rest lies over, those of the HV2071P, the TQ5300 or the HV2071P in the KW83E build (where alone
// the ATIS fields are read), and its top bit whether the rest is an image rather than a file.
// A data file: nothing may point outside a table, an encode refuses exactly the settings outside 0
// to 255 and leaves the image alone then, and a written set reads back unchanged after one pass.
// An image: decoded values are always in range, so the encode must take them, keep the bytes it
// does not own, and agree with the decoder after one pass.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "image/channel_plans.h"
#include "image/new_data_set.h"
#include "tests/robustness/robustness_checks.h"

using namespace chanwright;

namespace {

// The state the window starts with; each input checks against a copy. (The tests' own
// test::MakeDefaultApp lives in the Qt test support library, which the fuzzer does not link.)
AppState MakeApp(Model modelNum, const char* modelCode) {
    AppState app;
    app.Shared.ModelNum = modelNum;
    app.Shared.ModelCode = modelCode;
    LoadAllPlans(app.Plans);
    NewDataSet(app);
    return app;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    static const AppState apps[] = {MakeApp(Model::HV2071P, "KW83"), MakeApp(Model::TQ5300, "KW83"),
                                    MakeApp(Model::HV2071P, "KW83E")};
    if (size == 0)
        return 0;
    const AppState& app = apps[(bytes[0] & 0x7F) % 3];
    std::string why;
    if (bytes[0] & 0x80) {
        MemoryImage image = app.Image;
        std::copy(bytes + 1, bytes + std::min<std::size_t>(size, kImageSize + 1), image.begin());
        why = robust::CheckImage(app.Data, image);
    } else {
        const std::string_view text(reinterpret_cast<const char*>(bytes + 1), size - 1);
        why = robust::CheckDataFile(app, text, app.Image);
    }
    // A broken check stops the fuzzer where it happened, in release builds too.
    if (!why.empty()) {
        std::fprintf(stderr, "%s\n", why.c_str());
        __builtin_trap();
    }
    return 0;
}
