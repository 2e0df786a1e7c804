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
        QTest::newRow("lower case, spaces around") << "   /k  " << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("followed by more text") << "/K file.dat" << false;
        QTest::newRow("minus instead of slash") << "-K" << false;
        QTest::newRow("tab is not a space") << "\t/K" << false;
    }
    void developerSwitch() {
        QFETCH(QString, commandLine);
        QFETCH(bool, debugMode);
        QCOMPARE(IsDeveloperSwitch(commandLine.toStdString()), debugMode);
    }

    void clearDirectory_emptiesEveryEntry() {
        std::array<DirectoryEntry, kGroupDirectorySize> directory;
        directory.fill({kTrue, "SHIPS", "0123456780"});
        ClearDirectory(directory);
        QVERIFY(directory == decltype(directory){});
    }
};

QTEST_APPLESS_MAIN(TestSharedState)
#include "tst_shared_state.moc"
