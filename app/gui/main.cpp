// chanwright: the programming window.
#include <QApplication>
#include <QDir>
#include <QIcon>

#include "core/app_state.h"
#include "core/system_platform.h"
#include "link/port_list.h"
#include "link/qt_serial_port.h"
#include "storage/app_paths.h"
#include "storage/backup_files.h"
#include "storage/error_log.h"
#include "storage/recovery_file.h"
#include "storage/settings_store.h"
#include "storage/temporary_files.h"
#include "ui/gui_platform.h"
#include "ui/help_viewer.h"
#include "ui/main_window.h"

using namespace chanwright;

int main(int argc, char* argv[]) {
    IgnoreBrokenPipes();
    RemoveTemporariesOnSignal();
    // The developer switch is the whole command line after the program's name, as it was typed:
    // Qt takes its own options (-style …) out of argv when the application starts.
    AppState app;
    app.Shared.DebugMode = IsDeveloperSwitch(CommandLineAfterName(argc, argv));
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Chanwright"));
    QApplication::setApplicationVersion(QStringLiteral(CHANWRIGHT_VERSION));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/chanwright.svg")));

    GuiPrompter prompter;
    SteadyClock clock;
    QtEventPump events;
    WindowBusyView busyView;
    SettingsStore settings;
    const QString dataFolder = ApplicationDataFolder();
    const ErrorLog log(app.Shared, QDir(dataFolder).filePath(QStringLiteral("err.log")));
    const QtPortEnumerator ports;
    WindowServices services{prompter,
                            clock,
                            events,
                            busyView,
                            settings,
                            log,
                            dataFolder,
                            FindHelpFile(QString::fromStdString(app.Shared.ModelCode)),
                            [](const QString& device) -> std::unique_ptr<SerialPort> {
                                return std::make_unique<QtSerialPort>(device);
                            },
                            {},
                            {},
                            {},
                            {},
                            BackupFolder(),
                            TraceFolder(),
                            RecoveryFolder(),
                            {},
                            [&ports] { return ports.Ports(); }};
    MainWindow window(app, std::move(services));
    prompter.SetParent(&window);
    busyView.SetWindow(&window);
    window.show();
    return QApplication::exec();
}
