#include "image/model_hint.h"

#include <cstdio>

#include "core/messages.h"
#include "core/shared_state.h"
#include "image/default_image.h"

namespace chanwright {

namespace {

// "0x" and four upper-case hex digits, as identifiers are shown.
std::string Hex(uint16_t id) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", id);
    return text;
}

}  // namespace

std::string ModelFoundHint(uint16_t first, uint16_t second, Model selectedModel,
                           IdentifierSource source, ModelChoice choice) {
    const bool radio = source == IdentifierSource::Radio;
    // Copies that disagree name no model for sure: either may be the damaged one, and suggesting
    // the other copy's model sent the user from each model to the other.
    if (first != second) {
        return std::string(radio ? "The radio's" : "The file's") +
               " two identifier copies disagree: " + Hex(first) + " and " + Hex(second);
    }
    if (first == ModelIdFor(selectedModel))
        return {};
    for (const Model model : {Model::HV2071P, Model::TQ5300}) {
        if (first != ModelIdFor(model))
            continue;
        const std::string name = GetModelName(model);
        const std::string subject = radio ? "The radio is a " : "The file is for a ";
        if (choice == ModelChoice::Menu)
            return subject + name + ". Choose Edit \u25B8 Model \u25B8 " + name + " and try again.";
        return subject + name + ": use --model " + name + ".";
    }
    return std::string(radio ? "The radio reports" : "The file holds") + " identifier " +
           Hex(first) + ", which this program does not know.";
}

std::string ModelErrorText(const MemoryImage& image, Model selectedModel, IdentifierSource source,
                           ModelChoice choice) {
    const std::string hint =
        ModelFoundHint(FirstModelId(image), SecondModelId(image), selectedModel, source, choice);
    return hint.empty() ? messages::kModelNameError
                        : messages::WithReason(messages::kModelNameError, hint);
}

}  // namespace chanwright
