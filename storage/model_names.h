#pragma once

#include <QString>
#include <optional>
#include <string>

#include "core/shared_state.h"

namespace chanwright {

// A model by its name, in any case ("tq5300"); none for any other text.
std::optional<Model> ParseModel(const QString& name);

// The model a data file's [MAIN] section names; none for a file that names no model of ours or
// is no text.
std::optional<Model> ModelNamedIn(const std::string& bytes);

}  // namespace chanwright
