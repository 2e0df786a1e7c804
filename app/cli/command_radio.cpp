#include <QRegularExpression>
#include <csignal>

#include "app/cli/cli_session.h"
#include "app/cli/commands.h"
#include "app/cli/terminal_progress.h"
#include "core/messages.h"
#include "core/system_platform.h"
#include "link/clone_operations.h"
#include "link/qt_serial_port.h"
#include "storage/file_io.h"
#include "storage/settings_store.h"

namespace chanwright::cli {

namespace {

volatile std::sig_atomic_t interrupted = 0;

extern "C" void OnInterrupt(int) {
    interrupted = 1;
}

// Ctrl+C is the command line's Cancel: the running wait sees it on its next poll, and the
// operation stops as it does from the dialog, without writing a file.
class InterruptPump : public EventPump {
  public:
    explicit InterruptPump(SharedState& shared)
        : shared_(shared), previous_(std::signal(SIGINT, OnInterrupt)) {}
    // Ctrl+C does afterwards what it did before the transfer.
    ~InterruptPump() override { std::signal(SIGINT, previous_); }
    void ProcessEvents() override {
        if (interrupted)
            shared_.AbortRequested = kTrue;
    }

  private:
    SharedState& shared_;
    void (*previous_)(int);
};

// "1" … "4" name the application's COM1 … COM4; anything else is the device itself.
QString ResolvePort(const QString& port) {
    static const QRegularExpression comNumber(QStringLiteral("^[1-4]$"));
    if (comNumber.match(port).hasMatch())
        return SettingsStore().ReadComDevice(static_cast<int16_t>(port.toInt()));
    return port;
}

// One radio operation of the session's data set over the given port: kSuccess, kFailed, or
// kInterrupted after Ctrl+C.
int RunRadio(CliSession& session, const QString& port, int16_t transferMode) {
    AppState& app = session.App();
    app.Shared.TransferMode = transferMode;
    app.Shared.TransferDone = kFalse;
    TerminalProgress progress(transferMode == kTransferRead ? "Reading" : "Writing");
    StderrPrompter& prompter = session.Messages();
    prompter.beforeMessage = [&progress] { progress.EndLine(); };

    QtSerialPort serial(ResolvePort(port));
    SteadyClock clock;
    InterruptPump events(app.Shared);
    RadioLink link(app.Shared, serial, clock, events, session.Log());
    CloneOperations operations(app, link, prompter, clock, progress, session.Log());
    operations.SetSettlePause(0);
    const bool done = operations.RunTransfer();
    prompter.beforeMessage = nullptr;
    if (done)
        return kSuccess;
    if (app.Shared.AbortRequested && interrupted) {
        StdErr() << "Interrupted" << Qt::endl;
        return kInterrupted;
    }
    return kFailed;
}

}  // namespace

int RunRead(const Invocation& call) {
    CliSession session(call.model);
    // The output is checked first: a folder that takes no file fails now, not after the whole
    // radio has been read.
    ErrorInfo error;
    if (!OutputFile(call.output).Probe(error)) {
        session.ReportFailure(messages::kFileSaveError, error);
        return kFailed;
    }
    // A failed read writes nothing: OUT keeps whatever it held.
    const int result = RunRadio(session, call.port, kTransferRead);
    if (result != kSuccess)
        return result;
    return session.WriteAsRead(call.output) ? kSuccess : kFailed;
}

int RunProgram(const Invocation& call) {
    CliSession session(call.model, call.inputs.at(0));
    if (!session.Load())
        return kFailed;
    return RunRadio(session, call.port, kTransferProgram);
}

int RunClear(const Invocation& call) {
    CliSession session(call.model);
    return RunRadio(session, call.port, kTransferClear);
}

}  // namespace chanwright::cli
