// The main window as a user drives it: tree, pages, menus, file and model commands, the radio
// dialog against the in-process simulator, and closing.
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrintPreviewWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>
#include <memory>

#include "core/messages.h"
#include "image/default_image.h"
#include "storage/data_file_writer.h"
#include "storage/settings_store.h"
#include "tests/support/fake_port.h"
#include "tests/support/radio_memory.h"
#include "tests/support/sim_process.h"
#include "tests/support/test_files.h"
#include "tests/support/test_platform.h"
#include "tests/ui/window_desk.h"
#include "tools/radiosim/radio_sim.h"
#include "ui/flex_grid.h"
#include "ui/main_window.h"
#include "ui/navigation_tree.h"

using namespace chanwright;
using namespace chanwright::test;

class TestMainWindow : public QObject {
    Q_OBJECT

  private slots:
    void startUp_onANewInstallation() {
        Desk desk;
        QCOMPARE(desk.app.Shared.ModelNum, kModelHV2071P);
        QCOMPARE(desk.app.Shared.ComNum, int16_t(1));
        QCOMPARE(desk.app.Shared.RetryCount, int16_t(1));
        QCOMPARE(desk.window->windowTitle(), kTitle);
        QCOMPARE(desk.window->size(), QSize(607, 444));
        QCOMPARE(desk.CurrentKey(), QString("S"));
        QCOMPARE(desk.ActivePage()->objectName(), QString("pictF"));
        QVERIFY(desk.Action("mnuEditModel2")->isChecked());
        QVERIFY(!desk.Action("mnuEditModel1")->isChecked());
        QCOMPARE(desk.Action("mnuEditModel1")->text(), QString("&TQ5300"));
        QCOMPARE(desk.Action("mnuEditModel2")->text(), QString("H&V2071P"));
        const auto ports = desk.window->findChildren<QAction*>("mnuOptionsSerialPort1");
        QCOMPARE(ports.size(), 4);
        QVERIFY(ports[0]->isChecked() && !ports[1]->isChecked());
        QCOMPARE(ports[2]->statusTip(), QString("/dev/ttyACM0"));
        QCOMPARE(FirstModelId(desk.app.Image), kModelIdHV2071P);
        QCOMPARE(desk.busy.changes, (std::vector<bool>{true, false}));
        // Once up, the status bar names the model.
        QVERIFY(desk.ShowActive());
        QCOMPARE(desk.window->StatusText(), QString("HV2071P"));
    }

    void startUp_withStoredModelAndPort() {
        Desk desk(false, "[ModelPath]\nModelNum=1\n[ComPath]\nComNum=3\nPort3=/dev/pts/9\n");
        QCOMPARE(desk.app.Shared.ModelNum, kModelTQ5300);
        QCOMPARE(desk.app.Shared.ComNum, int16_t(3));
        QVERIFY(desk.Action("mnuEditModel1")->isChecked());
        QCOMPARE(FirstModelId(desk.app.Image), kModelIdTQ5300);
        QCOMPARE(desk.window->findChildren<QAction*>("mnuOptionsSerialPort1")[2]->statusTip(),
                 QString("/dev/pts/9"));
    }

    void everyNode_showsItsPage_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("page");
        QTest::newRow("programmable channels") << "P"
                                               << "pictA";
        QTest::newRow("USA list") << "PU"
                                  << "pictB";
        QTest::newRow("USA channel") << "PU0"
                                     << "pictC";
        QTest::newRow("International channel") << "PI3"
                                               << "pictC";
        QTest::newRow("Canada list") << "PC"
                                     << "pictB";
        QTest::newRow("WX") << "PW"
                            << "pictD";
        QTest::newRow("EXP list") << "E"
                                  << "pictB";
        QTest::newRow("EXP channel") << "E40"
                                     << "pictC";
        QTest::newRow("individual list") << "SM"
                                         << "pictE";
        QTest::newRow("group entry") << "SG5"
                                     << "pictG";
        QTest::newRow("individual entry") << "SM1"
                                          << "pictG";
    }
    void everyNode_showsItsPage() {
        QFETCH(QString, key);
        QFETCH(QString, page);
        Desk desk;
        desk.ClickNode(key);
        QCOMPARE(desk.ActivePage()->objectName(), page);
        for (const char* name : {"pictA", "pictB", "pictC", "pictD", "pictE", "pictF", "pictG"})
            QCOMPARE(desk.Page(name)->isEnabled(), page == name);
        QCOMPARE(desk.window->CurrentNodeIndex(),
                 desk.window->Tree()->IndexOf(desk.window->Tree()->currentItem()));
        QCOMPARE(desk.window->StatusText(),
                 QString("[Up]/[Down]/[Left]/[Right]:Change of a Selection item."));
    }

    // A second click on the node whose page is up does not refill it; a reset does.
    void sameNodeAgain_doesNothing() {
        Desk desk;
        desk.ClickNode("PU");
        auto* grid = desk.window->findChild<FlexGrid*>("MSFlexGrid1");
        const QString shown = grid->Text(1, 9);
        desk.app.Data.UsaChannels[0].ChTag = "CHANGED";
        desk.window->Tree()->setCurrentItem(nullptr);
        desk.ClickNode("PU");
        QCOMPARE(grid->Text(1, 9), shown);
        desk.window->RefreshCurrentPage();
        QCOMPARE(grid->Text(1, 9), QString("CHANGED"));
    }

    // Closing the branch that holds the selected channel selects the branch and shows its list.
    void collapsingTheSelectedChannelsBranch_showsTheBranch() {
        Desk desk;
        QVERIFY(desk.ShowActive());
        NavigationTree* tree = desk.window->Tree();
        desk.ClickNode("PU5");
        QCOMPARE(desk.ActivePage()->objectName(), QString("pictC"));
        QTreeWidgetItem* usa = tree->FindKey("PU");
        const QRect row = tree->visualItemRect(usa);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          QPoint(row.left() - tree->indentation() / 2, row.center().y()));
        QVERIFY(!usa->isExpanded());
        QCOMPARE(desk.CurrentKey(), QString("PU"));
        QCOMPARE(desk.ActivePage()->objectName(), QString("pictB"));
    }

    // Every node text can be read: the tree scrolls sideways rather than cut a text off.
    void narrowTree_scrollsSideways() {
        Desk desk;
        QVERIFY(desk.ShowActive());
        NavigationTree* tree = desk.window->Tree();
        tree->expandAll();
        QCoreApplication::processEvents();
        QVERIFY(tree->verticalScrollBar()->isVisible());
        for (int i = 1; i <= tree->NodeCount(); ++i) {
            QTreeWidgetItem* node = tree->Node(i);
            const int needed = tree->sizeHintForIndex(tree->indexFromItem(node)).width();
            QVERIFY2(tree->visualItemRect(node).width() >= needed, qPrintable(node->text(0)));
        }
    }

    void nodeTexts_followTheData() {
        Desk desk;
        NavigationTree* tree = desk.window->Tree();
        QCOMPARE(tree->FindKey("PU0")->text(0), QString("CH01A[Enable]"));
        QCOMPARE(tree->FindKey("E12")->text(0), QString("EXP12"));
        QCOMPARE(tree->FindKey("SM3")->text(0), QString("Individual ID3"));
        desk.app.Data.UsaChannels[0].Enable = kFalse;
        desk.app.Data.ExpChannels[11].Enable = kTrue;
        tree->RefreshNodeTexts();
        QCOMPARE(tree->FindKey("PU0")->text(0), QString("CH01A"));
        QCOMPARE(tree->FindKey("E12")->text(0), QString("EXP12[Enable]"));
        QVERIFY(!desk.window->SelectNodeByKey("PU999"));
        QCOMPARE(desk.CurrentKey(), QString("S"));
    }

    // Unchecking Enable on EXP 12 clears its flag and the node text follows at once.
    void expEnable_changesTheNodeText() {
        Desk desk;
        desk.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(desk.window.get()));
        desk.app.Data.ExpChannels[11].Enable = kTrue;
        desk.window->Tree()->RefreshNodeTexts();
        desk.ClickNode("E12");
        QCOMPARE(desk.window->Tree()->FindKey("E12")->text(0), QString("EXP12[Enable]"));
        QTest::mouseClick(desk.window->findChild<QCheckBox*>("chkCEnable"), Qt::LeftButton);
        QCOMPARE(desk.app.Data.ExpChannels[11].Enable, kFalse);
        QCOMPARE(desk.window->Tree()->FindKey("E12")->text(0), QString("EXP12"));
    }

    void rowJumps_data() {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("grid");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("target");
        QTest::newRow("USA row 1") << "PU"
                                   << "MSFlexGrid1" << 1 << "PU0";
        QTest::newRow("EXP row 1") << "E"
                                   << "MSFlexGrid1" << 1 << "E1";
        QTest::newRow("group row 3") << "SG"
                                     << "MSFlexGrid2" << 3 << "SG3";
    }
    void rowJumps() {
        QFETCH(QString, list);
        QFETCH(QString, grid);
        QFETCH(int, row);
        QFETCH(QString, target);
        Desk desk;
        desk.window->show();
        desk.ClickNode(list);
        auto* table = desk.window->findChild<FlexGrid*>(grid);
        table->setCurrentCell(row - 1, 1);
        table->setFocus();
        QTest::keyClick(table, Qt::Key_Return);
        QCOMPARE(desk.CurrentKey(), target);
        QCOMPARE(desk.ActivePage()->objectName(),
                 QString(target.startsWith("S") ? "pictG" : "pictC"));
    }

    void fileNew_resetsAfterTheTimer() {
        Desk desk;
        desk.app.Data.UsaChannels[0].ChTag = "OLD";
        desk.app.Shared.CurrentFileName = "/x/old.dat";
        desk.window->FileNew();
        auto* timer = desk.window->findChild<QTimer*>("Timer1");
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 100);
        QCOMPARE(desk.app.Data.UsaChannels[0].ChTag, std::string("OLD"));
        desk.window->Timer1Timer();
        QVERIFY(!timer->isActive());
        QVERIFY(desk.app.Data == MakeDefaultApp(kModelHV2071P).Data);
        QCOMPARE(desk.window->windowTitle(), kTitle);
        QCOMPARE(desk.clock.pauses, std::vector<int>{500});
        QCOMPARE(desk.CurrentKey(), QString("S"));
    }

    void fileOpenAndSave_withScriptedDialogs() {
        Desk desk;
        AppState other = MakeDefaultApp(kModelHV2071P);
        other.Data.UsaChannels[0].Enable = kFalse;
        other.Data.UsaChannels[0].ChTag = "HARBOUR";
        const QString path = desk.dir.filePath("My Radio.DAT");
        QVERIFY(
            WriteBytes(path, QByteArray::fromStdString(WriteDataFile(other.Shared, other.Data))));

        desk.prompter.paths = {path.toStdString()};
        desk.window->FileOpen();
        QCOMPARE(desk.app.Data.UsaChannels[0].ChTag, std::string("HARBOUR"));
        QCOMPARE(desk.window->windowTitle(), kTitle + " - my radio.dat");
        QCOMPARE(desk.window->Tree()->FindKey("PU0")->text(0), QString("CH01A"));
        QCOMPARE(desk.prompter.dialogFilters.back(),
                 std::string("dat files(*.dat)|*.dat|All files(*.*)|*.*"));

        // Save after Open writes to the opened file without asking.
        desk.app.Data.UsaChannels[0].ChTag = "MARINA";
        const std::size_t asked = desk.prompter.dialogFilters.size();
        desk.window->FileSave();
        QCOMPARE(desk.prompter.dialogFilters.size(), asked);
        QVERIFY(ReadBytes(path).contains("MARINA"));

        // Save As asks; a cancelled dialog writes nothing and says so with AbortRequested.
        desk.window->FileSaveAs();
        QCOMPARE(desk.app.Shared.AbortRequested, kTrue);
        QCOMPARE(desk.window->windowTitle(), kTitle + " - my radio.dat");
        desk.prompter.paths = {desk.dir.filePath("second").toStdString()};
        desk.window->FileSaveAs();
        QVERIFY(QFile::exists(desk.dir.filePath("second")));
        QCOMPARE(desk.window->windowTitle(), kTitle + " - second");

        // An open cancelled still reloads the page and the node texts.
        desk.app.Data.UsaChannels[0].Enable = kTrue;
        desk.window->FileOpen();
        QCOMPARE(desk.window->Tree()->FindKey("PU0")->text(0), QString("CH01A[Enable]"));
        QCOMPARE(desk.window->windowTitle(), kTitle + " - second");
    }

    void saveWithoutFile_asksLikeSaveAs_andDefaultsGoBesideTheData() {
        Desk desk(false, "[ModelPath]\nModelNum=1\n");
        desk.window->FileSave();
        QCOMPARE(desk.prompter.dialogFilters.size(), std::size_t(1));
        desk.window->FileSaveAsDefault();
        QVERIFY(QFile::exists(desk.dir.filePath("TQ5300.def")));
        QCOMPARE(desk.window->windowTitle(), kTitle);
    }

    void modelChange_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("changed");
        QTest::newRow("OK") << int(MessageAnswer::Ok) << true;
        QTest::newRow("Cancel") << int(MessageAnswer::Cancel) << false;
    }
    void modelChange() {
        QFETCH(int, answer);
        QFETCH(bool, changed);
        Desk desk;
        desk.app.Data.UsaChannels[0].ChTag = "KEEP";
        desk.prompter.answers = {MessageAnswer(answer)};
        desk.Action("mnuEditModel1")->trigger();
        QCOMPARE(desk.prompter.questions.size(), std::size_t(1));
        QCOMPARE(desk.prompter.questions[0].text,
                 std::string("Do yo make new QVX Data for TQ5300?"));
        QCOMPARE(desk.prompter.questions[0].title, std::string("TQ5300/HV2071P QVX"));
        QCOMPARE(desk.app.Shared.ModelNum, changed ? kModelTQ5300 : kModelHV2071P);
        QCOMPARE(desk.Action("mnuEditModel1")->isChecked(), changed);
        QCOMPARE(desk.Action("mnuEditModel2")->isChecked(), !changed);
        QCOMPARE(SettingsStore(desk.dir.filePath("settings.ini")).ReadModelNum(),
                 changed ? kModelTQ5300 : kModelHV2071P);
        QCOMPARE(desk.window->findChild<QTimer*>("Timer1")->isActive(), changed);
        if (changed)
            desk.window->Timer1Timer();
        QCOMPARE(desk.app.Data.UsaChannels[0].ChTag,
                 changed ? MakeDefaultApp(kModelTQ5300).Data.UsaChannels[0].ChTag : "KEEP");
        QCOMPARE(FirstModelId(desk.app.Image), changed ? kModelIdTQ5300 : kModelIdHV2071P);
    }

    void sameModel_asksNothing() {
        Desk desk;
        desk.Action("mnuEditModel2")->trigger();
        QVERIFY(desk.prompter.questions.empty());
        QVERIFY(desk.Action("mnuEditModel2")->isChecked());
    }

    void imageKeys_onlyInDeveloperMode_data() {
        QTest::addColumn<bool>("developer");
        QTest::newRow("normal start") << false;
        QTest::newRow("/K") << true;
    }
    void imageKeys_onlyInDeveloperMode() {
        QFETCH(bool, developer);
        Desk desk(developer);
        desk.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(desk.window.get()));
        QTest::keyClick(desk.window.get(), Qt::Key_F2, Qt::ControlModifier);
        QTest::keyClick(desk.window.get(), Qt::Key_F3, Qt::ControlModifier);
        QCOMPARE(desk.prompter.dialogFilters.size(), std::size_t(developer ? 2 : 0));
    }

    void radioRead_throughTheDialog() {
        Desk desk;
        desk.PressOkInDialogs();
        std::vector<int> progress;
        desk.onDialog = [&progress](QDialog& dialog) {
            auto* bar = dialog.findChild<QProgressBar*>("pictProgress");
            QObject::connect(bar, &QProgressBar::valueChanged,
                             [&progress](int value) { progress.push_back(value); });
            QTest::mouseClick(dialog.findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
            QVERIFY(!dialog.isVisible());
        };
        desk.app.Shared.CurrentFileName = "/x/radio.dat";
        desk.Action("Read")->trigger();
        QCOMPARE(desk.dialogs, 1);
        QCOMPARE(desk.devices, QStringList{"/dev/ttyUSB0"});
        QVERIFY(std::find(progress.begin(), progress.end(), 100) != progress.end());
        QCOMPARE(desk.prompter.messages.back().text, std::string("Complete!!"));
        QCOMPARE(desk.prompter.messages.back().title, std::string("Read from Radio"));
        MemoryImage expected = desk.sim.Memory();
        MemoryImage defaults{};
        BuildDefaultImage(defaults, kModelHV2071P);
        RestoreLocalBytes(expected, defaults);
        QCOMPARE(ImageBytes(desk.app.Image), ImageBytes(expected));
        QCOMPARE(desk.app.Shared.CurrentFileName, std::string());
        QCOMPARE(desk.window->windowTitle(), kTitle);
        QCOMPARE(desk.app.Shared.TransferDone, kFalse);
    }

    void radioProgramAndClear_throughTheDialog() {
        Desk desk;
        desk.PressOkInDialogs();
        desk.app.Data.UsaChannels[0].ChTag = "PROGRAMMED";
        desk.Action("mnuTransferProgram")->trigger();
        QCOMPARE(desk.prompter.messages.back().title, std::string("Program to Radio"));
        QCOMPARE(desk.sim.Memory()[0x0200], uint8_t('P'));
        desk.window->ClearFromSettings();
        QCOMPARE(desk.prompter.messages.back().title, std::string("Clear Data"));
        QCOMPARE(int(desk.sim.Memory()[0x155]), 0);
    }

    void failedRead_changesNothing() {
        Desk desk;
        desk.sim.AddFault(*ParseFault("silence@104"));
        desk.PressOkInDialogs();
        desk.app.Shared.CurrentFileName = "/x/mine.dat";
        desk.window->UpdateTitle();
        const AppState before = desk.app;
        desk.window->TransferRead();
        QCOMPARE(desk.prompter.messages.back().text, std::string("Communication Error!!"));
        QCOMPARE(ImageBytes(desk.app.Image), ImageBytes(before.Image));
        QVERIFY(desk.app.Data == before.Data);
        QCOMPARE(desk.app.Shared.CurrentFileName, std::string("/x/mine.dat"));
        QCOMPARE(desk.window->windowTitle(), kTitle + " - mine.dat");
    }

    // The safety net as a user meets it through the menus: a read leaves a backup, Verify lists
    // what the radio holds otherwise, Restore puts the backup back as it was read, and a failed
    // traced transfer names its trace.
    void safetyNet_throughTheMenus() {
        Desk desk;
        QVERIFY(desk.ShowActive());
        QString verified;
        bool untick = false;
        desk.onDialog = [&](QDialog& dialog) {
            if (auto* text = dialog.findChild<QPlainTextEdit*>("txtDifferences")) {
                verified = text->toPlainText();
                dialog.reject();
                return;
            }
            if (untick)
                dialog.findChild<QCheckBox*>("chkBackupFirst")->setChecked(false);
            QTest::mouseClick(dialog.findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
        };
        desk.ChooseByMouse("mnuTransfer", "mnuTransferRead");
        const QString backup = desk.dir.filePath("backups/HV2071P-20261206-102030.hex");
        QCOMPARE(desk.window->StatusText(), "Backup: " + QDir::toNativeSeparators(backup));
        QCOMPARE(ReadBytes(backup), ImageBytes(desk.app.Image));

        const std::string held = desk.app.Data.UsaChannels[0].ChTag;
        desk.app.Data.UsaChannels[0].ChTag = "EDITED";
        desk.ChooseByMouse("mnuTransfer", "mnuTransferVerify");
        QCOMPARE(verified.section('\n', 0, 0),
                 "USA 01A CH Name: EDITED -> " +
                     QString::fromStdString(held.empty() ? "(empty)" : held));
        QVERIFY(verified.section('\n', 1).startsWith("Differing bytes: "));
        QCOMPARE(desk.app.Data.UsaChannels[0].ChTag, std::string("EDITED"));

        // Another program, then the backup restored without its read first.
        desk.app.Data.UsaChannels[0].ChTag = "OTHER";
        desk.ChooseByMouse("mnuTransfer", "mnuTransferProgram");
        const MemoryImage programmed = desk.sim.Memory();
        desk.prompter.paths = {backup.toStdString()};
        untick = true;
        const size_t from = desk.sim.Log().size();
        desk.ChooseByMouse("mnuTransfer", "mnuTransferRestore");
        QCOMPARE(desk.prompter.dialogFolders,
                 std::vector<std::string>{desk.dir.filePath("backups").toStdString()});
        QVERIFY(!desk.settings.ReadBackupFirst());
        QCOMPARE(QString::fromStdString(desk.sim.Log()[from]).section(' ', 0, 1),
                 QString("read-byte 0000"));
        QCOMPARE(int(desk.sim.Log().size() - from), int(ProgramCommands().size()));
        QCOMPARE(ImageBytes(desk.sim.Memory()),
                 ImageBytes(StoredByRadio(BytesToImage(ReadBytes(backup)), programmed)));
        QCOMPARE(desk.app.Data.UsaChannels[0].ChTag, held);

        desk.ChooseByMouse("mnuOptions", "mnuOptionsLogTraffic");
        QVERIFY(desk.settings.ReadLogSerialTraffic());
        desk.sim.AddFault(*ParseFault("silence"));
        desk.ChooseByMouse("mnuTransfer", "mnuTransferRead");
        const QString trace = desk.dir.filePath("traces/HV2071P-20261206-102030-read.txt");
        QCOMPARE(desk.prompter.messages.back().text,
                 "Communication Error!!\n\nSerial trace: " + trace.toStdString());
        QVERIFY(ReadBytes(trace).contains("# time limit"));
    }

    // Poll 300 is the one in which a block reply completes: the Cancel still stops the read.
    void cancelDuringRead_leavesTheDialogReady() {
        Desk desk;
        QDialog* shown = nullptr;
        desk.onDialog = [&shown](QDialog& dialog) {
            shown = &dialog;
            QTest::mouseClick(dialog.findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
            QVERIFY(dialog.isVisible());
            QVERIFY(dialog.findChild<QPushButton*>("cmdOK")->isEnabled());
        };
        desk.events.onPoll = [&](int poll) {
            if (poll == 300 && shown)
                QTest::mouseClick(shown->findChild<QPushButton*>("cmdCancel"), Qt::LeftButton);
        };
        const MemoryImage before = desk.app.Image;
        desk.window->TransferRead();
        QVERIFY(desk.prompter.messages.empty());
        QCOMPARE(ImageBytes(desk.app.Image), ImageBytes(before));
        QCOMPARE(desk.app.Shared.Busy, kFalse);
    }

    void print_data() {
        QTest::addColumn<bool>("cancel");
        QTest::newRow("printed") << false;
        QTest::newRow("dialog cancelled") << true;
    }
    void print() {
        QFETCH(bool, cancel);
        Desk desk;
        const QString pdf = desk.dir.filePath("report.pdf");
        desk.printTo = cancel ? QString() : pdf;
        desk.Action("Print")->trigger();
        QCOMPARE(desk.printDialogs, 1);
        QCOMPARE(QFile::exists(pdf), !cancel);
        if (!cancel)
            QVERIFY(ReadBytes(pdf).startsWith("%PDF"));
        QVERIFY(desk.prompter.messages.empty());
    }

    // Without a printer, Print offers the pages as a PDF file instead.
    void print_withoutAPrinter_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("typed");  // in the file dialog
        QTest::addColumn<QString>("written");
        QTest::newRow("Yes, a name without suffix") << int(MessageAnswer::Yes) << "boat"
                                                    << "boat.pdf";
        QTest::newRow("Yes, then no name") << int(MessageAnswer::Yes) << ""
                                           << "";
        QTest::newRow("No") << int(MessageAnswer::No) << "boat.pdf"
                            << "";
    }
    void print_withoutAPrinter() {
        QFETCH(int, answer);
        QFETCH(QString, typed);
        QFETCH(QString, written);
        Desk desk;
        desk.printerInstalled = false;
        desk.prompter.answers = {MessageAnswer(answer)};
        desk.prompter.paths = {typed.isEmpty() ? "" : desk.dir.filePath(typed).toStdString()};
        desk.Action("mnuFilePrint")->trigger();
        QCOMPARE(desk.printDialogs, 0);
        QCOMPARE(desk.prompter.questions.size(), std::size_t(1));
        QCOMPARE(desk.prompter.questions[0].text,
                 std::string("No printer is installed.\nSave the printed pages as a PDF file "
                             "instead?"));
        QCOMPARE(desk.prompter.dialogFilters.size(),
                 std::size_t(answer == int(MessageAnswer::Yes)));
        const QStringList pdfs = QDir(desk.dir.path()).entryList({"*.pdf"});
        QCOMPARE(pdfs, written.isEmpty() ? QStringList() : QStringList{written});
        if (!written.isEmpty())
            QVERIFY(ReadBytes(desk.dir.filePath(written)).startsWith("%PDF"));
        QVERIFY(desk.prompter.messages.empty());
    }

    void printPreview_showsTheReportsPages() {
        Desk desk;
        int pages = 0;
        desk.onDialog = [&pages](QDialog& dialog) {
            QCOMPARE(dialog.objectName(), QString("frmPreview"));
            pages = dialog.findChild<QPrintPreviewWidget*>()->pageCount();
        };
        QVERIFY(desk.ShowActive());
        desk.ChooseByMouse("mnuFile", "mnuFilePrintPreview");
        QCOMPARE(pages, 8);
    }

    void printToFile_opensTheTextWindow() {
        Desk desk;
        QString shown;
        desk.onDialog = [&shown](QDialog& dialog) { shown = dialog.objectName(); };
        desk.Action("mnuFilePrintToFile")->trigger();
        QCOMPARE(shown, QString("frmPrn"));
    }

    void help_withoutAFile_saysSo() {
        Desk desk;
        desk.Action("mnuHelpContents")->trigger();
        QCOMPARE(desk.prompter.messages.back().text,
                 std::string("Unable to display Help Contents. There is no Help associated "
                             "with this project."));
        QCOMPARE(desk.prompter.messages.back().title, kTitle.toStdString());
    }

    // F1 opens the help at the focused control's topic.
    void f1_opensTheFocusedControlsTopic() {
        Desk desk(false, {}, "<h2 id=\"1001\">Contents</h2><h2 id=\"1054\">Tree</h2>");
        desk.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(desk.window.get()));
        desk.window->activateWindow();
        desk.window->Tree()->setFocus();
        QTest::keyClick(desk.window->Tree(), Qt::Key_F1);
        auto* browser = desk.window->findChild<QTextBrowser*>("helpBrowser");
        QVERIFY(browser);
        QCOMPARE(browser->source().fragment(), QString("1054"));
        desk.Action("mnuHelpContents")->trigger();
        QCOMPARE(browser->source().fragment(), QString("1001"));
        QVERIFY(desk.prompter.messages.empty());
    }

    // The radio dialog's Help opens in front of it, in a window it does not block.
    void radioDialogHelp_canBeReadWhileTheDialogIsUp() {
        Desk desk(false, {}, "<h2 id=\"1012\">Radio</h2>");
        QVERIFY(desk.ShowActive());
        bool usable = false;
        desk.onDialog = [&usable](QDialog& dialog) {
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            QTest::mouseClick(dialog.findChild<QPushButton*>("cmdHelp"), Qt::LeftButton);
            auto* browser = dialog.window()->findChild<QTextBrowser*>("helpBrowser");
            QVERIFY(browser && browser->isVisible());
            QCOMPARE(browser->source().fragment(), QString("1012"));
            usable = dialog.windowHandle()->isAncestorOf(browser->window()->windowHandle(),
                                                         QWindow::IncludeTransients);
        };
        desk.ChooseByKeys(Qt::Key_T, Qt::Key_R);
        QVERIFY(usable);
    }

    // After a resize the tree takes 30 % of the width, within its limits.
    void resize_givesTheTreeThirtyPercent_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("tree");
        QTest::newRow("wide") << 1000 << 300;
        QTest::newRow("smallest") << 607 << 182;
    }
    void resize_givesTheTreeThirtyPercent() {
        QFETCH(int, width);
        QFETCH(int, tree);
        Desk desk;
        desk.window->show();
        desk.window->resize(width, 500);
        QCOMPARE(desk.window->findChild<QSplitter*>()->sizes().first(), tree);
        desk.window->resize(300, 200);
        QCOMPARE(desk.window->size(), QSize(607, 444));
    }

    void close_storesThePosition_unlessMinimised_data() {
        QTest::addColumn<bool>("minimised");
        QTest::newRow("normal") << false;
        QTest::newRow("minimised") << true;
    }
    void close_storesThePosition_unlessMinimised() {
        QFETCH(bool, minimised);
        Desk desk;
        desk.window->show();
        if (minimised)
            desk.window->setWindowState(Qt::WindowMinimized);
        desk.window->close();
        desk.settings.Sync();
        const QByteArray stored = ReadBytes(desk.dir.filePath("settings.ini"));
        QCOMPARE(stored.contains("MainWidth="), !minimised);
        if (!minimised)
            QVERIFY2(stored.contains("MainWidth=" +
                                     QByteArray::number(desk.window->frameGeometry().width() * 15)),
                     stored.constData());
    }

    // The ports found, one row each; a row fills the box with its by-id name where it has one.
    // With none found the dialog says what to do. Cancel keeps the mapping.
    void deviceDialog_listsThePortsFound() {
        const QString name = "usb-FTDI_FT232R_USB_UART_A10K1ZZ-if00-port0";
        const QString byId = "/dev/serial/by-id/" + name;
        Desk desk;
        desk.ports = {{"/dev/ttyS0", "", "", "", ""},
                      {"/dev/ttyUSB0", "FT232R USB UART", "FTDI", "A10K1ZZ", byId}};
        QStringList rows;
        QStringList chosen;
        bool hint = false;
        desk.onDialog = [&](QDialog& dialog) {
            auto* table = dialog.findChild<QTableWidget*>("grdPorts");
            auto* box = dialog.findChild<QLineEdit*>("txtDevice");
            chosen << box->text();
            for (int row = 0; row < table->rowCount(); ++row) {
                QStringList cells;
                for (int column = 0; column < table->columnCount(); ++column)
                    cells << table->item(row, column)->text();
                rows << cells.join('|');
                QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                                  table->visualRect(table->model()->index(row, 1)).center());
                chosen << box->text();
            }
            desk.ports.clear();
            QTest::mouseClick(dialog.findChild<QPushButton*>("cmdRefresh"), Qt::LeftButton);
            auto* none = dialog.findChild<QLabel*>("lblNoPorts");
            hint = !table->isVisible() && none->isVisible() && none->text() == NoPortsHint();
            chosen << box->text();
            QTest::mouseClick(dialog.findChild<QPushButton*>("cmdCancel"), Qt::LeftButton);
        };
        desk.Action("mnuOptionsSerialPortDevice")->trigger();
        QCOMPARE(rows, QStringList({"/dev/ttyS0||||",
                                    "/dev/ttyUSB0|FT232R USB UART|FTDI|A10K1ZZ|" + name}));
        QCOMPARE(chosen, QStringList({"/dev/ttyUSB0", "/dev/ttyS0", byId, byId}));
        QVERIFY(hint);
        QCOMPARE(desk.settings.ReadComDevice(1), QString("/dev/ttyUSB0"));
    }

    // A path typed for the checked item is stored, shown in the item's tip and the radio dialog,
    // and is the device the next transfer opens.
    // A device typed into the dialog is what the checked item uses from then on: a read goes
    // through it to the simulator behind its link.
    void deviceDialog_typedPath_isWhatTheCheckedItemUses() {
        Desk desk;
        const QString path = desk.dir.filePath("radio");
        SimProcess radio(CHANWRIGHT_RADIOSIM);
        QString why;
        QVERIFY2(radio.Start({"--link", path}, &why), qPrintable(why));
        desk.realPorts = true;
        QString shown;
        desk.onDialog = [&](QDialog& dialog) {
            if (dialog.objectName() == "frmDevice") {
                auto* box = dialog.findChild<QLineEdit*>("txtDevice");
                box->clear();
                QTest::keyClicks(box, path);
            } else {
                shown = dialog.findChild<QLabel*>("lblPort")->text();
            }
            QTest::mouseClick(dialog.findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
        };
        const auto items = desk.window->findChildren<QAction*>("mnuOptionsSerialPort1");
        items[1]->trigger();
        desk.Action("mnuOptionsSerialPortDevice")->trigger();
        QCOMPARE(SettingsStore(desk.dir.filePath("settings.ini")).ReadComDevice(2), path);
        QCOMPARE(desk.settings.ReadComDevice(1), QString("/dev/ttyUSB0"));
        QCOMPARE(items[1]->statusTip(), path);
        desk.Action("mnuTransferRead")->trigger();
        QCOMPARE(shown, "Port: COM2 = " + path);
        QCOMPARE(desk.devices, QStringList{path});
        QCOMPARE(desk.prompter.messages.back().text, std::string("Complete!!"));
    }

    // File ▸ 1 … 6: the data files last opened or saved, most recent first, kept in the settings;
    // the Open dialog starts where the last one was.
    void recentFiles_throughTheFileMenu() {
        Desk desk(false,
                  "[Files]\nRecent1=/gone/1.dat\nRecent2=/gone/2.dat\nRecent3=/gone/3.dat\n"
                  "Recent4=/gone/4.dat\nRecent5=/gone/5.dat\n");
        QVERIFY(desk.ShowActive());
        const auto items = [&desk] {
            QStringList shown;
            for (QAction* item : desk.window->findChild<QMenu*>("mnuFile")->actions()) {
                if (item->isVisible() && item->objectName().startsWith("mnuFileRecent"))
                    shown << item->text();
            }
            return shown.join('|');
        };
        AppState other = MakeDefaultApp(kModelHV2071P);
        other.Data.UsaChannels[0].ChTag = "HARBOUR";
        const QString opened = desk.dir.filePath("a.dat");
        QVERIFY(
            WriteBytes(opened, QByteArray::fromStdString(WriteDataFile(other.Shared, other.Data))));
        QVERIFY(QDir(desk.dir.path()).mkdir("sub"));
        const QString saved = desk.dir.filePath("sub/b&b.dat");
        desk.prompter.paths = {opened.toStdString(), saved.toStdString()};
        desk.ChooseByKeys(Qt::Key_F, Qt::Key_O);
        desk.ChooseByKeys(Qt::Key_F, Qt::Key_A);
        QTest::keyClick(desk.window.get(), Qt::Key_O, Qt::ControlModifier);  // and cancelled
        QCOMPARE(desk.prompter.dialogFolders,
                 (std::vector<std::string>{"", desk.dir.filePath("sub").toStdString()}));
        QCOMPARE(items(), QString("&1 b&&b.dat|&2 a.dat|&3 1.dat|&4 2.dat|&5 3.dat|&6 4.dat"));
        QCOMPARE(desk.Action("mnuFileRecent1")->toolTip(), QDir::toNativeSeparators(saved));

        desk.app.Data.UsaChannels[0].ChTag = "EDITED";
        desk.ChooseByKeys(Qt::Key_F, Qt::Key_2);
        QCOMPARE(desk.app.Data.UsaChannels[0].ChTag, std::string("HARBOUR"));
        QCOMPARE(desk.window->windowTitle(), kTitle + " - a.dat");

        // A file gone since is only taken off the list.
        const AppState before = desk.app;
        desk.ChooseByKeys(Qt::Key_F, Qt::Key_6);
        QCOMPARE(desk.prompter.messages.size(), std::size_t(1));
        QCOMPARE(
            desk.prompter.messages[0].text,
            std::string("The file /gone/4.dat no longer exists; it was removed from the list."));
        QCOMPARE(desk.settings.ReadRecentFiles(),
                 (QStringList{opened, saved, "/gone/1.dat", "/gone/2.dat", "/gone/3.dat"}));
        QCOMPARE(items(), QString("&1 a.dat|&2 b&&b.dat|&3 1.dat|&4 2.dat|&5 3.dat"));
        QVERIFY(desk.app.Data == before.Data);
        QCOMPARE(desk.app.Shared.CurrentFileName, before.Shared.CurrentFileName);
        QCOMPARE(desk.window->windowTitle(), kTitle + " - a.dat");
    }

    // Ctrl+S is File ▸ Save with its check of the pending entry: a refused User MMSI saves nothing.
    void ctrlS_savesOnlyAnAcceptedEntry_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");  // empty: refused
        QTest::newRow("refused") << "36612345"
                                 << "";
        QTest::newRow("accepted") << "366123456"
                                  << "3661234560";
    }
    void ctrlS_savesOnlyAnAcceptedEntry() {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        Desk desk;
        QVERIFY(desk.ShowActive());
        const QString path = desk.dir.filePath("boat.dat");
        desk.app.Shared.CurrentFileName = path.toStdString();
        AppState expected = desk.app;
        expected.Data.Common.UserMmsid = stored.toStdString();
        auto* tabs = desk.window->findChild<QTabBar*>("tbsFNE");
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
        auto* box = desk.window->findChild<QLineEdit*>("txtFUser");
        QTest::mouseClick(box, Qt::LeftButton);
        QTest::keyClicks(box, typed);
        QTest::keyClick(box, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(desk.prompter.messages.size(), std::size_t(stored.isEmpty()));
        QCOMPARE(ReadBytes(path), stored.isEmpty() ? QByteArray()
                                                   : QByteArray::fromStdString(WriteDataFile(
                                                         expected.Shared, expected.Data)));
    }

    // The dialogs' filters in Qt's form, and the suffix a name typed for a data file gets.
    void fileDialogs_filterAndSuffix_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("qtFilter");
        QTest::addColumn<QString>("chosen");
        const QString data = messages::kDataFileFilter;
        const QString dat = "dat files(*.dat);;All files(*.*);;All Files (*)";
        QTest::newRow("data, no suffix") << data << "/d.x/boat" << dat << "/d.x/boat.dat";
        QTest::newRow("data, a suffix") << data << "/d/boat.txt" << dat << "/d/boat.txt";
        QTest::newRow("data, cancelled") << data << "" << dat << "";
        QTest::newRow("image") << QString(messages::kImageFileFilter) << "/d/radio"
                               << "hex files(*.hex);;All files(*.*);;All Files (*)"
                               << "/d/radio";
        QTest::newRow("PDF") << "PDF files(*.pdf)|*.pdf"
                             << "/d/pages"
                             << "PDF files(*.pdf);;All Files (*)"
                             << "/d/pages";
    }
    void fileDialogs_filterAndSuffix() {
        QFETCH(QString, filter);
        QFETCH(QString, typed);
        QFETCH(QString, qtFilter);
        QFETCH(QString, chosen);
        QCOMPARE(QtFileFilter(filter.toStdString()), qtFilter);
        QCOMPARE(WithDefaultSuffix(typed, filter.toStdString()), chosen);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
