// The digit entries (user MMSI, directory MMSIs) as a user types them, and every way a command can
// be reached while one is pending; the settings page's panels and scrolling, and the wheel.
#include "tests/ui/window_desk.h"

using namespace chanwright;
using namespace chanwright::test;

namespace {

// Individual entry 1 and group entries 1 and 2 in use, and a user MMSI stored; the window up.
bool UseEntries(Desk& desk) {
    RadioData& data = desk.app.Data;
    data.Common.UserMmsid = "1112223330";
    data.IndividualDirectory[0] = {kTrue, "ONE", "1000000010"};
    data.GroupDirectory[0] = {kTrue, "FLEET", "0200000010"};
    data.GroupDirectory[1] = {kTrue, "TWO", "0200000020"};
    desk.window->RefreshCurrentPage();
    return desk.ShowActive();
}

// The MMSI box of the node's page, clicked into (on the settings page, in DSC Setup).
QLineEdit* ClickBox(Desk& desk, const QString& key) {
    desk.ClickNode(key);
    auto* tabs = desk.Find<QTabBar>("tbsFNE");
    if (key == "S")
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    auto* box = desk.Find<QLineEdit>(key == "S" ? "txtFUser" : "txtGMMSI");
    QTest::mouseClick(box, Qt::LeftButton);
    QCoreApplication::processEvents();
    return box;
}

std::string& Stored(AppState& app, const QString& key) {
    if (key == "S")
        return app.Data.Common.UserMmsid;
    const auto n = static_cast<std::size_t>(key.mid(2).toInt() - 1);
    return key.startsWith("SG") ? app.Data.GroupDirectory[n].Mmsid
                                : app.Data.IndividualDirectory[n].Mmsid;
}

}  // namespace

class TestSettingsPage : public QObject {
    Q_OBJECT

  private slots:
    // Typed (or pasted) into a box, then the focus moves on with Tab, the program switches the
    // page, or a command is reached as a user reaches it, with real message boxes. Only digits
    // get in, up to the box's length. An empty box, or one of the right length, is stored (a
    // group's number with its leading "0", nine digits with the radio's tenth "0"), and the
    // command sees it (the file saved, or the radio's bytes), whichever way the focus went
    // meanwhile. Anything else is refused with a message, which stops the command and keeps the
    // page, its node, its panel, the focus and the digits. The page switched by the program
    // brings the stored number back quietly. Shown again, a box holds what was stored.
    void entry() {
        const char* rows[][3] = {{"S", "366123456", "Tab"},
                                 {"S", "12ab3-4 5.6789", "Tab"},
                                 {"S", "", "Tab"},
                                 {"S", "36612345", "Tab"},
                                 {"S", "36612345", "page"},
                                 {"SM1", "1234567890", "Tab"},
                                 {"SM1", "12345678", "Tab"},
                                 {"SM1", "555 666-777", "Ctrl+V"},
                                 {"SM1", "12ab34", "paste"},
                                 {"SG1", "87654321", "Tab"},
                                 {"SG2", "123456789", "Tab"},
                                 {"SG2", "036699001", "Tab"},
                                 {"SG1", "036699001", "Ctrl+V"},
                                 {"SM1", "abc", "Ctrl+V over"},
                                 {"SG1", "abc", "paste over"},
                                 {"SG2", "", "Tab"},
                                 {"SG1", "1234567", "Tab"},
                                 {"SG1", "123", "page"},
                                 {"S", "987654321", "keys"},
                                 {"SG1", "87654321", "mouse"},
                                 {"SM1", "987654321", "ctrl+s"},
                                 {"SM2", "555666777", "add"},
                                 {"S", "987654321", "program"},
                                 {"S", "12345678", "keys"},
                                 {"S", "12345678", "ctrl+s"},
                                 {"S", "12345678", "tabs"},
                                 {"S", "12345678", "clear"},
                                 {"S", "12345678", "tree"},
                                 {"SM1", "1234567", "new"},
                                 {"S", "12345", "panel"},
                                 {"S", "123456789", "panel"}};
        QString shown;
        for (const auto& [key, typed, route] : rows) {
            Desk desk;
            const QString way = route;
            shown += QString("%1 \"%2\" by %3:").arg(key, typed, route);
            if (way == "program")
                desk.PressOkInDialogs();
            QVERIFY(UseEntries(desk));
            desk.UseRealBoxes();
            if (way == "add") {
                // Add keeps the focus on the page, in the name box: an arrow key stays there.
                desk.ClickNode(key);
                QTest::mouseClick(desk.Find("chkGEnable"), Qt::LeftButton);
                QTest::keyClick(desk.Find("txtGPosi"), Qt::Key_Down);
                shown += " focus " + QApplication::focusWidget()->objectName() + " at " +
                         desk.CurrentKey() + ",";
            }
            QLineEdit* box = ClickBox(desk, key);
            const bool paste = way.startsWith("Ctrl+V") || way.startsWith("paste");
            if (!way.endsWith(" over"))  // over: onto the stored number, which the click selected
                Retype(box, paste ? "" : typed);
            const AppState before = desk.app;
            AppState expected = desk.app;
            Stored(expected, key) = (key[1] == 'G' ? "0" : "") + std::string(typed) + "0";
            const QString path = desk.dir.filePath("boat.dat");
            desk.prompter.paths = {path.toStdString()};
            if (paste) {
                QGuiApplication::clipboard()->setText(typed);
                // As the window system sends Ctrl+V: the key with its control character.
                QKeyEvent press(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier, QChar(0x16));
                if (way.startsWith("paste"))
                    box->paste();
                else
                    QApplication::sendEvent(box, &press);
                QTest::keyClick(box, Qt::Key_Tab);
            } else if (way == "Tab") {
                QTest::keyClick(box, Qt::Key_Tab);
            } else if (way == "page") {
                QVERIFY(desk.window->SelectNodeByKey("PW"));
            } else if (way == "keys") {
                desk.ChooseByKeys(Qt::Key_F, Qt::Key_A);
            } else if (way == "mouse" || way == "add") {
                desk.ChooseByMouse("mnuFile", "mnuFileSaveAs");
            } else if (way == "ctrl+s" || way == "new") {
                QTest::keyClick(box, way == "new" ? Qt::Key_N : Qt::Key_S, Qt::ControlModifier);
            } else if (way == "panel") {
                auto* tabs = desk.Find<QTabBar>("tbsFNE");
                QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
            } else if (way == "clear") {
                QTest::mouseClick(desk.Find("cmdFClear"), Qt::LeftButton);
            } else if (way == "tree") {
                NavigationTree* tree = desk.window->Tree();
                QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                                  tree->visualItemRect(tree->FindKey("E")).center());
            } else if (way == "program") {
                desk.ChooseByKeys(Qt::Key_T, Qt::Key_P);
            } else {
                for (int tab = 0; tab < 2; ++tab) {
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                    QCoreApplication::processEvents();
                    shown += " Tab to " + QApplication::focusWidget()->objectName() + ",";
                }
                desk.ClickTool("Save");
            }
            QCoreApplication::processEvents();
            if (!desk.prompter.messages.empty())
                shown += " [" + Said(desk.prompter.messages).replace("\n", "\\n") + "]";
            const MemoryImage memory = desk.sim.Memory();
            shown += QString(
                         " shows \"%1\"%2 at %3, stored \"%4\", %5 dialogs, %6 file dialogs, "
                         "timer %7, radio %8")
                         .arg(box->text(), QApplication::focusWidget() == box ? " focus" : "",
                              desk.CurrentKey(), QString::fromStdString(Stored(desk.app, key)))
                         .arg(desk.dialogs)
                         .arg(desk.prompter.dialogFilters.size())
                         .arg(desk.Find<QTimer>("Timer1")->isActive())
                         .arg(QByteArray(reinterpret_cast<const char*>(&memory[0x150]), 5).toHex());
            if (QFile::exists(path)) {
                shown += ReadBytes(path) == QByteArray::fromStdString(
                                                WriteDataFile(expected.Shared, expected.Data))
                             ? ", saved with the number"
                             : ", saved otherwise";
            }
            shown += QString(box->parentWidget()->isEnabled() ? "" : ", its panel off") +
                     (desk.ActivePage()->isAncestorOf(box) ? "" : ", elsewhere");
            desk.window->RefreshCurrentPage();
            shown += QString(", again \"%1\"\n").arg(box->text()) + Edits(before, desk.app) + "\n";
        }
        COMPARE_GOLDEN(shown.toUtf8(), "ui/entry.txt");
    }

    // A data area too narrow for a panel scrolls it: Clear, right of the user MMSI, still comes
    // into view.
    void narrowPage_scrollsClearIntoView() {
        Desk desk;
        QVERIFY(desk.ShowActive());
        desk.Find<QSplitter>("imgSplitter")->setSizes({500, 100});
        ClickBox(desk, "S");
        QWidget* clear = desk.Find("cmdFClear");
        desk.Find<QScrollArea>("pictFScroll")->ensureWidgetVisible(clear);
        QCOMPARE(clear->visibleRegion().boundingRect(), clear->rect());
    }

    // The wheel over a list without the focus scrolls the page and leaves the value alone; a list
    // with the focus takes it.
    void wheel_changesAListOnlyWithTheFocus() {
        const char* rows[][4] = {{"S", "cmbFDim", "cmbFCont", "Setting Dimmer: HI -> MID"},
                                 {"E5", "cmbCN", "chkCEnable", "EXP 5 Position: 0 -> 1"}};
        for (const auto& [key, list, focused, edit] : rows) {
            Desk desk;
            QVERIFY(desk.ShowActive());
            desk.ClickNode(key);
            const AppState before = desk.app;
            desk.Find(focused)->setFocus();
            TurnWheel(desk.Find(list), -1);
            QCOMPARE(Edits(before, desk.app), QString());
            QCOMPARE(QApplication::focusWidget(), desk.Find(focused));
            desk.Find(list)->setFocus();
            TurnWheel(desk.Find(list), -1);
            QCOMPARE(Edits(before, desk.app).section('\n', 0, 0), QString(edit));
        }
    }
};

QTEST_MAIN(TestSettingsPage)
#include "tst_settings_page.moc"
