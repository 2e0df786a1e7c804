#include "ui/image_commands.h"

#include <QString>

#include "core/messages.h"
#include "ui/path_string.h"

namespace chanwright {

ImageCommands::ImageCommands(AppState& app, Platform& platform, FileOperations& files,
                             std::function<bool()> entryAccepted,
                             std::function<bool()> namesAccepted, std::function<void()> refreshView)
    : app_(app),
      platform_(platform),
      files_(files),
      entryAccepted_(std::move(entryAccepted)),
      namesAccepted_(std::move(namesAccepted)),
      refreshView_(std::move(refreshView)) {}

void ImageCommands::SaveImageCommand() {
    if (!app_.Shared.DebugMode)
        return;
    if (entryAccepted_ && !entryAccepted_())
        return;
    const std::string path = platform_.prompter.ChooseSaveFile(messages::kImageFileFilter);
    if (path.empty()) {
        app_.Shared.AbortRequested = true;
        return;
    }
    // Saving an image changes neither the current file name nor the title.
    SaveImageTo(PathFromString(path));
}

bool ImageCommands::SaveImageTo(const QString& path) {
    if (namesAccepted_ && !namesAccepted_()) {
        app_.Shared.AbortRequested = true;
        return false;
    }
    if (!files_.EncodeForSave("frmMain.SaveHexFileAs"))
        return false;
    return files_.SaveHexFileAs(path);
}

void ImageCommands::OpenImageCommand() {
    if (!app_.Shared.DebugMode)
        return;
    const std::string path = platform_.prompter.ChooseOpenFile(messages::kImageFileFilter);
    if (path.empty()) {
        app_.Shared.AbortRequested = true;
        return;
    }
    if (!files_.ReadHexFileAs(PathFromString(path)))
        return;
    app_.Shared.CurrentFileName = path;
    if (refreshView_)
        refreshView_();
}

}  // namespace chanwright
