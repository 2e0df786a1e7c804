#include "app/cli/cli_session.h"
#include "app/cli/commands.h"
#include "link/port_list.h"
#include "storage/file_io.h"
#include "storage/settings_store.h"

namespace chanwright::cli {

namespace {

// A dash keeps the columns countable where the system gives nothing; a name from the system or
// the settings file may hold control characters or bytes that are not UTF-8, shown as codes.
QString Shown(const QString& text) {
    return text.isEmpty() ? QStringLiteral("-") : ShownPath(text);
}

}  // namespace

// One line a port found (device, description, by-id name), then what COM1 … COM4 stand for. An
// empty list is no failure: the hint says what to do.
int RunPorts(const Invocation&) {
    const std::vector<PortInfo> ports = QtPortEnumerator().Ports();
    for (const PortInfo& port : ports) {
        StdOut() << Shown(port.device) << '\t' << Shown(port.description) << '\t'
                 << Shown(port.byId) << '\n';
    }
    const std::unique_ptr<SettingsStore> settings = UserSettings();
    for (int16_t comNum = 1; comNum <= 4; ++comNum)
        StdOut() << "COM" << comNum << '\t' << Shown(settings->ReadComDevice(comNum)) << '\n';
    StdOut().flush();  // the listing before the hint; a listing lost is exit 2 as for every command
    if (ports.empty())
        StdErr() << NoPortsHint() << Qt::endl;
    return kSuccess;
}

}  // namespace chanwright::cli
