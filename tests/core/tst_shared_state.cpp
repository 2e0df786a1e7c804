#include <QtTest>

#include "core/radio_data.h"
#include "core/shared_state.h"
#include "core/system_path.h"

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

    // A name's bytes come back exactly, whatever they are; a person reads the odd ones as codes.
    void namesKeepTheirBytes_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        QTest::newRow("UTF-8") << QByteArray("/b/Caf\xc3\xa9 \xf0\x9f\x9a\xa4.dat")
                               << QString::fromUtf8("/b/Café 🚤.dat");
        QTest::newRow("Latin-1") << QByteArray("caf\xe9.dat") << "caf\\xE9.dat";
        QTest::newRow("overlong slash") << QByteArray("a\xc0\xaf") << "a\\xC0\\xAF";
        QTest::newRow("a surrogate's bytes") << QByteArray("\xed\xa0\x80") << "\\xED\\xA0\\x80";
        QTest::newRow("cut sequence at the end") << QByteArray("x\xe2\x82") << "x\\xE2\\x82";
        QTest::newRow("controls") << QByteArray("a\nb\x1b[2J\x7f\xc2\x85")
                                  << "a\\x0Ab\\x1B[2J\\x7F\\x85";
    }
    void namesKeepTheirBytes() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        const std::u16string path = PathFromBytes(bytes.toStdString());
        QCOMPARE(QByteArray::fromStdString(PathBytes(path)), bytes);
        QCOMPARE(QString::fromStdString(ShownName(path)), shown);
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
