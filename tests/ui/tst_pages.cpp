// The pages' own rules inside the whole window: the channel detail page's cascade and position
// list, the A/B channel choices, the directory's Add and Delete, and the texts the pages show for
// frequencies and settings.
#include "image/channel_text.h"
#include "image/setting_text.h"
#include "tests/ui/window_desk.h"
#include "ui/pages/channel_common_page.h"
#include "ui/pages/channel_detail_page.h"

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

// After a step: what changed since the start, the EXP node's text and the page.
QString Step(const Desk& desk, const AppState& start, const QString& what, const QString& node) {
    return QString("== %1\n%2\nnode %3\n")
               .arg(what, Edits(start, desk.app), desk.window->Tree()->FindKey(node)->text(0)) +
           Snapshot(desk.ActivePage());
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
            shown += Step(desk, start, box, "E1");
        }
        COMPARE_GOLDEN(shown.toUtf8(), "ui/channel_cascade.txt");
    }

    // Switching a regional channel off takes it out of its own list's A/B choices (USA A, B,
    // International A, B); EXP channels are never A or B channels. The common page keeps the
    // choices to channels in use that are no reserved channel (09, 16, 70), neither list offers
    // the other's channel, and without an A channel there is no B channel either.
    void choices() {
        // The channel's node prefix and position, with the choices of USA A, B, International A,
        // B; or "P" (the common page), the region and its A and B choices. 255: none.
        const char* rows[][3] = {
            {"PU", "6", "5 7 5 7"},        {"PU", "8", "5 7 5 7"},   {"PU", "10", "5 7 5 7"},
            {"PU", "10", "255 7 5 7"},     {"PI", "6", "5 7 5 7"},   {"E", "6", "5 7 5 7"},
            {"P", "USA", "5 7"},           {"P", "USA", "15 7"},     {"P", "USA", "9 7"},
            {"P", "InterNational", "8 7"}, {"P", "Canada", "255 7"}, {"P", "Canada", "5 40"}};
        QString shown;
        for (const auto& [list, position, before] : rows) {
            Desk desk;
            RadioData& data = desk.app.Data;
            const QStringList values = QString(before).split(' ');
            const bool common = QString(list) == "P";
            const Region region = position[0] == 'I'   ? Region::International
                                  : position[0] == 'C' ? Region::Canada
                                                       : Region::Usa;
            for (int i = 0; i < values.size(); ++i) {
                auto [a, b] = ChoicesOf(data.Channels, i < 2 ? region : Region::International);
                *(i % 2 ? b : a) = values[i].toShort();
            }
            if (common) {
                data.UsaChannels[IndexOf(data.UsaChannels, 10)].Enable = kFalse;
            } else {
                data.ExpChannels[0].Position = QString(position).toShort();
                data.ExpChannels[0].Enable = kTrue;
            }
            const AppState start = desk.app;
            QVERIFY(desk.ShowActive());
            const auto& channels = list[1] == 'I' ? data.IntlChannels : data.UsaChannels;
            shown += QString("== %1 %2 %3\n").arg(list, position, before);
            if (common) {
                desk.ClickNode("P");
                for (const char* name : {"cmbA", "cmbB"}) {
                    auto* choices = desk.Find<QComboBox>(name + QString(position));
                    shown +=
                        QString("%1: \"%2\" %3 of")
                            .arg(name, choices->currentText(), choices->isEnabled() ? "" : "(off)");
                    for (int i = 0; i < choices->count(); ++i)
                        shown += ' ' + choices->itemText(i) + '=' + choices->itemData(i).toString();
                    shown += '\n';
                }
            } else {
                desk.ClickNode(list[0] == 'E'
                                   ? QString("E1")
                                   : list + QString::number(IndexOf(
                                                channels, start.Data.ExpChannels[0].Position)));
                QTest::mouseClick(desk.Find("chkCEnable"), Qt::LeftButton);
            }
            shown += Edits(start, desk.app) + '\n';
        }
        COMPARE_GOLDEN(shown.toUtf8(), "ui/channel_choices.txt");
    }

    // EXP 12, switched off on row 5: a selection with the focus elsewhere is not the user's and
    // changes nothing; choosing the same row again keeps what the user set; Page Down moves ten
    // rows, seeds the channel from the new row and switches it on, and its tree node follows.
    void positionChange_reseedsTheChannel() {
        Desk desk;
        ExpChannel& channel = desk.app.Data.ExpChannels[11];
        channel.Position = 5;
        channel.LowPower = channel.PowUp = channel.VsMemory = channel.ScanMemory = kTrue;
        channel.ChTag = "MINE";
        QVERIFY(desk.ShowActive());
        desk.ClickNode("E12");
        const AppState start = desk.app;
        auto* list = desk.Find<QComboBox>("cmbCN");
        QString shown;
        desk.Find("chkCEnable")->setFocus();
        list->setCurrentIndex(9);
        emit list->activated(9);
        shown += Step(desk, start, "row 9 chosen by the program", "E12");
        list->setCurrentIndex(5);
        list->setFocus();
        list->showPopup();
        QVERIFY(QTest::qWaitForWindowExposed(list->view()->window()));
        QTest::keyClick(list->view(), Qt::Key_Return);
        QVERIFY(!list->view()->isVisible());
        shown += Step(desk, start, "row 5 again", "E12");
        QTest::keyClick(list, Qt::Key_PageDown);
        shown += Step(desk, start, "Page Down", "E12");
        COMPARE_GOLDEN(shown.toUtf8(), "ui/position_change.txt");
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
            if (!desk.prompter.questions.empty())
                shown += Said(desk.prompter.questions) + '\n';
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
    // While the program is busy (a file or radio operation under way) clicks, keys and the wheel
    // on the pages store nothing.
    void busy_inputStoresNothing() {
        Desk desk;
        QVERIFY(desk.ShowActive());
        const AppState before = desk.app;
        for (const char* page : {"S cmbFDim chkFBeep chkFWX", "PW chkDEnable",
                                 "E2 cmbCN chkCEnable chkCTXEnable chkCTXOnly chkCTXPower"}) {
            const QStringList names = QString(page).split(' ');
            desk.ClickNode(names[0]);
            desk.app.Shared.Busy = true;
            for (const QString& name : names.mid(1)) {
                desk.Find(name)->setFocus();
                if (name.startsWith("cmb"))
                    TurnWheel(desk.Find(name), -1);
                else
                    QTest::mouseClick(desk.Find(name), Qt::LeftButton);
            }
            desk.app.Shared.Busy = false;
        }
        QCOMPARE(Edits(before, desk.app), QString());
    }

    // Frequencies as the pages show them, halves stored just below their decimal text still
    // rounding up; and the setting lists' own edge cases, the pages showing the rest.
    void texts() {
        QString shown;
        for (const char* mhz : {"156.05", "9.5", "0", "-156.8", "1000.5", "156.0505", "156.0125",
                                "9.9995", "0.5005", "156.0504"})
            shown += QString("%1 MHz: %2\n").arg(mhz, FormatFreq(QString(mhz).toDouble()).c_str());
        shown += QString("%1 offset times\n").arg(OffsetTimeList().size());
        for (int index = 0; index <= 4; ++index) {
            shown += QString("index %1: level %2, back %3\n")
                         .arg(index)
                         .arg(IndexToLevel(index))
                         .arg(LevelToIndex(IndexToLevel(index)));
        }
        shown += QString("level -1: index %1; scrambler 4: %2, 5: %3\n")
                     .arg(LevelToIndex(-1))
                     .arg(ScramblerIndex(4))
                     .arg(ScramblerIndex(5));
        COMPARE_GOLDEN(shown.toUtf8(), "ui/page_texts.txt");
    }
};

QTEST_MAIN(TestPages)
#include "tst_pages.moc"
