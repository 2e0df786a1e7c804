// The main window as a user drives it, where a story of tests/data/ui/stories would need more
// than steps and looks: the tree, the help and port commands, the safety net around the
// radio, and closing.
#include "image/default_image.h"
#include "image/program_image.h"
#include "storage/file_io.h"
#include "storage/file_system.h"
#include "tests/ui/window_desk.h"

using namespace chanwright;
using namespace chanwright::test;

namespace {

const QString kStories = "ui/window_stories.txt";

// The rows of the tests below: name, then the columns they take, in order.
const std::tuple<const char*, QString> kHelpFiles[] = {
    {"help file", "yes"},
    {"no help file", ""},
};

const std::tuple<const char*, QString, QString, QString> kResizes[] = {
    {"wide", "1000", "300", ""},
    {"smallest, then minimised", "607", "182", "yes"},
};

const std::tuple<const char*, QString> kProgramAnswers[] = {
    {"keep", "0"},
    {"write", "1"},
    {"cancel", "2"},
};

}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

  private slots:
    // The tree as a user works it: a second click on the node in view leaves its page as it is;
    // closing the branch that holds the selected channel selects the branch and shows its list;
    // every node text can be read, the tree scrolling sideways rather than cut a text off; every
    // node has a key of its own.
    void treeClicks() {
        Desk desk;
        QVERIFY(desk.ShowActive());
        NavigationTree* tree = desk.window->Tree();
        desk.ClickNode("PU");
        auto* grid = desk.ActivePage()->findChild<ListGrid*>();
        const QString shown = grid->Text(1, 9);
        desk.app.Data.UsaChannels[0].ChTag = "CHANGED";
        tree->setCurrentItem(nullptr);
        desk.ClickNode("PU");
        QCOMPARE(grid->Text(1, 9), shown);
        desk.ClickNode("PU5");
        const QRect row = tree->visualItemRect(tree->FindKey("PU"));
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          QPoint(row.left() - tree->indentation() / 2, row.center().y()));
        QVERIFY(!tree->FindKey("PU")->isExpanded());
        QCOMPARE(desk.CurrentKey(), QString("PU"));
        QCOMPARE(desk.ActivePage()->objectName(), QString("pictB"));
        tree->expandAll();
        QCoreApplication::processEvents();
        for (int i = 1; i <= tree->NodeCount(); ++i) {
            QTreeWidgetItem* node = tree->Node(i);
            const int needed = tree->sizeHintForIndex(tree->indexFromItem(node)).width();
            QVERIFY2(tree->visualItemRect(node).width() >= needed, qPrintable(node->text(0)));
            QCOMPARE(tree->FindKey(NavigationTree::KeyOf(node)), node);
        }
    }

    // Print Preview shows the report's eight pages; Print to File opens the text window.
    void previewAndTextReport() {
        Desk desk;
        QStringList shown;
        desk.onDialog = [&shown](QDialog& dialog) {
            const auto* preview = dialog.findChild<QPrintPreviewWidget*>();
            shown << dialog.objectName() +
                         (preview ? QString(" %1 pages").arg(preview->pageCount()) : QString());
        };
        QVERIFY(desk.ShowActive());
        desk.ChooseByMouse("mnuFile", "mnuFilePrintPreview");
        desk.Action("mnuFilePrintToFile")->trigger();
        QCOMPARE(shown, (QStringList{"frmPreview 8 pages", "frmPrn"}));
    }

    // F1 opens the help at the focused control's topic, Help ▸ Contents at the contents, and the
    // radio dialog's Help at its own, in front of the dialog in a window it does not block.
    // Without a help file each says so, titled by its window.
    void help_data() { AddRowsOf(kHelpFiles); }
    void help() {
        const auto& [name, file] = RowOf(kHelpFiles);
        Desk desk(false, {},
                  file.isEmpty() ? QByteArray()
                                 : "<h2 id=\"1001\">Contents</h2><h2 id=\"1054\">Tree</h2>"
                                   "<h2 id=\"1012\">Radio</h2>");
        QVERIFY(desk.ShowActive());
        QStringList shown;
        const auto note = [&desk, &shown](const QWidget* window) {
            if (const auto* browser = window->findChild<QTextBrowser*>("helpBrowser"))
                shown << browser->source().fragment() + (browser->isVisible() ? "" : " hidden");
            if (!desk.prompter.messages.empty())
                shown << Said(desk.prompter.messages);
            desk.prompter.messages.clear();
        };
        desk.window->Tree()->setFocus();
        QTest::keyClick(desk.window->Tree(), Qt::Key_F1);
        note(desk.window.get());
        desk.Action("mnuHelpContents")->trigger();
        note(desk.window.get());
        bool usable = true;
        desk.onDialog = [&](QDialog& dialog) {
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            QTest::mouseClick(dialog.findChild<QPushButton*>("cmdHelp"), Qt::LeftButton);
            note(&dialog);
            if (const auto* browser = dialog.findChild<QTextBrowser*>("helpBrowser")) {
                usable = dialog.windowHandle()->isAncestorOf(browser->window()->windowHandle(),
                                                             QWindow::IncludeTransients);
            }
        };
        QVERIFY(Reactivate(desk.window.get()));
        desk.ChooseByKeys(Qt::Key_T, Qt::Key_R);
        QVERIFY(usable);
        COMPARE_GOLDEN_STORY(("== help " + QString(name) + '\n' + shown.join('\n') + '\n').toUtf8(),
                             kStories);
    }

    // After a resize the tree takes 30 % of the width, within its limits; closing stores where
    // the window was, unless minimised.
    void resizeAndClose_data() { AddRowsOf(kResizes); }
    void resizeAndClose() {
        const auto& [name, width, tree, minimised] = RowOf(kResizes);
        Desk desk;
        desk.window->show();
        desk.window->resize(width.toInt(), 500);
        QCOMPARE(desk.Find<QSplitter>("imgSplitter")->sizes().first(), tree.toInt());
        desk.window->resize(300, 200);
        QCOMPARE(desk.window->size(), QSize(607, 444));
        if (!minimised.isEmpty())
            desk.window->setWindowState(Qt::WindowMinimized);
        desk.window->close();
        desk.settings->Sync();
        const QByteArray stored = ReadBytes(desk.dir.filePath("settings.ini"));
        const QByteArray width15 = QByteArray::number(desk.window->frameGeometry().width() * 15);
        QCOMPARE(stored.contains("MainWidth=" + width15), minimised.isEmpty());
        QCOMPARE(stored.contains("MainWidth="), minimised.isEmpty());
    }

    // Options ▸ SerialPort ▸ Device lists the ports found, one row each: a row fills the box with
    // its by-id name where it has one; with none found the dialog says what to do; Cancel keeps
    // the mapping. A device typed and taken with OK is what the checked item uses from then on,
    // stored as the absolute path it stands for (a bare name not in the current folder: /dev's).
    void deviceDialog() {
        const QString byId = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K1ZZ-if00-port0";
        Desk desk;
        desk.ports = {{"/dev/ttyS0", "", "", "", ""},
                      {"/dev/ttyUSB0", "FT232R USB UART", "FTDI", "A10K1ZZ", byId}};
        QStringList shown;
        desk.onDialog = [&](QDialog& dialog) {
            if (dialog.objectName() == "frmRadio") {
                shown << dialog.findChild<QLabel*>("lblPort")->text();
                QTest::mouseClick(dialog.findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
                return;
            }
            auto* table = dialog.findChild<QTableWidget*>("grdPorts");
            auto* box = dialog.findChild<QLineEdit*>("txtDevice");
            shown << dialog.windowTitle() + ": " + box->text() + GridText(table);
            for (int row = 0; row < table->rowCount(); ++row) {
                QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                                  table->visualRect(table->model()->index(row, 1)).center());
                shown << box->text();
            }
            desk.ports.clear();
            QTest::mouseClick(dialog.findChild<QPushButton*>("cmdRefresh"), Qt::LeftButton);
            auto* none = dialog.findChild<QLabel*>("lblNoPorts");
            shown << QString(table->isVisible() ? "table " : "") +
                         (none->isVisible() && none->text() == NoPortsHint() ? "hint" : "");
            Retype(box, "radio");
            QTest::mouseClick(
                dialog.findChild<QPushButton*>(shown.size() < 5 ? "cmdCancel" : "cmdOK"),
                Qt::LeftButton);
        };
        desk.Action("mnuOptionsSerialPortDevice")->trigger();
        const auto items = desk.window->findChildren<QAction*>("mnuOptionsSerialPort1");
        items[1]->trigger();
        desk.Action("mnuOptionsSerialPortDevice")->trigger();
        desk.Action("mnuTransferRead")->trigger();
        shown << "stored COM1 " + desk.settings->ReadComDevice(1) + ", COM2 " +
                     SettingsStore(desk.dir.filePath("settings.ini")).ReadComDevice(2) + ", tip " +
                     items[1]->statusTip() + ", opened " + desk.devices.join(' ') + ", stored as " +
                     QString(ReadBytes(desk.dir.filePath("settings.ini")))
                         .split(QChar(10))
                         .filter("Port2=")
                         .join("");
        COMPARE_GOLDEN_STORY(("== device dialog\n" + shown.join('\n') + '\n').toUtf8(), kStories);
    }

    // The safety net as a user meets it through the menus: a read leaves a backup, Verify lists
    // what the radio holds otherwise, Restore lists the backups newest first with the radio's
    // MMSI and puts the one chosen back into the radio as it was read (the data being edited
    // stays), and a failed traced transfer names its trace; one that could not be written says
    // why, under Complete!! too.
    void safetyNet_throughTheMenus() {
        Desk desk;
        QVERIFY(desk.ShowActive());
        QString verified;
        QString listed;
        desk.onDialog = [&](QDialog& dialog) {
            if (auto* text = dialog.findChild<QPlainTextEdit*>("txtDifferences")) {
                verified = text->toPlainText();
                return;
            }
            if (auto* list = dialog.findChild<QTableWidget*>("lstBackups")) {
                listed = dialog.findChild<QLabel*>("lblBackups")->text() + GridText(list);
                // Other File… starts in the backup folder; cancelled, the list stays up.
                QTest::mouseClick(dialog.findChild<QPushButton*>("cmdOpenOther"), Qt::LeftButton);
                // The first read's backup: Verify and Program kept two more in the same second.
                QVERIFY(QTest::qWaitForWindowExposed(&dialog));
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                                  list->visualRect(list->model()->index(2, 0)).center());
                QTest::mouseClick(dialog.findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
                return;
            }
            QTest::mouseClick(dialog.findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
        };
        desk.ChooseByMouse("mnuTransfer", "mnuTransferRead");
        const QString backup = desk.dir.filePath("backups/HV2071P-366000001-20261206-102030.hex");
        QCOMPARE(ReadBytes(backup), ImageBytes(desk.app.Image));
        QString shown = "== safety net\nread: " + desk.window->StatusText() + '\n';

        desk.app.Data.UsaChannels[0].ChTag = "EDITED";
        desk.ChooseByMouse("mnuTransfer", "mnuTransferVerify");
        shown += "verified: " + verified + '\n';
        QCOMPARE(desk.app.Data.UsaChannels[0].ChTag, std::string("EDITED"));

        // Another program, then the backup restored over it, a backup of the radio read first.
        desk.app.Data.UsaChannels[0].ChTag = "OTHER";
        desk.ChooseByMouse("mnuTransfer", "mnuTransferProgram");
        const MemoryImage programmed = desk.sim.Memory();
        QVERIFY(WriteBytes(desk.dir.filePath("backups/TQ5300-366000001-20261205-090000.hex"),
                           "another boat's radio"));
        const size_t from = desk.sim.Log().size();
        desk.ChooseByMouse("mnuTransfer", "mnuTransferRestore");
        const auto& dialogFolders = desk.prompter.dialogFolders;
        shown += "listed: " + listed + QString("\n%1 folders, ").arg(dialogFolders.size()) +
                 QString::fromStdString(dialogFolders.at(0)) + ", first " +
                 QString::fromStdString(desk.sim.Log()[from]).section(' ', 0, 1) + '\n';
        QCOMPARE(int(desk.sim.Log().size() - from),
                 int(ReadCommands().size() + ProgramCommands().size()) - 4);
        QCOMPARE(ImageBytes(desk.sim.Memory()),
                 ImageBytes(StoredByRadio(BytesToImage(ReadBytes(backup)), programmed)));
        // The backup went to the radio; the data being edited stays the user's.
        QCOMPARE(desk.app.Data.UsaChannels[0].ChTag, std::string("OTHER"));

        desk.ChooseByMouse("mnuOptions", "mnuOptionsLogTraffic");
        QVERIFY(desk.settings->ReadLogSerialTraffic());
        desk.sim.AddFault(*ParseFault("silence"));
        desk.prompter.messages.clear();
        desk.ChooseByMouse("mnuTransfer", "mnuTransferRead");
        const QString trace = desk.dir.filePath("traces/HV2071P-20261206-102030-read.txt");
        QVERIFY(ReadBytes(trace).contains("# time limit"));
        shown += desk.Told();
        COMPARE_GOLDEN_STORY(shown.replace(desk.dir.path(), "<dir>").toUtf8(), kStories);

        desk.sim = RadioSim(desk.sim.Memory());
        const QString full = desk.dir.filePath("traces");
        if (QProcess::execute("mount", {"-t", "tmpfs", "-osize=64k", "tmpfs", full}))
            QSKIP("mounting a small file system needs root");
        WriteBytes(full + "/filler", QByteArray(64 * 1024, 'f'));
        desk.ChooseByMouse("mnuTransfer", "mnuTransferRead");
        QProcess::execute("umount", {full});
        QCOMPARE(desk.prompter.messages.back().text,
                 "Complete!!\n\nSerial trace: " + trace.toStdString() +
                     " (stopped: No space left on device)");
    }

    // Program to Radio from the menu on a radio in use: what the data does not own stays the
    // radio's, and its user MMSI too unless the user answers otherwise in the real question box;
    // a second program sends only the first and last blocks, and Verify says the radio matches.
    void programFromTheMenu_keepsWhatIsTheRadios_data() { AddRowsOf(kProgramAnswers); }
    void programFromTheMenu_keepsWhatIsTheRadios() {
        const auto& [name, answer] = RowOf(kProgramAnswers);
        Desk desk;
        QVERIFY(desk.ShowActive());
        desk.UseRealBoxes();
        desk.PressOkInDialogs();
        AppState boat = MakeDefaultApp(Model::HV2071P);
        boat.Data.Common.UserMmsid = "3669876540";
        boat.Data.UsaChannels[3].ChTag = "CAF\u00c9";
        const QString file = desk.dir.filePath("boat.dat");
        QVERIFY(WriteBytes(file, QByteArray::fromStdString(WriteDataFile(boat.Shared, boat.Data))));
        desk.Open(file);
        const RadioData loaded = desk.app.Data;
        const MemoryImage before = desk.sim.Memory();

        desk.prompter.choices = {answer.toInt()};
        desk.prompter.answers = {MessageAnswer::Ok, MessageAnswer::Ok};
        desk.ChooseByMouse("mnuTransfer", "mnuTransferProgram");
        QString shown = "== program " + QString(name) + '\n' + desk.Told();
        MemoryImage programmed{};
        QVERIFY(
            !EncodeOverRadio(loaded, AsRead(before, Model::HV2071P), answer == "1", programmed));
        QCOMPARE(ImageBytes(desk.sim.Memory()),
                 ImageBytes(answer == "2" ? before : StoredByRadio(programmed, before)));
        QVERIFY(desk.app.Data == loaded);
        if (answer == "2") {
            COMPARE_GOLDEN_STORY(shown.toUtf8(), kStories);
            return;
        }
        // A Clear closed unrun after the completed Program leaves the page as it is shown.
        desk.ClickNode("S");
        const QString page = Snapshot(desk.ActivePage());
        const int16_t contrast = desk.app.Data.Common.Contrast;
        desk.app.Data.Common.Contrast = contrast == 1 ? 2 : 1;
        desk.onDialog = nullptr;
        desk.window->ClearFromSettings();
        QCOMPARE(Snapshot(desk.ActivePage()), page);
        desk.app.Data.Common.Contrast = contrast;
        desk.PressOkInDialogs();

        const std::size_t from = desk.sim.Log().size();
        desk.ChooseByMouse("mnuTransfer", "mnuTransferProgram");
        for (std::size_t i = from; i < desk.sim.Log().size(); ++i)
            if (desk.sim.Log()[i].rfind("write", 0) == 0)
                shown += QString::fromStdString(desk.sim.Log()[i]).section(' ', 0, 1) + '\n';
        desk.prompter.messages.clear();
        desk.ChooseByMouse("mnuTransfer", "mnuTransferVerify");
        COMPARE_GOLDEN_STORY((shown + desk.Told()).toUtf8(), kStories);
    }

    // The dialogs' filters in Qt's form, and the suffix a name typed for a data file gets.
    void fileDialogs_filterAndSuffix() {
        const char* const dat = "dat files(*.dat)|*.dat|All files(*.*)|*.*";
        const char* rows[][2] = {{dat, "/d.x/boat"},
                                 {dat, "/d/boat.txt"},
                                 {dat, ""},
                                 {"hex files(*.hex)|*.hex|All files(*.*)|*.*", "/d/radio"},
                                 {"PDF files(*.pdf)|*.pdf", "/d/pages"}};
        QString shown = "== file dialogs\n";
        for (const auto& [filter, typed] : rows) {
            shown +=
                QString("%1 => %2; \"%3\" => \"%4\"\n")
                    .arg(filter, QtFileFilter(filter), typed, WithDefaultSuffix(typed, filter));
        }
        COMPARE_GOLDEN_STORY(shown.toUtf8(), kStories);
    }

    // A data file named in Latin-1 ("caf\xe9.dat", not UTF-8) is listed by File ▸ Open's real
    // dialog and opened by a double click; the title and the recent files show its name with
    // \xNN; File ▸ Save and a Save As typed with \xNN write that very file, and no other.
    void latin1Name_openedListedAndSaved() {
        Desk desk;
        QVERIFY(desk.ShowActive());
        desk.UseRealBoxes();
        const QString folder = desk.dir.filePath("files");
        QVERIFY(QDir().mkpath(folder));
        const QString file = PathFromSystem(SystemPath(folder) + "/caf\xe9.dat");
        desk.app.Data.UsaChannels[0].ChTag = "LATIN";
        ErrorInfo error;
        QVERIFY(WriteOutputFile(file, WriteDataFile(desk.app.Shared, desk.app.Data), error));
        desk.app.Data.UsaChannels[0].ChTag = "OTHER";
        desk.settings->WriteLastFolder(folder);
        QString shown = "== latin-1 name\n";
        desk.prompter.onFileDialog = [&](QWidget& dialog) {
            auto* view = dialog.findChild<QListView*>("listView");
            QModelIndex row;
            // The dialog's model lists a folder on a thread of its own.
            const bool listed = QTest::qWaitFor([&] {
                const QAbstractItemModel* files = view->model();
                for (int at = 0; at < files->rowCount(view->rootIndex()); ++at)
                    if (files->index(at, 0, view->rootIndex()).data() == "caf\\xE9.dat")
                        row = files->index(at, 0, view->rootIndex());
                return row.isValid() && !view->visualRect(row).isEmpty();
            });
            shown += QString("listed: %1\n").arg(listed ? "yes" : "no");
            if (listed)
                QTest::mouseDClick(view->viewport(), Qt::LeftButton, {},
                                   view->visualRect(row).center());
            if (dialog.isVisible())
                static_cast<QDialog&>(dialog).reject();
        };
        desk.ChooseByMouse("mnuFile", "mnuFileOpen");
        shown += "title: " + desk.window->windowTitle() +
                 "\nrecent: " + desk.Action("mnuFileRecent1")->text() + " | " +
                 desk.Action("mnuFileRecent1")->statusTip().replace(desk.dir.path(), "<dir>") +
                 "\nread: " + QString::fromStdString(desk.app.Data.UsaChannels[0].ChTag) + '\n';

        desk.app.Data.UsaChannels[0].ChTag = "SAVED";
        desk.ChooseByMouse("mnuFile", "mnuFileSave");
        const auto saved = [&] { return ReadInputFile(file, 1 << 20, error).value_or("none"); };
        QCOMPARE(saved(), WriteDataFile(desk.app.Shared, desk.app.Data));

        desk.app.Data.UsaChannels[0].ChTag = "SAVED AS";
        // The name typed as it is shown, then Save or Open; Yes to a question.
        desk.prompter.onFileDialog = [&](QWidget& dialog) {
            QTest::keyClicks(dialog.findChild<QLineEdit*>("fileNameEdit"), "caf\\xE9.dat");
            QTimer::singleShot(0, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                shown += "asked: " + (box ? box->text() : "nothing") + '\n';
                if (box)
                    box->button(QMessageBox::Yes)->click();
            });
            QTest::mouseClick(dialog.findChild<QDialogButtonBox*>("buttonBox")->buttons()[0],
                              Qt::LeftButton);
            if (dialog.isVisible())
                static_cast<QDialog&>(dialog).reject();
        };
        desk.ChooseByMouse("mnuFile", "mnuFileSaveAs");
        QCOMPARE(saved(), WriteDataFile(desk.app.Shared, desk.app.Data));
        desk.app.Data.UsaChannels[0].ChTag = "OTHER";
        desk.ChooseByMouse("mnuFile", "mnuFileOpen");
        shown += "typed and read: " + QString::fromStdString(desk.app.Data.UsaChannels[0].ChTag) +
                 "\nfiles:";
        for (const FolderEntry& entry : ListFiles(folder))
            shown += ' ' + ShownPath(entry.name);
        RemoveTree(folder);
        COMPARE_GOLDEN_STORY((shown + '\n' + desk.Told()).toUtf8(), kStories);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
