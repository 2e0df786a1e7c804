#include "storage/image_commands.h"

#include <QString>

#include "core/messages.h"

namespace chanwright {

ImageCommands::ImageCommands(AppState& app, Platform& platform, FileOperations& files,
                             std::function<bool()> entryAccepted, std::function<void()> refreshView)
    : app_(app),
      platform_(platform),
      files_(files),
      entryAccepted_(std::move(entryAccepted)),
      refreshView_(std::move(refreshView)) {}

void ImageCommands::SaveImageCommand() {
    if (app_.Shared.DebugMode == 0)
        return;
    if (entryAccepted_ && !entryAccepted_())
        return;
    const std::string path = platform_.prompter.ChooseSaveFile(messages::kImageFileFilter);
    if (path.empty()) {
        app_.Shared.AbortRequested = kTrue;
        return;
    }
    // Saving an image changes neither the current file name nor the title.
    if (files_.EncodeForSave("frmMain.SaveHexFileAs")) {
        files_.SaveHexFileAs(QString::fromStdString(path));
    }
}

void ImageCommands::OpenImageCommand() {
    if (app_.Shared.DebugMode == 0)
        return;
    const std::string path = platform_.prompter.ChooseOpenFile(messages::kImageFileFilter);
    if (path.empty()) {
        app_.Shared.AbortRequested = kTrue;
        return;
    }
    files_.ReadHexFileAs(QString::fromStdString(path));
    if (app_.Shared.OperationFailed != 0)
        return;
    app_.Shared.CurrentFileName = path;
    if (refreshView_)
        refreshView_();
}

}  // namespace chanwright
