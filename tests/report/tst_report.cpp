// The text report and the printed report against golden copies, and the window that shows and
// saves the text. The printed pages are read back with pdftotext -bbox: every word with its place
// on the paper, so that the goldens hold the layout as well as the content.
#include <QAction>
#include <QApplication>
#include <QPdfWriter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "report/data_diff.h"
#include "report/data_merge.h"
#include "report/print_report.h"
#include "report/report_values.h"
#include "report/text_report.h"
#include "tests/support/test_files.h"
#include "tests/support/test_platform.h"
#include "ui/dialogs/text_report_window.h"

using namespace chanwright;
using namespace chanwright::report;

namespace {

// Every kind of value the report turns into text, including the ones out of their range
// (tests/data/report_rich.dat), and records no data file holds.
AppState MakeRichApp() {
    AppState app = test::MakeDefaultApp(Model::HV2071P);
    app.Shared.ModelCode = "KW83E";
    app.Image[341] = 3;  // the user MMSI count
    test::ReadDataFixture(app, "report_rich.dat");
    app.Data.IntlChannels.push_back(app.Data.IntlChannels.at(0));
    app.Data.IntlChannels.back().Position = 99;  // not a row of the plan
    app.Data.ExpChannels[39].Position = 300;     // beyond the raster
    return app;
}

// The rich data set with the widest texts the window allows (they print whole) and longer ones
// (cut before the next column), the longest USA list, and choices past the plans.
AppState MakePrintApp(Model model) {
    AppState app = MakeRichApp();
    app.Shared.ModelNum = model;
    app.Shared.ModelCode = model == Model::TQ5300 ? "KW83" : "KW83E";
    RadioData& d = app.Data;
    d.Common.Dimmer = 2;  // MID, and Priority: values the text goldens hold no example of
    d.Common.ScanType = 1;
    d.Channels.IntBch = kRegionalPlanSize;
    d.Channels.CanBch = -1;
    const std::string name(30, 'W');
    d.UsaChannels.resize(kRegionalPlanSize, d.UsaChannels.at(2));
    d.UsaChannels.back().ChTag = d.ExpChannels[1].ChTag = name;
    d.ExpChannels[2] = d.UsaChannels.at(0);
    d.ExpChannels[2].Position = kExpPlanLast;
    d.ExpChannels[2].ChTag = "WWWWWWWWWWWW";
    d.IndividualDirectory[1] = {kTrue, name, std::string(30, '9')};
    d.IndividualDirectory[2] = {kTrue, "WWWWWWWWWW", "3669999990"};
    return app;
}

// Each page's size, then each text line's top and its words at their left edges, in mm from the
// paper's corner.
QString PrintedText(const QString& pdf) {
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"), {"-bbox", pdf, "-"});
    tool.waitForFinished(60000);
    static const QRegularExpression item(
        R"-(<title>(.*)</|width="(\S+)" height="(\S+)"|xMin="(\S+)" yMin="(\S+)"[^>]*>(.*)</)-");
    const auto mm = [](auto pt) { return QString::number(pt.toDouble() * 25.4 / 72, 'f', 1); };
    QMap<std::pair<int, double>, QString> lines;  // by page and top, the page's size first
    int page = 0;
    for (const QRegularExpressionMatch& m : item.globalMatch(tool.readAllStandardOutput())) {
        if (m.hasCaptured(1)) {
            lines[{0, -1}] = "title: " + m.captured(1);
        } else if (m.hasCaptured(2)) {
            lines[{++page, -1}] = "page " + mm(m.captured(2)) + " x " + mm(m.captured(3));
        } else {
            QString& line = lines[{page, m.captured(5).toDouble()}];
            line += (line.isEmpty() ? mm(m.captured(5)) + ':' : "") + ' ' + m.captured(6) + '@' +
                    mm(m.captured(4));
        }
    }
    return lines.values().join('\n') + '\n';
}

// The same words, at places up to 0.3 mm apart (as device margins leave them, rounded to pixels).
bool NearlyAsPrinted(const QString& printed, const QString& golden) {
    static const QRegularExpression separator("[@: \n]");
    const QStringList got = printed.split(separator);
    const QStringList want = QString(test::ReadBytes(test::TestDataPath(golden))).split(separator);
    return std::equal(got.begin(), got.end(), want.begin(), want.end(), [](auto& a, auto& b) {
        bool numbers = false, both = false;
        return a == b || (qAbs(a.toDouble(&numbers) - b.toDouble(&both)) <= 0.3 && numbers && both);
    });
}

}  // namespace

class ReportTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

  private slots:
    // Each part merged alone from the rich data set into the default one, under the model code
    // that keeps an ATIS number: the golden lists what each changes, so a field merged with the
    // wrong part, or with none, shows there. All parts together leave nothing different; a set
    // of the other model is refused and changes nothing.
    void mergeCopiesEachPartAlone() {
        AppState from = test::MakeDefaultApp(Model::HV2071P);
        from.Shared.ModelCode = "KW83E";
        const AppState fresh = from;
        test::ReadDataFixture(from, "report_rich.dat");
        QByteArray text;
        std::vector<MergePart> all;
        std::string error;
        for (const char* word :
             {"channels", "wx", "exp", "individual", "group", "settings", "identity"}) {
            all.push_back(ParseMergePart(word).value());
            AppState base = fresh;
            QVERIFY(MergeParts(base, from, {all.back()}, error));
            text += QByteArray("== ") + word + " ==\n";
            for (const std::string& line : DiffLines(fresh, base))
                text += QByteArray::fromStdString(line) + '\n';
        }
        AppState base = fresh;
        QVERIFY(MergeParts(base, from, all, error));
        QCOMPARE(DiffLines(base, from), std::vector<std::string>());
        AppState other = test::MakeDefaultApp(Model::TQ5300);
        const AppState kept = other;
        QVERIFY(!MergeParts(other, from, all, error));
        QVERIFY(other.Data == kept.Data);
        text += "== another model ==\n" + QByteArray::fromStdString(error) + '\n';
        COMPARE_GOLDEN(text, "report_merge_parts.txt");
    }

    // The offsets at and past the ends of the list, which the goldens hold no example of.
    void valueTextsOutOfRange() {
        QCOMPARE(OffsetText(-1) + OffsetText(0) + OffsetText(25), std::string("-12:00"));
    }

    // The defaults of each model and the rich data set.
    void textGoldens_data() {
        QTest::addColumn<Model>("model");  // -1: the rich data set
        QTest::newRow("report_default_hv2071p.txt") << Model::HV2071P;
        QTest::newRow("report_default_tq5300.txt") << Model::TQ5300;
        QTest::newRow("report_rich.txt") << Model(-1);
    }
    void textGoldens() {
        QFETCH(Model, model);
        const AppState app = model != Model(-1) ? test::MakeDefaultApp(model) : MakeRichApp();
        COMPARE_GOLDEN(QByteArray::fromStdString(BuildTextReport(app)), QTest::currentDataTag());
    }

    // A4 as the PDF file is written; smaller paper, where the pages are scaled down whole; and
    // a device keeping margins, where the columns still count from the paper's edge.
    void printGoldens_data() {
        QTest::addColumn<QString>("golden");
        QTest::addColumn<QPageLayout>("paper");  // none: WriteReportPdf's own A4
        QTest::addColumn<Model>("model");
        const auto paper = [](double width, double height, QMarginsF margins = {}) {
            return QPageLayout(QPageSize(QSizeF(width, height), QPageSize::Millimeter),
                               QPageLayout::Portrait, margins, QPageLayout::Millimeter);
        };
        const Model hv = Model::HV2071P, tq = Model::TQ5300;
        // First: an update takes the golden from the row after it.
        QTest::newRow("HV2071P A4, margins")
            << "report_print_hv2071p_a4.txt" << paper(210, 297, {25, 30, 15, 15}) << hv;
        QTest::newRow("HV2071P A4") << "report_print_hv2071p_a4.txt" << QPageLayout() << hv;
        QTest::newRow("TQ5300 A5") << "report_print_tq5300_a5.txt" << paper(148, 210) << tq;
        QTest::newRow("TQ5300 A5 landscape")
            << "report_print_tq5300_a5_landscape.txt" << paper(210, 148) << tq;
    }
    void printGoldens() {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            QSKIP("pdftotext is not installed (package poppler-utils; scripts/install-deps)");
        QFETCH(QString, golden);
        QFETCH(QPageLayout, paper);
        QFETCH(Model, model);
        const AppState app = MakePrintApp(model);
        const QString pdf = dir_.filePath("report.pdf");
        QString error;
        if (!paper.isValid()) {  // written whole, over an older file, or not at all
            QVERIFY(!WriteReportPdf(app, dir_.filePath("missing/report.pdf"), &error));
            QVERIFY(!error.isEmpty() && test::WriteBytes(pdf, "an older report"));
            QVERIFY2(WriteReportPdf(app, pdf, &error), qPrintable(error));
            QCOMPARE(
                QDir(dir_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                QStringList{"report.pdf"});
        } else {
            QPdfWriter writer(pdf);
            writer.setTitle("Chanwright settings report");
            writer.setResolution(300);
            writer.setPageLayout(paper);
            PrintReport(app, writer);
        }
        const QString printed = PrintedText(pdf);
        QString why;
        QVERIFY2(
            test::MatchesGolden(printed.toUtf8(), golden, &why) || NearlyAsPrinted(printed, golden),
            qPrintable(why));
    }

    // The window shows a note while it builds the text, then the text. Saved: the text and a
    // closing CR LF. Cancelled or failed: nothing written. OK and File ▸ Exit close the window.
    void windowShowsAndSaves_data() {
        QTest::addColumn<QStringList>("paths");  // what the save dialog answers
        QTest::addColumn<bool>("failed");
        QTest::newRow("saved") << QStringList{"report.txt"} << false;
        QTest::newRow("cancelled") << QStringList() << false;
        QTest::newRow("missing folder") << QStringList{"missing/report.txt"} << true;
    }
    void windowShowsAndSaves() {
        QFETCH(QStringList, paths);
        QFETCH(bool, failed);
        const bool saved = !paths.isEmpty() && !failed;
        test::TestPlatform fakes;
        AppState app = test::MakeDefaultApp(Model::HV2071P);
        TextReportWindow window(app, fakes.platform);
        const QPlainTextEdit* text = window.findChild<QPlainTextEdit*>("txtPrn");
        QTemporaryDir dir;  // where the saves go
        QCOMPARE(text->toPlainText(), "Now, making text image. Please wait...");
        QCOMPARE(window.size(), QSize(558, 409));
        QVERIFY(window.isModal() && text->isReadOnly());
        window.show();
        QVERIFY(QTest::qWaitFor([&] { return text->toPlainText().startsWith(u'\n'); }));
        QCOMPARE(text->toPlainText(),
                 QString::fromStdString(BuildTextReport(app)).replace("\r\n", "\n"));
        for (const QString& path : paths)
            fakes.prompter.paths.push_back(dir.filePath(path).toStdString());
        window.findChild<QAction*>("mnuFileSaveAs")->trigger();
        QCOMPARE(fakes.prompter.dialogFilters,
                 std::vector<std::string>{"Text files(*.txt)|*.txt|All files(*.*)|*.*"});
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 saved ? QStringList{"report.txt"} : QStringList());
        if (saved)
            QCOMPARE(test::ReadBytes(dir.filePath("report.txt")),
                     QByteArray::fromStdString(BuildTextReport(app)) + "\r\n");
        QCOMPARE(app.Shared.OperationFailed, failed);
        QCOMPARE(app.Shared.AbortRequested, !saved);
        QCOMPARE(fakes.clock.pauses, std::vector<int>(paths.size() + 1, 500));
        QCOMPARE(fakes.prompter.messages.size(), std::size_t(failed));
        for (const test::ShownMessage& shown : fakes.prompter.messages)
            QVERIFY(!shown.text.empty() && shown.title == "Chanwright HV2071P" &&
                    shown.icon == MessageIcon::Exclamation);
        QVERIFY(window.isEnabled() && !QApplication::overrideCursor());
        QTest::mouseClick(window.findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
        QVERIFY(!window.isVisible());
        window.show();
        window.findChild<QAction*>("mnuFileExit")->trigger();
        QVERIFY(!window.isVisible());
    }
};

QTEST_MAIN(ReportTest)
#include "tst_report.moc"
