#include "app/cli/cli_session.h"
#include "app/cli/commands.h"
#include "link/port_list.h"
#include "storage/settings_store.h"

namespace chanwright::cli {

namespace {

// A dash keeps the columns countable where the system gives nothing.
QString OrDash(const QString& text) {
    return text.isEmpty() ? QStringLiteral("-") : text;
}

}  // namespace

// One line a port found (device, description, by-id name), then what COM1 … COM4 stand for. An
// empty list is no failure: the hint says what to do.
int RunPorts(const Invocation&) {
    const std::vector<PortInfo> ports = QtPortEnumerator().Ports();
    for (const PortInfo& port : ports) {
        StdOut() << port.device << '\t' << OrDash(port.description) << '\t' << OrDash(port.byId)
                 << '\n';
    }
    const SettingsStore settings;
    for (int16_t comNum = 1; comNum <= 4; ++comNum)
        StdOut() << "COM" << comNum << '\t' << settings.ReadComDevice(comNum) << '\n';
    StdOut().flush();
    if (ports.empty())
        StdErr() << NoPortsHint() << Qt::endl;
    return kSuccess;
}

}  // namespace chanwright::cli
