// A user's whole round: edit on the pages, save, start over, open, program the radio, start over,
// read the radio back. Every step must give back the data set that was edited.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

#include "tests/ui/window_desk.h"

using namespace chanwright;
using namespace chanwright::test;

class TestEditCycle : public QObject {
    Q_OBJECT

    template <typename Widget>
    static Widget* Find(Desk& desk, const char* name) {
        auto* widget = desk.window->findChild<Widget*>(name);
        if (!widget)
            qWarning("no %s", name);
        return widget;
    }

    static void Type(QLineEdit* box, const char* text) {
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, text);
    }

    static void Choose(QComboBox* box, int index) {
        box->setFocus();
        box->setCurrentIndex(index);
        emit box->activated(index);
    }

    static void StartOver(Desk& desk) {
        desk.window->FileNew();
        desk.window->Timer1Timer();
    }

  private slots:
    void editSaveOpenProgramRead_givesBackTheEditedDataSet() {
        Desk desk;
        desk.PressOkInDialogs();
        desk.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(desk.window.get()));
        desk.window->activateWindow();

        // A USA channel renamed (typed in lower case) and taken out of the scan.
        desk.ClickNode("PU4");
        Type(Find<QLineEdit>(desk, "txtCTag"), "harbour");
        QTest::mouseClick(Find<QCheckBox>(desk, "chkCScan"), Qt::LeftButton);
        QCOMPARE(desk.app.Data.UsaChannels[4].ChTag, std::string("HARBOUR"));

        // Common settings: dimmer LO and a user MMSI confirmed by moving on.
        desk.ClickNode("S");
        Choose(Find<QComboBox>(desk, "cmbFDim"), 2);
        auto* user = Find<QLineEdit>(desk, "txtFUser");
        QTest::mouseClick(desk.window->findChild<QTabBar*>("tbsFNE"), Qt::LeftButton,
                          Qt::NoModifier,
                          desk.window->findChild<QTabBar*>("tbsFNE")->tabRect(1).center());
        Type(user, "366123456");
        QTest::keyClick(user, Qt::Key_Tab);
        QCOMPARE(desk.app.Data.Common.UserMmsid, std::string("3661234560"));
        QCOMPARE(desk.app.Data.Common.Dimmer, int16_t(1));

        // The first individual directory entry taken into use.
        desk.ClickNode("SM1");
        QTest::mouseClick(Find<QCheckBox>(desk, "chkGEnable"), Qt::LeftButton);
        auto* name = Find<QLineEdit>(desk, "txtGPosi");
        Type(name, "pilot");
        QTest::keyClick(name, Qt::Key_Tab);
        auto* mmsi = Find<QLineEdit>(desk, "txtGMMSI");
        Type(mmsi, "366999111");
        QTest::keyClick(mmsi, Qt::Key_Tab);
        const DirectoryEntry pilot{kTrue, "PILOT", "3669991110"};
        QCOMPARE(desk.app.Data.IndividualDirectory[0], pilot);
        QVERIFY(desk.prompter.messages.empty());

        const RadioData edited = desk.app.Data;
        const QString file = desk.dir.filePath("boat.dat");
        desk.prompter.paths = {file.toStdString()};
        desk.window->FileSaveAs();
        StartOver(desk);
        QVERIFY(!(desk.app.Data == edited));

        desk.prompter.paths = {file.toStdString()};
        desk.window->FileOpen();
        QVERIFY(desk.app.Data == edited);
        QCOMPARE(desk.window->windowTitle(), kTitle + " - boat.dat");

        desk.window->TransferProgram();
        QCOMPARE(desk.prompter.messages.back().title, std::string("Program to Radio"));
        StartOver(desk);
        desk.window->TransferRead();
        QCOMPARE(desk.prompter.messages.back().title, std::string("Read from Radio"));
        QVERIFY(desk.app.Data.UsaChannels == edited.UsaChannels);
        QVERIFY(desk.app.Data.IndividualDirectory == edited.IndividualDirectory);
        QVERIFY(desk.app.Data.Common == edited.Common);
        QVERIFY(desk.app.Data == edited);
        QCOMPARE(desk.window->windowTitle(), kTitle);
    }
};

QTEST_MAIN(TestEditCycle)
#include "tst_edit_cycle.moc"
