#include "link/clone_operations.h"

#include <algorithm>
#include <cmath>

#include "core/messages.h"
#include "image/default_image.h"
#include "image/image_decoder.h"
#include "image/image_encoder.h"
#include "image/memory_layout.h"
#include "link/frames.h"

namespace chanwright {

namespace {

constexpr int kLastBlock = kImageSize - kBlockSize;

// The write plan: the scrambler's block goes byte by byte from 0x25, and the blocks the radio
// keeps for itself are never sent.
constexpr int kByteWrittenBlock = 0x0020;
constexpr int kFirstByteWritten = 0x25;
constexpr int kLastByteWritten = 0x2F;

bool IsSkippedBlock(int address) {
    return address == 0x0030 || address == 0x0040 || address == 0x01B0 || address == 0x01C0 ||
           address == 0x01D0;
}

// Busy, OK disabled and the busy pointer for the length of one operation, however it ends.
class RunningFrame {
  public:
    RunningFrame(SharedState& shared, TransferView& view) : shared_(shared), view_(view) {
        shared_.Busy = kTrue;
        view_.SetRunning(true);
    }
    ~RunningFrame() {
        view_.SetRunning(false);
        shared_.Busy = kFalse;
    }
    RunningFrame(const RunningFrame&) = delete;
    RunningFrame& operator=(const RunningFrame&) = delete;

  private:
    SharedState& shared_;
    TransferView& view_;
};

}  // namespace

std::string TransferCaption(int16_t transferMode) {
    return transferMode == kTransferRead ? messages::kReadFromRadio : messages::kProgramToRadio;
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
    view_.ShowProgress(percent);
    return percent;
}

bool CloneOperations::RunTransfer() {
    switch (shared_.TransferMode) {
        case kTransferRead:
            ReadRadio();
            break;
        case kTransferProgram:
            // Nothing reaches the radio from an image that could not be encoded whole.
            if (EncodeForProgram())
                ProgramRadio();
            break;
        case kTransferClear:
            ClearRadio();
            break;
        default:
            break;
    }
    // A Cancel that lands as the last awaited reply completes still stopped the operation: the
    // dialog must stay open, not close as if it had finished.
    if (shared_.AbortRequested)
        shared_.OperationFailed = kTrue;
    ShowProgress(0);
    return !shared_.OperationFailed;
}

bool CloneOperations::CancelTransfer() {
    if (!shared_.Busy)
        return true;
    shared_.AbortRequested = kTrue;
    return false;
}

bool CloneOperations::EncodeForProgram() {
    const std::optional<EncodeError> error = EncodeImage(app_.Data, app_.Image);
    if (!error)
        return true;
    shared_.OperationFailed = kTrue;
    log_.LogError("frmRadio.cmdOK", ErrorInfo{EncodeError::kNumber, error->Message()}.Text());
    prompter_.ShowMessage(error->Message(), messages::kProgramToRadio, MessageIcon::Exclamation);
    return false;
}

void CloneOperations::ReadRadio() {
    MemoryImage scratch = app_.Image;
    RunningFrame frame(shared_, view_);
    ReadDataChkModel();
    if (shared_.OperationFailed)
        return;
    ReadData(scratch);
    if (shared_.OperationFailed || shared_.AbortRequested)
        return;
    app_.Image = scratch;
    BuildDefaultImage(scratch, shared_.ModelNum);
    RestoreLocalBytes(app_.Image, scratch);
    DecodeImage(app_.Image, app_.Data);
    Complete(messages::kReadFromRadio);
}

void CloneOperations::ProgramRadio() {
    RunningFrame frame(shared_, view_);
    ReadDataChkModel();
    if (shared_.OperationFailed)
        return;
    WriteData();
    if (shared_.OperationFailed || shared_.AbortRequested)
        return;
    Complete(messages::kProgramToRadio);
}

void CloneOperations::ClearRadio() {
    RunningFrame frame(shared_, view_);
    ReadDataChkModel();
    if (shared_.OperationFailed)
        return;
    const uint8_t remembered = app_.Image[layout::kPermissionCount];
    app_.Image[layout::kPermissionCount] = 0;
    ClearData();
    if (shared_.OperationFailed) {
        app_.Image[layout::kPermissionCount] = remembered;
        return;
    }
    Complete(messages::kClearData);
}

void CloneOperations::Complete(const char* operation) {
    shared_.TransferDone = kTrue;
    prompter_.ShowMessage(messages::kComplete, operation, MessageIcon::Information);
}

// A port that cannot be opened is told to the user with the system's reason; the record in the
// error log is PortOpen's.
bool CloneOperations::OpenPort(const char* operation) {
    if (link_.PortOpen())
        return true;
    shared_.OperationFailed = kTrue;
    prompter_.ShowMessage(
        std::string(messages::kCommunicationError) + "\n\n" + link_.OpenError().Description,
        operation, MessageIcon::Critical);
    return false;
}

// A port that fails inside a step (a pulled adapter) ends the step with its own report.
template <typename Step>
void CloneOperations::RunStep(const char* procedure, Step step) {
    ErrorInfo error;
    std::string source = messages::kAppTitle;
    try {
        step();
        return;
    } catch (const SerialPortError& failure) {
        error = failure.Info();
        source = failure.Source();
    } catch (const std::exception& failure) {
        error = {0, failure.what()};
    }
    log_.LogError(procedure, error.Text());
    const std::string number = (error.Number >= 0 ? " " : "") + std::to_string(error.Number);
    prompter_.ShowMessage(number + "\r\r" + error.Description, source, MessageIcon::Critical);
    shared_.AbortRequested = kTrue;
    shared_.OperationFailed = kTrue;
    try {
        link_.PortClose();
    } catch (const std::exception&) {
        // Already reported; the port is gone either way.
    }
}

void CloneOperations::ReadDataChkModel() {
    RunStep("frmRadio.ReadDataChkModel", [&] {
        if (!OpenPort(messages::kModelCheck))
            return;
        shared_.OperationFailed = kFalse;
        MemoryImage check{};
        for (const int address : {layout::kModelIdFirst, layout::kModelIdFirst + 1,
                                  layout::kModelIdSecond, layout::kModelIdSecond + 1}) {
            link_.ReadByte(check, static_cast<uint16_t>(address));
            if (shared_.OperationFailed)
                break;
        }
        link_.PortClose();
        if (shared_.AbortRequested)
            return;
        if (shared_.OperationFailed) {
            prompter_.ShowMessage(messages::kCommunicationError, messages::kModelCheck,
                                  MessageIcon::Critical);
            return;
        }
        if (CheckModelId(FirstModelId(check), SecondModelId(check), shared_.ModelNum))
            return;
        shared_.OperationFailed = kTrue;
        prompter_.ShowMessage(messages::kModelNameError, messages::kReadFromRadio,
                              MessageIcon::Critical);
    });
}

// The end of a data transfer step: the port closed, then silence after Cancel, a settle pause
// after success, or the operation's failure message.
void CloneOperations::FinishTransfer(const char* operation) {
    link_.PortClose();
    if (shared_.AbortRequested)
        return;
    if (!shared_.OperationFailed) {
        clock_.Pause(settlePause_);
        return;
    }
    prompter_.ShowMessage(messages::kCommunicationError, operation, MessageIcon::Critical);
}

void CloneOperations::ReadData(MemoryImage& scratch) {
    RunStep("frmRadio.ReadData", [&] {
        if (!OpenPort(messages::kReadFromRadio))
            return;
        ShowProgress(0);
        for (int address = 0; address <= kLastBlock; address += kBlockSize) {
            ShowProgress(ProgressFor(address));
            link_.ReadBlock(scratch, static_cast<uint16_t>(address));
            if (shared_.OperationFailed || shared_.AbortRequested)
                break;
        }
        FinishTransfer(messages::kReadFromRadio);
    });
}

void CloneOperations::WriteData() {
    RunStep("frmRadio.WriteData", [&] {
        if (!OpenPort(messages::kProgramToRadio))
            return;
        ShowProgress(0);
        const auto stopped = [&] { return shared_.OperationFailed || shared_.AbortRequested; };
        for (int address = 0; address <= kLastBlock; address += kBlockSize) {
            ShowProgress(ProgressFor(address));
            if (address == kByteWrittenBlock) {
                for (int byte = kFirstByteWritten; byte <= kLastByteWritten && !stopped(); ++byte)
                    link_.WriteByte(app_.Image, static_cast<uint16_t>(byte));
            } else if (!IsSkippedBlock(address)) {
                link_.WriteBlock(app_.Image, static_cast<uint16_t>(address));
            }
            if (stopped())
                break;
        }
        FinishTransfer(messages::kProgramToRadio);
    });
}

void CloneOperations::ClearData() {
    RunStep("frmRadio.ClearData", [&] {
        if (!OpenPort(messages::kClearData))
            return;
        ShowProgress(0);
        link_.WriteByte(app_.Image, layout::kPermissionCount);
        if (!shared_.AbortRequested && !shared_.OperationFailed)
            ShowProgress(100);
        FinishTransfer(messages::kClearData);
    });
}

}  // namespace chanwright
