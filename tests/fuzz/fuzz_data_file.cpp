// Arbitrary bytes as a data file, read over the defaults of one of three models: whatever the
// file holds, the robustness suite's data-file checks (tests/robustness/robustness_checks.h) must
// hold. Nothing may point outside a table, an encode refuses exactly the settings outside 0 to
// 255 and leaves the image alone then, and a written set reads back unchanged after one pass.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "tests/fuzz/fuzz_support.h"

using namespace chanwright;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    // The ATIS fields are read only under the KW83E code, so each input goes to one of three.
    static const AppState apps[] = {fuzz::MakeApp(Model::HV2071P, "KW83"),
                                    fuzz::MakeApp(Model::TQ5300, "KW83"),
                                    fuzz::MakeApp(Model::HV2071P, "KW83E")};
    const AppState& app = apps[size % 3];
    const std::string_view text(reinterpret_cast<const char*>(bytes), size);
    fuzz::Require(robust::CheckDataFile(app, text, app.Image));
    return 0;
}
