#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

#include "image/channel_text.h"
#include "tests/support/test_files.h"
#include "ui/list_pages.h"

using namespace chanwright;

Q_DECLARE_METATYPE(Region)

namespace {

// A grid row's texts written as "CH|ENABLE|...", as compact as the table rows that use it.
QStringList Cells(const char* texts) {
    return QString::fromLatin1(texts).split(QLatin1Char('|'));
}

QStringList RowTexts(const FlexGrid* grid, int row) {
    QStringList texts;
    for (int c = 0; c <= grid->columnCount(); ++c)
        texts << grid->Text(row, c);
    return texts;
}

// Grid row of the channel at plan position `position` (the header being row 0).
int RowOf(const std::vector<PlanChannel>& channels, int position) {
    for (std::size_t i = 0; i < channels.size(); ++i) {
        if (channels[i].Position == position)
            return static_cast<int>(i) + 1;
    }
    return -1;
}

template <typename T>
T* Control(QWidget& page, const char* name, int index) {
    for (T* control : page.findChildren<T*>(QLatin1String(name))) {
        if (control->property("index").toInt() == index)
            return control;
    }
    return nullptr;
}

void ShowActive(QWidget& page) {
    page.show();
    page.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&page));
}

}  // namespace

class TestListPages : public QObject {
    Q_OBJECT

  private slots:
    void formatFreq_data() {
        QTest::addColumn<double>("mhz");
        QTest::addColumn<QString>("text");
        QTest::newRow("two decimals") << 156.05 << "156.050";
        QTest::newRow("leading zeros") << 9.5 << "009.500";
        QTest::newRow("whole") << 162.000 << "162.000";
        QTest::newRow("zero") << 0.0 << "---.---";
        QTest::newRow("negative") << -156.8 << "---.---";
        QTest::newRow("four integer digits") << 1000.5 << "1000.500";
        // Halves stored just below their decimal text still round up.
        QTest::newRow("156.0505 stored low") << 156.0505 << "156.051";
        QTest::newRow("156.0125 stored low") << 156.0125 << "156.013";
        QTest::newRow("carry into whole") << 9.9995 << "010.000";
        QTest::newRow("product lands low") << 0.5005 << "000.501";
        QTest::newRow("below half") << 156.0504 << "156.050";
    }
    void formatFreq() {
        QFETCH(double, mhz);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(FormatFreq(mhz)), text);
    }

    // Every frequency of the five plans prints as the decimal text it was written as.
    void planFrequenciesReadBack() {
        const AppState app = test::MakeDefaultApp(kModelHV2071P);
        const QRegularExpression form(QStringLiteral("^\\d{3}\\.\\d{3}$"));
        for (const ChannelPlan* plan :
             {&app.Plans.UsaPlan, &app.Plans.IntlPlan, &app.Plans.CanadaPlan, &app.Plans.WxPlan,
              &app.Plans.ExpPlan}) {
            for (int p = plan->First(); p <= plan->Last(); ++p) {
                const ChannelPlanEntry& row = plan->At(p);
                for (double mhz : {row.TxFreq, row.RxFreq, row.DupRxFreq}) {
                    if (mhz == 0)
                        continue;
                    const QString text = QString::fromStdString(FormatFreq(mhz));
                    QVERIFY2(form.match(text).hasMatch(), qPrintable(text));
                    QCOMPARE(text.toDouble(), mhz);
                }
            }
        }
        for (int p = 1; p <= kWxPlanSize; ++p) {
            const ChannelPlanEntry& row = app.Plans.WxPlan.At(p);
            const QString label = QString::fromStdString(row.ChannelNo);
            QVERIFY(label.contains(QString::fromStdString("[" + FormatFreq(row.RxFreq) + "MHz]")));
        }
    }

    void regionalRow_data() {
        QTest::addColumn<Region>("region");
        QTest::addColumn<int>("position");
        QTest::addColumn<QList<int>>("flags");  // Enable, TxEnable, LowPower, PowUp, Duplex, Scan
        QTest::addColumn<QStringList>("texts");
        const Region usa = Region::Usa;
        QTest::newRow("duplex") << usa << 20 << QList<int>{-1, -1, 0, 0, -1, 0}
                                << Cells("20|[Enable]|161.600|157.000|TX|---|--|DUP|---|PORT OPR");
        QTest::newRow("duplex off")
            << usa << 20 << QList<int>{-1, -1, 0, 0, 0, 0}
            << Cells("20|[Enable]|157.000|157.000|TX|---|--|---|---|PORT OPR");
        QTest::newRow("receive only")
            << usa << 15 << QList<int>{-1, 0, 0, 0, 0, 0}
            << Cells("15|[Enable]|156.750|---.---|--|---|--|---|---|COMMERCIAL");
        QTest::newRow("disabled") << usa << 1 << QList<int>{0, 0, 0, 0, 0, 0}
                                  << Cells("01A||156.050|156.050|--|---|--|---|---|VTS");
        QTest::newRow("any non-zero is set")
            << Region::Canada << 29 << QList<int>{1, 1, 1, 1, 1, 1}
            << Cells("28|[Enable]|162.000|157.400|TX|LOW|UP|DUP|MEM|TELEPHONE");
        QTest::newRow("international")
            << Region::International << 29 << QList<int>{-1, -1, 0, -1, -1, -1}
            << Cells("60|[Enable]|160.625|156.025|TX|---|UP|DUP|MEM|TELEPHONE");
    }
    void regionalRow() {
        QFETCH(Region, region);
        QFETCH(int, position);
        QFETCH(QList<int>, flags);
        QFETCH(QStringList, texts);
        AppState app = test::MakeDefaultApp(kModelHV2071P);
        std::vector<PlanChannel>& channels = ChannelsOf(app.Data, region);
        const int row = RowOf(channels, position);
        QVERIFY(row > 0);
        PlanChannel& channel = channels[row - 1];
        channel.Enable = flags[0];
        channel.TxEnable = flags[1];
        channel.LowPower = flags[2];
        channel.PowUp = flags[3];
        channel.Duplex = flags[4];
        channel.ScanMemory = flags[5];

        ChannelListPage page(app);
        page.ShowRegion(region);
        QCOMPARE(RowTexts(page.Grid(), row), texts);
    }

    void gridShape() {
        AppState app = test::MakeDefaultApp(kModelHV2071P);
        ChannelListPage page(app);
        FlexGrid* grid = page.findChild<FlexGrid*>(QStringLiteral("MSFlexGrid1"));
        QVERIFY(grid);
        QCOMPARE(page.objectName(), QStringLiteral("pictB"));

        page.ShowExp();
        page.ShowRegion(Region::Usa);
        QCOMPARE(grid->Rows(), static_cast<int>(app.Data.UsaChannels.size()) + 1);
        QCOMPARE(RowTexts(grid, 0), (Cells("CH|ENABLE|RX[MHz]|TX[MHz]|TX|LOW|UP|DUP|MEM|CH Name")));
        QCOMPARE(grid->ColumnWidth(0), 53);
        QCOMPARE(grid->ColumnWidth(9), 133);
        QCOMPARE(grid->RowHeight(0), 23);
        QCOMPARE(grid->RowHeight(5), 23);
        QVERIFY(!grid->isHidden());

        // A refill starts on the first channel, the only row drawn as selected.
        grid->setCurrentCell(4, 3);
        page.ShowExp();
        QCOMPARE(grid->Rows(), kExpChannelCount + 1);
        QCOMPARE(RowTexts(grid, 0),
                 (Cells("CH|ENABLE|POS|RX[MHz]|TX[MHz]|TX|LOW|UP|DUP|MEM|CH Name")));
        QCOMPARE(grid->Row(), 1);
        const QModelIndexList selected = grid->selectionModel()->selectedRows();
        QCOMPARE(selected.size(), 1);
        QCOMPARE(selected[0].row(), 0);
        QVERIFY(!grid->isHidden());
    }

    // Scrolled to the last row and column, the header row and the CH column still name what is
    // in view.
    void scrolledList_keepsItsHeadersInView() {
        AppState app = test::MakeDefaultApp(kModelHV2071P);
        ChannelListPage page(app);
        page.resize(300, 200);
        page.ShowRegion(Region::Usa);
        ShowActive(page);
        FlexGrid* grid = page.Grid();
        grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum());
        grid->horizontalScrollBar()->setValue(grid->horizontalScrollBar()->maximum());
        QVERIFY(grid->rowAt(0) > 0 && grid->columnAt(0) > 0);

        const QPoint corner(grid->viewport()->width() - 4, grid->viewport()->height() - 4);
        const QHeaderView* top = grid->horizontalHeader();
        const QHeaderView* left = grid->verticalHeader();
        QVERIFY(top->isVisible() && left->isVisible());
        QCOMPARE(top->logicalIndexAt(corner.x()), grid->columnAt(corner.x()));
        QCOMPARE(grid->Text(0, top->logicalIndexAt(corner.x()) + 1), QString("CH Name"));
        const int row = left->logicalIndexAt(corner.y());
        QCOMPARE(row, grid->rowAt(corner.y()));
        const PlanChannel& last = app.Data.UsaChannels[static_cast<std::size_t>(row)];
        QCOMPARE(grid->Text(row + 1, 0),
                 QString::fromStdString(app.Plans.UsaPlan.At(last.Position).ChannelNo));
    }

    void expRow_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("duplex");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("first, duplex")
            << 0 << 0 << -1 << Cells("1|[Enable]|0|160.600|156.000|TX|---|--|DUP|---|");
        QTest::newRow("simplex raster")
            << 4 << 130 << 0 << Cells("5|[Enable]|130|159.250|159.250|TX|---|--|---|---|");
        QTest::newRow("last") << 39 << 281 << 0
                              << Cells("40|[Enable]|281|155.000|155.000|TX|---|--|---|---|");
    }
    void expRow() {
        QFETCH(int, index);
        QFETCH(int, position);
        QFETCH(int, duplex);
        QFETCH(QStringList, texts);
        AppState app = test::MakeDefaultApp(kModelHV2071P);
        ExpChannel& channel = app.Data.ExpChannels[index];
        channel = ExpChannel{};
        channel.Position = static_cast<int16_t>(position);
        SeedExpChannel(channel, app.Plans.ExpPlan);
        channel.Duplex = static_cast<Bool16>(duplex);
        ChannelListPage page(app);
        page.ShowExp();
        QCOMPARE(RowTexts(page.Grid(), index + 1), texts);
    }

    void activation_data() {
        QTest::addColumn<bool>("directory");
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("row");  // 0: the header row
        QTest::addColumn<QList<int>>("activated");
        for (bool directory : {false, true}) {
            const char* page = directory ? "directory " : "channels ";
            QTest::addRow("%sdouble-click row 1", page)
                << directory << "dclick" << 1 << QList<int>{1};
            QTest::addRow("%sdouble-click row 3's number", page)
                << directory << "number" << 3 << QList<int>{3};
            QTest::addRow("%sdouble-click header", page)
                << directory << "dclick" << 0 << QList<int>{};
            QTest::addRow("%sEnter", page) << directory << "enter" << 3 << QList<int>{3};
            QTest::addRow("%sReturn", page) << directory << "return" << 4 << QList<int>{4};
            QTest::addRow("%sEnter right after the fill", page)
                << directory << "enter" << 0 << QList<int>{1};
        }
    }
    void activation() {
        QFETCH(bool, directory);
        QFETCH(QString, how);
        QFETCH(int, row);
        QFETCH(QList<int>, activated);
        AppState app = test::MakeDefaultApp(kModelHV2071P);
        ChannelListPage channels(app);
        DirectoryListPage directories(app);
        QWidget& page = directory ? static_cast<QWidget&>(directories) : channels;
        channels.ShowRegion(Region::Usa);
        directories.ShowDirectory(false);
        FlexGrid* grid = directory ? directories.Grid() : channels.Grid();
        QSignalSpy spy(&page, SIGNAL(RowActivated(int)));
        ShowActive(page);

        if (how == "dclick" || how == "number") {
            QHeaderView* numbers = grid->verticalHeader();
            QWidget* target = row == 0          ? grid->horizontalHeader()->viewport()
                              : how == "number" ? numbers->viewport()
                                                : grid->viewport();
            const int y = row == 0 ? 5 : numbers->sectionViewportPosition(row - 1) + 5;
            const QPoint at(how == "number" ? 5 : grid->columnViewportPosition(0) + 5, y);
            // As the window system delivers one: a click, then the double-click of the second
            // press.
            QTest::mouseClick(target, Qt::LeftButton, {}, at);
            QTest::mouseDClick(target, Qt::LeftButton, {}, at);
        } else {
            grid->setFocus();
            if (row > 0)
                grid->setCurrentCell(row - 1, 1);
            QTest::keyClick(grid, how == "enter" ? Qt::Key_Enter : Qt::Key_Return);
        }
        QList<int> rows;
        for (const QList<QVariant>& args : spy)
            rows << args.at(0).toInt();
        QCOMPARE(rows, activated);
    }

    void gridFocusHint() {
        AppState app = test::MakeDefaultApp(kModelHV2071P);
        ChannelListPage channels(app);
        DirectoryListPage directories(app);
        QSignalSpy channelHints(&channels, &ChannelListPage::StatusHint);
        QSignalSpy directoryHints(&directories, &DirectoryListPage::StatusHint);
        ShowActive(channels);
        channels.Grid()->setFocus();
        QCOMPARE(channelHints.count(), 1);
        QCOMPARE(channelHints.at(0).at(0).toString(),
                 QStringLiteral("[Double click],[Enter]:Jump the Setting screen."));
        ShowActive(directories);
        directories.Grid()->setFocus();
        QVERIFY(directories.Grid()->hasFocus());
        QCOMPARE(directoryHints.count(), 0);
    }

    void directoryGrid() {
        AppState app = test::MakeDefaultApp(kModelHV2071P);
        app.Data.IndividualDirectory[2] = {kTrue, "HARBOR", "0123456789"};
        app.Data.GroupDirectory[4] = {kTrue, "FLEET", "0987654320"};
        DirectoryListPage page(app);
        FlexGrid* grid = page.findChild<FlexGrid*>(QStringLiteral("MSFlexGrid2"));
        QVERIFY(grid);
        QCOMPARE(page.objectName(), QStringLiteral("pictE"));

        page.ShowDirectory(false);
        QCOMPARE(grid->Rows(), kIndividualDirectorySize + 1);
        QCOMPARE(RowTexts(grid, 0), (QStringList{"No.", "STATION NAME", "MMSI"}));
        QCOMPARE(RowTexts(grid, 3), (QStringList{"3", "HARBOR", "0123456789"}));
        QCOMPARE(RowTexts(grid, 20), (QStringList{"20", "", ""}));
        QCOMPARE(grid->property("helpContext").toInt(), 1047);
        QCOMPARE(grid->ColumnWidth(1), 167);

        page.ShowDirectory(true);
        QCOMPARE(grid->Rows(), kGroupDirectorySize + 1);
        QCOMPARE(RowTexts(grid, 0), (QStringList{"No.", "GROUP NAME", "MMSI"}));
        QCOMPARE(RowTexts(grid, 5), (QStringList{"5", "FLEET", "0987654320"}));
        QCOMPARE(grid->property("helpContext").toInt(), 1067);

        page.ShowDirectory(false);
        QCOMPARE(grid->Text(0, 1), QStringLiteral("STATION NAME"));
        QCOMPARE(grid->property("helpContext").toInt(), 1047);
    }

    void wxFill() {
        AppState app = test::MakeDefaultApp(kModelHV2071P);
        QCOMPARE(app.Data.WxChannels.size(), std::size_t(WxPage::kRows));
        app.Data.WxChannels[0].ScanMemory = 1;
        app.Data.WxChannels[2] = {};
        app.Data.WxChannels[2].Position = 3;
        app.Data.WxChannels[2].ScanMemory = kTrue;
        app.Data.WxChannels[2].ChTag = "ABC";
        WxPage page(app);
        QCOMPARE(page.objectName(), QStringLiteral("pictD"));
        app.Shared.Busy = kTrue;
        page.Fill();
        QCOMPARE(app.Shared.Busy, kTrue);
        app.Shared.Busy = kFalse;
        page.Fill();
        QCOMPARE(app.Shared.Busy, kFalse);

        QCOMPARE(Control<QLabel>(page, "lblWX", 0)->text(), QStringLiteral("WX01[162.550MHz]"));
        QCOMPARE(Control<QLabel>(page, "lblWX", 9)->text(), QStringLiteral("WX10[163.275MHz]"));
        QVERIFY(Control<QCheckBox>(page, "chkDScan", 0)->isChecked());
        QVERIFY(Control<QLineEdit>(page, "txtDTagName", 0)->isEnabled());
        QVERIFY(!Control<QCheckBox>(page, "chkDEnable", 2)->isChecked());
        QCheckBox* scan = Control<QCheckBox>(page, "chkDScan", 2);
        QLineEdit* name = Control<QLineEdit>(page, "txtDTagName", 2);
        QVERIFY(scan->isChecked() && !scan->isEnabled());
        QCOMPARE(name->text(), QStringLiteral("ABC"));
        QVERIFY(!name->isEnabled());
        QCOMPARE(name->maxLength(), 12);
    }

    void wxClicks() {
        AppState app = test::MakeDefaultApp(kModelHV2071P);
        app.Data.WxChannels[1].ScanMemory = kTrue;
        app.Data.WxChannels[1].ChTag = "KEEP";
        WxPage page(app);
        page.Fill();
        ShowActive(page);
        QCheckBox* enable = Control<QCheckBox>(page, "chkDEnable", 1);
        QCheckBox* scan = Control<QCheckBox>(page, "chkDScan", 1);
        QLineEdit* name = Control<QLineEdit>(page, "txtDTagName", 1);

        QTest::mouseClick(enable, Qt::LeftButton);
        QCOMPARE(app.Data.WxChannels[1].Enable, kFalse);
        QVERIFY(!scan->isEnabled() && !name->isEnabled());
        QCOMPARE(app.Data.WxChannels[1].ScanMemory, kTrue);
        QCOMPARE(app.Data.WxChannels[1].ChTag, std::string("KEEP"));

        QTest::mouseClick(enable, Qt::LeftButton);
        QCOMPARE(app.Data.WxChannels[1].Enable, kTrue);
        QVERIFY(scan->isEnabled() && name->isEnabled());
        QTest::mouseClick(scan, Qt::LeftButton);
        QCOMPARE(app.Data.WxChannels[1].ScanMemory, kFalse);

        // While Busy, clicks change neither the data nor the row.
        app.Shared.Busy = kTrue;
        QTest::mouseClick(scan, Qt::LeftButton);
        QTest::mouseClick(enable, Qt::LeftButton);
        QCOMPARE(app.Data.WxChannels[1].ScanMemory, kFalse);
        QCOMPARE(app.Data.WxChannels[1].Enable, kTrue);
        QVERIFY(scan->isEnabled() && name->isEnabled());
    }

    void wxNameTyping_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("lower case") << "noaa"
                                    << "NOAA";
        QTest::newRow("digits and punctuation") << "wx 1-2/(a)*+,."
                                                << "WX 1-2/(A)*+";
        QTest::newRow("upper case kept") << "Ch16"
                                         << "CH16";
    }
    void wxNameTyping() {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        AppState app = test::MakeDefaultApp(kModelHV2071P);
        app.Data.WxChannels[4].ChTag = "OLD";
        WxPage page(app);
        page.Fill();
        QSignalSpy hints(&page, &WxPage::StatusHint);
        ShowActive(page);
        QLineEdit* name = Control<QLineEdit>(page, "txtDTagName", 4);
        name->setFocus();
        QCOMPARE(name->selectedText(), QStringLiteral("OLD"));
        QCOMPARE(hints.last().at(0).toString(), QStringLiteral("A maximum of 12 characters"));
        QTest::keyClicks(name, typed);
        QCOMPARE(name->text(), stored);
        QCOMPARE(QString::fromStdString(app.Data.WxChannels[4].ChTag), stored);
    }

    void wxNameOnlyFromActivePage() {
        AppState app = test::MakeDefaultApp(kModelHV2071P);
        WxPage page(app);
        page.Fill();
        QLineEdit* name = Control<QLineEdit>(page, "txtDTagName", 0);
        page.setEnabled(false);
        name->setText(QStringLiteral("HIDDEN"));
        QCOMPARE(app.Data.WxChannels[0].ChTag, std::string("162.550MHZ"));
        page.setEnabled(true);
        name->setText(QStringLiteral("SHOWN"));
        QCOMPARE(app.Data.WxChannels[0].ChTag, std::string("SHOWN"));
    }

    void wxBoxFocus_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("hint");
        QTest::newRow("enable") << "chkDEnable"
                                << "Select[x]Enable/[]Disable.";
        QTest::newRow("scan") << "chkDScan"
                              << "[Space]:An effective and invalid change.";
    }
    void wxBoxFocus() {
        QFETCH(QString, name);
        QFETCH(QString, hint);
        AppState app = test::MakeDefaultApp(kModelHV2071P);
        WxPage page(app);
        page.Fill();
        QSignalSpy hints(&page, &WxPage::StatusHint);
        ShowActive(page);
        QCheckBox* box = Control<QCheckBox>(page, qPrintable(name), 6);
        const int nameLeft = Control<QLineEdit>(page, "txtDTagName", 6)->x();
        box->setFocus();
        QCOMPARE(hints.last().at(0).toString(), hint);
        QCOMPARE(box->text(), QStringLiteral(">"));
        // The mark moves nothing beside it.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QCOMPARE(Control<QLineEdit>(page, "txtDTagName", 6)->x(), nameLeft);
        Control<QLineEdit>(page, "txtDTagName", 0)->setFocus();
        QCOMPARE(box->text(), QStringLiteral(" "));
    }
};

QTEST_MAIN(TestListPages)
#include "tst_list_pages.moc"
