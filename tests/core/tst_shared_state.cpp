#include <QtTest>

#include "core/radio_data.h"
#include "core/shared_state.h"

using namespace chanwright;

class TestSharedState : public QObject {
    Q_OBJECT

  private slots:
    // The arguments after the program's name, as the system starts it.
    void developerSwitch_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("debugMode");
        QTest::newRow("upper case") << QStringList{"/K"} << true;
        QTest::newRow("lower case, spaces around") << QStringList{"   /k  "} << true;
        QTest::newRow("empty") << QStringList{} << false;
        QTest::newRow("followed by more text") << QStringList{"/K", "file.dat"} << false;
        QTest::newRow("minus instead of slash") << QStringList{"-K"} << false;
        QTest::newRow("tab is not a space") << QStringList{"\t/K"} << false;
        QTest::newRow("a window option after it") << QStringList{"/K", "-style", "Fusion"} << false;
        QTest::newRow("a window option before it") << QStringList{"-style=Fusion", "/K"} << false;
    }
    void developerSwitch() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, debugMode);
        std::vector<QByteArray> bytes{"chanwright"};
        for (const QString& argument : arguments)
            bytes.push_back(argument.toUtf8());
        std::vector<const char*> argv;
        for (const QByteArray& argument : bytes)
            argv.push_back(argument.constData());
        const int argc = static_cast<int>(argv.size());
        QCOMPARE(IsDeveloperSwitch(CommandLineAfterName(argc, argv.data())), debugMode);
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
