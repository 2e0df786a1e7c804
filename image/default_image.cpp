#include "image/default_image.h"

#include <algorithm>
#include <initializer_list>

#include "core/shared_state.h"
#include "image/memory_layout.h"

namespace chanwright {

namespace {

void Put(MemoryImage& image, int address, std::initializer_list<uint8_t> bytes) {
    std::copy(bytes.begin(), bytes.end(), image.begin() + address);
}

void Fill(MemoryImage& image, int first, int last, uint8_t value) {
    std::fill(image.begin() + first, image.begin() + last + 1, value);
}

uint16_t Word(const MemoryImage& image, int address) {
    return static_cast<uint16_t>(image[address] << 8 | image[address + 1]);
}

}  // namespace

uint16_t ModelIdFor(Model modelNum) {
    return modelNum == Model::TQ5300 ? kModelIdTQ5300 : kModelIdHV2071P;
}

uint16_t FirstModelId(const MemoryImage& image) {
    return Word(image, layout::kModelIdFirst);
}

uint16_t SecondModelId(const MemoryImage& image) {
    return Word(image, layout::kModelIdSecond);
}

bool CheckModelId(uint16_t first, uint16_t second, Model modelNum) {
    return first == second && first == ModelIdFor(modelNum);
}

std::optional<Model> ModelOfIds(uint16_t first, uint16_t second) {
    for (const Model model : {Model::HV2071P, Model::TQ5300}) {
        if (CheckModelId(first, second, model))
            return model;
    }
    return std::nullopt;
}

void BuildDefaultImage(MemoryImage& target, Model modelNum) {
    target.fill(0xFF);
    const uint16_t id = ModelIdFor(modelNum);
    const uint8_t high = static_cast<uint8_t>(id >> 8);
    const uint8_t low = static_cast<uint8_t>(id & 0xFF);
    Put(target, layout::kModelIdFirst, {high, low});
    Put(target, layout::kModelIdSecond, {high, low});

    Fill(target, 0x0002, 0x0007, 0x00);
    Put(target, 0x0008, {0x0F, 0x0F, 0x00, 0x07, 0xFF, 0x00, 0x7C, 0x20, 0xFC, 0x3C, 0xF0});
    Fill(target, 0x0019, 0x001C, 0x00);
    Put(target, 0x0025, {0x00, 0x04, 0x00});
    // Enable bits: exactly the valid rows of the USA, International, Canada and WX plans.
    Put(target, 0x0050, {0xAF, 0xFF, 0xFF, 0xFA, 0xFF, 0xFF, 0xFD, 0x56});
    Put(target, 0x0058, {0xFF, 0xFF, 0xFF, 0xFF, 0xD7, 0xF9, 0xFF, 0xE0});
    Put(target, 0x0060, {0xFF, 0xFF, 0xF7, 0xFF, 0x7F, 0xF9, 0xFF, 0xF0});
    Put(target, 0x0068, {0xFF, 0xC0});
    Fill(target, 0x006A, 0x006E, 0x00);
    Fill(target, 0x0070, 0x008E, 0x00);
    target[layout::kPermissionCount] = 0x00;
    Fill(target, 0x0160, 0x01AF, 0x00);
    Fill(target, 0x01E0, 0x01E3, 0x07);
}

void RestoreLocalBytes(MemoryImage& image, const MemoryImage& defaultImage) {
    image[layout::kLocalByteA] = defaultImage[layout::kLocalByteA];
    image[layout::kLocalByteB] = defaultImage[layout::kLocalByteB];
    std::copy(defaultImage.begin() + layout::kLocalBlockStart,
              defaultImage.begin() + layout::kLocalBlockEnd + 1,
              image.begin() + layout::kLocalBlockStart);
}

}  // namespace chanwright
