#include <QDateTime>
#include <QRegularExpression>
#include <csignal>
#include <functional>
#include <memory>

#include "app/cli/cli_session.h"
#include "app/cli/commands.h"
#include "app/cli/terminal_progress.h"
#include "core/messages.h"
#include "core/system_platform.h"
#include "link/clone_operations.h"
#include "link/qt_serial_port.h"
#include "link/serial_trace.h"
#include "report/radio_check.h"
#include "storage/backup_files.h"
#include "storage/device_path.h"
#include "storage/file_io.h"
#include "storage/settings_store.h"

namespace chanwright::cli {

namespace {

volatile std::sig_atomic_t stopSignals = 0;
volatile std::sig_atomic_t lastStopSignal = 0;

extern "C" void OnStopSignal(int signal) {
    lastStopSignal = signal;
    stopSignals = stopSignals + 1;
}

// Ctrl+C and SIGTERM are the command line's Cancel, one press each: the running wait sees them on
// its next poll, and the operation stops as it does from the dialog, without writing a file. While
// blocks are written, the first lets the block in flight finish.
class InterruptPump : public EventPump {
  public:
    InterruptPump()
        : previousInt_(std::signal(SIGINT, OnStopSignal)),
          previousTerm_(std::signal(SIGTERM, OnStopSignal)) {}
    // The signals do afterwards what they did before the transfer.
    ~InterruptPump() override {
        std::signal(SIGINT, previousInt_);
        std::signal(SIGTERM, previousTerm_);
    }
    void SetCancel(std::function<void()> cancel) { cancel_ = std::move(cancel); }
    void ProcessEvents() override {
        for (; seen_ < stopSignals; ++seen_) {
            if (cancel_)
                cancel_();
        }
    }

  private:
    std::function<void()> cancel_;
    std::sig_atomic_t seen_ = 0;
    void (*previousInt_)(int);
    void (*previousTerm_)(int);
};

// The copy of the radio every completed read leaves in the backup folder. A copy that cannot be
// saved is a warning: the read itself succeeded.
class BackupToFolder : public BackupKeeper {
  public:
    explicit BackupToFolder(TerminalProgress& progress) : progress_(progress) {}
    std::optional<std::string> Keep(const MemoryImage& image, Model modelNum,
                                    ErrorInfo& error) override {
        progress_.EndLine();
        const std::optional<QString> path = SaveBackup(BackupFolder(), GetModelName(modelNum),
                                                       QDateTime::currentDateTime(), image, error);
        if (!path) {
            StdErr() << "warning: the backup could not be saved in " << ShownPath(BackupFolder())
                     << ": " << QString::fromStdString(error.Description) << Qt::endl;
            return std::nullopt;
        }
        // The name is only shown (here, and in a failed write's message).
        StdErr() << "Backup: " << ShownPath(*path) << Qt::endl;
        return ShownPath(*path).toStdString();
    }

  private:
    TerminalProgress& progress_;
};

// "1" … "4" and "COM1" … "COM4" in any case name the application's COM items; anything else is
// the device itself, resolved as the window resolves a COM item's device (see DevicePath).
QString ResolvePort(const QString& port, CliSession& session) {
    static const QRegularExpression comItem(QStringLiteral("^(?:com)?([1-4])$"),
                                            QRegularExpression::CaseInsensitiveOption);
    if (const QRegularExpressionMatch item = comItem.match(port); item.hasMatch())
        return session.Settings().ReadComDevice(static_cast<int16_t>(item.captured(1).toInt()));
    return DevicePath(port);
}

const char* ProgressLabel(Transfer transferMode) {
    return transferMode == Transfer::Read || transferMode == Transfer::Verify ? "Reading"
                                                                              : "Writing";
}

QString Shown(const std::string& storedMmsi) {
    const std::string shown = ShownMmsi(storedMmsi);
    return shown.empty() ? QStringLiteral("none") : QString::fromStdString(shown);
}

// What became of the radio's identity, said on standard error; `where` follows "Kept the radio's
// user MMSI N".
void SayUserMmsi(const UserMmsiCheck& check, bool written, const char* where = "") {
    if (check.NewRadio()) {
        StdErr() << "The radio had no user MMSI; it now has the file's " << Shown(check.data) << "."
                 << Qt::endl;
    } else if (check.Conflicts() && written) {
        StdErr() << "Wrote the file's user MMSI " << Shown(check.data) << " over the radio's "
                 << Shown(check.radio) << "." << Qt::endl;
    } else if (check.Conflicts()) {
        StdErr() << "Kept the radio's user MMSI " << Shown(check.radio) << where
                 << "; the file holds " << Shown(check.data) << "." << Qt::endl;
    }
}

// How one radio command goes about its transfer, beyond the mode.
struct RadioRun {
    Transfer transferMode = Transfer::Read;
    // The model the radio's identifiers name is taken when the user chose none.
    bool takeRadioModel = false;
    bool keepBackup = true;
    ProgramOptions program;
};

// One radio operation of the session's data set over the port the call names: kSuccess, kFailed,
// or 128 + the signal (130, 143) after Ctrl+C or SIGTERM. A verify leaves the radio's image in
// radioImage.
int RunRadio(CliSession& session, const Invocation& call, const RadioRun& run,
             MemoryImage* radioImage = nullptr) {
    AppState& app = session.App();
    app.Shared.TransferMode = run.transferMode;
    app.Shared.TransferDone = false;
    TerminalProgress progress(ProgressLabel(run.transferMode));
    StderrPrompter& prompter = session.Messages();
    prompter.beforeMessage = [&progress] { progress.EndLine(); };

    QtSerialPort serial(ResolvePort(call.port, session));
    SteadyClock clock;
    SerialTrace trace(clock);
    TracingPort traced(serial, trace);
    if (!call.trace.isEmpty()) {
        ErrorInfo error;
        if (IsStandardStream(call.trace)) {
            trace.OpenStandardError();
        } else if (!trace.Open(call.trace, OpenGrowingFile(call.trace, call.force, error))) {
            prompter.beforeMessage = nullptr;
            session.ReportFailure(messages::kFileSaveError, error);
            return kFailed;
        }
        // Said as it happens; the transfer goes on and ends as it would have untraced.
        trace.onFailure = [&progress, &call](const ErrorInfo& failure) {
            progress.EndLine();
            StdErr() << "warning: the serial trace " << call.trace
                     << " stopped: " << QString::fromStdString(failure.Description) << Qt::endl;
        };
    }
    SerialPort& port = call.trace.isEmpty() ? static_cast<SerialPort&>(serial) : traced;
    InterruptPump events;
    RadioLink link(app.Shared, port, clock, events, session.Log());
    if (!call.trace.isEmpty())
        link.SetTrace(&trace);
    CloneOperations operations(app, link, prompter, clock, progress, session.Log());
    events.SetCancel([&operations] { operations.CancelTransfer(); });
    operations.SetSettlePause(0);
    operations.SetModelChoice(ModelChoice::Option);
    operations.SetTakeRadioModel(run.takeRadioModel);
    operations.SetProgramOptions(run.program);
    BackupToFolder backups(progress);
    if (run.keepBackup)
        operations.SetBackupKeeper(&backups);
    const TransferResult result = operations.RunTransfer();
    prompter.beforeMessage = nullptr;
    progress.EndLine();
    if (operations.UserMmsi())
        SayUserMmsi(*operations.UserMmsi(), operations.UserMmsiWritten());
    if (result == TransferResult::Done) {
        if (run.takeRadioModel)
            StdErr() << "The radio is a " << QString::fromStdString(app.Shared.ModelName()) << "."
                     << Qt::endl;
        if (radioImage)
            *radioImage = operations.RadioImage();
        return kSuccess;
    }
    if (result == TransferResult::Cancelled && stopSignals > 0) {
        StdErr() << "Interrupted" << Qt::endl;
        return 128 + lastStopSignal;
    }
    return kFailed;
}

// A data file that names the other model is refused rather than programmed as this one: the
// user converts it knowingly.
bool ModelAgrees(CliSession& session, const Invocation& call) {
    const std::optional<Model>& named = session.NamedModel();
    if (!call.model || !named || *named == *call.model)
        return true;
    StdErr() << "The file is for a " << QString::fromStdString(GetModelName(*named))
             << "; convert it first: chanwright-cli convert --model "
             << QString::fromStdString(GetModelName(*call.model)) << " " << call.inputs.at(0)
             << " OUT" << Qt::endl;
    return false;
}

}  // namespace

int RunRead(const Invocation& call) {
    CliSession session(call.model);
    // The output is checked first: a folder that takes no file fails now, not after the whole
    // radio has been read.
    ErrorInfo error;
    if (!OutputFile(call.output, call.force).Probe(error)) {
        session.ReportFailure(messages::kFileSaveError, error);
        return kFailed;
    }
    // A failed read writes nothing: OUT keeps whatever it held.
    RadioRun run;
    run.takeRadioModel = !call.model;
    run.keepBackup = !call.noBackup;
    const int result = RunRadio(session, call, run);
    if (result != kSuccess)
        return result;
    return session.WriteAsRead(call.output, call.force) ? kSuccess : kFailed;
}

int RunProgram(const Invocation& call) {
    CliSession session(call.model, call.inputs.at(0));
    if (!session.HoldsData() || !ModelAgrees(session, call))
        return kBadUsage;
    if (!session.Load())
        return kFailed;
    if (!call.restore)
        session.ReportNameChanges();
    RadioRun run;
    run.transferMode = Transfer::Program;
    run.program.imageAsLoaded = call.restore;
    run.program.fullWrite = call.fullWrite;
    const bool writeIdentity = call.writeIdentity;
    run.program.decideUserMmsi = [writeIdentity](const UserMmsiCheck&) {
        return writeIdentity ? UserMmsiAnswer::WriteData : UserMmsiAnswer::KeepRadio;
    };
    return RunRadio(session, call, run);
}

int RunClear(const Invocation& call) {
    CliSession session(call.model);
    RadioRun run;
    run.transferMode = Transfer::Clear;
    run.keepBackup = false;
    return RunRadio(session, call, run);
}

// Reads the radio and tells whether it holds IN: field by field as programming IN would leave it,
// or, with --restore, byte for byte as restoring the backup IN would.
int RunVerify(const Invocation& call) {
    CliSession session(call.model, call.inputs.at(0));
    if (!session.HoldsData() || !session.Load())
        return kBadUsage;
    AppState& app = session.App();
    // Data that cannot be encoded is told before the radio is read.
    MemoryImage trial = app.Image;
    if (const std::optional<EncodeError> error = EncodeImage(app.Data, trial)) {
        session.Messages().ShowMessage(error->Message(), messages::kAppTitle,
                                       MessageIcon::Exclamation);
        return kBadUsage;
    }
    MemoryImage radio{};
    RadioRun run;
    run.transferMode = Transfer::Verify;
    run.takeRadioModel = !call.model && !session.NamedModel() && !IsImageFile(call.inputs.at(0));
    run.keepBackup = !call.noBackup;
    const int result = RunRadio(session, call, run, &radio);
    if (result != kSuccess)
        return result > kBadUsage ? result : kBadUsage;
    std::optional<EncodeError> error;
    const std::optional<report::RadioComparison> comparison =
        call.restore ? report::CompareWithBackup(app, radio)
                     : report::CompareWithRadio(app, radio, call.writeIdentity, error);
    if (!comparison) {
        session.Messages().ShowMessage(error->Message(), messages::kAppTitle,
                                       MessageIcon::Exclamation);
        return kBadUsage;
    }
    const UserMmsiCheck check = CheckUserMmsi(app.Data, radio);
    if (!call.restore && !call.writeIdentity && check.Conflicts())
        SayUserMmsi(check, false, " in the comparison");
    if (comparison->matches) {
        StdOut() << "The radio matches " << ShownPath(call.inputs.at(0)) << "." << Qt::endl;
        return kSuccess;
    }
    for (const std::string& line : comparison->fields)
        StdOut() << QString::fromStdString(line) << '\n';
    StdOut() << QString::fromStdString(report::DifferingBytesLine(*comparison)) << Qt::endl;
    return kFailed;
}

}  // namespace chanwright::cli
