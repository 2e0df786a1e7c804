#include "report/radio_check.h"

#include "image/image_decoder.h"
#include "image/program_image.h"
#include "image/write_plan.h"
#include "report/data_diff.h"

namespace chanwright::report {

namespace {

// The fields of `sent` as the radio would hold them after receiving it, against the fields it
// holds: the bytes programming does not send keep the radio's values on both sides.
RadioComparison Compare(const AppState& app, const MemoryImage& sent, const MemoryImage& radio) {
    AppState expected = app;
    AppState held = app;
    expected.Image = held.Image = radio;
    RadioComparison comparison;
    for (int address = 0; address < kImageSize; ++address) {
        if (!IsWrittenAddress(address))
            continue;
        ++comparison.writtenBytes;
        expected.Image[static_cast<std::size_t>(address)] = SentByte(sent, address);
        if (!HoldsSentByte(sent, radio, address))
            ++comparison.differingBytes;
    }
    DecodeImage(expected.Image, expected.Data);
    DecodeImage(held.Image, held.Data);
    comparison.fields = DiffLines(expected, held);
    return comparison;
}

}  // namespace

std::optional<RadioComparison> CompareWithRadio(const AppState& app, const MemoryImage& radio,
                                                bool writeUserMmsi,
                                                std::optional<EncodeError>& error) {
    // As Program to Radio decides: a radio without a user MMSI of its own takes the data set's.
    const bool write = writeUserMmsi || !CheckUserMmsi(app.Data, radio).Conflicts();
    MemoryImage programmed{};
    error = EncodeOverRadio(app.Data, radio, write, programmed);
    if (error)
        return std::nullopt;
    RadioComparison comparison = Compare(app, programmed, radio);
    comparison.matches = comparison.fields.empty();
    return comparison;
}

RadioComparison CompareWithBackup(const AppState& app, const MemoryImage& radio) {
    RadioComparison comparison = Compare(app, app.Image, radio);
    comparison.matches = comparison.differingBytes == 0;
    return comparison;
}

std::string DifferingBytesLine(const RadioComparison& comparison) {
    return "Differing bytes: " + std::to_string(comparison.differingBytes) + " of " +
           std::to_string(comparison.writtenBytes) + " written";
}

}  // namespace chanwright::report
