#pragma once

#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QtTest>
#include <QtWidgets>
#include <memory>

#include "report/data_diff.h"
#include "storage/data_file_writer.h"
#include "storage/settings_store.h"
#include "tests/support/fake_port.h"
#include "tests/support/radio_memory.h"
#include "tests/support/test_files.h"
#include "tests/support/test_platform.h"
#include "tools/radiosim/radio_sim.h"
#include "ui/gui_platform.h"
#include "ui/list_grid.h"
#include "ui/main_window.h"
#include "ui/navigation_tree.h"

namespace chanwright::test {

// What a window manager does and the offscreen platform leaves out: a window that gets the
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

// Replaces a box's text as typed keys do.
inline void Retype(QLineEdit* box, const QString& text) {
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, text);
}

// The fields that differ between two data sets, one line each, as the field comparison words
// them ("Setting Dimmer: HI -> OFF").
inline QString Edits(const AppState& before, const AppState& after) {
    QStringList lines;
    for (const std::string& line : report::DiffLines(before, after))
        lines << QString::fromStdString(line);
    return lines.join('\n');
}

inline QString GridText(const QTableWidget* grid) {
    const auto text = [](const QTableWidgetItem* item) { return item ? item->text() : QString(); };
    const auto* flex = qobject_cast<const ListGrid*>(grid);
    QString shown;
    for (int row = -1; row < grid->rowCount(); ++row) {
        QStringList cells{row < 0 ? (flex ? flex->Text(0, 0) : QString())
                                  : text(grid->verticalHeaderItem(row))};
        for (int column = 0; column < grid->columnCount(); ++column)
            cells << text(row < 0 ? grid->horizontalHeaderItem(column) : grid->item(row, column));
        shown += "\n    " + cells.join('|');
    }
    if (flex) {
        QStringList widths;
        for (int column = 0; column <= grid->columnCount(); ++column)
            widths << QString::number(flex->ColumnWidth(column));
        shown += QString("\n    widths %1, rows %2/%3 high, row %4 current, %5 selected")
                     .arg(widths.join('|'))
                     .arg(flex->RowHeight(0))
                     .arg(flex->RowHeight(1))
                     .arg(flex->Row())
                     .arg(grid->selectionModel()->selectedRows().size());
    }
    return shown;
}

// One control as the user finds it: what it shows, whether it is hidden, disabled (within root),
// ticked or focused, and its position where the program places it itself. Empty for controls
// inside Qt's own widgets and for those that show nothing.
inline QString ControlText(const QWidget* w, const QWidget* root) {
    bool inner = w->objectName().startsWith("qt_");
    for (const QWidget* up = w->parentWidget(); up && up != root; up = up->parentWidget()) {
        inner = inner || qobject_cast<const QAbstractItemView*>(up) ||
                qobject_cast<const QTabBar*>(up) || qobject_cast<const QComboBox*>(up);
    }
    QString text;
    if (inner) {
        return {};
    } else if (const auto* label = qobject_cast<const QLabel*>(w)) {
        text = label->pixmap().isNull() ? label->text() : QString("(picture)");
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
        text = button->text() + (button->isChecked() ? " [x]" : "");
    } else if (const auto* box = qobject_cast<const QLineEdit*>(w)) {
        text = QString("\"%1\" max %2").arg(box->text()).arg(box->maxLength()) +
               (box->isReadOnly() ? " read-only" : "");
    } else if (const auto* list = qobject_cast<const QComboBox*>(w)) {
        QStringList items;
        for (int i = 0; i < list->count(); ++i)
            items << list->itemText(i);
        if (items.size() > 30)  // a long run of numbers: its ends
            items = QStringList{items.first(), "…", items.last()};
        text = QString("\"%1\" of %2").arg(list->currentText(), items.join('|'));
    } else if (const auto* tabs = qobject_cast<const QTabBar*>(w)) {
        QStringList texts;
        for (int i = 0; i < tabs->count(); ++i)
            texts << (i == tabs->currentIndex() ? "*" : "") + tabs->tabText(i);
        text = texts.join(", ");
    } else if (const auto* grid = qobject_cast<const QTableWidget*>(w)) {
        text = GridText(grid);
    } else if (const auto* bar = qobject_cast<const QProgressBar*>(w)) {
        text = QString("%1 of %2-%3").arg(bar->value()).arg(bar->minimum()).arg(bar->maximum());
    } else {
        return {};
    }
    QString shown =
        QString(w->metaObject()->className()).remove("chanwright::") + ' ' + w->objectName();
    if (w->property("index").isValid())
        shown += QString("[%1]").arg(w->property("index").toInt());
    shown += ": " + text;
    if (w->isHidden())
        shown += " hidden";
    else if (!w->isEnabledTo(root))
        shown += " disabled";
    if (w->hasFocus())
        shown += " focus";
    if (!w->parentWidget()->layout())
        shown += QString(" @%1,%2").arg(w->x()).arg(w->y());
    return shown;
}

// A page or dialog as the user finds it, one control a line in the order they were made. The help
// topics are the "topics" of tests/data/ui/stories/nodes.txt.
inline QString Snapshot(const QWidget* root) {
    QString shown;
    for (const QWidget* w : root->findChildren<const QWidget*>()) {
        const QString line = ControlText(w, root);
        if (!line.isEmpty())
            shown += line + '\n';
    }
    return shown;
}

// The messages or questions shown, one a line: title, text, and the icon's mark.
inline QString Said(const std::vector<ShownMessage>& shown) {
    const char* const marks[] = {"", " (i)", " (!)", " (critical)", " (?)"};
    QStringList said;
    for (const ShownMessage& m : shown)
        said << QString::fromStdString(m.title + ": " + m.text) + marks[int(m.icon)];
    return said.join('\n');
}

// The questions and messages since the last look, then forgotten; the desk's folder is "<dir>".
inline QString Told(RecordingPrompter& prompter, const QString& dir) {
    QString told;
    if (!prompter.questions.empty())
        told += "asked " + Said(prompter.questions) + '\n';
    if (!prompter.messages.empty())
        told += "said " + Said(prompter.messages) + '\n';
    prompter.questions.clear();
    prompter.messages.clear();
    return told.replace(dir, "<dir>");
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
    // The answer is given by clicking its button in the real box.
    int Choose(const std::string& text, const std::string& title,
               const std::vector<std::string>& buttons, MessageIcon icon) override {
        const int choice = RecordingPrompter::Choose(text, title, buttons, icon);
        if (!window)
            return choice;
        const QString answer = QString::fromStdString(buttons.at(std::size_t(choice)));
        QTimer::singleShot(0, [answer] {
            for (auto* button : QApplication::activeModalWidget()->findChildren<QPushButton*>())
                if (button->text() == answer)
                    QTest::mouseClick(button, Qt::LeftButton);
        });
        const int clicked = GuiPrompter(window).Choose(text, title, buttons, icon);
        Reactivate(window);
        return clicked;
    }
    // With onFileDialog, the real Open and Save dialogs, which it works as the user does.
    std::string ChooseOpenFileIn(const std::string& folder, const std::string& filter) override {
        if (!onFileDialog)
            return RecordingPrompter::ChooseOpenFileIn(folder, filter);
        QTimer::singleShot(0, [this] { onFileDialog(*QApplication::activeModalWidget()); });
        return GuiPrompter(window).ChooseOpenFileIn(folder, filter);
    }
    std::string ChooseSaveFileIn(const std::string& folder, const std::string& filter) override {
        if (!onFileDialog)
            return RecordingPrompter::ChooseSaveFileIn(folder, filter);
        QTimer::singleShot(0, [this] { onFileDialog(*QApplication::activeModalWidget()); });
        return GuiPrompter(window).ChooseSaveFileIn(folder, filter);
    }
    // The window the real boxes belong to; none shows no box.
    QWidget* window = nullptr;
    std::function<void(QWidget&)> onFileDialog;
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
            settings->Sync();
        }
        app.Shared.DebugMode = developer;
        // The default answer, as Enter gives it: the radio keeps its own user MMSI.
        prompter.defaultChoice = 0;
        window = std::make_unique<MainWindow>(app, Services());
    }

    WindowServices Services() {
        WindowServices services{prompter,  clock, events,     busy,
                                *settings, log,   dir.path(), helpFile};
        services.makePort = [this](const QString& device) { return Port(device); };
        services.runModal = [this](QDialog& dialog) { RunModal(dialog); };
        services.choosePrinter = [this] { return Printer(); };
        services.printerInstalled = [this] { return printerInstalled; };
        services.backupFolder = dir.filePath("backups");
        services.traceFolder = dir.filePath("traces");
        services.recoveryFolder = dir.filePath("recovery");
        services.now = [] { return QDateTime(QDate(2026, 12, 6), QTime(10, 20, 30)); };
        services.listPorts = [this] { return ports; };
        return services;
    }
    std::unique_ptr<SerialPort> Port(const QString& device) {
        devices << device;
        return std::make_unique<FakePort>(clock, &sim);
    }
    void RunModal(QDialog& dialog) {
        dialog.show();
        ++dialogs;
        if (onDialog)
            onDialog(dialog);
    }
    std::unique_ptr<QPagedPaintDevice> Printer() {
        ++printDialogs;
        if (printTo.isEmpty())
            return nullptr;
        if (!printToFile)
            return std::make_unique<QPdfWriter>(printTo);
        auto printer = std::make_unique<QPrinter>();
        printer->setOutputFileName(printTo);
        return printer;
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
    // A data file chosen in File ▸ Open.
    void Open(const QString& path) {
        prompter.paths = {path.toStdString()};
        window->FileOpen();
    }
    template <typename T = QWidget>
    T* Find(const QString& name) const {
        return window->findChild<T*>(name);
    }
    QWidget* ActivePage() const { return Find<QStackedWidget>("pictData")->currentWidget(); }
    QString CurrentKey() const { return NavigationTree::KeyOf(window->Tree()->currentItem()); }
    QAction* Action(const char* name) const { return Find<QAction>(name); }
    void ClickNode(const QString& key) {
        QTreeWidgetItem* node = window->Tree()->FindKey(key);
        QVERIFY(node);
        window->Tree()->setCurrentItem(node);
    }
    QString Told() { return test::Told(prompter, dir.path()); }
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
    // Made again when a story restarts the program with the settings read anew.
    std::unique_ptr<SettingsStore> settings =
        std::make_unique<SettingsStore>(dir.filePath("settings.ini"));
    ErrorLog log{app.Shared, dir.filePath("err.log")};
    RadioSim sim{RadioInUse(Model::HV2071P, 31)};
    QString helpFile;
    // The devices the ports were opened on, one a transfer.
    QStringList devices;
    // The serial ports the Device dialog finds.
    std::vector<PortInfo> ports;
    int dialogs = 0;
    // The print dialog's answer: a PDF file to print into, or empty for Cancel; printed as a
    // printer does, or as one told to print to that file.
    QString printTo;
    bool printToFile = false;
    int printDialogs = 0;
    bool printerInstalled = true;
    std::function<void(QDialog&)> onDialog;
    std::unique_ptr<MainWindow> window;
};

}  // namespace chanwright::test
