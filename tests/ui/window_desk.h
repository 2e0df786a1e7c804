#pragma once

#include <QAction>
#include <QDialog>
#include <QPdfWriter>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "storage/settings_store.h"
#include "tests/support/fake_port.h"
#include "tests/support/radio_memory.h"
#include "tests/support/test_files.h"
#include "tests/support/test_platform.h"
#include "tools/radiosim/radio_sim.h"
#include "ui/main_window.h"
#include "ui/navigation_tree.h"

namespace chanwright::test {

inline const QString kTitle = "KW83  PC Program for HV2071P/TQ5300 Series";

// One window on a fresh application state, a settings file of its own and a simulated radio.
struct Desk {
    explicit Desk(bool developer = false, const QByteArray& settingsText = {},
                  const QByteArray& helpText = {}) {
        if (!helpText.isEmpty()) {
            helpFile = dir.filePath("KW83.html");
            WriteBytes(helpFile, helpText);
        }
        if (!settingsText.isEmpty()) {
            WriteBytes(dir.filePath("settings.ini"), settingsText);
            settings.Sync();
        }
        app.Shared.DebugMode = ToBool16(developer);
        window = std::make_unique<MainWindow>(app, Services());
    }

    WindowServices Services() {
        return {prompter,
                clock,
                events,
                busy,
                settings,
                log,
                dir.path(),
                helpFile,
                [this](const QString& device) -> std::unique_ptr<SerialPort> {
                    devices << device;
                    return std::make_unique<FakePort>(clock, &sim);
                },
                [this](QDialog& dialog) {
                    dialog.show();
                    ++dialogs;
                    if (onDialog)
                        onDialog(dialog);
                },
                [this]() -> std::unique_ptr<QPagedPaintDevice> {
                    ++printDialogs;
                    if (printTo.isEmpty())
                        return nullptr;
                    return std::make_unique<QPdfWriter>(printTo);
                },
                {}};
    }

    QWidget* Page(const char* name) const { return window->findChild<QWidget*>(name); }
    QWidget* ActivePage() const {
        return window->findChild<QStackedWidget*>("pictData")->currentWidget();
    }
    QString CurrentKey() const { return NavigationTree::KeyOf(window->Tree()->currentItem()); }
    QAction* Action(const char* name) const { return window->findChild<QAction*>(name); }
    void ClickNode(const QString& key) {
        QTreeWidgetItem* node = window->Tree()->FindKey(key);
        QVERIFY(node);
        window->Tree()->setCurrentItem(node);
    }
    // The dialog's OK, as a user presses it once the dialog is up.
    void PressOkInDialogs() {
        onDialog = [](QDialog& dialog) {
            QTest::mouseClick(dialog.findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
        };
    }

    QTemporaryDir dir;
    AppState app;
    RecordingPrompter prompter;
    FakeClock clock;
    ScriptedPump events;
    RecordingBusyView busy;
    SettingsStore settings{dir.filePath("settings.ini")};
    ErrorLog log{app.Shared, dir.filePath("err.log")};
    RadioSim sim{RadioMemory(kModelHV2071P, 31)};
    QString helpFile;
    QStringList devices;
    int dialogs = 0;
    // The print dialog's answer: a PDF file to print into, or empty for Cancel.
    QString printTo;
    int printDialogs = 0;
    std::function<void(QDialog&)> onDialog;
    std::unique_ptr<MainWindow> window;
};

}  // namespace chanwright::test
