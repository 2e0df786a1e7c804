#pragma once

#include <cstdint>
#include <string>

#include "core/app_state.h"
#include "core/error_info.h"
#include "core/platform.h"
#include "link/radio_link.h"

namespace chanwright {

constexpr int16_t kTransferRead = 0;
constexpr int16_t kTransferProgram = 1;
constexpr int16_t kTransferClear = 2;

// What the radio dialog (or the command line) shows of a running operation.
class TransferView {
  public:
    virtual ~TransferView() = default;
    virtual void ShowProgress(int percent) = 0;
    // While running, OK is disabled and the busy pointer shows.
    virtual void SetRunning(bool running) = 0;
};

// "Read from Radio" for a read, "Program to Radio" for program and clear: the dialog's caption.
std::string TransferCaption(int16_t transferMode);

// The percentage shown while the block at address is moved: 0 at 0, 50 at 4096, 100 at 8176.
int ProgressFor(int address);

// Read from Radio, Program to Radio and Clear, each a model check followed by one data transfer
// step. Every step opens the port, runs its exchanges and closes the port again, and reports its
// own failure; the outcome is left in OperationFailed and AbortRequested.
class CloneOperations {
  public:
    CloneOperations(AppState& app, RadioLink& link, Prompter& prompter, Clock& clock,
                    TransferView& view, const FailureLog& log);

    // The pause after a completed data transfer step; 500 ms, as the user is used to.
    void SetSettlePause(int milliseconds) { settlePause_ = milliseconds; }

    // The dialog's OK: the operation of TransferMode. True when the dialog may close.
    bool RunTransfer();
    // The dialog's Cancel: true when the dialog may close; while an operation runs it asks the
    // running wait to stop instead.
    bool CancelTransfer();

    void ReadRadio();
    void ProgramRadio();
    void ClearRadio();

    void ReadDataChkModel();
    void ReadData(MemoryImage& scratch);
    void WriteData();
    void ClearData();

    // Clamps to 0 … 100 and shows it; returns what was shown.
    int ShowProgress(int percent);

  private:
    template <typename Step>
    void RunStep(const char* procedure, Step step);
    bool OpenPort(const char* operation);
    void FinishTransfer(const char* operation);
    void Complete(const char* operation);
    bool EncodeForProgram();

    AppState& app_;
    SharedState& shared_;
    RadioLink& link_;
    Prompter& prompter_;
    Clock& clock_;
    TransferView& view_;
    const FailureLog& log_;
    int settlePause_ = 500;
};

}  // namespace chanwright
