#pragma once

#include "link/clone_operations.h"

namespace chanwright::cli {

// A progress bar on standard error, drawn only when standard error is a terminal: a log file
// or a pipe gets the messages alone.
class TerminalProgress : public TransferView {
  public:
    explicit TerminalProgress(const char* label);

    void ShowProgress(int percent) override;
    void SetRunning(bool running) override;
    // Ends a drawn bar's line, so that a message starts on a line of its own.
    void EndLine();

  private:
    const char* label_;
    bool enabled_;
    bool running_ = false;
    bool lineOpen_ = false;
    int shown_ = -1;
};

}  // namespace chanwright::cli
