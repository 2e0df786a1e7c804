#include "report/radio_check.h"

#include "image/image_decoder.h"
#include "link/write_plan.h"
#include "report/data_diff.h"

namespace chanwright::report {

std::optional<RadioComparison> CompareWithRadio(const AppState& app, const MemoryImage& radio,
                                                std::optional<EncodeError>& error) {
    MemoryImage programmed = app.Image;
    error = EncodeImage(app.Data, programmed);
    if (error)
        return std::nullopt;
    // The radio as programming would leave it: what is sent over what it keeps for itself.
    AppState expected = app;
    expected.Image = radio;
    RadioComparison comparison;
    for (int address = 0; address < kImageSize; ++address) {
        if (!IsWrittenAddress(address))
            continue;
        ++comparison.writtenBytes;
        expected.Image[static_cast<std::size_t>(address)] = SentByte(programmed, address);
    }
    comparison.differingBytes = DifferingWrittenBytes(programmed, radio);
    DecodeImage(expected.Image, expected.Data);
    AppState held = app;
    held.Image = radio;
    DecodeImage(held.Image, held.Data);
    comparison.fields = DiffLines(expected, held);
    return comparison;
}

std::string DifferingBytesLine(const RadioComparison& comparison) {
    return "Differing bytes: " + std::to_string(comparison.differingBytes) + " of " +
           std::to_string(comparison.writtenBytes) + " written";
}

}  // namespace chanwright::report
