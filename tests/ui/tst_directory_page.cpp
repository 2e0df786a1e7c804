// The directory entry page `pictG` inside the whole window, so that the node colours, the status
// hints and the commands that check a pending MMSI are the real ones.
#include <QCheckBox>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <memory>

#include "storage/data_file_writer.h"
#include "storage/settings_store.h"
#include "tests/support/test_platform.h"
#include "tests/ui/window_desk.h"
#include "ui/directory_entry_page.h"
#include "ui/main_window.h"
#include "ui/navigation_tree.h"

using namespace chanwright;
using namespace chanwright::test;

namespace {

// The stored MMSI of used entry n: nine digits and the tenth "0"; a group's start with "0".
std::string StoredFor(bool group, int n) {
    return group ? "0" + std::to_string(20000000 + n) + "0" : std::to_string(100000000 + n) + "0";
}

template <std::size_t N>
void UseEntries(std::array<DirectoryEntry, N>& directory, int used, bool group) {
    for (int n = 1; n <= static_cast<int>(N); ++n) {
        directory[static_cast<std::size_t>(n - 1)] =
            n <= used ? DirectoryEntry{kTrue, "NAME" + std::to_string(n), StoredFor(group, n)}
                      : DirectoryEntry{};
    }
}

// Data rows of a name, an entry key, the text typed and what it comes to.
void AddEntryRows(const char* result, std::initializer_list<std::array<const char*, 4>> rows) {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>(result);
    for (const auto& row : rows)
        QTest::newRow(row[0]) << QString(row[1]) << QString(row[2]) << QString(row[3]);
}

// The window with helpers for the entry page.
struct EntryDesk : Desk {
    explicit EntryDesk(const QByteArray& helpText = {})
        : Desk(false, {}, helpText), page(window->findChild<DirectoryEntryPage*>("pictG")) {}

    // Individual entries 1 … individual and group entries 1 … group in use, then the node shown.
    void Show(const QString& key, int individual = 5, int group = 2) {
        UseEntries(app.Data.IndividualDirectory, individual, false);
        UseEntries(app.Data.GroupDirectory, group, true);
        QVERIFY(window->SelectNodeByKey(key));
    }
    template <typename T = QWidget>
    T* Control(const char* name) const {
        return page->findChild<T*>(name);
    }
    QLineEdit* Mmsi() const { return Control<QLineEdit>("txtGMMSI"); }
    QLineEdit* Name() const { return Control<QLineEdit>("txtGPosi"); }
    // The entry nodes' colours, one letter each: "B" the normal text colour, "g" grey.
    QString Shades(bool group) const {
        const NavigationTree* tree = window->Tree();
        const QColor black = tree->palette().color(QPalette::Active, QPalette::Text);
        const QColor grey = tree->palette().color(QPalette::Disabled, QPalette::Text);
        QString shades;
        const int size = group ? kGroupDirectorySize : kIndividualDirectorySize;
        for (int n = 1; n <= size; ++n) {
            const QColor colour =
                tree->FindKey(QString(group ? "SG%1" : "SM%1").arg(n))->foreground(0).color();
            shades += colour == black ? 'B' : colour == grey ? 'g' : '?';
        }
        return shades;
    }
    // Replaces the focused box's text as typed keys do.
    static void Retype(QLineEdit* box, const QString& text) {
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, text);
    }

    DirectoryEntryPage* page;
};

}  // namespace

class TestDirectoryPage : public QObject {
    Q_OBJECT

  private slots:
    // The other directory is shown first, so every setting has to be made both ways.
    void pageFollowsTheEntry_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("used");
        QTest::addColumn<QString>("add");
        QTest::addColumn<QString>("remove");
        QTest::addColumn<bool>("editable");
        QTest::addColumn<QString>("mmsi");
        QTest::newRow("used") << "SM3" << 5 << "checked, disabled"
                              << "unchecked" << true << "100000003";
        QTest::newRow("first free") << "SM6" << 5 << "unchecked"
                                    << "checked, disabled" << false << "";
        QTest::newRow("later free") << "SM7" << 5 << "unchecked, disabled"
                                    << "checked, disabled" << false << "";
        QTest::newRow("last of a full directory") << "SM20" << 20 << "checked, disabled"
                                                  << "unchecked" << true << "100000020";
        QTest::newRow("group used") << "SG2" << 2 << "checked, disabled"
                                    << "unchecked" << true << "20000002";
        QTest::newRow("empty group") << "SG2" << 0 << "unchecked, disabled"
                                     << "checked, disabled" << false << "";
    }
    void pageFollowsTheEntry() {
        QFETCH(QString, key);
        QFETCH(int, used);
        QFETCH(QString, add);
        QFETCH(QString, remove);
        QFETCH(bool, editable);
        QFETCH(QString, mmsi);
        const bool group = key.startsWith("SG");
        EntryDesk desk;
        desk.Show(group ? "SM1" : "SG1", group ? 5 : used, group ? used : 5);
        QVERIFY(desk.window->SelectNodeByKey(key));

        const auto state = [](const QCheckBox* box) {
            return QString(box->isChecked() ? "checked" : "unchecked") +
                   (box->isEnabled() ? "" : ", disabled");
        };
        QCOMPARE(state(desk.Control<QCheckBox>("chkGEnable")), add);
        QCOMPARE(state(desk.Control<QCheckBox>("chkGDelete")), remove);
        for (const char* name : {"lblTag", "txtGPosi", "lblMmsi", "txtGMMSI"})
            QVERIFY2(desk.Control(name)->isEnabled() == editable, name);
        QCOMPARE(desk.Name()->text(), QString(editable ? "NAME" + key.mid(2) : ""));
        QCOMPARE(desk.Mmsi()->text(), mmsi);

        QCOMPARE(desk.Control<QLabel>("lblTag")->text(),
                 QString(group ? "Group Name" : "Station Name"));
        QCOMPARE(desk.Mmsi()->maxLength(), group ? 8 : 9);
        // A group's box starts after the label's "0".
        QCOMPARE(!desk.Control("lblGroup")->isHidden(), group);
        QCOMPARE(desk.Mmsi()->x(), group ? 10 : 0);
        const int topic = group ? 1069 : 1049;
        QCOMPARE(desk.Control("chkGEnable")->property("helpContext").toInt(), topic);
        QCOMPARE(desk.Control("chkGDelete")->property("helpContext").toInt(), topic);
        QCOMPARE(desk.Name()->property("helpContext").toInt(), topic + 1);
        QCOMPARE(desk.Mmsi()->property("helpContext").toInt(), topic + 2);
        QCOMPARE(desk.app.Shared.Busy, kFalse);
    }

    void deleteAnsweredYes_closesTheGap() {
        EntryDesk desk;
        desk.Show("SM3");
        const auto before = desk.app.Data.IndividualDirectory;
        desk.prompter.answers = {MessageAnswer::Yes};
        desk.Control<QCheckBox>("chkGDelete")->click();

        QCOMPARE(desk.prompter.questions.size(), std::size_t(1));
        QCOMPARE(desk.prompter.questions[0].text, std::string("Are you sure ?"));
        QCOMPARE(desk.prompter.questions[0].title, std::string("Chanwright"));
        QCOMPARE(desk.prompter.questions[0].icon, MessageIcon::Critical);
        auto moved = before;
        std::copy(before.begin() + 3, before.end(), moved.begin() + 2);
        moved.back() = DirectoryEntry{};
        QVERIFY(desk.app.Data.IndividualDirectory == moved);
        QCOMPARE(desk.Name()->text(), QString("NAME4"));
        QCOMPARE(desk.Mmsi()->text(), QString("100000004"));
        QVERIFY(!desk.Control<QCheckBox>("chkGDelete")->isChecked());
        QCOMPARE(desk.Shades(false), QString("BBBBB") + QString(15, 'g'));
        QCOMPARE(desk.app.Shared.Busy, kFalse);
    }

    void deleteAnsweredNo_changesNothing() {
        EntryDesk desk;
        desk.Show("SM3");
        const AppState before = desk.app;
        desk.prompter.answers = {MessageAnswer::No};
        auto* box = desk.Control<QCheckBox>("chkGDelete");
        box->click();
        QCOMPARE(desk.prompter.questions.size(), std::size_t(1));
        QVERIFY(desk.app.Data == before.Data);
        QVERIFY(!box->isChecked());
        QVERIFY(box->isEnabled());
        QCOMPARE(desk.app.Shared.Busy, kFalse);
        QCOMPARE(desk.Shades(false), QString("BBBBBB") + QString(14, 'g'));

        // While the program is busy a click asks nothing.
        desk.app.Shared.Busy = kTrue;
        box->click();
        QCOMPARE(desk.prompter.questions.size(), std::size_t(1));
        QVERIFY(desk.app.Data == before.Data);
    }

    void deleteOfTheLastGroupEntry_leavesItFirstFree() {
        EntryDesk desk;
        desk.Show("SG5", 5, 5);
        const auto before = desk.app.Data.GroupDirectory;
        desk.prompter.answers = {MessageAnswer::Yes};
        desk.Control<QCheckBox>("chkGDelete")->click();
        auto cleared = before;
        cleared[4] = DirectoryEntry{};
        QVERIFY(desk.app.Data.GroupDirectory == cleared);
        // Now the first free entry: only Add is open.
        QVERIFY(desk.Control("chkGEnable")->isEnabled() &&
                !desk.Control("chkGDelete")->isEnabled());
        QVERIFY(!desk.Mmsi()->isEnabled());
        QCOMPARE(desk.Shades(true), QString("BBBBB"));
    }

    void add_opensTheFirstFreeEntry() {
        EntryDesk desk;
        desk.Show("SM6");
        QCOMPARE(desk.Shades(false), QString("BBBBBB") + QString(14, 'g'));
        desk.Control<QCheckBox>("chkGEnable")->click();
        QCOMPARE(desk.app.Data.IndividualDirectory[5].Enable, kTrue);
        auto* add = desk.Control<QCheckBox>("chkGEnable");
        QVERIFY(add->isChecked() && !add->isEnabled());
        QVERIFY(desk.Control("chkGDelete")->isEnabled());
        QVERIFY(desk.Name()->isEnabled() && desk.Mmsi()->isEnabled());
        QCOMPARE(desk.Shades(false), QString("BBBBBBB") + QString(13, 'g'));
        QVERIFY(desk.prompter.questions.empty());
    }

    // Typed into the box, then the focus moves on with Tab.
    void mmsiEntry_data() {
        AddEntryRows("stored",  // "-": refused
                     {{"individual 9 digits", "SM1", "987654321", "9876543210"},
                      {"group 8 digits", "SG1", "87654321", "0876543210"},
                      {"group cleared", "SG2", "", ""},
                      {"individual 8 digits", "SM1", "12345678", "-"},
                      {"group 7 digits", "SG1", "1234567", "-"}});
    }
    void mmsiEntry() {
        QFETCH(QString, key);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        const bool group = key.startsWith("SG");
        const int number = key.mid(2).toInt();
        EntryDesk desk;
        desk.Show(key);
        QVERIFY(desk.ShowActive());
        QLineEdit* box = desk.Mmsi();
        box->setFocus();
        QCOMPARE(desk.window->StatusText(), QString("Numeric Only. Indispensable 9 figures."));
        EntryDesk::Retype(box, typed);
        QTest::keyClick(box, Qt::Key_Tab);
        QCoreApplication::processEvents();

        const std::string kept = StoredFor(group, number);
        const DirectoryEntry& entry =
            (group ? desk.app.Data.GroupDirectory.data()
                   : desk.app.Data.IndividualDirectory.data())[number - 1];
        if (stored == "-") {
            QCOMPARE(desk.prompter.messages.size(), std::size_t(1));
            QCOMPARE(desk.prompter.messages[0].text, std::string("Data Error!!"));
            QCOMPARE(desk.prompter.messages[0].title,
                     std::string(group ? "Group Directory MMSI" : "Individual Directory MMSI"));
            QCOMPARE(desk.prompter.messages[0].icon, MessageIcon::Exclamation);
            QCOMPARE(entry.Mmsid, kept);
            QCOMPARE(QApplication::focusWidget(), box);
            return;
        }
        QVERIFY(desk.prompter.messages.empty());
        QCOMPARE(QString::fromStdString(entry.Mmsid), stored);
        QVERIFY(QApplication::focusWidget() != box);
        // Shown again, the box holds what was typed: the label carries a group's leading "0".
        desk.window->RefreshCurrentPage();
        QCOMPARE(box->text(), typed);
    }

    // An MMSI typed, then saved the way a user gets there, with real message boxes on the way:
    // the file holds the number.
    void mmsi_reachesTheFile_data() {
        QTest::addColumn<QString>("route");
        QTest::addColumn<QString>("typed");
        QTest::newRow("Add, then Save As by mouse") << "add"
                                                    << "555666777";
        QTest::newRow("help, Tab, toolbar Save") << "help"
                                                 << "444555666";
    }
    void mmsi_reachesTheFile() {
        QFETCH(QString, route);
        QFETCH(QString, typed);
        EntryDesk desk("<h2 id=\"1051\">MMSI</h2>");
        desk.Show(route == "add" ? "SM2" : "SM1", route == "add" ? 1 : 5);
        QVERIFY(desk.ShowActive());
        desk.UseRealBoxes();
        if (route == "add") {
            // Add keeps the focus on the page, in the name box: an arrow key stays there.
            QTest::mouseClick(desk.Control("chkGEnable"), Qt::LeftButton);
            QCOMPARE(QApplication::focusWidget(), desk.Name());
            QTest::keyClick(desk.Name(), Qt::Key_Down);
            QCOMPARE(desk.CurrentKey(), QString("SM2"));
        }
        QTest::mouseClick(desk.Mmsi(), Qt::LeftButton);
        EntryDesk::Retype(desk.Mmsi(), typed);
        const QString path = desk.dir.filePath("boat.dat");
        desk.prompter.paths = {path.toStdString()};
        AppState expected = desk.app;
        expected.Data.IndividualDirectory[route == "add" ? 1 : 0].Mmsid = typed.toStdString() + "0";
        if (route == "add") {
            desk.ChooseByMouse("mnuFile", "mnuFileSaveAs");
        } else {
            QTest::keyClick(desk.Mmsi(), Qt::Key_F1);
            auto* help = desk.window->findChild<QWidget*>("frmHelp");
            QVERIFY(help);
            QTRY_COMPARE(QApplication::activeWindow(), help);
            help->close();
            QVERIFY(Reactivate(desk.window.get()));
            QCOMPARE(QApplication::focusWidget(), desk.Mmsi());
            QTest::keyClick(desk.Mmsi(), Qt::Key_Tab);
            desk.ClickTool("Save");
        }
        QVERIFY(desk.prompter.messages.empty());
        QCOMPARE(ReadBytes(path),
                 QByteArray::fromStdString(WriteDataFile(expected.Shared, expected.Data)));
    }

    // A paste enters what typing the same characters would enter, by key or by the context menu.
    void paste_entersOnlyDigits_data() {
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<bool>("byKey");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letters by Ctrl+V") << "ABC" << true << "";
        QTest::newRow("spaced number by Ctrl+V") << "555 666-777" << true << "555666777";
        QTest::newRow("mixed from the menu") << "12ab34" << false << "1234";
    }
    void paste_entersOnlyDigits() {
        QFETCH(QString, clipboard);
        QFETCH(bool, byKey);
        QFETCH(QString, shown);
        EntryDesk desk;
        desk.Show("SM1");
        QVERIFY(desk.ShowActive());
        QTest::mouseClick(desk.Mmsi(), Qt::LeftButton);
        EntryDesk::Retype(desk.Mmsi(), "");
        QGuiApplication::clipboard()->setText(clipboard);
        if (byKey) {
            // As the window system sends Ctrl+V: the key with its control character.
            QKeyEvent press(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier, QString(QChar(0x16)));
            QApplication::sendEvent(desk.Mmsi(), &press);
        } else
            desk.Mmsi()->paste();
        QCOMPARE(desk.Mmsi()->text(), shown);
    }

    void mmsiBox_takesDigitsUpToItsLength_data() {
        AddEntryRows("shown", {{"letters and signs", "SM1", "12ab3-4 5.", "12345"},
                               {"individual tenth digit", "SM1", "1234567890", "123456789"},
                               {"group ninth digit", "SG1", "123456789", "12345678"}});
    }
    void mmsiBox_takesDigitsUpToItsLength() {
        QFETCH(QString, key);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        EntryDesk desk;
        desk.Show(key);
        EntryDesk::Retype(desk.Mmsi(), typed);
        QCOMPARE(desk.Mmsi()->text(), shown);
    }

    // The page is left while a refused number is in the box: the stored one comes back quietly.
    void leavingThePage_restoresARefusedMmsi() {
        EntryDesk desk;
        desk.Show("SG1");
        QVERIFY(desk.ShowActive());
        desk.Mmsi()->setFocus();
        EntryDesk::Retype(desk.Mmsi(), "123");
        QVERIFY(desk.window->SelectNodeByKey("PW"));
        QVERIFY(desk.prompter.messages.empty());
        QCOMPARE(desk.Mmsi()->text(), QString("20000001"));
        QCOMPARE(desk.app.Data.GroupDirectory[0].Mmsid, StoredFor(true, 1));
    }

    void fileSave_withARefusedMmsi_stopsBeforeTheDialog() {
        EntryDesk desk;
        desk.Show("SM2");
        QVERIFY(desk.ShowActive());
        desk.Mmsi()->setFocus();
        EntryDesk::Retype(desk.Mmsi(), "1234567");
        desk.window->FileSave();
        QCOMPARE(desk.prompter.messages.size(), std::size_t(1));
        QCOMPARE(desk.prompter.messages[0].text, std::string("Data Error!!"));
        QVERIFY(desk.prompter.dialogFilters.empty());
        QCOMPARE(QApplication::focusWidget(), desk.Mmsi());
        QCOMPARE(desk.app.Data.IndividualDirectory[1].Mmsid, StoredFor(false, 2));
    }

    void name_upperCase_storedAsTyped() {
        EntryDesk desk;
        desk.Show("SM2");
        QVERIFY(desk.ShowActive());
        desk.Name()->setFocus();
        QCOMPARE(desk.window->StatusText(), QString("A maximum of 10 characters."));
        EntryDesk::Retype(desk.Name(), "harbour 9xy");
        QCOMPARE(desk.Name()->text(), QString("HARBOUR 9X"));
        // Stored at once: a Save from the menu while the focus stays here writes this name.
        QCOMPARE(desk.app.Data.IndividualDirectory[1].TagName, std::string("HARBOUR 9X"));
        QTest::keyClick(desk.Name(), Qt::Key_Tab);
        QCOMPARE(desk.window->StatusText(), QString("Numeric Only. Indispensable 9 figures."));
        QTest::keyClick(desk.Mmsi(), Qt::Key_Backtab);
        QTest::keyClick(desk.Name(), Qt::Key_Backtab);
        QCOMPARE(desk.window->StatusText(), QString("[Space]:An effective and invalid change."));
    }

    // Keys outside the two directories reach no entry: nothing is shown, asked or stored.
    void otherKeys_areIgnored_data() {
        QTest::addColumn<QString>("key");
        QTest::newRow("entry 0") << "SM0";
        QTest::newRow("past the individual directory") << "SM21";
        QTest::newRow("past the group directory") << "SG6";
        QTest::newRow("other prefix") << "PU1";
        QTest::newRow("no number") << "SM";
    }
    void otherKeys_areIgnored() {
        QFETCH(QString, key);
        EntryDesk desk;
        desk.Show("SM1");
        QVERIFY(desk.ShowActive());
        const AppState before = desk.app;
        QSignalSpy changed(desk.page, &DirectoryEntryPage::DirectoryChanged);
        desk.page->ShowEntry(key);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(desk.Name()->text(), QString("NAME1"));
        desk.prompter.answers = {MessageAnswer::Yes};
        desk.Control<QCheckBox>("chkGDelete")->click();
        QVERIFY(desk.prompter.questions.empty());
        desk.Mmsi()->setFocus();
        EntryDesk::Retype(desk.Mmsi(), "12");
        QVERIFY(desk.window->CheckPendingEntry());
        QVERIFY(desk.prompter.messages.empty());
        QVERIFY(desk.app.Data == before.Data);
    }
};

QTEST_MAIN(TestDirectoryPage)
#include "tst_directory_page.moc"
