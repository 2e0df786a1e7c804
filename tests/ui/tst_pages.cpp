// The pages' own rules inside the whole window: the channel detail page's cascade and position
// list, the A/B channel choices, the directory's Add and Delete, and the texts the pages show for
// frequencies and settings.
#include "image/channel_text.h"
#include "image/setting_text.h"
#include "tests/ui/window_desk.h"
#include "ui/channel_pages.h"

using namespace chanwright;
using namespace chanwright::test;

namespace {

int IndexOf(const std::vector<PlanChannel>& list, int position) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i].Position == position)
            return static_cast<int>(i);
    }
    return -1;
}

// The entry nodes' shades, one letter each: "B" the normal text colour, "g" grey.
QString Shades(const Desk& desk, const char* prefix, int size) {
    const NavigationTree* tree = desk.window->Tree();
    const QColor grey = tree->palette().color(QPalette::Disabled, QPalette::Text);
    QString shades;
    for (int n = 1; n <= size; ++n) {
        const QTreeWidgetItem* node = tree->FindKey(QString("%1%2").arg(prefix).arg(n));
        shades += node->foreground(0).color() == grey ? 'g' : 'B';
    }
    return shades;
}

}  // namespace

class TestPages : public QObject {
    Q_OBJECT

  private slots:
    // Enable → Tx Enable → Only Low Power → Power Up: each box opens the next. After each click:
    // what changed, the tree node's text and the page.
    void cascade_byClicks() {
        Desk desk;
        desk.Open(TestDataPath("ui/rich.dat"));
        QVERIFY(desk.ShowActive());
        desk.ClickNode("E1");
        const AppState start = desk.app;
        const char* boxes[] = {"chkCTXOnly", "chkCTXPower", "chkCTXEnable", "chkCTXEnable",
                               "chkCEnable", "chkCEnable",  "chkCDup",      "chkCScan"};
        QString shown;
        for (const char* box : boxes) {
            QTest::mouseClick(desk.Find(box), Qt::LeftButton);
            shown +=
                QString("== %1\n%2\nnode %3\n")
                    .arg(box, Edits(start, desk.app), desk.window->Tree()->FindKey("E1")->text(0)) +
                Snapshot(desk.ActivePage());
        }
        COMPARE_GOLDEN(shown.toUtf8(), "ui/channel_cascade.txt");
    }

    // Switching a regional channel off takes it out of its own list's A/B choices; EXP channels
    // are never A or B channels.
    void disablingClearsChoices_data() {
        AddRows({"list", "position", "before", "after"},  // USA A, B, International A, B
                {{"USA A channel", "PU", "6", "5 7 5 7", "255 255 5 7"},
                 {"USA B channel", "PU", "8", "5 7 5 7", "5 255 5 7"},
                 {"other channel", "PU", "10", "5 7 5 7", "5 7 5 7"},
                 {"no A left", "PU", "10", "255 7 5 7", "255 255 5 7"},
                 {"International A", "PI", "6", "5 7 5 7", "5 7 255 255"},
                 {"EXP on that slot", "E", "6", "5 7 5 7", "5 7 5 7"}});
    }
    void disablingClearsChoices() {
        QFETCH(QString, list);
        QFETCH(QString, position);
        QFETCH(QString, before);
        QFETCH(QString, after);
        Desk desk;
        ChannelCommon& choices = desk.app.Data.Channels;
        const QStringList values = before.split(' ');
        choices.UsaAch = values[0].toShort();
        choices.UsaBch = values[1].toShort();
        choices.IntAch = values[2].toShort();
        choices.IntBch = values[3].toShort();
        desk.app.Data.ExpChannels[0].Position = position.toShort();
        desk.app.Data.ExpChannels[0].Enable = kTrue;
        QVERIFY(desk.ShowActive());
        const auto& channels =
            list == "PI" ? desk.app.Data.IntlChannels : desk.app.Data.UsaChannels;
        desk.ClickNode(list == "E" ? QString("E1")
                                   : list + QString::number(IndexOf(channels, position.toInt())));
        QTest::mouseClick(desk.Find("chkCEnable"), Qt::LeftButton);
        QCOMPARE(QString("%1 %2 %3 %4")
                     .arg(choices.UsaAch)
                     .arg(choices.UsaBch)
                     .arg(choices.IntAch)
                     .arg(choices.IntBch),
                 after);
    }

    // EXP 12, switched off on row 5: choosing another row seeds and switches it on, and its tree
    // node follows; choosing the same row again keeps what the user set.
    void positionChange_reseedsTheChannel() {
        Desk desk;
        ExpChannel& channel = desk.app.Data.ExpChannels[11];
        channel.Position = 5;
        channel.LowPower = channel.PowUp = channel.VsMemory = channel.ScanMemory = kTrue;
        channel.ChTag = "MINE";
        QVERIFY(desk.ShowActive());
        desk.ClickNode("E12");
        auto* list = desk.Find<QComboBox>("cmbCN");
        // With the focus elsewhere a selection is not the user's, and changes nothing.
        desk.Find("chkCEnable")->setFocus();
        list->setCurrentIndex(9);
        emit list->activated(9);
        QCOMPARE(channel.Position, int16_t(5));
        list->setCurrentIndex(5);

        list->setFocus();
        const ExpChannel kept = channel;
        list->showPopup();
        QVERIFY(QTest::qWaitForWindowExposed(list->view()->window()));
        QTest::keyClick(list->view(), Qt::Key_Return);
        QVERIFY(!list->view()->isVisible());
        QCOMPARE(channel, kept);
        QCOMPARE(desk.window->Tree()->FindKey("E12")->text(0), QString("EXP12"));

        // Page Down moves ten rows and seeds the channel from the new row.
        QTest::keyClick(list, Qt::Key_PageDown);
        ExpChannel seeded;
        seeded.Position = 15;
        SeedExpChannel(seeded, desk.app.Plans.ExpPlan);
        QCOMPARE(channel, seeded);
        QCOMPARE(channel.Enable, kTrue);
        QVERIFY(desk.Find<QCheckBox>("chkCEnable")->isChecked());
        QCOMPARE(desk.Find<QLabel>("txtCTF")->text(), QString("156.750"));
        QCOMPARE(desk.window->Tree()->FindKey("E12")->text(0), QString("EXP12[Enable]"));
        QCOMPARE(QApplication::focusWidget(), list);
    }

    // The common page keeps the A and B choices to channels in use that are no reserved channel
    // (9, 16, 70); without an A channel there is no B channel either.
    void commonPage_data() {
        AddRows({"list", "before", "after"},  // A and B, 255: none
                {{"valid pair", "USA", "5 7", "5 7"},
                 {"A is channel 16", "USA", "15 7", "255 255"},
                 {"A is channel 09", "InterNational", "8 7", "255 255"},
                 {"A switched off", "USA", "9 7", "255 255"},
                 {"no A", "Canada", "255 7", "255 255"},
                 {"B is channel 70", "Canada", "5 40", "5 40"}});
    }
    void commonPage() {
        QFETCH(QString, list);
        QFETCH(QString, before);
        QFETCH(QString, after);
        Desk desk;
        desk.app.Data.UsaChannels[IndexOf(desk.app.Data.UsaChannels, 10)].Enable = kFalse;
        const Region region = list == "USA"             ? Region::Usa
                              : list == "InterNational" ? Region::International
                                                        : Region::Canada;
        auto [a, b] = ChoicesOf(desk.app.Data.Channels, region);
        *a = before.section(' ', 0, 0).toShort();
        *b = before.section(' ', 1).toShort();
        desk.ClickNode("P");
        QCOMPARE(QString("%1 %2").arg(*a).arg(*b), after);
        auto* listA = desk.Find<QComboBox>("cmbA" + list);
        auto* listB = desk.Find<QComboBox>("cmbB" + list);
        QCOMPARE(listB->isEnabled(), *a != kNoChannel);
        QCOMPARE(listA->itemData(0).toInt(), int(kNoChannel));
        for (QComboBox* choices : {listA, listB}) {
            for (const char* reserved : {"09", "16", "70"})
                QCOMPARE(choices->findText(reserved), -1);
            QVERIFY(choices->findText("12") > 0);
        }
        // Neither list offers the channel the other one holds.
        QCOMPARE(listA->findData(before.section(' ', 1).toInt()), -1);
        if (before.section(' ', 0, 0) != "255")
            QCOMPARE(listB->findData(before.section(' ', 0, 0).toInt()), -1);
        QCOMPARE(listA->currentData().toInt(), int(*a));
    }

    // Add opens the first free entry only. Delete asks, then moves the later entries up so the
    // entries in use stay without a gap (the last one of a full directory becomes the first free
    // one); No changes nothing.
    // After each click: what changed, the page, the question and the shades of the entry nodes.
    void addAndDelete() {
        Desk desk;
        for (int n = 0; n < 5; ++n) {
            const std::string name = "NAME" + std::to_string(n + 1);
            desk.app.Data.IndividualDirectory[n] = {kTrue, name,
                                                    std::to_string(100000001 + n) + "0"};
            desk.app.Data.GroupDirectory[n] = {kTrue, name,
                                               "0" + std::to_string(20000001 + n) + "0"};
        }
        const AppState start = desk.app;
        QString shown;
        const auto click = [&](const char* key, const char* box, MessageAnswer answer) {
            desk.ClickNode(key);
            desk.prompter.answers = {answer};
            desk.Find<QCheckBox>(box)->click();
            shown += QString("== %1 %2\n").arg(key, box);
            for (const ShownMessage& question : desk.prompter.questions) {
                shown += QString::fromStdString(question.title + ": " + question.text) +
                         (question.icon == MessageIcon::Critical ? " (critical)\n" : "\n");
            }
            desk.prompter.questions.clear();
            shown += Edits(start, desk.app) + "\nshades " + Shades(desk, "SM", 20) + ' ' +
                     Shades(desk, "SG", 5) + '\n' + Snapshot(desk.ActivePage());
        };
        click("SM6", "chkGEnable", MessageAnswer::Cancel);
        click("SM3", "chkGDelete", MessageAnswer::No);
        click("SM3", "chkGDelete", MessageAnswer::Yes);
        click("SG5", "chkGDelete", MessageAnswer::Yes);
        click("SG2", "chkGDelete", MessageAnswer::Yes);
        COMPARE_GOLDEN(shown.toUtf8(), "ui/directory_add_delete.txt");
    }
    void formatFreq_data() {
        AddRows({"mhz", "text"}, {{"two decimals", "156.05", "156.050"},
                                  {"leading zeros", "9.5", "009.500"},
                                  {"zero", "0", "---.---"},
                                  {"negative", "-156.8", "---.---"},
                                  {"four integer digits", "1000.5", "1000.500"},
                                  // Halves stored just below their decimal text still round up.
                                  {"156.0505 stored low", "156.0505", "156.051"},
                                  {"156.0125 stored low", "156.0125", "156.013"},
                                  {"carry into whole", "9.9995", "010.000"},
                                  {"product lands low", "0.5005", "000.501"},
                                  {"below half", "156.0504", "156.050"}});
    }
    void formatFreq() {
        QFETCH(QString, mhz);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(FormatFreq(mhz.toDouble())), text);
    }

    // The lists' own edge cases; the pages show the rest.
    void settingTexts() {
        QCOMPARE(OffsetTimeList().size(), std::size_t(25));
        for (int index = 0; index <= 3; ++index)
            QCOMPARE(LevelToIndex(IndexToLevel(index)), index);
        QCOMPARE(IndexToLevel(4), 0);
        QCOMPARE(LevelToIndex(-1), 3);
        QCOMPARE(ScramblerIndex(4), 4);
        QCOMPARE(ScramblerIndex(5), 0);
    }
};

QTEST_MAIN(TestPages)
#include "tst_pages.moc"
