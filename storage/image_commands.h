#pragma once

#include <functional>

#include "core/app_state.h"
#include "core/platform.h"
#include "storage/file_operations.h"

namespace chanwright {

// The developer's image-file commands (Ctrl+F3 saves, Ctrl+F2 opens). Outside developer mode
// they do nothing.
class ImageCommands {
  public:
    // `entryAccepted` validates a pending MMSI or ATIS entry and says whether a command may go
    // on; `refreshView` redisplays the pages and the title after a load.
    ImageCommands(AppState& app, Platform& platform, FileOperations& files,
                  std::function<bool()> entryAccepted, std::function<void()> refreshView);

    // Encodes and saves. A range error in the encode saves nothing.
    void SaveImageCommand();
    void OpenImageCommand();

  private:
    AppState& app_;
    Platform& platform_;
    FileOperations& files_;
    std::function<bool()> entryAccepted_;
    std::function<void()> refreshView_;
};

}  // namespace chanwright
