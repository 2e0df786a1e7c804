#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include "report/print_report.h"
#include "tests/support/test_files.h"

using namespace chanwright;

namespace {

const QString kPdfToolMissing = QStringLiteral(
    "pdftotext is not installed (package poppler-utils; scripts/install-deps installs it)");
const QString kTag12 = QStringLiteral("WWWWWWWWWWWW");  // the widest 12-character channel name
#define NEED_PDFTOTEXT()      \
    if (pdftotext_.isEmpty()) \
    QSKIP(qPrintable(kPdfToolMissing))

// The words of a text line, however many spaces lie between them.
QStringList Words(const QString& line) {
    return line.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
}

// The first line of a page that starts with the given words.
QString LineStarting(const QString& page, const QString& start) {
    for (const QString& line : page.split(QLatin1Char('\n'))) {
        if (Words(line).join(QLatin1Char(' ')).startsWith(start))
            return Words(line).join(QLatin1Char(' '));
    }
    return {};
}

// The table rows of a page: the non-empty lines under the dashes line.
int RowCount(const QString& page) {
    const QString under = page.section(QRegularExpression(QStringLiteral("\n\\s*--[- ]*\n")), 1);
    return under.split(QLatin1Char('\n'), Qt::SkipEmptyParts).size();
}

// A word as pdftotext -bbox places it, in points from the page's top left corner.
struct Word {
    QString text;
    double xMin, yMin, xMax, yMax;
};
struct BoxPage {
    double width, height;
    QList<Word> words;
};

QList<BoxPage> BoxPages(const QString& xhtml) {
    QList<BoxPage> pages;
    QXmlStreamReader xml(xhtml);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes at = xml.attributes();
        const auto number = [&](const char* name) { return at.value(name).toDouble(); };
        if (xml.name() == u"page")
            pages.append({number("width"), number("height"), {}});
        else if (xml.name() == u"word" && !pages.isEmpty())
            pages.last().words.append({xml.readElementText(), number("xMin"), number("yMin"),
                                       number("xMax"), number("yMax")});
    }
    return pages;
}

}  // namespace

class PrintReportTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;
    QString pdftotext_;

    // The report as pdftotext reads it back, one string per page.
    QStringList Pages(const AppState& app) {
        const QString pdf = dir_.filePath(QStringLiteral("report.pdf"));
        QString error;
        if (!report::WriteReportPdf(app, pdf, &error))
            return {QStringLiteral("write failed: ") + error};
        return PdfText(pdf, {QStringLiteral("-layout")}).split(QLatin1Char('\f'));
    }

    QString PdfText(const QString& pdf, QStringList options) {
        QProcess tool;
        tool.start(pdftotext_, options << pdf << QStringLiteral("-"));
        if (!tool.waitForFinished(60000) || tool.exitCode() != 0)
            return QStringLiteral("pdftotext failed: ") + tool.readAllStandardError();
        QString text = QString::fromUtf8(tool.readAllStandardOutput());
        // Every page ends with a form feed; the last one only ends the text.
        if (text.endsWith(QLatin1Char('\f')))
            text.chop(1);
        return text;
    }

  private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        pdftotext_ = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    }

    void pagesInOrder_data() {
        QTest::addColumn<int>("model");
        QTest::addColumn<QStringList>("titles");
        const QStringList common =
            QStringLiteral(
                "Common Setting|Programable USA Channel|Programable International "
                "Channel|Programable Canada Channel|Programable WX Channel|"
                "Programable EXP Channel|Individual ID|Group ID")
                .split('|');
        QTest::newRow("HV2071P") << int(kModelHV2071P) << common;
        QTest::newRow("TQ5300") << int(kModelTQ5300)
                                << QStringList{"Programable Channel Common"} + common;
    }
    void pagesInOrder() {
        NEED_PDFTOTEXT();
        QFETCH(int, model);
        QFETCH(QStringList, titles);
        const AppState app = test::MakeDefaultApp(static_cast<int16_t>(model));
        const QStringList pages = Pages(app);
        QCOMPARE(pages.size(), titles.size());
        QCOMPARE(report::ReportPageCount(static_cast<int16_t>(model)), titles.size());
        const QString name = QString::fromStdString(app.Shared.ModelName());
        for (int i = 0; i < pages.size(); ++i) {
            const QStringList lines = pages[i].split(QLatin1Char('\n'));
            const QString header = "%1 Chanwright --- Page %2 of %3";
            QCOMPARE(Words(lines.value(0)).join(' '),
                     header.arg(name).arg(i + 1).arg(pages.size()));
            QVERIFY2(lines.value(1).trimmed().isEmpty(), qPrintable(lines.value(1)));
            QCOMPARE(lines.value(2).trimmed(), "##### " + titles[i] + " #####");
        }
        // Only the HV2071P has a contrast and a dimmer setting.
        const QString settings = pages[titles.indexOf("Common Setting")];
        QCOMPARE(settings.contains("Contrast Level"), model == kModelHV2071P);
        QCOMPARE(settings.contains("Dimmer Status"), model == kModelHV2071P);
        QVERIFY(settings.contains("Indivisual Ringer"));
    }

    void channelChoices_data() {
        QTest::addColumn<int>("usaA");
        QTest::addColumn<int>("intlB");
        QTest::addColumn<QString>("aLine");
        QTest::addColumn<QString>("bLine");
        QTest::newRow("none") << 255 << 255 << "A-ch (None) (None) (None)"
                              << "B-ch (None) (None) (None)";
        QTest::newRow("USA 03A, Intl 01") << 2 << 0 << "A-ch 03A (None) (None)"
                                          << "B-ch (None) 01 (None)";
        QTest::newRow("past the plan") << 200 << -1 << "A-ch (None) (None) (None)"
                                       << "B-ch (None) (None) (None)";
    }
    void channelChoices() {
        NEED_PDFTOTEXT();
        QFETCH(int, usaA);
        QFETCH(int, intlB);
        AppState app = test::MakeDefaultApp(kModelTQ5300);
        ChannelCommon& c = app.Data.Channels;
        c.UsaAch = static_cast<int16_t>(usaA);
        c.IntBch = static_cast<int16_t>(intlB);
        c.IntAch = c.CanAch = c.UsaBch = c.CanBch = kNoChannel;
        const QString page = Pages(app).value(0);
        QCOMPARE(LineStarting(page, "USA"), QStringLiteral("USA International CANADA"));
        QTEST(LineStarting(page, "A-ch"), "aLine");
        QTEST(LineStarting(page, "B-ch"), "bLine");
    }

    void atisOnlyForKw83e_data() {
        QTest::addColumn<int>("model");
        QTest::addColumn<QString>("modelCode");
        QTest::newRow("HV2071P KW83") << int(kModelHV2071P) << "KW83";
        QTest::newRow("HV2071P KW83E") << int(kModelHV2071P) << "KW83E";
        QTest::newRow("TQ5300 KW83E") << int(kModelTQ5300) << "KW83E";
    }
    void atisOnlyForKw83e() {
        NEED_PDFTOTEXT();
        QFETCH(int, model);
        QFETCH(QString, modelCode);
        AppState app = test::MakeDefaultApp(static_cast<int16_t>(model));
        app.Shared.ModelCode = modelCode.toStdString();
        app.Data.Common.AtisNo = "9366999999";
        app.Data.Common.AtisOnOffUSA = kFalse;
        app.Data.Common.AtisOnOffInternational = kTrue;
        app.Data.Common.AtisOnOffCanada = kFalse;
        app.Data.Common.UserMmsid = "3669999990";
        app.Image[341] = 7;
        const QString page = Pages(app).value(model == kModelTQ5300 ? 1 : 0);
        // The MMSI keeps clear of the count beside it.
        QVERIFY2(
            page.contains(QRegularExpression(R"(User MMSI\s+: 3669999990\s+----- Count\s+:\s*7)")),
            qPrintable(page));
        const bool atis = modelCode == "KW83E";
        QCOMPARE(page.contains("ATIS"), atis);
        if (!atis)
            return;
        QCOMPARE(LineStarting(page, "ATIS No."), QStringLiteral("ATIS No. : 9366999999"));
        QCOMPARE(LineStarting(page, "USA"), QStringLiteral("USA International CANADA"));
        QCOMPARE(LineStarting(page, "AtisOnOff"), QStringLiteral("AtisOnOff : No Yes No"));
    }

    // Every record of a list is on its page, the longest list the plans allow included.
    void allRowsOnTheirPage_data() {
        QTest::addColumn<int>("model");
        QTest::newRow("HV2071P") << int(kModelHV2071P);
        QTest::newRow("TQ5300") << int(kModelTQ5300);
    }
    void allRowsOnTheirPage() {
        NEED_PDFTOTEXT();
        QFETCH(int, model);
        AppState app = test::MakeDefaultApp(static_cast<int16_t>(model));
        RadioData& d = app.Data;
        d.UsaChannels.resize(kRegionalPlanSize, d.UsaChannels.at(0));
        const QList<int> rows = {
            kRegionalPlanSize,        int(d.IntlChannels.size()), int(d.CanadaChannels.size()),
            int(d.WxChannels.size()), kExpChannelCount,           kIndividualDirectorySize,
            kGroupDirectorySize};
        const QStringList pages = Pages(app);
        QCOMPARE(pages.size(), report::ReportPageCount(static_cast<int16_t>(model)));
        const int first = pages.size() - rows.size();
        for (int i = 0; i < rows.size(); ++i)
            QCOMPARE(RowCount(pages[first + i]), rows[i]);
    }

    // A 12-character name and the other cells stay separate words, even on the widest page.
    void columnsDoNotOverlap_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("rowStart");
        QTest::addColumn<QString>("row");
        QTest::newRow("USA") << 1 << "01A"
                             << "01A ENABLE 156.050 156.050 TX --- -- --- SCAN " + kTag12;
        QTest::newRow("EXP") << 5 << "1 281"
                             << "1 281 ENABLE 159.600 155.000 -- --- UP DUP SCAN " + kTag12;
        QTest::newRow("WX") << 4 << "1 ENABLE"
                            << "1 ENABLE SCAN " + kTag12;
        QTest::newRow("directory") << 6 << "1 WWWWWWWWWW"
                                   << "1 WWWWWWWWWW 3669999990";
    }
    void columnsDoNotOverlap() {
        NEED_PDFTOTEXT();
        QFETCH(int, page);
        QFETCH(QString, rowStart);
        AppState app = test::MakeDefaultApp(kModelHV2071P);
        PlanChannel& usa = app.Data.UsaChannels.at(0);
        usa.ChTag = kTag12.toStdString();
        usa.ScanMemory = kTrue;
        app.Data.WxChannels.at(0) = usa;
        ExpChannel& exp = app.Data.ExpChannels[0];
        exp = usa;
        exp.Position = kExpPlanLast;
        exp.Duplex = exp.PowUp = kTrue;
        exp.TxEnable = exp.LowPower = kFalse;
        app.Data.IndividualDirectory[0] = {kTrue, "WWWWWWWWWW", "3669999990"};
        QTEST(LineStarting(Pages(app).value(page), rowStart), "row");
    }

    // The columns are measured from the paper edge, whatever margins the device keeps.
    void deviceMarginsDoNotMoveTheText() {
        NEED_PDFTOTEXT();
        const QString pdf = dir_.filePath(QStringLiteral("margins.pdf"));
        {
            QPdfWriter writer(pdf);
            writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                             QMarginsF(25, 30, 15, 15), QPageLayout::Millimeter));
            report::PrintReport(test::MakeDefaultApp(kModelHV2071P), writer);
        }
        const QString words = PdfText(pdf, {QStringLiteral("-bbox")});
        QRegularExpression first(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)"[^>]*>HV2071P<)re");
        const QRegularExpressionMatch match = first.match(words);
        QVERIFY2(match.hasMatch(), qPrintable(words.left(2000)));
        const double pointsPerMm = 72 / 25.4;
        QVERIFY2(qAbs(match.captured(1).toDouble() - 10 * pointsPerMm) < 0.5,
                 qPrintable(match.captured(1)));
        QVERIFY2(qAbs(match.captured(2).toDouble() - 5 * pointsPerMm) < 0.5,
                 qPrintable(match.captured(2)));
        QCOMPARE(words.count(QStringLiteral("<page ")), 8);
    }

    // Texts longer than the window allows end before the next column and inside the paper, and a
    // paper smaller than the layout gets its pages scaled down whole, the rows still apart.
    void longTextsStayInTheirColumnsAndOnThePaper_data() {
        QTest::addColumn<QSizeF>("paperMm");
        QTest::newRow("A4") << QSizeF(210, 297);
        QTest::newRow("A5, too narrow") << QSizeF(148, 210);
        QTest::newRow("A5 landscape, too short") << QSizeF(210, 148);
    }
    void longTextsStayInTheirColumnsAndOnThePaper() {
        NEED_PDFTOTEXT();
        QFETCH(QSizeF, paperMm);
        AppState app = test::MakeDefaultApp(kModelHV2071P);
        RadioData& d = app.Data;
        const std::string name(30, 'W');
        const std::string mmsi = QStringLiteral("1234567890").repeated(3).toStdString();
        d.UsaChannels.resize(kRegionalPlanSize, d.UsaChannels.at(0));
        d.UsaChannels.back().ChTag = d.WxChannels.at(0).ChTag = d.ExpChannels[0].ChTag = name;
        d.ExpChannels[1].ChTag = kTag12.toStdString();
        d.IndividualDirectory[0] = {kTrue, name, mmsi};
        d.Common.UserMmsid = mmsi;
        const QString a4 = dir_.filePath(QStringLiteral("a4.pdf"));
        QVERIFY(report::WriteReportPdf(app, a4, nullptr));
        QString pdf = a4;
        if (paperMm != QSizeF(210, 297)) {
            pdf = dir_.filePath(QStringLiteral("small.pdf"));
            QPdfWriter writer(pdf);
            writer.setPageLayout(QPageLayout(QPageSize(paperMm, QPageSize::Millimeter),
                                             QPageLayout::Portrait, QMarginsF(),
                                             QPageLayout::Millimeter));
            report::PrintReport(app, writer);
        }
        // Where each page's columns start, in millimetres from the left margin.
        const QList<double> settings = {0, 48, 70, 90};
        const QList<double> regional = {0, 12, 31, 52, 73, 82, 94, 104, 116, 128};
        const QList<double> wx = {0, 9, 28, 40};
        const QList<double> exp = {0, 9, 21, 40, 61, 82, 92, 104, 113, 125, 137};
        const QList<double> directory = {0, 19, 50};
        const QList<QList<double>> columns = {settings, regional, regional,  regional,
                                              wx,       exp,      directory, directory};
        const QList<BoxPage> pages = BoxPages(PdfText(pdf, {QStringLiteral("-bbox")}));
        const QList<BoxPage> onA4 = BoxPages(PdfText(a4, {QStringLiteral("-bbox")}));
        QCOMPARE(pages.size(), columns.size());
        // A name the window allows prints whole on any paper, even last on the widest page.
        const QList<Word>& expWords = pages[5].words;
        QVERIFY(std::any_of(expWords.begin(), expWords.end(),
                            [](const Word& w) { return w.text == kTag12; }));
        for (int p = 0; p < pages.size(); ++p) {
            const BoxPage& page = pages[p];
            // pdftotext drops what lies past the paper: every word of the A4 print must be there.
            QCOMPARE(page.words.size(), onA4[p].words.size());
            QMap<double, double> lineBottoms;  // by line top
            for (const Word& w : page.words) {
                lineBottoms[w.yMin] = qMax(lineBottoms.value(w.yMin), w.yMax);
                QVERIFY2(
                    w.xMin >= 0 && w.yMin >= 0 && w.xMax <= page.width && w.yMax <= page.height,
                    qPrintable(QString("page %1: %2 off the paper").arg(p).arg(w.text)));
            }
            QVERIFY(lineBottoms.size() > 2);
            for (auto line = lineBottoms.begin(); std::next(line) != lineBottoms.end(); ++line)
                QVERIFY2(line.value() <= std::next(line).key() + 0.01,
                         qPrintable(QString("page %1, line at %2").arg(p).arg(line.key())));
            // The page header starts at the left margin, whatever the page is scaled by.
            const double firstX = page.words.value(0).xMin;
            const auto columnX = [&](double mm) { return firstX * (10 + mm) / 10; };
            // The page header and the title are single texts running across the columns.
            const double headAndTitleBottom = std::next(lineBottoms.begin()).value();
            for (const Word& w : page.words) {
                if (w.yMax <= headAndTitleBottom)
                    continue;
                const auto next =
                    std::find_if(columns[p].begin(), columns[p].end(),
                                 [&](double mm) { return columnX(mm) > w.xMin + 0.5; });
                const double end = next == columns[p].end() ? page.width : columnX(*next);
                QVERIFY2(w.xMax <= end + 0.01,
                         qPrintable(QString("page %1: %2").arg(p).arg(w.text)));
            }
        }
    }

    void pdfWrittenWholeOrNotAtAll() {
        QTemporaryDir dir;
        const AppState app = test::MakeDefaultApp(kModelHV2071P);
        QString error;
        const QString missing = dir.filePath(QStringLiteral("missing/report.pdf"));
        QVERIFY(!report::WriteReportPdf(app, missing, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!QFileInfo::exists(missing));
        QVERIFY(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());

        const QString path = dir.filePath(QStringLiteral("report.pdf"));
        QVERIFY(test::WriteBytes(path, "an older report"));
        QVERIFY2(report::WriteReportPdf(app, path, &error), qPrintable(error));
        const QByteArray bytes = test::ReadBytes(path);
        QVERIFY(bytes.startsWith("%PDF-"));
        QVERIFY(bytes.trimmed().endsWith("%%EOF"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"report.pdf"});
        NEED_PDFTOTEXT();
        const QString words = PdfText(path, {QStringLiteral("-bbox")});
        QVERIFY(words.contains(QStringLiteral("<title>Chanwright settings report</title>")));
        // A4 in points, on every page.
        QCOMPARE(words.count(QStringLiteral("<page width=\"595.000000\" height=\"842.")), 8);
    }
};

QTEST_MAIN(PrintReportTest)
#include "tst_print_report.moc"
