// A user's whole round: every kind of control on every page edited by mouse and keys, then save,
// start over, open, program the radio, start over, read the radio back. Every step must give
// back the data set that was edited.
#include "tests/ui/window_desk.h"

using namespace chanwright;
using namespace chanwright::test;

namespace {

// The control of the active page, by name and row.
QWidget* Control(Desk& desk, const char* name, int row = 0) {
    for (QWidget* control : desk.ActivePage()->findChildren<QWidget*>(name)) {
        if (control->property("index").toInt() == row)
            return control;
    }
    qWarning("no %s[%d]", name, row);
    return nullptr;
}

void Click(Desk& desk, const char* name, int row = 0) {
    QTest::mouseClick(Control(desk, name, row), Qt::LeftButton);
    QCoreApplication::processEvents();
}

// A click into the box, then the text typed over what it selected.
void Type(Desk& desk, const char* name, const char* text, int row = 0) {
    Click(desk, name, row);
    QTest::keyClicks(Control(desk, name, row), text);
}

// A click on a check box's caption, which ticks the box as a click on the box does.
void ClickCaption(Desk& desk, const QString& caption) {
    for (QLabel* label : desk.ActivePage()->findChildren<QLabel*>()) {
        if (label->text() == caption)
            QTest::mouseClick(label, Qt::LeftButton);
    }
}

void StartOver(Desk& desk) {
    desk.window->FileNew();
    desk.window->RunDeferredReset();
}

}  // namespace

class TestEditCycle : public QObject {
    Q_OBJECT

  private slots:
    void editSaveOpenProgramRead_givesBackTheEditedDataSet() {
        Desk desk;
        desk.PressOkInDialogs();
        QVERIFY(desk.ShowActive());

        desk.ClickNode("PU4");
        Type(desk, "txtCTag", "harbour master");
        for (const char* box : {"chkCScan", "chkCTXOnly", "chkCTXPower"})
            Click(desk, box);
        desk.ClickNode("PI7");
        Click(desk, "chkCEnable");
        desk.ClickNode("E3");
        Click(desk, "cmbCN");
        QTest::keyClick(Control(desk, "cmbCN"), Qt::Key_PageDown);
        Type(desk, "txtCTag", "exp three");
        desk.ClickNode("PW");
        Click(desk, "chkDScan", 1);
        Click(desk, "chkDEnable", 2);
        // The row's Scan and name close; the box in hand shows ">".
        QVERIFY(!Control(desk, "chkDScan", 2)->isEnabled());
        QVERIFY(!Control(desk, "txtDTagName", 2)->isEnabled());
        QCOMPARE(static_cast<QCheckBox*>(Control(desk, "chkDEnable", 2))->text(), QString(">"));
        Type(desk, "txtDTagName", "wx 1-2/(a)*+,.", 4);

        desk.ClickNode("S");
        QTest::keyClick(Control(desk, "cmbFCont"), Qt::Key_PageUp);
        QTest::keyClick(Control(desk, "cmbFDim"), Qt::Key_End);
        QTest::keyClick(Control(desk, "cmbFOffset"), Qt::Key_PageDown);
        QTest::keyClick(Control(desk, "cmbFScan"), Qt::Key_End);
        QTest::keyClick(Control(desk, "cmbFScrambler"), Qt::Key_Down);
        Click(desk, "chkFBeep");
        ClickCaption(desk, "WX Alert");
        auto* tabs = desk.Find<QTabBar>("tbsFNE");
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
        QTest::keyClick(Control(desk, "cmbFIND"), Qt::Key_End);
        Click(desk, "chkFindReply");
        ClickCaption(desk, "Individual ACK");
        Click(desk, "chkFposRR");
        ClickCaption(desk, "DSC Scan");
        Type(desk, "txtFUser", "366123456");
        QTest::keyClick(Control(desk, "txtFUser"), Qt::Key_Tab);

        for (const char* key : {"SM1", "SG1"}) {
            desk.ClickNode(key);
            Click(desk, "chkGEnable");
            QTest::keyClicks(Control(desk, "txtGPosi"), key[1] == 'M' ? "pilot 7xyz" : "fleet");
            Type(desk, "txtGMMSI", key[1] == 'M' ? "366999111" : "87654321");
            QTest::keyClick(Control(desk, "txtGMMSI"), Qt::Key_Tab);
        }
        QVERIFY(desk.prompter.messages.empty());
        COMPARE_GOLDEN(Edits(MakeDefaultApp(Model::HV2071P), desk.app).toUtf8(),
                       "ui/edit_cycle.txt");

        const RadioData edited = desk.app.Data;
        const QString file = desk.dir.filePath("boat.dat");
        desk.prompter.paths = {file.toStdString()};
        desk.window->FileSaveAs();
        StartOver(desk);
        QVERIFY(!(desk.app.Data == edited));
        desk.Open(file);
        QVERIFY(desk.app.Data == edited);
        QCOMPARE(desk.window->windowTitle(), kTitle + " - boat.dat");

        desk.prompter.choices = {1};  // the boat's own user MMSI replaces the radio's
        desk.window->TransferProgram();
        QCOMPARE(desk.prompter.messages.back().title, std::string("Program to Radio"));
        StartOver(desk);
        desk.window->TransferRead();
        QCOMPARE(desk.prompter.messages.back().title, std::string("Read from Radio"));
        AppState expected = desk.app;
        expected.Data = edited;
        QCOMPARE(Edits(expected, desk.app), QString());
        // The ATIS number and switches, which these models' data never carry, are the radio's own.
        RadioData held = edited;
        for (auto field : {&CommonSettings::AtisOnOffUSA, &CommonSettings::AtisOnOffInternational,
                           &CommonSettings::AtisOnOffCanada})
            held.Common.*field = desk.app.Data.Common.*field;
        held.Common.AtisNo = desk.app.Data.Common.AtisNo;
        QVERIFY(!held.Common.AtisNo.empty());
        QVERIFY(desk.app.Data == held);
        QCOMPARE(desk.window->windowTitle(), kTitle);
    }
};

QTEST_MAIN(TestEditCycle)
#include "tst_edit_cycle.moc"
