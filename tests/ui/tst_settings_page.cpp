// The common settings page as a user drives it: value lists, the model's rows, check boxes and
// the MMSI and ATIS boxes, alone and inside the main window.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest>

#include <memory>
#include "tests/ui/window_desk.h"

#include "image/setting_text.h"
#include "link/clone_operations.h"
#include "storage/data_file_writer.h"
#include "storage/error_log.h"
#include "storage/settings_store.h"
#include "tests/support/test_platform.h"
#include "ui/main_window.h"
#include "ui/settings_page.h"

using namespace chanwright;
using namespace chanwright::test;

namespace {

using Field = int16_t CommonSettings::*;

Field FieldNamed(const QString& name) {
    static const QHash<QString, Field> fields = {
        {"Contrast", &CommonSettings::Contrast},     {"Dimmer", &CommonSettings::Dimmer},
        {"OffsetTime", &CommonSettings::OffsetTime}, {"ScanType", &CommonSettings::ScanType},
        {"Scrambler", &CommonSettings::Scrambler},   {"Ind", &CommonSettings::Ind},
        {"KeyBeep", &CommonSettings::KeyBeep},       {"WxAlert", &CommonSettings::WxAlert},
        {"IndReply", &CommonSettings::IndReply},     {"IndACK", &CommonSettings::IndACK},
        {"POSRR", &CommonSettings::POSRR},           {"DscScan", &CommonSettings::DscScan},
    };
    return fields.value(name);
}

// The page in a window of its own, as the active page of the window.
// Settings ▸ DSC Setup by mouse, then the user MMSI box clicked and typed into.
QLineEdit* TypeUserMmsi(Desk& desk, const QString& typed) {
    auto* tabs = desk.window->findChild<QTabBar*>("tbsFNE");
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    auto* box = desk.window->findChild<QLineEdit*>("txtFUser");
    QTest::mouseClick(box, Qt::LeftButton);
    QTest::keyClicks(box, typed);
    return box;
}

struct Bench {
    Bench() {
        auto* layout = new QVBoxLayout(&window);
        page = new SettingsPage(app, prompter, entry, &window);
        layout->addWidget(page);
        page->Reset();
    }
    template <typename T = QWidget>
    T* Find(const QString& name) const {
        T* found = page->findChild<T*>(name);
        if (!found)
            qFatal("no control %s", qPrintable(name));
        return found;
    }
    QLabel* Caption(const QString& text) const {
        for (QLabel* label : page->findChildren<QLabel*>())
            if (label->text() == text)
                return label;
        qFatal("no caption %s", qPrintable(text));
    }
    // Fills the page and brings up the panel that holds the control.
    void Show(const QString& control) {
        page->Fill();
        page->SelectSubPage(Find(control)->parentWidget()->property("index").toInt());
    }
    // Shows the window and focuses the control; a box's text is selected once events have run.
    bool Focus(QWidget* control) {
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            return false;
        window.activateWindow();
        control->setFocus();
        QCoreApplication::processEvents();
        return QApplication::focusWidget() == control;
    }

    AppState app;
    RecordingPrompter prompter;
    EntryPending entry;
    QWidget window;
    SettingsPage* page = nullptr;
};

}  // namespace

class TestSettingsPage : public QObject {
    Q_OBJECT

  private slots:
    // The lists' own cases; the pages below go through the rest.
    void settingTexts() {
        const std::vector<std::string> texts = OffsetTimeList();
        QCOMPARE(texts.size(), std::size_t(25));
        QCOMPARE(texts[11] + texts[13], std::string("-1:00+1:00"));
        for (int index = 0; index <= 3; ++index)
            QCOMPARE(LevelToIndex(IndexToLevel(index)), index);
        QCOMPARE(IndexToLevel(4), 0);
        QCOMPARE(LevelToIndex(-1), 3);
        QCOMPARE(ScramblerIndex(4), 4);
        QCOMPARE(ScramblerIndex(5), 0);
    }

    // A list shows the stored value; a key the user presses stores the new choice at once.
    void lists_showAndStore_data() {
        QTest::addColumn<QString>("combo");
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("after");
        const auto row = [](const char* name, const char* combo, const char* field, int stored,
                            const char* shown, Qt::Key key, int after) {
            QTest::newRow(name) << QString(combo) << QString(field) << stored << QString(shown)
                                << int(key) << after;
        };
        row("dimmer HI to OFF", "cmbFDim", "Dimmer", 3, "HI", Qt::Key_End, 0);
        row("dimmer unknown, up", "cmbFDim", "Dimmer", 9, "OFF", Qt::Key_Up, 1);
        row("ringer 5 times to 3 min", "cmbFIND", "Ind", 0, "5 times", Qt::Key_Home, 3);
        row("ringer 3 min, down", "cmbFIND", "Ind", 3, "3 min", Qt::Key_Down, 2);
        row("no offset, 10 on", "cmbFOffset", "OffsetTime", 12, " 0:00", Qt::Key_PageDown, 22);
        row("no offset, 10 back", "cmbFOffset", "OffsetTime", 12, " 0:00", Qt::Key_PageUp, 2);
        row("offset, 10 on stops", "cmbFOffset", "OffsetTime", 20, "+8:00", Qt::Key_PageDown, 24);
        row("last offset to first", "cmbFOffset", "OffsetTime", 24, "+12:00", Qt::Key_Home, 0);
        row("scrambler code 0", "cmbFScrambler", "Scrambler", 1, "0", Qt::Key_Down, 2);
        row("scrambler unknown", "cmbFScrambler", "Scrambler", 5, "OFF", Qt::Key_End, 4);
        row("priority scan", "cmbFScan", "ScanType", 1, "Priority", Qt::Key_Home, 0);
        row("contrast", "cmbFCont", "Contrast", 7, "7", Qt::Key_Home, 0);
    }
    void lists_showAndStore() {
        QFETCH(QString, combo);
        QFETCH(QString, field);
        QFETCH(int, stored);
        QFETCH(QString, shown);
        QFETCH(int, key);
        QFETCH(int, after);
        Bench bench;
        int16_t& value = bench.app.Data.Common.*FieldNamed(field);
        value = int16_t(stored);
        bench.Show(combo);
        QCOMPARE(bench.Find<QComboBox>(combo)->currentText(), shown);
        QCOMPARE(int(value), stored);
        QTest::keyClick(bench.Find(combo), Qt::Key(key));
        QCOMPARE(int(value), after);
    }

    // A value no list holds leaves the list as it was: the previous choice, or none after a reset.
    void fill_keepsTheChoiceForAnUnlistedValue() {
        Bench bench;
        CommonSettings& common = bench.app.Data.Common;
        common.Contrast = 9;
        common.OffsetTime = 30;
        bench.page->Fill();
        QCOMPARE(bench.Find<QComboBox>("cmbFCont")->currentIndex(), -1);
        common.Contrast = 3;
        common.OffsetTime = 14;
        bench.page->Fill();
        common.Contrast = 9;
        common.OffsetTime = 30;
        bench.page->Fill();
        QCOMPARE(bench.Find<QComboBox>("cmbFCont")->currentText(), QString("3"));
        QCOMPARE(bench.Find<QComboBox>("cmbFOffset")->currentText(), QString("+2:00"));
    }

    // Each box says what a tick means; a click on the box, on that label or on the row's caption
    // stores the new state, unless Busy.
    void checkBoxes_storeTheirStateUnlessBusy_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("caption");
        for (const char* row :
             {"chkFBeep KeyBeep [On] Key Beep", "chkFWX WxAlert [On] WX Alert",
              "chkFindReply IndReply [Auto] Individual Reply",
              "chkFindAck IndACK [Able to Comply] Individual ACK",
              "chkFposRR POSRR [Auto] POS Request Reply", "chkFDSC DscScan [On] DSC Scan"}) {
            const QStringList words = QString(row).split(' ');
            const int caption = words.indexOf(QRegularExpression(".*\\]"), 2) + 1;
            QTest::newRow(row) << words[0] << words[1] << words.mid(2, caption - 2).join(' ')
                               << words.mid(caption).join(' ');
        }
    }
    void checkBoxes_storeTheirStateUnlessBusy() {
        QFETCH(QString, box);
        QFETCH(QString, field);
        QFETCH(QString, label);
        QFETCH(QString, caption);
        Bench bench;
        bench.Show(box);
        QVERIFY(bench.Focus(bench.Find(box)));
        int16_t& value = bench.app.Data.Common.*FieldNamed(field);
        auto* check = bench.Find<QCheckBox>(box);
        QCOMPARE(check->text(), label);
        QTest::keyClick(check, Qt::Key_Space);
        QCOMPARE(value, kTrue);
        bench.app.Shared.Busy = kTrue;
        QTest::keyClick(check, Qt::Key_Space);
        QCOMPARE(value, kTrue);
        bench.app.Shared.Busy = kFalse;
        QTest::keyClick(check, Qt::Key_Space);  // checked again: no change to store
        QLabel* rowCaption = bench.Caption(caption);
        QTest::mouseClick(rowCaption, Qt::LeftButton);
        QCOMPARE(value, kFalse);
        QVERIFY(!check->isChecked());
        QTest::mouseClick(rowCaption, Qt::LeftButton);
        QCOMPARE(value, kTrue);
        QCOMPARE(QApplication::focusWidget(), check);
    }

    void atisSwitches_areStoredEvenWhileBusy() {
        Bench bench;
        bench.Show("chkFATIS");
        bench.app.Shared.Busy = kTrue;
        const CommonSettings& common = bench.app.Data.Common;
        const QStringList texts = {"USA", "INTERNATIONAL", "CANADA"};
        for (QCheckBox* box : bench.page->findChildren<QCheckBox*>("chkFATIS")) {
            QCOMPARE(box->text(), texts.value(box->property("index").toInt()));
            QTest::keyClick(box, Qt::Key_Space);
        }
        QCOMPARE((std::vector<Bool16>{common.AtisOnOffUSA, common.AtisOnOffInternational,
                                      common.AtisOnOffCanada}),
                 std::vector<Bool16>(3, kTrue));
    }

    void fill_showsTheTextsAndKeepsBusy_data() {
        QTest::addColumn<bool>("busy");
        QTest::newRow("idle") << false;
        QTest::newRow("busy") << true;
    }
    void fill_showsTheTextsAndKeepsBusy() {
        QFETCH(bool, busy);
        Bench bench;
        CommonSettings& common = bench.app.Data.Common;
        common.UserMmsid = "3660012340";
        common.AtisNo = "9123456789";
        common.KeyBeep = 1;  // any non-zero value is on
        bench.app.Image[341] = 200;
        bench.app.Shared.Busy = ToBool16(busy);
        bench.page->SelectSubPage(1);
        bench.page->Fill();
        QCOMPARE(bench.app.Shared.Busy, ToBool16(busy));
        QCOMPARE(bench.Find<QLineEdit>("txtFUser")->text(), QString("366001234"));
        QCOMPARE(bench.Find<QLineEdit>("txtFATISNo")->text(), QString("9123456789"));
        QCOMPARE(bench.Find<QLineEdit>("txtFCount")->text(), QString("200"));
        QVERIFY(bench.Find<QLineEdit>("txtFCount")->isReadOnly());
        QVERIFY(bench.Find<QCheckBox>("chkFBeep")->isChecked());
        QCOMPARE(bench.Find<QTabBar>("tbsFNE")->currentIndex(), 0);
        QCOMPARE(bench.Find<QStackedWidget>({})->currentIndex(), 0);
        QVERIFY(!bench.entry.Pending());
        QVERIFY(bench.Find<QCheckBox>("chkFMAG")->isHidden());
    }

    void reset_emptiesThePage() {
        Bench bench;
        CommonSettings& common = bench.app.Data.Common;
        common = {3, 2, 1,     kTrue, kTrue, kTrue, kTrue, kTrue, "1234567890",
                  1, 2, kTrue, kTrue, kTrue, kTrue, kTrue, 5,     "1234567890"};
        bench.page->Fill();
        bench.page->Reset();
        for (const char* name :
             {"cmbFCont", "cmbFDim", "cmbFOffset", "cmbFScan", "cmbFScrambler", "cmbFIND"})
            QCOMPARE(bench.Find<QComboBox>(name)->currentIndex(), -1);
        for (const char* name : {"chkFBeep", "chkFMAG", "chkFDSC"})
            QVERIFY(!bench.Find<QCheckBox>(name)->isChecked());
        for (QCheckBox* box : bench.page->findChildren<QCheckBox*>("chkFATIS"))
            QVERIFY(!box->isChecked());
        for (const char* name : {"txtFUser", "txtFATISNo", "txtFCount"})
            QVERIFY(bench.Find<QLineEdit>(name)->text().isEmpty());
        QCOMPARE(bench.Find<QComboBox>("cmbFOffset")->count(), 25);
        QCOMPARE(bench.Find<QComboBox>("cmbFIND")->count(), 4);
    }

    // Rows by caption: where each one sits (pixels from the panel's top), or -1 when hidden.
    void modelLayout_data() {
        QTest::addColumn<int>("model");
        QTest::addColumn<QList<int>>("tops");
        QTest::newRow("HV2071P") << int(kModelHV2071P) << QList<int>{8, 39, 64, 92, 120, 148, 176};
        QTest::newRow("TQ5300") << int(kModelTQ5300) << QList<int>{-1, -1, 8, -1, 39, 64, 176};
    }
    void modelLayout() {
        QFETCH(int, model);
        QFETCH(QList<int>, tops);
        const QStringList captions = {"Contrast Level", "Dimmer Status", "Offset Time",
                                      "Key Beep",       "WX Alert",      "Scan Type",
                                      "Voice Scrambler"};
        const QStringList controls = {"cmbFCont", "cmbFDim",  "cmbFOffset",   "chkFBeep",
                                      "chkFWX",   "cmbFScan", "cmbFScrambler"};
        Bench bench;
        // Each model's layout must also undo the other's.
        bench.app.Shared.ModelNum = model == kModelTQ5300 ? kModelHV2071P : kModelTQ5300;
        bench.page->Fill();
        bench.app.Shared.ModelNum = int16_t(model);
        bench.page->Fill();
        for (int i = 0; i < captions.size(); ++i) {
            QLabel* caption = bench.Caption(captions[i]);
            QWidget* control = bench.Find(controls[i]);
            QCOMPARE(caption->parentWidget(), control->parentWidget());
            QCOMPARE(caption->isHidden(), tops[i] < 0);
            QCOMPARE(control->isHidden(), tops[i] < 0);
            if (tops[i] >= 0) {
                QCOMPARE(caption->y(), tops[i]);
                QCOMPARE(control->y(), tops[i]);
                QVERIFY(caption->geometry().right() < control->x());
            }
        }
    }

    void digitEntry_validatedWhenTheFocusMovesOn_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("refusal");  // the message's title
        const auto row = [](const char* name, const char* box, const char* typed,
                            const char* stored, const char* refusal) {
            QTest::newRow(name) << QString(box) << QString(typed) << QString(stored)
                                << QString(refusal);
        };
        row("nine digits", "txtFUser", "366123456", "3661234560", "");
        row("eight digits", "txtFUser", "36612345", "", "User MMSI");
        row("emptied", "txtFUser", "", "", "");
        row("ten ATIS digits", "txtFATISNo", "9211234567", "9211234567", "");
        row("nine ATIS digits", "txtFATISNo", "921123456", "", "ATISNo");
    }
    void digitEntry_validatedWhenTheFocusMovesOn() {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QFETCH(QString, refusal);
        Bench bench;
        CommonSettings& common = bench.app.Data.Common;
        std::string& value = box == "txtFUser" ? common.UserMmsid : common.AtisNo;
        value = box == "txtFUser" ? "1112223330" : "1112223334";
        const std::string before = value;
        bench.Show(box);
        auto* edit = bench.Find<QLineEdit>(box);
        QSignalSpy hints(bench.page, &SettingsPage::StatusHint);
        QVERIFY(bench.Focus(edit));
        QCOMPARE(hints.value(0).value(0).toString(),
                 box == "txtFUser" ? QString("Numeric Only. Indispensable 9 figures.")
                                   : QString("Numeric Only. Indispensable 10 figures."));
        QTest::keyClick(edit, Qt::Key_Backspace);  // the whole text is selected
        QTest::keyClicks(edit, typed);
        QVERIFY(bench.entry.Pending());
        QTest::keyClick(edit, Qt::Key_Tab);
        QCoreApplication::processEvents();
        if (refusal.isEmpty()) {
            QVERIFY(bench.prompter.messages.empty());
            QCOMPARE(QString::fromStdString(value), stored);
            QVERIFY(QApplication::focusWidget() != edit);
        } else {
            QCOMPARE(bench.prompter.messages.size(), std::size_t(1));
            QCOMPARE(bench.prompter.messages[0].text, std::string("Data Error!!"));
            QCOMPARE(QString::fromStdString(bench.prompter.messages[0].title), refusal);
            QCOMPARE(bench.prompter.messages[0].icon, MessageIcon::Exclamation);
            QCOMPARE(value, before);
            QCOMPARE(QApplication::focusWidget(), edit);
        }
    }

    // The focus taken away by the program: a refused entry quietly shows the stored value again.
    void digitEntry_restoredQuietly_data() {
        QTest::addColumn<QString>("box");
        QTest::newRow("user MMSI") << QString("txtFUser");
        QTest::newRow("ATIS number") << QString("txtFATISNo");
    }
    void digitEntry_restoredQuietly() {
        QFETCH(QString, box);
        Bench bench;
        bench.app.Data.Common.UserMmsid = "1112223330";
        bench.app.Data.Common.AtisNo = "4445556667";
        const CommonSettings before = bench.app.Data.Common;
        bench.Show(box);
        auto* edit = bench.Find<QLineEdit>(box);
        QVERIFY(bench.Focus(edit));
        QTest::keyClicks(edit, "55");
        edit->clearFocus();
        QCOMPARE(edit->text(), box == "txtFUser" ? QString("111222333") : QString("4445556667"));
        QVERIFY(bench.app.Data.Common == before);
        QVERIFY(bench.prompter.messages.empty());
        QVERIFY(!bench.entry.Pending());
    }

    // Only digits get in; a panel change is a move to another control, so a refused entry
    // keeps its panel up.
    void digitEntry_keepsItsPanelWhileRefused() {
        Bench bench;
        bench.Show("txtFUser");
        auto* edit = bench.Find<QLineEdit>("txtFUser");
        QVERIFY(bench.Focus(edit));
        QTest::keyClicks(edit, "12ab3.45");
        QCOMPARE(edit->text(), QString("12345"));
        auto* tabs = bench.Find<QTabBar>("tbsFNE");
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
        QCoreApplication::processEvents();
        QCOMPARE(bench.prompter.messages.size(), std::size_t(1));
        QCOMPARE(tabs->currentIndex(), 1);
        QCOMPARE(QApplication::focusWidget(), edit);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, "567890");
        QCOMPARE(edit->text(), QString("123456789"));
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
        QCOMPARE(tabs->currentIndex(), 0);
        QVERIFY(bench.Find("cmbFCont")->parentWidget()->isEnabled());
        QVERIFY(!edit->parentWidget()->isEnabled());
        QCOMPARE(bench.app.Data.Common.UserMmsid, std::string("1234567890"));
        QCOMPARE(bench.prompter.messages.size(), std::size_t(1));
    }

    void hints_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("hint");
        const QString list = "[Up/Down]:1 step, [Page Up/Page Down]:10 steps, [Home/End]:Head/End";
        const QString check = "[Space]:An effective and invalid change.";
        for (const char* combo : {"cmbFCont", "cmbFOffset", "cmbFIND"})
            QTest::newRow(combo) << QString(combo) << list;
        for (const char* box : {"chkFBeep", "chkFindAck", "chkFATIS"})
            QTest::newRow(box) << QString(box) << check;
        QTest::newRow("clear") << QString("cmdFClear")
                               << "A Click Inicializes the number of User MMSI setting permission";
    }
    void hints() {
        QFETCH(QString, control);
        QFETCH(QString, hint);
        Bench bench;
        bench.Show(control);
        QSignalSpy hints(bench.page, &SettingsPage::StatusHint);
        QVERIFY(bench.Focus(bench.Find(control)));
        QCOMPARE(hints.size(), 1);
        QCOMPARE(hints[0][0].toString(), hint);
    }

    // A data area too small for a panel scrolls it: every control can be brought into view.
    void smallPage_scrollsEveryControlIntoView_data() {
        QTest::addColumn<QString>("control");
        QTest::newRow("last radio row") << QString("cmbFScrambler");
        QTest::newRow("last DSC row") << QString("chkFDSC");
        QTest::newRow("Clear") << QString("cmdFClear");
    }
    void smallPage_scrollsEveryControlIntoView() {
        QFETCH(QString, control);
        Bench bench;
        bench.window.resize(160, 120);
        bench.Show(control);
        QWidget* widget = bench.Find(control);
        QVERIFY(bench.Focus(widget));
        bench.Find<QScrollArea>("pictFScroll")->ensureWidgetVisible(widget);
        QCOMPARE(widget->visibleRegion().boundingRect(), widget->rect());
    }

    // The wheel over a list without the focus scrolls the page and leaves the setting alone.
    void wheel_changesAListOnlyWithTheFocus() {
        Bench bench;
        bench.app.Data.Common.Dimmer = 3;
        bench.Show("cmbFDim");
        auto* list = bench.Find<QComboBox>("cmbFDim");
        QVERIFY(bench.Focus(bench.Find("cmbFCont")));
        TurnWheel(list, -2);
        QCOMPARE(bench.app.Data.Common.Dimmer, int16_t(3));
        QCOMPARE(list->currentText(), QString("HI"));
        QCOMPARE(QApplication::focusWidget(), bench.Find("cmbFCont"));
        list->setFocus();
        TurnWheel(list, -1);
        QCOMPARE(bench.app.Data.Common.Dimmer, int16_t(2));
    }

    // A user MMSI typed, then a command reached as a user reaches it, with real message boxes:
    // the command sees the entry and checks it, whichever way the focus went meanwhile.
    void userMmsi_reachesTheCommand_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("route");
        QTest::addColumn<int>("refusals");  // "Data Error!!" messages; none: the file is saved
        const struct {
            const char* name;
            const char* typed;
            const char* route;
            int refusals;
        } rows[] = {{"Save As by keys", "987654321", "keys", 0},
                    {"Save As by mouse", "987654321", "mouse", 0},
                    {"toolbar Save", "987654321", "toolbar", 0},
                    {"eight digits, Save As by keys", "12345678", "keys", 1},
                    {"eight digits, Tab, Tab, toolbar Save", "12345678", "tabs", 3},
                    {"eight digits, Clear", "12345678", "clear", 1}};
        for (const auto& row : rows)
            QTest::newRow(row.name) << QString(row.typed) << QString(row.route) << row.refusals;
    }
    void userMmsi_reachesTheCommand() {
        QFETCH(QString, typed);
        QFETCH(QString, route);
        QFETCH(int, refusals);
        Desk desk;
        QVERIFY(desk.ShowActive());
        desk.UseRealBoxes();
        QLineEdit* box = TypeUserMmsi(desk, typed);
        const QString path = desk.dir.filePath("boat.dat");
        desk.prompter.paths = {path.toStdString()};
        AppState expected = desk.app;
        expected.Data.Common.UserMmsid = typed.toStdString() + "0";
        if (route == "keys") {
            desk.ChooseByKeys(Qt::Key_F, Qt::Key_A);
        } else if (route == "mouse") {
            desk.ChooseByMouse("mnuFile", "mnuFileSaveAs");
        } else if (route == "clear") {
            QTest::mouseClick(desk.window->findChild<QPushButton*>("cmdFClear"), Qt::LeftButton);
            QCoreApplication::processEvents();
        } else {
            for (int tab = 0; route == "tabs" && tab < 2; ++tab) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                QCoreApplication::processEvents();
                QCOMPARE(QApplication::focusWidget(), box);
            }
            desk.ClickTool("Save");
        }
        QCOMPARE(int(desk.prompter.messages.size()), refusals);
        if (refusals == 0) {
            QCOMPARE(ReadBytes(path),
                     QByteArray::fromStdString(WriteDataFile(expected.Shared, expected.Data)));
            return;
        }
        for (const ShownMessage& message : desk.prompter.messages)
            QCOMPARE(message.title + ": " + message.text, std::string("User MMSI: Data Error!!"));
        QVERIFY(desk.prompter.dialogFilters.empty());
        QCOMPARE(desk.dialogs, 0);
        QCOMPARE(QApplication::focusWidget(), box);
        QCOMPARE(box->text(), typed);
        QCOMPARE(desk.app.Data.Common.UserMmsid, std::string());
    }

    // Programmed from the Transfer menu, the radio gets the number still in the box.
    void userMmsi_reachesTheRadio() {
        Desk desk;
        desk.PressOkInDialogs();
        QVERIFY(desk.ShowActive());
        desk.UseRealBoxes();
        TypeUserMmsi(desk, "987654321");
        desk.ChooseByKeys(Qt::Key_T, Qt::Key_P);
        QCOMPARE(desk.prompter.messages.back().text, std::string("Complete!!"));
        const MemoryImage memory = desk.sim.Memory();
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(&memory[0x150]), 5).toHex(),
                 QByteArray("9876543210"));
    }

    // A tree click with a refused entry: one message, and the page, the tree's selection, the
    // focus and the typed digits all stay.
    void treeClick_withARefusedEntry_keepsThePage() {
        Desk desk;
        QVERIFY(desk.ShowActive());
        desk.UseRealBoxes();
        QLineEdit* box = TypeUserMmsi(desk, "12345678");
        NavigationTree* tree = desk.window->Tree();
        const QRect exp = tree->visualItemRect(tree->FindKey("E"));
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, exp.center());
        QCoreApplication::processEvents();
        QCOMPARE(desk.prompter.messages.size(), std::size_t(1));
        QCOMPARE(desk.CurrentKey(), QString("S"));
        QCOMPARE(desk.ActivePage()->objectName(), QString("pictF"));
        QCOMPARE(QApplication::focusWidget(), box);
        QCOMPARE(box->text(), QString("12345678"));
    }

    // Through the window: a command runs only after the focused box's entry is accepted.
    void fileNew_waitsForTheUserMmsi() {
        Desk desk;
        MainWindow& window = *desk.window;
        int dialogs = 0;
        desk.onDialog = [&dialogs](QDialog&) { ++dialogs; };
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.activateWindow();
        auto* page = window.findChild<SettingsPage*>("pictF");
        QVERIFY(page->isEnabled());
        page->findChild<QTabBar*>("tbsFNE")->setCurrentIndex(1);
        auto* edit = page->findChild<QLineEdit*>("txtFUser");
        edit->setFocus();
        QCoreApplication::processEvents();
        QCOMPARE(window.StatusText(), QString("Numeric Only. Indispensable 9 figures."));
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, "1234567");
        window.FileNew();
        QCOMPARE(desk.prompter.messages.size(), std::size_t(1));
        QCOMPARE(desk.prompter.messages[0].text, std::string("Data Error!!"));
        QVERIFY(!window.findChild<QTimer*>("Timer1")->isActive());
        QCOMPARE(QApplication::focusWidget(), edit);
        window.ClearFromSettings();
        QCOMPARE(dialogs, 0);
        QTest::keyClicks(edit, "89");  // the Clear button takes the focus: the entry is checked
        QTest::mouseClick(page->findChild<QPushButton*>("cmdFClear"), Qt::LeftButton);
        QCOMPARE(dialogs, 1);
        QCOMPARE(desk.app.Shared.TransferMode, kTransferClear);
        QCOMPARE(desk.app.Data.Common.UserMmsid, std::string("1234567890"));
    }
};

QTEST_MAIN(TestSettingsPage)
#include "tst_settings_page.moc"
