#pragma once

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QPdfWriter>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QtTest>
#include <memory>

#include "link/qt_serial_port.h"
#include "storage/settings_store.h"
#include "tests/support/fake_port.h"
#include "tests/support/radio_memory.h"
#include "tests/support/test_files.h"
#include "tests/support/test_platform.h"
#include "tools/radiosim/radio_sim.h"
#include "ui/gui_platform.h"
#include "ui/main_window.h"
#include "ui/navigation_tree.h"

namespace chanwright::test {

inline const QString kTitle = "KW83  PC Program for HV2071P/TQ5300 Series";

// The window manager's part, which the offscreen platform leaves out: a window that gets the
// activation back after a dialog or another window closed.
inline bool Reactivate(QWidget* window) {
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

// The mouse wheel turned over a widget by `notches` (negative: towards the user), delivered as
// the window system delivers it, so that the widget's focus policy has its say first.
inline void TurnWheel(QWidget* widget, int notches) {
    const QPoint at = widget->rect().center();
    QWheelEvent wheel(at, widget->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QSpontaneKeyEvent::setSpontaneous(&wheel);
    QApplication::instance()->notify(widget, &wheel);
}

// Records every message like the recording prompter; with realBoxes it also shows each one as a
// real modal box that the user closes at once with Enter, so the focus really leaves the window
// and comes back.
class WindowPrompter : public RecordingPrompter {
  public:
    void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) override {
        RecordingPrompter::ShowMessage(text, title, icon);
        if (!window)
            return;
        QTimer::singleShot(0, [] {
            if (QWidget* box = QApplication::activeModalWidget())
                QTest::keyClick(box, Qt::Key_Return);
        });
        GuiPrompter(window).ShowMessage(text, title, icon);
        Reactivate(window);
    }
    // The window the real boxes belong to; none shows no box.
    QWidget* window = nullptr;
};

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
                    if (realPorts)
                        return std::make_unique<QtSerialPort>(device);
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
                [this] { return printerInstalled; },
                {},
                dir.filePath("backups"),
                dir.filePath("traces"),
                [] { return QDateTime(QDate(2026, 12, 6), QTime(10, 20, 30)); },
                [this] { return ports; }};
    }

    // The window up and active, as the user has it.
    bool ShowActive() {
        window->show();
        return QTest::qWaitForWindowExposed(window.get()) && Reactivate(window.get());
    }
    // Real message boxes from now on (the window must be up).
    void UseRealBoxes() { prompter.window = window.get(); }
    // A menu command by keyboard: Alt and the menu's access key, then the item's access key.
    void ChooseByKeys(Qt::Key menu, Qt::Key item) {
        QTest::keyClick(window.get(), menu, Qt::AltModifier);
        QWidget* popup = QApplication::activePopupWidget();
        QVERIFY(popup);
        QTest::keyClick(popup, item);
        Reactivate(window.get());
    }
    // A menu command by mouse: the menu's title in the menu bar, then the item.
    void ChooseByMouse(const char* menuName, const char* actionName) {
        QMenuBar* bar = window->menuBar();
        auto* menu = window->findChild<QMenu*>(menuName);
        QVERIFY(menu);
        QTest::mouseClick(bar, Qt::LeftButton, {},
                          bar->actionGeometry(menu->menuAction()).center());
        QCOMPARE(QApplication::activePopupWidget(), menu);
        QTest::mouseClick(menu, Qt::LeftButton, {},
                          menu->actionGeometry(Action(actionName)).center());
        Reactivate(window.get());
    }
    // A toolbar button by mouse.
    void ClickTool(const char* key) {
        QWidget* button = window->findChild<QToolBar*>("tbToolBar")->widgetForAction(Action(key));
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
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
    WindowPrompter prompter;
    FakeClock clock;
    ScriptedPump events;
    RecordingBusyView busy;
    SettingsStore settings{dir.filePath("settings.ini")};
    ErrorLog log{app.Shared, dir.filePath("err.log")};
    RadioSim sim{RadioMemory(kModelHV2071P, 31)};
    QString helpFile;
    QStringList devices;
    // Ports on the real devices (a simulator on a pseudo-terminal) instead of the in-process radio.
    bool realPorts = false;
    // The serial ports the Device dialog finds.
    std::vector<PortInfo> ports;
    int dialogs = 0;
    // The print dialog's answer: a PDF file to print into, or empty for Cancel.
    QString printTo;
    int printDialogs = 0;
    bool printerInstalled = true;
    std::function<void(QDialog&)> onDialog;
    std::unique_ptr<MainWindow> window;
};

}  // namespace chanwright::test
