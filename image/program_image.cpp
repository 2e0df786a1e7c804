#include "image/program_image.h"

#include <algorithm>

#include "image/image_decoder.h"
#include "image/memory_layout.h"

namespace chanwright {

namespace {

constexpr uint8_t kAtisSwitchBits = 0x07;

void CopyDigits(const MemoryImage& from, int address, MemoryImage& to) {
    std::copy_n(from.begin() + address, layout::kPackedDigitBytes, to.begin() + address);
}

}  // namespace

UserMmsiCheck CheckUserMmsi(const RadioData& data, const MemoryImage& radio) {
    // What the data set's text becomes on the radio: digits only, the tenth one 0.
    MemoryImage written{};
    EncodeDigits(written, layout::kUserMmsid, data.Common.UserMmsid, true);
    return {DecodeDigits(radio, layout::kUserMmsid), DecodeDigits(written, layout::kUserMmsid)};
}

std::optional<EncodeError> EncodeOverRadio(const RadioData& data, const MemoryImage& radio,
                                           bool writeUserMmsi, MemoryImage& target) {
    MemoryImage image = radio;
    if (std::optional<EncodeError> error = EncodeImage(data, image))
        return error;
    CopyDigits(radio, layout::kAtisNo, image);
    uint8_t& switches = image[layout::kAtisSwitches];
    switches = static_cast<uint8_t>((switches & ~kAtisSwitchBits) |
                                    (radio[layout::kAtisSwitches] & kAtisSwitchBits));
    if (!writeUserMmsi)
        CopyDigits(radio, layout::kUserMmsid, image);
    target = image;
    return std::nullopt;
}

}  // namespace chanwright
