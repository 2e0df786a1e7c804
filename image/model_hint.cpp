#include "image/model_hint.h"

#include <cstdio>

#include "core/messages.h"
#include "core/shared_state.h"
#include "image/default_image.h"

namespace chanwright {

std::string ModelFoundHint(uint16_t first, uint16_t second, int16_t selectedModel,
                           IdentifierSource source, ModelChoice choice) {
    const uint16_t selected = ModelIdFor(selectedModel);
    const uint16_t found = first != selected ? first : second;
    if (found == selected)
        return {};
    const bool radio = source == IdentifierSource::Radio;
    for (const int16_t model : {kModelHV2071P, kModelTQ5300}) {
        if (found != ModelIdFor(model))
            continue;
        const std::string name = GetModelName(model);
        const std::string subject = radio ? "The radio is a " : "The file is for a ";
        if (choice == ModelChoice::Menu)
            return subject + name + ". Choose Edit \u25B8 Model \u25B8 " + name + " and try again.";
        return subject + name + ": use --model " + name + ".";
    }
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%04X", found);
    return std::string(radio ? "The radio reports" : "The file holds") + " identifier " + hex +
           ", which this program does not know.";
}

std::string ModelErrorText(const MemoryImage& image, int16_t selectedModel, IdentifierSource source,
                           ModelChoice choice) {
    const std::string hint =
        ModelFoundHint(FirstModelId(image), SecondModelId(image), selectedModel, source, choice);
    return hint.empty() ? messages::kModelNameError
                        : messages::WithReason(messages::kModelNameError, hint);
}

}  // namespace chanwright
