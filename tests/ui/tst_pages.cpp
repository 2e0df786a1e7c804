// The pages' own rules inside the whole window that their stories (tests/data/ui/stories) do not
// tell: the A/B channel choices, the texts the pages show for frequencies and settings, and a
// settings panel too wide for the window.
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

}  // namespace

class TestPages : public QObject {
    Q_OBJECT

  private slots:
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

    // A data area too narrow for a panel scrolls it: Clear, right of the user MMSI, still comes
    // into view.
    void narrowPage_scrollsClearIntoView() {
        Desk desk;
        QVERIFY(desk.ShowActive());
        desk.Find<QSplitter>("imgSplitter")->setSizes({500, 100});
        desk.ClickNode("S");
        auto* tabs = desk.Find<QTabBar>("tbsFNE");
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
        QWidget* clear = desk.Find("cmdFClear");
        desk.Find<QScrollArea>("pictFScroll")->ensureWidgetVisible(clear);
        QCOMPARE(clear->visibleRegion().boundingRect(), clear->rect());
    }
};

QTEST_MAIN(TestPages)
#include "tst_pages.moc"
