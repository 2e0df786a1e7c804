// The digit entries (user MMSI, directory MMSIs) as a user types them, and every way a command can
// be reached while one is pending; the settings page's panels and scrolling, and the wheel.
#include "tests/ui/window_desk.h"

using namespace chanwright;
using namespace chanwright::test;

namespace {

// Individual entry 1 and group entries 1 and 2 in use, and a user MMSI stored.
void UseEntries(Desk& desk) {
    RadioData& data = desk.app.Data;
    data.Common.UserMmsid = "1112223330";
    data.IndividualDirectory[0] = {kTrue, "ONE", "1000000010"};
    data.GroupDirectory[0] = {kTrue, "FLEET", "0200000010"};
    data.GroupDirectory[1] = {kTrue, "TWO", "0200000020"};
    desk.window->RefreshCurrentPage();
}

// The MMSI box of the node's page, clicked into (on the settings page, in DSC Setup).
QLineEdit* ClickBox(Desk& desk, const QString& key) {
    desk.ClickNode(key);
    if (key == "S") {
        auto* tabs = desk.Find<QTabBar>("tbsFNE");
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    }
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

QString RefusalTitle(const QString& key) {
    return key == "S"             ? "User MMSI"
           : key.startsWith("SG") ? "Group Directory MMSI"
                                  : "Individual Directory MMSI";
}

}  // namespace

class TestSettingsPage : public QObject {
    Q_OBJECT

  private slots:
    // Typed (or pasted) into a box, then the focus moves on with Tab: only digits get in, up to
    // the box's length. An empty box, or one of the right length, is stored (a group's number with
    // its leading "0", nine digits with the radio's tenth "0"); anything else is refused with a
    // message and keeps the focus. The page switched by the program instead brings the stored
    // number back quietly.
    void digitEntry_data() {
        AddRows({"key", "how", "typed", "shown", "stored", "said"},
                {{"user MMSI", "S", "Tab", "366123456", "366123456", "3661234560", ""},
                 {"letters and signs", "S", "Tab", "12ab3-4 5.6789", "123456789", "1234567890", ""},
                 {"user MMSI emptied", "S", "Tab", "", "", "", ""},
                 {"eight digits", "S", "Tab", "36612345", "36612345", "1112223330", "User MMSI"},
                 {"eight digits, page switched", "S", "page", "36612345", "111222333", "1112223330",
                  ""},
                 {"a tenth digit", "SM1", "Tab", "1234567890", "123456789", "1234567890", ""},
                 {"individual, eight digits", "SM1", "Tab", "12345678", "12345678", "1000000010",
                  "Individual Directory MMSI"},
                 {"spaced number by Ctrl+V", "SM1", "Ctrl+V", "555 666-777", "555666777",
                  "5556667770", ""},
                 {"mixed, pasted from the menu", "SM1", "paste", "12ab34", "1234", "1000000010",
                  "Individual Directory MMSI"},
                 {"group MMSI", "SG1", "Tab", "87654321", "87654321", "0876543210", ""},
                 {"group, a ninth digit", "SG2", "Tab", "123456789", "12345678", "0123456780", ""},
                 {"group emptied", "SG2", "Tab", "", "", "", ""},
                 {"group, seven digits", "SG1", "Tab", "1234567", "1234567", "0200000010",
                  "Group Directory MMSI"},
                 {"group, page switched", "SG1", "page", "123", "20000001", "0200000010", ""}});
    }
    void digitEntry() {
        QFETCH(QString, key);
        QFETCH(QString, how);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, stored);
        QFETCH(QString, said);
        Desk desk;
        UseEntries(desk);
        QVERIFY(desk.ShowActive());
        QLineEdit* box = ClickBox(desk, key);
        if (how == "Ctrl+V" || how == "paste") {
            Retype(box, "");
            QGuiApplication::clipboard()->setText(typed);
            // As the window system sends Ctrl+V: the key with its control character.
            QKeyEvent press(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier, QString(QChar(0x16)));
            if (how == "paste")
                box->paste();
            else
                QApplication::sendEvent(box, &press);
        } else {
            Retype(box, typed);
        }
        if (how == "page")
            QVERIFY(desk.window->SelectNodeByKey("PW"));
        else
            QTest::keyClick(box, Qt::Key_Tab);
        QCoreApplication::processEvents();
        QCOMPARE(box->text(), shown);
        QCOMPARE(QString::fromStdString(Stored(desk.app, key)), stored);
        QStringList messages;
        for (const ShownMessage& message : desk.prompter.messages) {
            QCOMPARE(message.icon, MessageIcon::Exclamation);
            QCOMPARE(message.text, std::string("Data Error!!"));
            messages << QString::fromStdString(message.title);
        }
        QCOMPARE(messages.join('|'), said);
        QCOMPARE(QApplication::focusWidget() == box, !said.isEmpty());
        if (how != "page" && said.isEmpty()) {
            // Shown again, the box holds what was typed: a group's leading "0" is the label's.
            desk.window->RefreshCurrentPage();
            QCOMPARE(box->text(), shown);
        }
    }

    // A panel change moves the focus on: a refused entry keeps its panel up, an accepted one lets
    // the other panel come.
    void digitEntry_keepsItsPanelWhileRefused() {
        Desk desk;
        QVERIFY(desk.ShowActive());
        QLineEdit* box = ClickBox(desk, "S");
        QTest::keyClicks(box, "12345");
        auto* tabs = desk.Find<QTabBar>("tbsFNE");
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
        QCoreApplication::processEvents();
        QCOMPARE(desk.prompter.messages.size(), std::size_t(1));
        QCOMPARE(tabs->currentIndex(), 1);
        QCOMPARE(QApplication::focusWidget(), box);
        QTest::keyClick(box, Qt::Key_End);
        QTest::keyClicks(box, "6789");
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
        QCOMPARE(tabs->currentIndex(), 0);
        QVERIFY(desk.Find("cmbFCont")->parentWidget()->isEnabled());
        QVERIFY(!box->parentWidget()->isEnabled());
        QCOMPARE(desk.app.Data.Common.UserMmsid, std::string("1234567890"));
        QCOMPARE(desk.prompter.messages.size(), std::size_t(1));
    }

    // A number typed, then a command reached as a user reaches it, with real message boxes: the
    // command sees the entry and checks it, whichever way the focus went meanwhile. A refused
    // entry stops the command and keeps its page, its node, the focus and the digits.
    void pendingEntry_reachesTheCommand_data() {
        AddRows({"key", "typed", "route", "refusals"},  // none: the command ran with the number
                {{"Save As by keys", "S", "987654321", "keys", "0"},
                 {"Save As by mouse", "SG1", "87654321", "mouse", "0"},
                 {"Ctrl+S", "SM1", "987654321", "ctrl+s", "0"},
                 {"Add, then Save As by mouse", "SM2", "555666777", "add", "0"},
                 {"Program by keys", "S", "987654321", "program", "0"},
                 {"eight digits, Save As by keys", "S", "12345678", "keys", "1"},
                 {"eight digits, Ctrl+S", "S", "12345678", "ctrl+s", "1"},
                 {"eight digits, Tab, Tab, toolbar Save", "S", "12345678", "tabs", "3"},
                 {"eight digits, Clear", "S", "12345678", "clear", "1"},
                 {"eight digits, a tree click", "S", "12345678", "tree", "1"},
                 {"seven digits, Ctrl+N", "SM1", "1234567", "new", "1"}});
    }
    void pendingEntry_reachesTheCommand() {
        QFETCH(QString, key);
        QFETCH(QString, typed);
        QFETCH(QString, route);
        QFETCH(QString, refusals);
        Desk desk;
        UseEntries(desk);
        if (route == "program")
            desk.PressOkInDialogs();
        QVERIFY(desk.ShowActive());
        desk.UseRealBoxes();
        if (route == "add") {
            // Add keeps the focus on the page, in the name box: an arrow key stays there.
            desk.ClickNode(key);
            QTest::mouseClick(desk.Find("chkGEnable"), Qt::LeftButton);
            QCOMPARE(QApplication::focusWidget(), desk.Find("txtGPosi"));
            QTest::keyClick(desk.Find("txtGPosi"), Qt::Key_Down);
            QCOMPARE(desk.CurrentKey(), key);
        }
        QLineEdit* box = ClickBox(desk, key);
        Retype(box, typed);
        const AppState before = desk.app;
        AppState expected = desk.app;
        Stored(expected, key) = (key.startsWith("SG") ? "0" : "") + typed.toStdString() + "0";
        const QString path = desk.dir.filePath("boat.dat");
        desk.prompter.paths = {path.toStdString()};
        if (route == "keys") {
            desk.ChooseByKeys(Qt::Key_F, Qt::Key_A);
        } else if (route == "mouse" || route == "add") {
            desk.ChooseByMouse("mnuFile", "mnuFileSaveAs");
        } else if (route == "ctrl+s" || route == "new") {
            QTest::keyClick(box, route == "new" ? Qt::Key_N : Qt::Key_S, Qt::ControlModifier);
        } else if (route == "clear") {
            QTest::mouseClick(desk.Find("cmdFClear"), Qt::LeftButton);
        } else if (route == "tree") {
            NavigationTree* tree = desk.window->Tree();
            QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                              tree->visualItemRect(tree->FindKey("E")).center());
        } else if (route == "program") {
            desk.ChooseByKeys(Qt::Key_T, Qt::Key_P);
        } else {
            for (int tab = 0; tab < 2; ++tab) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                QCoreApplication::processEvents();
                QCOMPARE(QApplication::focusWidget(), box);
            }
            desk.ClickTool("Save");
        }
        QCoreApplication::processEvents();
        if (refusals == "0") {
            if (route == "program") {
                const MemoryImage memory = desk.sim.Memory();
                QCOMPARE(QByteArray(reinterpret_cast<const char*>(&memory[0x150]), 5).toHex(),
                         typed.toLatin1() + "0");
            } else {
                QVERIFY(desk.prompter.messages.empty());
                QCOMPARE(ReadBytes(path),
                         QByteArray::fromStdString(WriteDataFile(expected.Shared, expected.Data)));
            }
            return;
        }
        QCOMPARE(int(desk.prompter.messages.size()), refusals.toInt());
        for (const ShownMessage& message : desk.prompter.messages)
            QCOMPARE(QString::fromStdString(message.title + ": " + message.text),
                     RefusalTitle(key) + ": Data Error!!");
        QVERIFY(desk.prompter.dialogFilters.empty());
        QCOMPARE(desk.dialogs, 0);
        QVERIFY(!desk.Find<QTimer>("Timer1")->isActive());
        QCOMPARE(QApplication::focusWidget(), box);
        QCOMPARE(box->text(), typed);
        QCOMPARE(desk.CurrentKey(), key);
        QVERIFY(desk.ActivePage()->isAncestorOf(box));
        QCOMPARE(Edits(before, desk.app), QString());
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
    void wheel_changesAListOnlyWithTheFocus_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("focused");
        QTest::addColumn<QString>("edit");
        QTest::newRow("dimmer") << "S"
                                << "cmbFDim"
                                << "cmbFCont"
                                << "Setting Dimmer: HI -> MID";
        QTest::newRow("EXP position") << "E5"
                                      << "cmbCN"
                                      << "chkCEnable"
                                      << "EXP 5 Position: 0 -> 1";
    }
    void wheel_changesAListOnlyWithTheFocus() {
        QFETCH(QString, key);
        QFETCH(QString, list);
        QFETCH(QString, focused);
        QFETCH(QString, edit);
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
        QCOMPARE(Edits(before, desk.app).section('\n', 0, 0), edit);
    }
};

QTEST_MAIN(TestSettingsPage)
#include "tst_settings_page.moc"
