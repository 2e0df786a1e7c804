#include <QRegularExpression>
#include <csignal>

#include "app/cli/cli_session.h"
#include "app/cli/commands.h"
#include "app/cli/terminal_progress.h"
#include "core/system_platform.h"
#include "link/clone_operations.h"
#include "link/qt_serial_port.h"
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
    explicit InterruptPump(SharedState& shared) : shared_(shared) {
        std::signal(SIGINT, OnInterrupt);
    }
    ~InterruptPump() override { std::signal(SIGINT, SIG_DFL); }
    void ProcessEvents() override {
        if (interrupted)
            shared_.AbortRequested = kTrue;
    }

  private:
    SharedState& shared_;
};

// "1" … "4" name the application's COM1 … COM4; anything else is the device itself.
QString ResolvePort(const QString& port) {
    static const QRegularExpression comNumber(QStringLiteral("^[1-4]$"));
    if (comNumber.match(port).hasMatch())
        return SettingsStore().ReadComDevice(static_cast<int16_t>(port.toInt()));
    return port;
}

// One radio operation of the session's data set over the given port.
bool RunRadio(CliSession& session, const QString& port, int16_t transferMode) {
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
    if (!done && app.Shared.AbortRequested && interrupted)
        StdErr() << "Interrupted" << Qt::endl;
    return done;
}

}  // namespace

int RunRead(const Invocation& call) {
    CliSession session(ResolveModel(call.model, QString()));
    // A failed read writes nothing: OUT keeps whatever it held.
    if (!RunRadio(session, call.port, kTransferRead))
        return kFailed;
    return session.WriteAsRead(call.output) ? kSuccess : kFailed;
}

int RunProgram(const Invocation& call) {
    const QString& input = call.inputs.at(0);
    CliSession session(ResolveModel(call.model, input));
    if (!session.Load(input))
        return kFailed;
    return RunRadio(session, call.port, kTransferProgram) ? kSuccess : kFailed;
}

int RunClear(const Invocation& call) {
    CliSession session(ResolveModel(call.model, QString()));
    return RunRadio(session, call.port, kTransferClear) ? kSuccess : kFailed;
}

}  // namespace chanwright::cli
