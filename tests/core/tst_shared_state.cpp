#include <QtTest>

#include "core/radio_data.h"
#include "core/shared_state.h"

using namespace chanwright;

class TestSharedState : public QObject {
    Q_OBJECT

  private slots:
    void developerSwitch_data() {
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<bool>("debugMode");
        QTest::newRow("upper case") << "/K" << true;
        QTest::newRow("lower case") << "/k" << true;
        QTest::newRow("spaces around") << "   /k  " << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("followed by more text") << "/K file.dat" << false;
        QTest::newRow("letters after switch") << "/KX" << false;
        QTest::newRow("minus instead of slash") << "-K" << false;
        QTest::newRow("tab is not a space") << "\t/K" << false;
        QTest::newRow("two switches") << "/K /K" << false;
    }
    void developerSwitch() {
        QFETCH(QString, commandLine);
        QFETCH(bool, debugMode);
        QCOMPARE(IsDeveloperSwitch(commandLine.toStdString()), debugMode);
    }

    void modelName_data() {
        QTest::addColumn<int>("modelNum");
        QTest::addColumn<QString>("name");
        QTest::newRow("0") << 0 << "HV2071P";
        QTest::newRow("1") << 1 << "TQ5300";
        QTest::newRow("other numbers mean HV2071P") << 7 << "HV2071P";
        QTest::newRow("negative") << -1 << "HV2071P";
    }
    void modelName() {
        QFETCH(int, modelNum);
        QFETCH(QString, name);
        SharedState shared;
        shared.ModelNum = static_cast<int16_t>(modelNum);
        QCOMPARE(QString::fromStdString(shared.ModelName()), name);
    }

    void newState_startsWithHV2071PPortOneAndNoFile() {
        const SharedState shared;
        QCOMPARE(shared.ModelNum, kModelHV2071P);
        QCOMPARE(shared.ComNum, int16_t(1));
        QCOMPARE(shared.ModelCode, std::string("KW83"));
        QVERIFY(shared.CurrentFileName.empty());
        QCOMPARE(shared.DebugMode, kFalse);
    }

    void clearDirectory_emptiesEveryEntry() {
        RadioData data;
        for (DirectoryEntry& entry : data.GroupDirectory)
            entry = {kTrue, "SHIPS", "0123456780"};
        ClearDirectory(data.GroupDirectory);
        for (const DirectoryEntry& entry : data.GroupDirectory) {
            QCOMPARE(entry, DirectoryEntry{});
        }
    }
};

QTEST_APPLESS_MAIN(TestSharedState)
#include "tst_shared_state.moc"
