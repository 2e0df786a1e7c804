// The text image against golden copies, and the window that shows and saves it.
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "report/report_values.h"
#include "report/text_report.h"
#include "report/text_report_window.h"
#include "tests/support/test_files.h"
#include "tests/support/test_platform.h"

using namespace chanwright;
using namespace chanwright::report;

namespace {

constexpr int kUserMmsiCount = 341;

// Every kind of value the report turns into text, including the ones out of their range.
AppState MakeRichApp() {
    AppState app = test::MakeDefaultApp(kModelHV2071P);
    app.Shared.ModelCode = "KW83E";
    app.Image[kUserMmsiCount] = 3;

    CommonSettings& common = app.Data.Common;
    common.Contrast = 5;
    common.Dimmer = 7;
    common.ScanType = 5;
    common.Ind = 9;
    common.OffsetTime = 24;
    common.KeyBeep = kTrue;
    common.WxAlert = kFalse;
    common.IndReply = kTrue;
    common.IndACK = 1;  // any non-zero value reads as true
    common.POSRR = kTrue;
    common.DscScan = kFalse;
    common.UserMmsid = "3669990010";
    common.AtisNo = "9366123456";
    common.AtisOnOffUSA = kTrue;
    common.AtisOnOffInternational = kFalse;
    common.AtisOnOffCanada = kTrue;
    app.Data.Channels = {1, 2, 3, 4, 5, 6, kNoChannel, 8, 9};

    PlanChannel& usa = app.Data.UsaChannels.at(0);
    usa.ChTag = "ABCDEFGHIJKLMNO";
    usa.Enable = kTrue;
    usa.TxEnable = kTrue;
    usa.LowPower = kTrue;
    usa.PowUp = kTrue;
    usa.Duplex = kTrue;
    usa.ScanMemory = kTrue;
    app.Data.UsaChannels.at(1).Enable = kFalse;
    app.Data.UsaChannels.at(1).ChTag = "";
    PlanChannel stray = app.Data.IntlChannels.at(0);
    stray.Position = 99;  // not a row of the plan
    app.Data.IntlChannels.push_back(stray);
    app.Data.CanadaChannels.at(2).ScanMemory = kFalse;
    app.Data.CanadaChannels.at(2).ChTag = "Canada three";

    app.Data.WxChannels.at(0).ChTag = "WEATHER ONE+EXTRA";
    app.Data.WxChannels.at(0).ScanMemory = kTrue;
    app.Data.WxChannels.at(1).Enable = kFalse;

    ExpChannel& exp = app.Data.ExpChannels[0];
    exp.Position = 5;
    exp.Enable = kTrue;
    exp.TxEnable = kTrue;
    exp.ChTag = "Exp five";
    app.Data.ExpChannels[39].Position = 300;  // beyond the raster

    app.Data.IndividualDirectory[0] = {kTrue, "HARBOR", "3669990020"};
    app.Data.IndividualDirectory[19] = {kTrue, "TENCHARSXY", "2111111110"};
    app.Data.GroupDirectory[2] = {kTrue, "FLEET", "0366999000"};
    return app;
}

QByteArray Report(const AppState& app) {
    return QByteArray::fromStdString(BuildTextReport(app));
}

// The window with its fakes, and the temporary folder the saves go to.
struct Rig {
    Rig() : app(test::MakeDefaultApp(kModelHV2071P)), window(app, fakes.platform) {}

    template <typename T>
    T* Child(const char* name) const {
        return window.findChild<T*>(QString::fromLatin1(name));
    }
    QString Shown() const { return Child<QPlainTextEdit>("txtPrn")->toPlainText(); }
    std::string PathOf(const char* name) const { return dir.filePath(name).toStdString(); }

    test::TestPlatform fakes;
    AppState app;
    TextReportWindow window;
    QTemporaryDir dir;
};

}  // namespace

class TextReportTest : public QObject {
    Q_OBJECT
  private slots:
    void valueTexts();
    void goldens_data();
    void goldens();
    void handCheckedLines();
    void waitsThenShowsTheText();
    void savesTheTextAndClosingLine();
    void cancelledSaveWritesNothing();
    void failedSaveShowsTheError();
    void okAndExitClose();
};

void TextReportTest::valueTexts() {
    QCOMPARE(YesNo(kTrue), "Yes");
    QCOMPARE(YesNo(2), "Yes");
    QCOMPARE(YesNo(kFalse), "No");
    QCOMPARE(DimmerText(2), "MID");
    QCOMPARE(DimmerText(7), "OFF");
    QCOMPARE(ScanTypeText(1), "Priority");
    QCOMPARE(ScanTypeText(5), "");
    QCOMPARE(RingerText(3), "3 min");
    QCOMPARE(RingerText(9), "5 times");
    QCOMPARE(OffsetText(12), " 0:00");
    QCOMPARE(OffsetText(24), "+12:00");
    QCOMPARE(OffsetText(25), "");
    QCOMPARE(OffsetText(-1), "");
    QCOMPARE(PadRight("abc", 5), "abc  ");
    QCOMPARE(PadRight("abcdef", 3), "abc");
    QCOMPARE(Label("Count", 7), "Count : ");

    const AppState app = test::MakeDefaultApp(kModelHV2071P);
    const ChannelPlan& plan = app.Plans.UsaPlan;
    QCOMPARE(ChoiceText(0, plan), plan.At(1).ChannelNo);
    QCOMPARE(ChoiceText(kNoChannel, plan), "(None)");
    QCOMPARE(ChoiceText(kRegionalPlanSize, plan), "(None)");
    PlanChannel stray;
    stray.Position = 99;
    const ChannelCells cells = CellsOf(stray, plan);
    QCOMPARE(cells.rx, "---.---");
    QCOMPARE(cells.enable, "------");
    QCOMPARE(cells.scan, "----");
}

void TextReportTest::goldens_data() {
    QTest::addColumn<QString>("golden");
    QTest::addColumn<std::function<AppState()>>("make");
    QTest::newRow("HV2071P defaults")
        << "report_default_hv2071p.txt"
        << std::function<AppState()>([] { return test::MakeDefaultApp(kModelHV2071P); });
    QTest::newRow("TQ5300 defaults")
        << "report_default_tq5300.txt"
        << std::function<AppState()>([] { return test::MakeDefaultApp(kModelTQ5300); });
    QTest::newRow("rich data set") << "report_rich.txt" << std::function<AppState()>(MakeRichApp);
}

void TextReportTest::goldens() {
    QFETCH(QString, golden);
    QFETCH(std::function<AppState()>, make);
    QString why;
    QVERIFY2(test::MatchesGolden(Report(make()), golden, &why), qPrintable(why));
}

void TextReportTest::handCheckedLines() {
    const QByteArray rich = Report(MakeRichApp());
    QVERIFY(
        rich.startsWith("\r\n##### Common Setting #####\r\n--- Radio ---\r\n"
                        "ContrastLevel    : 5\r\nDimmer Status:   : OFF\r\n"
                        "OffsetTime       : +12:00\r\n"));
    QVERIFY(rich.contains("\r\nScanType         : \r\n"));
    QVERIFY(rich.contains("\r\nIndivisual ACK   : Yes\r\nIndivisual Ringer: 5 times\r\n"));
    QVERIFY(rich.contains("\r\nUser MMSI        : 3669990010 ----- Count : 3\r\n\r\n--- ATIS"));
    QVERIFY(rich.contains("\r\nATIS No.  : 9366123456\r\n"));
    QVERIFY(
        rich.contains("\r\nAtisOnOff :         Yes                 No                  "
                      "Yes                 \r\n\r\n##### Programable USA Channel"));
    QVERIFY(rich.contains("  DUP  SCAN ABCDEFGHIJKL\r\n"));
    QVERIFY(!rich.contains("ABCDEFGHIJKLM"));
    QVERIFY(rich.contains("\r\n1   ENABLE  SCAN WEATHER ONE+\r\n"));
    QVERIFY(rich.contains("\r\n40  300  ------  ---.---  ---.---  "));
    QVERIFY(rich.contains("\r\n1    HARBOR        366999002\r\n"));
    QVERIFY(rich.contains("\r\n3    FLEET         036699900\r\n"));
    QVERIFY(rich.endsWith("\r\n5" + QByteArray(4 + 14 + 9, ' ')));
    QVERIFY(!rich.endsWith("\r\n"));

    const QByteArray hv = Report(test::MakeDefaultApp(kModelHV2071P));
    const QByteArray tq = Report(test::MakeDefaultApp(kModelTQ5300));
    QVERIFY(hv.contains("\r\nContrastLevel    : "));
    QVERIFY(!tq.contains("ContrastLevel"));
    QVERIFY(!tq.contains("Dimmer"));
    QVERIFY(!hv.contains("ATIS"));
    QVERIFY(
        tq.startsWith("\r\n##### Common Setting #####\r\n--- Radio ---\r\nOffsetTime       : "));
}

void TextReportTest::waitsThenShowsTheText() {
    Rig rig;
    QCOMPARE(rig.Shown(), "Now, making text image. Please wait...");
    QCOMPARE(rig.window.size(), QSize(558, 409));
    QVERIFY(rig.window.isModal());
    auto* timer = rig.Child<QTimer>("Timer1");
    QVERIFY(timer && timer->isSingleShot() && !timer->isActive());
    QCOMPARE(timer->interval(), 10);
    QVERIFY(rig.Child<QPlainTextEdit>("txtPrn")->isReadOnly());

    rig.window.show();
    QVERIFY(timer->isActive());
    QVERIFY(QTest::qWaitFor([&] { return rig.Shown().startsWith(u'\n'); }));
    QString expected = QString::fromStdString(BuildTextReport(rig.app));
    expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QCOMPARE(rig.Shown(), expected);
    QCOMPARE(rig.fakes.clock.pauses, std::vector<int>{500});
    QVERIFY(rig.window.isEnabled());
    QVERIFY(!QApplication::overrideCursor());
}

void TextReportTest::savesTheTextAndClosingLine() {
    Rig rig;
    rig.window.BuildText();
    rig.fakes.prompter.paths.push_back(rig.PathOf("report.txt"));
    rig.Child<QAction>("mnuFileSaveAs")->trigger();
    QCOMPARE(rig.fakes.prompter.dialogFilters,
             std::vector<std::string>{"Text files(*.txt)|*.txt|All files(*.*)|*.*"});
    QCOMPARE(test::ReadBytes(rig.dir.filePath("report.txt")), Report(rig.app) + "\r\n");
    QCOMPARE(rig.app.Shared.OperationFailed, kFalse);
    QCOMPARE(rig.app.Shared.AbortRequested, kFalse);
    QVERIFY(rig.fakes.prompter.messages.empty());
    QCOMPARE(rig.fakes.clock.pauses, (std::vector<int>{500, 500}));
    QVERIFY(rig.window.isEnabled());
    QVERIFY(!QApplication::overrideCursor());
}

void TextReportTest::cancelledSaveWritesNothing() {
    Rig rig;
    rig.window.BuildText();
    rig.window.SaveAs();
    QCOMPARE(rig.app.Shared.AbortRequested, kTrue);
    QCOMPARE(rig.fakes.prompter.dialogFilters.size(), std::size_t{1});
    QVERIFY(QDir(rig.dir.path()).isEmpty());
    QCOMPARE(rig.fakes.clock.pauses, std::vector<int>{500});  // only the build's
}

void TextReportTest::failedSaveShowsTheError() {
    Rig rig;
    rig.window.BuildText();
    const std::string path = rig.PathOf("missing/report.txt");
    rig.fakes.prompter.paths.push_back(path);
    rig.window.SaveAs();
    QCOMPARE(rig.app.Shared.OperationFailed, kTrue);
    QCOMPARE(rig.app.Shared.AbortRequested, kTrue);
    QCOMPARE(rig.fakes.prompter.messages.size(), std::size_t{1});
    const test::ShownMessage& shown = rig.fakes.prompter.messages.front();
    QVERIFY(!shown.text.empty());
    QCOMPARE(shown.title, "Chanwright HV2071P");
    QCOMPARE(shown.icon, MessageIcon::Exclamation);
    QVERIFY(!QFile::exists(QString::fromStdString(path)));
    QVERIFY(QDir(rig.dir.path()).isEmpty());
    QVERIFY(rig.window.isEnabled());
    QVERIFY(!QApplication::overrideCursor());
}

void TextReportTest::okAndExitClose() {
    Rig rig;
    rig.window.show();
    QTest::mouseClick(rig.Child<QPushButton>("cmdOK"), Qt::LeftButton);
    QVERIFY(!rig.window.isVisible());
    rig.window.show();
    rig.Child<QAction>("mnuFileExit")->trigger();
    QVERIFY(!rig.window.isVisible());
}

QTEST_MAIN(TextReportTest)
#include "tst_text_report.moc"
