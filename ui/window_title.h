#pragma once

#include <QString>

#include "core/shared_state.h"

namespace chanwright {

// The part of a path after its last "/" or "\", in lower case.
QString FileNameOnly(const QString& path);

// The main window's caption: model code, two spaces, the application title, and " - " with the
// current file's name when there is one.
QString WindowTitleText(const SharedState& shared);

}  // namespace chanwright
