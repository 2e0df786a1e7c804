#pragma once

#include <cstdint>
#include <string>

#include "core/app_state.h"
#include "core/error_info.h"
#include "core/platform.h"
#include "image/model_hint.h"
#include "link/radio_link.h"

namespace chanwright {

constexpr int16_t kTransferRead = 0;
constexpr int16_t kTransferProgram = 1;
constexpr int16_t kTransferClear = 2;
// Reads the radio to compare it with the data being edited, which it leaves alone.
constexpr int16_t kTransferVerify = 3;

// What the radio dialog (or the command line) shows of a running operation.
class TransferView {
  public:
    virtual ~TransferView() = default;
    virtual void ShowProgress(int percent) = 0;
    // While running, OK is disabled and the busy pointer shows.
    virtual void SetRunning(bool running) = 0;
    // Which stage of a two-stage operation runs; empty when it has ended.
    virtual void ShowStage(const std::string& stage) { (void)stage; }
};

// Where every completed read leaves a copy of the radio as read. The keeper tells the user what
// became of it; a copy that cannot be kept never undoes the read.
class BackupKeeper {
  public:
    virtual ~BackupKeeper() = default;
    // False, with the reason, when the copy could not be kept.
    virtual bool Keep(const MemoryImage& image, int16_t modelNum, ErrorInfo& error) = 0;
};

// How Program to Radio goes about it.
struct ProgramOptions {
    // Read the whole radio into a backup first; a read that fails writes nothing.
    bool backupFirst = false;
    // Write the image as it was loaded (a backup being restored) instead of the data set encoded,
    // so the radio's own bytes that the data set cannot hold come back unchanged.
    bool imageAsLoaded = false;
};

// "Read from Radio" for a read, "Program to Radio" for program and clear, "Verify Radio" for a
// verify: the dialog's caption.
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
    // Null keeps no copies.
    void SetBackupKeeper(BackupKeeper* keeper) { keeper_ = keeper; }
    void SetProgramOptions(const ProgramOptions& options) { programOptions_ = options; }
    // How a model error tells the user to choose the model the radio is.
    void SetModelChoice(ModelChoice choice) { modelChoice_ = choice; }

    // The radio's image after a completed verify read, local bytes restored.
    const MemoryImage& RadioImage() const { return radioImage_; }

    // The dialog's OK: the operation of TransferMode. True when the dialog may close.
    bool RunTransfer();
    // The dialog's Cancel: true when the dialog may close; while an operation runs it asks the
    // running wait to stop instead.
    bool CancelTransfer();

    void ReadRadio();
    void ProgramRadio();
    void ClearRadio();
    void VerifyRadio();

    void ReadDataChkModel();
    void ReadData(MemoryImage& scratch);
    void WriteData();
    void ClearData();

    // Clamps to 0 … 100 and shows it, within the running stage's share of the bar; returns the
    // clamped value.
    int ShowProgress(int percent);

  private:
    template <typename Step>
    void RunStep(const char* procedure, Step step);
    bool OpenPort(const char* operation);
    void FinishTransfer(const char* operation);
    void Complete(const char* operation);
    bool EncodeForProgram();
    bool ReadWholeRadio(MemoryImage& image);
    bool KeepCopy(const MemoryImage& image, ErrorInfo& error);
    bool BackUpRadio();
    void SetStage(const char* stage, int base, int span);

    AppState& app_;
    SharedState& shared_;
    RadioLink& link_;
    Prompter& prompter_;
    Clock& clock_;
    TransferView& view_;
    const FailureLog& log_;
    int settlePause_ = 500;
    BackupKeeper* keeper_ = nullptr;
    ProgramOptions programOptions_;
    ModelChoice modelChoice_ = ModelChoice::Menu;
    MemoryImage radioImage_{};
    int progressBase_ = 0;
    int progressSpan_ = 100;
};

}  // namespace chanwright
