#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/app_state.h"
#include "core/error_info.h"
#include "core/platform.h"
#include "image/model_hint.h"
#include "image/program_image.h"
#include "image/write_plan.h"
#include "link/radio_link.h"

namespace chanwright {

// How an operation ended. A failure has been told to the user; a Cancel is silent.
enum class TransferResult { Done, Failed, Cancelled };

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
    // Where the copy went; nothing, with the reason, when it could not be kept.
    virtual std::optional<std::string> Keep(const MemoryImage& image, Model modelNum,
                                            ErrorInfo& error) = 0;
};

// What the user says when the radio's own user MMSI and the data set's differ.
enum class UserMmsiAnswer { KeepRadio, WriteData, Cancel };

// How Program to Radio goes about it. Every program first reads the whole radio (the read is kept
// as a backup) and encodes the data set over that image, so what the data set does not own keeps
// the radio's values; then it writes only what changes.
struct ProgramOptions {
    // Write the image as it was loaded (a backup being restored), whole, instead of the data set
    // encoded, so the radio's own bytes that the data set cannot hold come back unchanged.
    bool imageAsLoaded = false;
    // Send the whole write plan, whatever the radio holds already.
    bool fullWrite = false;
    // Asked when the radio has a user MMSI and the data set another; none keeps the radio's.
    std::function<UserMmsiAnswer(const UserMmsiCheck&)> decideUserMmsi;
};

// "Read from Radio" for a read, "Program to Radio" for program and clear, "Verify Radio" for a
// verify: the dialog's caption.
std::string TransferCaption(Transfer transferMode);

// The percentage shown while the block at address is moved: 0 at 0, 50 at 4096, 100 at 8176.
int ProgressFor(int address);

// Read from Radio, Program to Radio and Clear, each a model check followed by one data transfer
// step. Every step opens the port, runs its exchanges and closes the port again, reports its own
// failure and returns how it ended. OperationFailed, AbortRequested and TransferDone are still set
// as the link and the dialog share them.
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
    // The model check takes the model the radio's identifiers name, when both copies name one,
    // instead of refusing a radio of the other model. For a read whose user chose no model.
    void SetTakeRadioModel(bool take) { takeRadioModel_ = take; }

    // The radio's image after a completed verify read, local bytes restored.
    const MemoryImage& RadioImage() const { return radioImage_; }
    // The user MMSIs a program found once it had read the radio, and whether the data set's was
    // written; nothing before.
    const std::optional<UserMmsiCheck>& UserMmsi() const { return userMmsi_; }
    bool UserMmsiWritten() const { return userMmsiWritten_; }
    // How many blocks the last program wrote.
    int BlocksWritten() const { return blocksWritten_; }

    // The dialog's OK: the operation of TransferMode. Done when the dialog may close.
    [[nodiscard]] TransferResult RunTransfer();
    // The dialog's Cancel: true when the dialog may close; while an operation runs it asks the
    // running wait to stop instead. While blocks are written, the first Cancel lets the block in
    // flight finish, so the radio holds whole blocks; a second one stops at once.
    bool CancelTransfer();

    TransferResult ReadRadio();
    TransferResult ProgramRadio();
    TransferResult ClearRadio();
    TransferResult VerifyRadio();

    TransferResult CheckModel();
    TransferResult ReadData(MemoryImage& scratch);
    TransferResult WriteData(const MemoryImage& image, const std::vector<WriteStep>& steps);
    TransferResult ClearData();

    // Clamps to 0 … 100 and shows it, within the running stage's share of the bar; returns the
    // clamped value.
    int ShowProgress(int percent);

  private:
    template <typename Step>
    TransferResult RunStep(const char* procedure, Step step,
                           const std::function<std::string()>& aftermath = nullptr);
    bool OpenPort(const char* operation);
    TransferResult FinishTransfer(const char* operation, bool answered,
                                  const std::function<std::string()>& aftermath = nullptr);
    void Complete(const char* operation);
    bool CheckEncodes();
    // False, with the error told and logged, when encoding failed.
    bool Encoded(const std::optional<EncodeError>& error);
    TransferResult ReadWholeRadio(MemoryImage& image, MemoryImage* raw = nullptr);
    bool AnswersKept(const MemoryImage& image);
    bool KeepCopy(const MemoryImage& image, ErrorInfo& error);
    std::string PartlyWritten(int written, int blocks) const;
    TransferResult ReadForProgram(MemoryImage& radio, MemoryImage& raw);
    bool ChooseUserMmsi(const MemoryImage& radio);
    void SetStage(const std::string& stage, int base, int span);

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
    bool takeRadioModel_ = false;
    MemoryImage radioImage_{};
    std::optional<UserMmsiCheck> userMmsi_;
    bool userMmsiWritten_ = false;
    int blocksWritten_ = 0;
    // What the model check read at 0, 1, 8190 and 8191; a read must end with the same.
    std::array<uint8_t, 4> checkedIds_{};
    // Where the read before a program was kept, for the way back.
    std::string backupPath_;
    bool writing_ = false;
    bool stopAfterBlock_ = false;
    int progressBase_ = 0;
    int progressSpan_ = 100;
};

}  // namespace chanwright
