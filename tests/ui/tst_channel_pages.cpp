// The channel detail page and the channel common page as a user drives them: check boxes and their
// cascade, the EXP position list, the channel name, and the A/B channel choices they keep valid.
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QtTest>

#include "tests/support/test_files.h"
#include "tests/ui/window_desk.h"
#include "ui/channel_pages.h"

using namespace chanwright;

Q_DECLARE_METATYPE(Region)

namespace {

int IndexOf(const std::vector<PlanChannel>& list, int position) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i].Position == position)
            return static_cast<int>(i);
    }
    return -1;
}

// One detail page in a window of its own, shown the way the main window shows it: loaded while
// inactive, then made the active page.
struct Rig {
    Rig() { (new QVBoxLayout(&host))->addWidget(page); }
    template <typename T = QCheckBox>
    T* Get(const char* name) const {
        return page->findChild<T*>(QLatin1String(name));
    }
    PlanChannel& Exp(int n) { return app.Data.ExpChannels[n - 1]; }
    PlanChannel& Usa(int position) {
        return app.Data.UsaChannels[IndexOf(app.Data.UsaChannels, position)];
    }
    void Show(const ChannelRef& ref) {
        page->setEnabled(false);
        page->ShowChannel(ref);
        page->setEnabled(true);
    }
    void ShowExp(int n) { Show({true, Region::Usa, n}); }
    void ShowUsa(int position) {
        Show({false, Region::Usa, IndexOf(app.Data.UsaChannels, position)});
    }
    bool Activate() {
        host.show();
        host.activateWindow();
        return QTest::qWaitForWindowActive(&host);
    }

    AppState app = test::MakeDefaultApp(kModelHV2071P);
    QWidget host;
    ChannelDetailPage* page = new ChannelDetailPage(app, &host);
};

std::pair<int16_t*, int16_t*> Choices(ChannelCommon& common, Region region) {
    if (region == Region::International)
        return {&common.IntAch, &common.IntBch};
    if (region == Region::Canada)
        return {&common.CanAch, &common.CanBch};
    return {&common.UsaAch, &common.UsaBch};
}

PlanChannel Record(bool enable, bool tx, bool low, bool up, int position) {
    PlanChannel record;
    record.Position = static_cast<int16_t>(position);
    record.Enable = ToBool16(enable);
    record.TxEnable = ToBool16(tx);
    record.LowPower = ToBool16(low);
    record.PowUp = ToBool16(up);
    record.ScanMemory = kTrue;
    record.ChTag = "MINE";
    return record;
}

}  // namespace

class TestChannelPages : public QObject {
    Q_OBJECT

  private slots:
    // Enabled states of Tx Enable, Only Low Power, Power Up, Duplex, Scan and the name, for an
    // EXP channel on a duplex row.
    void cascadeOnShow_data() {
        QTest::addColumn<QList<bool>>("flags");  // Enable, TxEnable, LowPower
        QTest::addColumn<QList<bool>>("enabled");
        QTest::newRow("all on") << QList<bool>{1, 1, 1} << QList<bool>{1, 1, 1, 1, 1, 1};
        QTest::newRow("low power off") << QList<bool>{1, 1, 0} << QList<bool>{1, 1, 0, 1, 1, 1};
        QTest::newRow("tx off") << QList<bool>{1, 0, 1} << QList<bool>{1, 0, 0, 1, 1, 1};
        QTest::newRow("channel off") << QList<bool>{0, 1, 1} << QList<bool>{0, 0, 0, 0, 0, 0};
    }
    void cascadeOnShow() {
        QFETCH(QList<bool>, flags);
        QFETCH(QList<bool>, enabled);
        Rig rig;
        rig.Exp(3) = Record(flags[0], flags[1], flags[2], true, 20);
        rig.Exp(3).DuplexSelectable = kTrue;
        const PlanChannel before = rig.Exp(3);
        rig.ShowExp(3);
        QList<bool> states;
        for (const char* name :
             {"chkCTXEnable", "chkCTXOnly", "chkCTXPower", "chkCDup", "chkCScan", "txtCTag"})
            states << rig.Get<QWidget>(name)->isEnabled();
        QCOMPARE(states, enabled);
        QCOMPARE(rig.Get<QLabel>("lblCTag")->isEnabled(), flags[0]);
        QVERIFY(rig.Get("chkCVSmemory")->isHidden());
        QCOMPARE(rig.Get<QLineEdit>("txtCTag")->text(), QString("MINE"));
        // Showing writes nothing back but the row's duplex choice.
        QCOMPARE(rig.Exp(3), before);
    }

    void cascadeByClicks() {
        Rig rig;
        rig.Exp(7) = Record(true, true, false, false, 20);
        rig.ShowExp(7);
        QVERIFY(rig.Activate());
        QTest::mouseClick(rig.Get("chkCTXOnly"), Qt::LeftButton);
        QCOMPARE(rig.Exp(7).LowPower, kTrue);
        QVERIFY(rig.Get("chkCTXPower")->isEnabled());
        QTest::mouseClick(rig.Get("chkCTXPower"), Qt::LeftButton);
        QCOMPARE(rig.Exp(7).PowUp, kTrue);
        QTest::mouseClick(rig.Get("chkCTXEnable"), Qt::LeftButton);
        QCOMPARE(rig.Exp(7).TxEnable, kFalse);
        QCOMPARE(rig.Exp(7).LowPower, kTrue);
        QVERIFY(!rig.Get("chkCTXOnly")->isEnabled() && !rig.Get("chkCTXPower")->isEnabled());
        QTest::mouseClick(rig.Get("chkCTXEnable"), Qt::LeftButton);
        QCOMPARE(rig.Exp(7).TxEnable, kTrue);
        QVERIFY(rig.Get("chkCTXOnly")->isEnabled() && rig.Get("chkCTXPower")->isEnabled());

        // Switching the channel off and on again brings Duplex back, as the row allows it.
        QSignalSpy nodeTexts(rig.page, &ChannelDetailPage::NodeTextChanged);
        QTest::mouseClick(rig.Get("chkCEnable"), Qt::LeftButton);
        QCOMPARE(rig.Exp(7).Enable, kFalse);
        QVERIFY(!rig.Get("chkCDup")->isEnabled() && !rig.Get("chkCTXEnable")->isEnabled());
        QTest::mouseClick(rig.Get("chkCEnable"), Qt::LeftButton);
        QCOMPARE(rig.Exp(7).Enable, kTrue);
        QVERIFY(rig.Get("chkCDup")->isEnabled());
        QCOMPARE(nodeTexts.count(), 2);
        QCOMPARE(QApplication::focusWidget(), rig.Get("chkCEnable"));

        QTest::mouseClick(rig.Get("chkCDup"), Qt::LeftButton);
        QCOMPARE(rig.Exp(7).Duplex, kTrue);
        QCOMPARE(rig.Get<QLabel>("txtCRF")->text(), QString("161.600"));
        QTest::mouseClick(rig.Get("chkCScan"), Qt::LeftButton);
        QCOMPARE(rig.Exp(7).ScanMemory, kFalse);
    }

    void clicksIgnoredWhileBusy() {
        Rig rig;
        rig.Exp(2) = Record(true, true, true, false, 20);
        rig.ShowExp(2);
        QVERIFY(rig.Activate());
        const PlanChannel before = rig.Exp(2);
        QSignalSpy nodeTexts(rig.page, &ChannelDetailPage::NodeTextChanged);
        rig.app.Shared.Busy = kTrue;
        for (const char* name :
             {"chkCTXPower", "chkCTXOnly", "chkCTXEnable", "chkCDup", "chkCScan", "chkCEnable"})
            QTest::mouseClick(rig.Get(name), Qt::LeftButton);
        QCOMPARE(rig.Exp(2), before);
        QCOMPARE(nodeTexts.count(), 0);
        // Showing keeps the caller's Busy either way.
        rig.page->ShowChannel({true, Region::Usa, 2});
        QCOMPARE(rig.app.Shared.Busy, kTrue);
        rig.app.Shared.Busy = kFalse;
        rig.page->ShowChannel({true, Region::Usa, 2});
        QCOMPARE(rig.app.Shared.Busy, kFalse);
    }

    // Regional lists never offer Duplex; an EXP channel offers it as its raster row allows.
    void shownChannel_data() {
        QTest::addColumn<bool>("exp");
        QTest::addColumn<int>("position");
        QTest::addColumn<bool>("selectable");
        QTest::addColumn<QStringList>("freqs");  // Rx with Duplex set, Tx
        QTest::newRow("USA 20") << false << 20 << false << QStringList{"161.600", "157.000"};
        QTest::newRow("EXP duplex") << true << 20 << true << QStringList{"161.600", "157.000"};
        QTest::newRow("EXP simplex") << true << 150 << false << QStringList{"---.---", "159.750"};
        QTest::newRow("EXP low duplex") << true << 250 << true << QStringList{"160.375", "155.775"};
    }
    void shownChannel() {
        QFETCH(bool, exp);
        QFETCH(int, position);
        QFETCH(bool, selectable);
        QFETCH(QStringList, freqs);
        Rig rig;
        PlanChannel& record = exp ? rig.Exp(9) : rig.Usa(position);
        record = Record(true, true, false, false, position);
        record.Duplex = kTrue;
        // An EXP channel may still carry the choice of the row it was on before.
        record.DuplexSelectable = ToBool16(exp && !selectable);
        rig.Show({exp, Region::Usa, exp ? 9 : IndexOf(rig.app.Data.UsaChannels, position)});
        QCOMPARE(record.DuplexSelectable, ToBool16(selectable));
        QVERIFY(rig.Get("chkCDup")->isChecked() && rig.Get("chkCScan")->isChecked());
        QCOMPARE(rig.Get("chkCDup")->isEnabled(), selectable);
        QCOMPARE(
            (QStringList{rig.Get<QLabel>("txtCRF")->text(), rig.Get<QLabel>("txtCTF")->text()}),
            freqs);
        QCOMPARE(rig.Get<QLabel>("lblCPosition")->text(),
                 QString(exp ? "Position" : "Channel Number"));
        auto* list = rig.Get<QComboBox>("cmbCN");
        auto* number = rig.Get<QLabel>("txtCN");
        QCOMPARE(list->isHidden(), !exp);
        QCOMPARE(number->isHidden(), exp);
        QCOMPARE(exp ? list->currentText() : number->text(), QString::number(position));
        QCOMPARE(list->count(), 282);
    }

    // Switching a regional channel off takes it out of its own list's A/B choices; EXP channels
    // are never A or B channels.
    void disablingClearsChoices_data() {
        QTest::addColumn<bool>("exp");
        QTest::addColumn<Region>("region");
        QTest::addColumn<int>("position");
        QTest::addColumn<QList<int>>("before");  // USA A, USA B, International A, International B
        QTest::addColumn<QList<int>>("after");
        const Region usa = Region::Usa;
        const QList<int> pairs{5, 7, 5, 7};
        QTest::newRow("USA A channel") << false << usa << 6 << pairs << QList<int>{255, 255, 5, 7};
        QTest::newRow("USA B channel") << false << usa << 8 << pairs << QList<int>{5, 255, 5, 7};
        QTest::newRow("other channel") << false << usa << 10 << pairs << pairs;
        QTest::newRow("no A left")
            << false << usa << 10 << QList<int>{255, 7, 5, 7} << QList<int>{255, 255, 5, 7};
        QTest::newRow("International A")
            << false << Region::International << 6 << pairs << QList<int>{5, 7, 255, 255};
        QTest::newRow("EXP on that slot") << true << usa << 6 << pairs << pairs;
    }
    void disablingClearsChoices() {
        QFETCH(bool, exp);
        QFETCH(Region, region);
        QFETCH(int, position);
        QFETCH(QList<int>, before);
        QFETCH(QList<int>, after);
        Rig rig;
        ChannelCommon& choices = rig.app.Data.Channels;
        choices.UsaAch = static_cast<int16_t>(before[0]);
        choices.UsaBch = static_cast<int16_t>(before[1]);
        choices.IntAch = static_cast<int16_t>(before[2]);
        choices.IntBch = static_cast<int16_t>(before[3]);
        if (exp) {
            rig.Exp(1) = Record(true, true, false, false, position);
            rig.ShowExp(1);
        } else {
            rig.Show({false, region, IndexOf(ChannelsOf(rig.app.Data, region), position)});
        }
        QVERIFY(rig.Activate());
        QTest::mouseClick(rig.Get("chkCEnable"), Qt::LeftButton);
        QCOMPARE((QList<int>{choices.UsaAch, choices.UsaBch, choices.IntAch, choices.IntBch}),
                 after);
    }

    // EXP 12, switched off on row 5: choosing another row seeds and switches it on, and its tree
    // node is told.
    void positionChange_reseedsTheChannel() {
        Rig rig;
        rig.Exp(12) = Record(false, false, true, true, 5);
        rig.Exp(12).VsMemory = kTrue;
        rig.ShowExp(12);
        QVERIFY(rig.Activate());
        auto* list = rig.Get<QComboBox>("cmbCN");
        QSignalSpy nodeTexts(rig.page, &ChannelDetailPage::NodeTextChanged);
        QSignalSpy hints(rig.page, &ChannelDetailPage::StatusHint);

        // With the focus elsewhere a selection is not the user's, and changes nothing.
        rig.Get("chkCEnable")->setFocus();
        list->setCurrentIndex(9);
        emit list->activated(9);
        QCOMPARE(rig.Exp(12).Position, int16_t(5));
        QCOMPARE(nodeTexts.count(), 0);
        list->setCurrentIndex(5);

        list->setFocus();
        QCOMPARE(hints.last().at(0).toString(),
                 QString("[Up/Down]:1 step, [Page Up/Page Down]:10 steps, [Home/End]:Head/End"));
        // Choosing the shown position again from the drop-down keeps the attributes.
        const PlanChannel kept = rig.Exp(12);
        list->showPopup();
        QVERIFY(QTest::qWaitForWindowExposed(list->view()->window()));
        QTest::keyClick(list->view(), Qt::Key_Return);
        QVERIFY(!list->view()->isVisible());
        QCOMPARE(rig.Exp(12), kept);
        QCOMPARE(nodeTexts.count(), 1);

        // Page Down moves ten positions and seeds the channel from the new row.
        QTest::keyClick(list, Qt::Key_PageDown);
        ExpChannel seeded;
        seeded.Position = 15;
        SeedExpChannel(seeded, rig.app.Plans.ExpPlan);
        QCOMPARE(rig.Exp(12), seeded);
        QCOMPARE(rig.Exp(12).Enable, kTrue);
        QVERIFY(rig.Get("chkCEnable")->isChecked() && rig.Get("chkCTXEnable")->isChecked());
        QCOMPARE(rig.Get<QLabel>("txtCTF")->text(), QString("156.750"));
        QCOMPARE(nodeTexts.count(), 2);
        QCOMPARE(QApplication::focusWidget(), list);
    }

    // The wheel turned over the position list of a switched-off EXP channel, the focus
    // elsewhere: neither the position nor the seeded attributes change.
    void wheelOverPosition_withoutTheFocus_changesNothing() {
        Rig rig;
        rig.Exp(5) = Record(false, true, false, false, 0);
        rig.ShowExp(5);
        QVERIFY(rig.Activate());
        rig.Get("chkCEnable")->setFocus();
        const PlanChannel before = rig.Exp(5);
        auto* list = rig.Get<QComboBox>("cmbCN");
        test::TurnWheel(list, -1);
        test::TurnWheel(list, -1);
        QCOMPARE(rig.Exp(5), before);
        QCOMPARE(list->currentIndex(), 0);
        QCOMPARE(QApplication::focusWidget(), rig.Get("chkCEnable"));
    }

    void nameTyping_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("lower case") << "port ops"
                                    << "PORT OPS";
        QTest::newRow("13th character refused") << "abcdefghijklm"
                                                << "ABCDEFGHIJKL";
    }
    void nameTyping() {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        Rig rig;
        rig.ShowUsa(9);
        QVERIFY(rig.Activate());
        QSignalSpy hints(rig.page, &ChannelDetailPage::StatusHint);
        auto* name = rig.Get<QLineEdit>("txtCTag");
        name->setFocus();
        QCOMPARE(name->selectedText(), QString("CALLING"));
        QCOMPARE(hints.last().at(0).toString(), QString("A maximum of 12 characters"));
        QTest::keyClicks(name, typed);
        QCOMPARE(name->text(), stored);
        QCOMPARE(QString::fromStdString(rig.Usa(9).ChTag), stored);
        rig.Get("chkCScan")->setFocus();
        QCOMPARE(hints.last().at(0).toString(),
                 QString("[Space]:An effective and invalid change."));
    }

    // The common page names no reserved channel (9, 16, 70) and no channel out of use.
    void commonPage_data() {
        QTest::addColumn<Region>("region");
        QTest::addColumn<QList<int>>("before");  // A, B
        QTest::addColumn<QList<int>>("after");
        QTest::newRow("valid pair") << Region::Usa << QList<int>{5, 7} << QList<int>{5, 7};
        QTest::newRow("A is channel 16")
            << Region::Usa << QList<int>{15, 7} << QList<int>{255, 255};
        QTest::newRow("A is channel 09")
            << Region::International << QList<int>{8, 7} << QList<int>{255, 255};
        QTest::newRow("A switched off") << Region::Usa << QList<int>{9, 7} << QList<int>{255, 255};
        QTest::newRow("no A") << Region::Canada << QList<int>{255, 7} << QList<int>{255, 255};
        QTest::newRow("B is channel 70")
            << Region::Canada << QList<int>{5, 40} << QList<int>{5, 40};
    }
    void commonPage() {
        QFETCH(Region, region);
        QFETCH(QList<int>, before);
        QFETCH(QList<int>, after);
        AppState app = test::MakeDefaultApp(kModelHV2071P);
        app.Data.UsaChannels[IndexOf(app.Data.UsaChannels, 10)].Enable = kFalse;
        app.Data.Channels = {};
        auto [a, b] = Choices(app.Data.Channels, region);
        *a = static_cast<int16_t>(before[0]);
        *b = static_cast<int16_t>(before[1]);
        ChannelCommonPage page(app);
        app.Shared.Busy = kTrue;
        page.Fill();
        QCOMPARE((QList<int>{*a, *b}), after);
        const char* suffix = region == Region::Usa             ? "USA"
                             : region == Region::International ? "InterNational"
                                                               : "Canada";
        auto* listA = page.findChild<QComboBox*>(QString("cmbA") + suffix);
        auto* listB = page.findChild<QComboBox*>(QString("cmbB") + suffix);
        QCOMPARE(listB->isEnabled(), after[0] != 255);
        QCOMPARE(listA->itemText(0), QString("[None]"));
        QCOMPARE(listA->itemData(0).toInt(), 255);
        for (QComboBox* list : {listA, listB}) {
            for (const char* reserved : {"09", "16", "70"})
                QCOMPARE(list->findText(reserved), -1);
            QVERIFY(list->findText("12") > 0 && list->isHidden());
        }
        // Neither list offers the channel the other one holds.
        QCOMPARE(listA->findData(before[1]), -1);
        if (before[0] != 255)
            QCOMPARE(listB->findData(before[0]), -1);
        QCOMPARE(listA->currentData().toInt(), after[0]);
        for (const QLabel* label : page.findChildren<QLabel*>())
            QCOMPARE(label->isHidden(), label->objectName() != "lblAInfo");
        for (const char* name : {"cmbPUSA", "cmbPInterNational", "cmbPCanada"})
            QVERIFY(page.findChild<QComboBox*>(name)->isHidden());
    }
};

QTEST_MAIN(TestChannelPages)
#include "tst_channel_pages.moc"
