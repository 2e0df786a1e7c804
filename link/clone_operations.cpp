#include "link/clone_operations.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/busy_guard.h"
#include "core/messages.h"
#include "image/default_image.h"
#include "image/image_decoder.h"
#include "image/image_encoder.h"
#include "image/memory_layout.h"
#include "image/write_plan.h"
#include "link/frames.h"

namespace chanwright {

namespace {

constexpr int kLastBlock = kImageSize - kBlockSize;

int BlockOf(const WriteStep& step) {
    return step.address - step.address % kBlockSize;
}

// Busy, OK disabled and the busy pointer for the length of one operation, however it ends.
class RunningFrame {
  public:
    RunningFrame(SharedState& shared, TransferView& view) : busy_(shared.Busy), view_(view) {
        view_.SetRunning(true);
    }
    ~RunningFrame() { view_.SetRunning(false); }
    RunningFrame(const RunningFrame&) = delete;
    RunningFrame& operator=(const RunningFrame&) = delete;

  private:
    const BusyGuard busy_;
    TransferView& view_;
};

}  // namespace

std::string TransferCaption(Transfer transferMode) {
    if (transferMode == Transfer::Verify)
        return messages::kVerifyRadio;
    return transferMode == Transfer::Read ? messages::kReadFromRadio : messages::kProgramToRadio;
}

int ProgressFor(int address) {
    // Halves round to even, as the progress always did.
    return static_cast<int>(std::nearbyint(address / 8191.0 * 100.0));
}

CloneOperations::CloneOperations(AppState& app, RadioLink& link, Prompter& prompter, Clock& clock,
                                 TransferView& view, const FailureLog& log)
    : app_(app),
      shared_(app.Shared),
      link_(link),
      prompter_(prompter),
      clock_(clock),
      view_(view),
      log_(log) {}

int CloneOperations::ShowProgress(int percent) {
    percent = std::clamp(percent, 0, 100);
    view_.ShowProgress(progressBase_ + percent * progressSpan_ / 100);
    return percent;
}

// A two-stage operation shares the bar: each stage shows its own percentage within its part.
void CloneOperations::SetStage(const std::string& stage, int base, int span) {
    progressBase_ = base;
    progressSpan_ = span;
    view_.ShowStage(stage);
}

TransferResult CloneOperations::RunTransfer() {
    TransferResult result = TransferResult::Failed;
    switch (shared_.TransferMode) {
        case Transfer::Read:
            result = ReadRadio();
            break;
        case Transfer::Program:
            // Nothing reaches the radio from data that could not be encoded whole. A restore
            // sends the image as it was loaded.
            if (programOptions_.imageAsLoaded || CheckEncodes())
                result = ProgramRadio();
            break;
        case Transfer::Clear:
            result = ClearRadio();
            break;
        case Transfer::Verify:
            result = VerifyRadio();
            break;
    }
    // A Cancel that lands as the last awaited reply completes still stopped the operation: the
    // dialog must stay open, not close as if it had finished.
    if (shared_.AbortRequested) {
        shared_.OperationFailed = true;
        if (result == TransferResult::Done)
            result = TransferResult::Cancelled;
    }
    SetStage({}, 0, 100);
    ShowProgress(0);
    return result;
}

bool CloneOperations::CancelTransfer() {
    if (!shared_.Busy)
        return true;
    if (writing_ && !stopAfterBlock_) {
        stopAfterBlock_ = true;
        view_.ShowStage("Stopping after this block\u2026");
    } else {
        shared_.AbortRequested = true;
    }
    return false;
}

// Encoding fails on the data alone, whatever image it goes over: tried before anything is sent.
bool CloneOperations::CheckEncodes() {
    MemoryImage trial = app_.Image;
    return Encoded(EncodeImage(app_.Data, trial));
}

bool CloneOperations::Encoded(const std::optional<EncodeError>& error) {
    if (!error)
        return true;
    shared_.OperationFailed = true;
    log_.LogError("frmRadio.cmdOK", ErrorInfo{EncodeError::kNumber, error->Message()}.Text());
    prompter_.ShowMessage(error->Message(), messages::kProgramToRadio, MessageIcon::Exclamation);
    return false;
}

// The data step of a read into image, which keeps what it held unless the whole radio came in; the
// local bytes are then the default image's, as the data set knows them. raw, when given, gets the
// radio's bytes as they came.
TransferResult CloneOperations::ReadWholeRadio(MemoryImage& image, MemoryImage* raw) {
    MemoryImage scratch = image;
    if (const TransferResult read = ReadData(scratch); read != TransferResult::Done)
        return read;
    if (!AnswersKept(scratch))
        return TransferResult::Failed;
    if (raw)
        *raw = scratch;
    MemoryImage defaults{};
    BuildDefaultImage(defaults, shared_.ModelNum);
    RestoreLocalBytes(scratch, defaults);
    image = scratch;
    return TransferResult::Done;
}

// A read proves itself: it must end with the identifiers the model check read. Other ones mean
// that answers went astray on the way, and no byte of the read can be trusted.
bool CloneOperations::AnswersKept(const MemoryImage& image) {
    const std::array<uint8_t, 4> read = {
        image[layout::kModelIdFirst], image[layout::kModelIdFirst + 1],
        image[layout::kModelIdSecond], image[layout::kModelIdSecond + 1]};
    if (read == checkedIds_)
        return true;
    const auto shown = [](const std::array<uint8_t, 4>& ids) {
        char text[40];
        std::snprintf(text, sizeof text, "0x%02X%02X and 0x%02X%02X", ids[0], ids[1], ids[2],
                      ids[3]);
        return std::string(text);
    };
    shared_.OperationFailed = true;
    prompter_.ShowMessage(
        messages::WithReason(messages::kCommunicationError,
                             "The radio's answers changed during the read: its identifiers read " +
                                 shown(checkedIds_) + " in the model check, " + shown(read) +
                                 " in the blocks. Nothing was kept; try again."),
        messages::kReadFromRadio, MessageIcon::Critical);
    return false;
}

bool CloneOperations::KeepCopy(const MemoryImage& image, ErrorInfo& error) {
    backupPath_.clear();
    if (!keeper_)
        return true;
    const std::optional<std::string> path = keeper_->Keep(image, shared_.ModelNum, error);
    backupPath_ = path.value_or(std::string());
    return path.has_value();
}

// Said under whatever stopped the writing: the radio holds some new blocks and some old ones.
std::string CloneOperations::PartlyWritten(int written, int blocks) const {
    std::string text = "Programming stopped after " + std::to_string(written) + " of " +
                       std::to_string(blocks) +
                       " blocks. The radio now holds part of the new data: program it again";
    if (!backupPath_.empty())
        text += ", or restore the backup made before writing:\n" + backupPath_;
    return text + '.';
}

TransferResult CloneOperations::ReadRadio() {
    RunningFrame frame(shared_, view_);
    if (const TransferResult checked = CheckModel(); checked != TransferResult::Done)
        return checked;
    MemoryImage image = app_.Image;
    if (const TransferResult read = ReadWholeRadio(image); read != TransferResult::Done)
        return read;
    ErrorInfo ignored;
    KeepCopy(image, ignored);
    app_.Image = image;
    DecodeImage(app_.Image, app_.Data);
    Complete(messages::kReadFromRadio);
    return TransferResult::Done;
}

TransferResult CloneOperations::VerifyRadio() {
    RunningFrame frame(shared_, view_);
    if (const TransferResult checked = CheckModel(); checked != TransferResult::Done)
        return checked;
    MemoryImage image{};
    if (const TransferResult read = ReadWholeRadio(image); read != TransferResult::Done)
        return read;
    ErrorInfo ignored;
    KeepCopy(image, ignored);
    radioImage_ = image;
    shared_.TransferDone = true;
    return TransferResult::Done;
}

// The first stage of every program: the whole radio read and kept as a backup. Nothing is written
// unless the read is complete and the copy safe on disk. radio gets the image as a read leaves it,
// raw the bytes the radio holds.
TransferResult CloneOperations::ReadForProgram(MemoryImage& radio, MemoryImage& raw) {
    SetStage(messages::kStageReading, 0, 50);
    if (const TransferResult read = ReadWholeRadio(radio, &raw); read != TransferResult::Done)
        return read;
    ErrorInfo error;
    if (!KeepCopy(radio, error)) {
        shared_.OperationFailed = true;
        prompter_.ShowMessage(messages::WithReason(messages::kBackupNotKept, error.Description),
                              messages::kProgramToRadio, MessageIcon::Critical);
        return TransferResult::Failed;
    }
    return TransferResult::Done;
}

// The radio's identity stays unless the user says otherwise. A radio without a user MMSI takes
// the data set's; that is how a new radio is set up. Cancel writes nothing.
bool CloneOperations::ChooseUserMmsi(const MemoryImage& radio) {
    userMmsi_ = CheckUserMmsi(app_.Data, radio);
    userMmsiWritten_ = !userMmsi_->Conflicts();
    if (userMmsiWritten_ || !programOptions_.decideUserMmsi)
        return true;
    switch (programOptions_.decideUserMmsi(*userMmsi_)) {
        case UserMmsiAnswer::KeepRadio:
            return true;
        case UserMmsiAnswer::WriteData:
            userMmsiWritten_ = true;
            return true;
        case UserMmsiAnswer::Cancel:
            break;
    }
    userMmsi_.reset();
    shared_.AbortRequested = true;
    return false;
}

TransferResult CloneOperations::ProgramRadio() {
    RunningFrame frame(shared_, view_);
    userMmsi_.reset();
    blocksWritten_ = 0;
    if (const TransferResult checked = CheckModel(); checked != TransferResult::Done)
        return checked;
    MemoryImage radio{};
    MemoryImage raw{};
    if (const TransferResult read = ReadForProgram(radio, raw); read != TransferResult::Done)
        return read;
    MemoryImage target = app_.Image;
    if (!programOptions_.imageAsLoaded) {
        if (!ChooseUserMmsi(radio))
            return TransferResult::Cancelled;
        if (!Encoded(EncodeOverRadio(app_.Data, radio, userMmsiWritten_, target)))
            return TransferResult::Failed;
    }
    const bool whole = programOptions_.fullWrite || programOptions_.imageAsLoaded;
    const std::vector<WriteStep> steps = PlanWrites(target, whole ? nullptr : &raw);
    blocksWritten_ = chanwright::BlocksWritten(steps);
    SetStage("Writing " + std::to_string(blocksWritten_) + " blocks\u2026", 50, 50);
    if (const TransferResult written = WriteData(target, steps); written != TransferResult::Done)
        return written;
    // The image now holds what the radio holds, so later saves keep the radio's own bytes.
    app_.Image = target;
    Complete(messages::kProgramToRadio);
    return TransferResult::Done;
}

TransferResult CloneOperations::ClearRadio() {
    RunningFrame frame(shared_, view_);
    if (const TransferResult checked = CheckModel(); checked != TransferResult::Done)
        return checked;
    const uint8_t remembered = app_.Image[layout::kPermissionCount];
    app_.Image[layout::kPermissionCount] = 0;
    if (const TransferResult cleared = ClearData(); cleared != TransferResult::Done) {
        app_.Image[layout::kPermissionCount] = remembered;
        return cleared;
    }
    Complete(messages::kClearData);
    return TransferResult::Done;
}

void CloneOperations::Complete(const char* operation) {
    shared_.TransferDone = true;
    prompter_.ShowMessage(messages::kComplete, operation, MessageIcon::Information);
}

// A port that cannot be opened is told to the user with the system's reason; the record in the
// error log is PortOpen's.
bool CloneOperations::OpenPort(const char* operation) {
    if (link_.PortOpen())
        return true;
    shared_.OperationFailed = true;
    prompter_.ShowMessage(
        messages::WithReason(messages::kCommunicationError, link_.OpenError().Description),
        operation, MessageIcon::Critical);
    return false;
}

// A port that fails inside a step (a pulled adapter) ends the step with its own report.
// aftermath, when given, says under the report what the failure left behind.
template <typename Step>
TransferResult CloneOperations::RunStep(const char* procedure, Step step,
                                        const std::function<std::string()>& aftermath) {
    ErrorInfo error;
    std::string source = messages::kAppTitle;
    try {
        return step();
    } catch (const SerialPortError& failure) {
        error = failure.Info();
        source = failure.Source();
    } catch (const std::exception& failure) {
        error = {0, failure.what()};
    }
    log_.LogError(procedure, error.Text());
    const std::string number = (error.Number >= 0 ? " " : "") + std::to_string(error.Number);
    std::string text = number + "\r\r" + error.Description;
    if (const std::string left = aftermath ? aftermath() : std::string(); !left.empty())
        text += "\n\n" + left;
    prompter_.ShowMessage(text, source, MessageIcon::Critical);
    shared_.AbortRequested = true;
    shared_.OperationFailed = true;
    try {
        link_.PortClose();
    } catch (const std::exception&) {
        // Already reported; the port is gone either way.
    }
    return TransferResult::Failed;
}

TransferResult CloneOperations::CheckModel() {
    return RunStep("frmRadio.ReadDataChkModel", [&] {
        if (!OpenPort(messages::kModelCheck))
            return TransferResult::Failed;
        link_.ExpectStrayInput();
        shared_.OperationFailed = false;
        MemoryImage check{};
        bool answered = true;
        for (const int address : {layout::kModelIdFirst, layout::kModelIdFirst + 1,
                                  layout::kModelIdSecond, layout::kModelIdSecond + 1}) {
            answered = link_.ReadByte(check, static_cast<uint16_t>(address));
            if (!answered)
                break;
        }
        link_.PortClose();
        if (shared_.AbortRequested)
            return TransferResult::Cancelled;
        if (!answered) {
            prompter_.ShowMessage(messages::kCommunicationError, messages::kModelCheck,
                                  MessageIcon::Critical);
            return TransferResult::Failed;
        }
        checkedIds_ = {check[layout::kModelIdFirst], check[layout::kModelIdFirst + 1],
                       check[layout::kModelIdSecond], check[layout::kModelIdSecond + 1]};
        if (CheckModelId(FirstModelId(check), SecondModelId(check), shared_.ModelNum))
            return TransferResult::Done;
        const std::optional<Model> radioModel =
            ModelOfIds(FirstModelId(check), SecondModelId(check));
        if (takeRadioModel_ && radioModel) {
            shared_.ModelNum = *radioModel;
            return TransferResult::Done;
        }
        shared_.OperationFailed = true;
        prompter_.ShowMessage(
            ModelErrorText(check, shared_.ModelNum, IdentifierSource::Radio, modelChoice_),
            messages::kReadFromRadio, MessageIcon::Critical);
        return TransferResult::Failed;
    });
}

// The end of a data transfer step: the port closed, then a settle pause after success, or the
// operation's failure message. Cancel is silent, unless the step left something behind to say.
TransferResult CloneOperations::FinishTransfer(const char* operation, bool answered,
                                               const std::function<std::string()>& aftermath) {
    link_.PortClose();
    if (shared_.AbortRequested) {
        if (aftermath)
            prompter_.ShowMessage(aftermath(), operation, MessageIcon::Exclamation);
        return TransferResult::Cancelled;
    }
    if (answered) {
        clock_.Pause(settlePause_);
        return TransferResult::Done;
    }
    prompter_.ShowMessage(aftermath
                              ? messages::WithReason(messages::kCommunicationError, aftermath())
                              : messages::kCommunicationError,
                          operation, MessageIcon::Critical);
    return TransferResult::Failed;
}

TransferResult CloneOperations::ReadData(MemoryImage& scratch) {
    return RunStep("frmRadio.ReadData", [&] {
        if (!OpenPort(messages::kReadFromRadio))
            return TransferResult::Failed;
        ShowProgress(0);
        bool answered = true;
        for (int address = 0; address <= kLastBlock; address += kBlockSize) {
            ShowProgress(ProgressFor(address));
            answered = link_.ReadBlock(scratch, static_cast<uint16_t>(address));
            if (!answered || shared_.AbortRequested)
                break;
        }
        return FinishTransfer(messages::kReadFromRadio, answered);
    });
}

// Once the first command has gone, a write that stops early leaves the radio partly written,
// and the message says so and how to get back. A Cancel lets the block in flight finish.
TransferResult CloneOperations::WriteData(const MemoryImage& image,
                                          const std::vector<WriteStep>& steps) {
    const int blocks = chanwright::BlocksWritten(steps);
    int written = 0;
    bool begun = false;
    const std::function<std::string()> aftermath = [&]() -> std::string {
        return begun ? PartlyWritten(written, blocks) : std::string();
    };
    writing_ = true;
    stopAfterBlock_ = false;
    const TransferResult result = RunStep(
        "frmRadio.WriteData",
        [&] {
            if (!OpenPort(messages::kProgramToRadio))
                return TransferResult::Failed;
            ShowProgress(0);
            // A stop asked for before the first block goes writes nothing.
            link_.LetEventsRun();
            bool answered = true;
            for (size_t i = 0; i < steps.size(); ++i) {
                const int block = BlockOf(steps[i]);
                if (stopAfterBlock_ && (i == 0 || block != BlockOf(steps[i - 1]))) {
                    shared_.AbortRequested = true;
                    break;
                }
                ShowProgress(ProgressFor(block));
                begun = true;
                answered = steps[i].singleByte ? link_.WriteByte(image, steps[i].address)
                                               : link_.WriteBlock(image, steps[i].address);
                if (!answered || shared_.AbortRequested)
                    break;
                if (i + 1 == steps.size() || BlockOf(steps[i + 1]) != block)
                    ++written;
            }
            return FinishTransfer(messages::kProgramToRadio, answered, begun ? aftermath : nullptr);
        },
        aftermath);
    writing_ = false;
    return result;
}

// A Cancel that comes once the radio has acknowledged the byte has nothing left to stop: the
// radio holds the cleared count, and so does the image.
TransferResult CloneOperations::ClearData() {
    return RunStep("frmRadio.ClearData", [&] {
        if (!OpenPort(messages::kClearData))
            return TransferResult::Failed;
        ShowProgress(0);
        const bool answered = link_.WriteByte(app_.Image, layout::kPermissionCount);
        if (!shared_.AbortRequested && answered)
            ShowProgress(100);
        const TransferResult finished = FinishTransfer(messages::kClearData, answered);
        return answered ? TransferResult::Done : finished;
    });
}

}  // namespace chanwright
