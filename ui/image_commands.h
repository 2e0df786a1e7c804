#pragma once

#include <QString>
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
    // on; `namesAccepted` asks whether names the radio cannot hold as typed may be written
    // fitted; `refreshView` redisplays the pages and the title after a load.
    ImageCommands(AppState& app, Platform& platform, FileOperations& files,
                  std::function<bool()> entryAccepted, std::function<bool()> namesAccepted,
                  std::function<void()> refreshView);

    // Encodes and saves. A range error in the encode saves nothing.
    void SaveImageCommand();
    // The data set encoded over the image and saved to `path`, once the names are accepted;
    // false when nothing was saved. The current file name stays as it is.
    bool SaveImageTo(const QString& path);
    void OpenImageCommand();

  private:
    AppState& app_;
    Platform& platform_;
    FileOperations& files_;
    std::function<bool()> entryAccepted_;
    std::function<bool()> namesAccepted_;
    std::function<void()> refreshView_;
};

}  // namespace chanwright
