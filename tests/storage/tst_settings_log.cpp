#include <unistd.h>

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMap>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTime>
#include <cstdint>
#include <string>

#include "core/shared_state.h"
#include "storage/app_paths.h"
#include "storage/error_log.h"
#include "storage/settings_store.h"

using namespace chanwright;

namespace {

bool RunningAsRoot() {
    return geteuid() == 0;
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

// "Section/Key" -> raw value text, exactly as it stands in the file.
QMap<QString, QString> ParseIni(const QByteArray& text) {
    QMap<QString, QString> values;
    QString section;
    for (QByteArray line : text.split('\n')) {
        line = line.trimmed();
        if (line.startsWith('[') && line.endsWith(']')) {
            section = QString::fromUtf8(line.mid(1, line.size() - 2));
            continue;
        }
        const int equals = line.indexOf('=');
        if (equals < 0)
            continue;
        values.insert(section + QLatin1Char('/') + QString::fromUtf8(line.left(equals)),
                      QString::fromUtf8(line.mid(equals + 1)));
    }
    return values;
}

bool FolderIsEmpty(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty();
}

}  // namespace

class TestSettingsLog : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir root_;
    QString userConfig_;

    QString TempPath(const QString& name) const { return root_.filePath(name); }

  private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(root_.isValid());
        // Any per-user store opened here lands in the temporary folder, not the user's.
        userConfig_ = root_.filePath(QStringLiteral("userconfig"));
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, userConfig_);
    }

    // --- Settings store ---

    void valuesWrittenAreWhatTheNextStoreOnTheFileReads_data() {
        QTest::addColumn<int>("comNum");
        QTest::addColumn<int>("modelNum");
        QTest::newRow("port 3 with TQ5300") << 3 << 1;
        QTest::newRow("port 4 with HV2071P") << 4 << 0;
    }
    void valuesWrittenAreWhatTheNextStoreOnTheFileReads() {
        QFETCH(int, comNum);
        QFETCH(int, modelNum);
        const QString path =
            TempPath(QStringLiteral("roundtrip-%1-%2.ini").arg(comNum).arg(modelNum));
        {
            SettingsStore store(path);
            store.WriteComNum(static_cast<int16_t>(comNum));
            store.WriteModelNum(static_cast<int16_t>(modelNum));
            store.Sync();
        }
        const SettingsStore restarted(path);
        QCOMPARE(restarted.ReadComNum(), static_cast<int16_t>(comNum));
        QCOMPARE(restarted.ReadModelNum(), static_cast<int16_t>(modelNum));
    }

    void emptyOrMissingFileReadsPortOneAndHV2071P_data() {
        QTest::addColumn<bool>("createFile");
        QTest::newRow("empty file") << true;
        QTest::newRow("no file") << false;
    }
    void emptyOrMissingFileReadsPortOneAndHV2071P() {
        QFETCH(bool, createFile);
        const QString path = TempPath(QStringLiteral("defaults-%1.ini").arg(createFile));
        if (createFile)
            WriteAll(path, QByteArray());
        const SettingsStore store(path);
        QCOMPARE(store.ReadComNum(), int16_t{1});
        QCOMPARE(store.ReadModelNum(), kModelHV2071P);
    }

    void storedComTextOtherThanOneToFourReadsPortOne_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("expected");
        QTest::newRow("letters read as port 1") << QByteArray("abc") << 1;
        QTest::newRow("7 is past the last port") << QByteArray("7") << 1;
        QTest::newRow("0 is before the first port") << QByteArray("0") << 1;
        QTest::newRow("negative reads as port 1") << QByteArray("-2") << 1;
        QTest::newRow("fraction reads as port 1") << QByteArray("2.5") << 1;
        QTest::newRow("empty reads as port 1") << QByteArray("") << 1;
        QTest::newRow("list reads as port 1") << QByteArray("2,3") << 1;
        QTest::newRow("2 reads as 2") << QByteArray("2") << 2;
        QTest::newRow("4 reads as 4") << QByteArray("4") << 4;
    }
    void storedComTextOtherThanOneToFourReadsPortOne() {
        QFETCH(QByteArray, stored);
        QFETCH(int, expected);
        const QString path = TempPath(QStringLiteral("com-%1.ini").arg(QTest::currentDataTag()));
        WriteAll(path, "[ComPath]\nComNum=" + stored + "\n");
        const SettingsStore store(path);
        QCOMPARE(store.ReadComNum(), static_cast<int16_t>(expected));
    }

    // Each COM item stands for a device; a stored key overrides the usual one.
    void comItemsMapToDevices_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("comNum");
        QTest::addColumn<QString>("device");
        QTest::newRow("COM1 default") << QByteArray() << 1 << "/dev/ttyUSB0";
        QTest::newRow("COM2 default") << QByteArray() << 2 << "/dev/ttyUSB1";
        QTest::newRow("COM3 default") << QByteArray() << 3 << "/dev/ttyACM0";
        QTest::newRow("COM4 default") << QByteArray() << 4 << "/dev/ttyS0";
        QTest::newRow("stored path")
            << QByteArray("Port2=/dev/serial/by-id/radio\n") << 2 << "/dev/serial/by-id/radio";
        QTest::newRow("stored for another item")
            << QByteArray("Port2=/dev/pts/4\n") << 1 << "/dev/ttyUSB0";
        QTest::newRow("blank reads as default") << QByteArray("Port4=  \n") << 4 << "/dev/ttyS0";
    }
    void comItemsMapToDevices() {
        QFETCH(QByteArray, stored);
        QFETCH(int, comNum);
        QFETCH(QString, device);
        const QString path = TempPath(QStringLiteral("port-%1.ini").arg(QTest::currentDataTag()));
        WriteAll(path, "[ComPath]\nComNum=1\n" + stored);
        SettingsStore store(path);
        QCOMPARE(store.ReadComDevice(static_cast<int16_t>(comNum)), device);
        store.WriteComDevice(3, QStringLiteral("/dev/ttyUSB7"));
        store.Sync();
        QCOMPARE(SettingsStore(path).ReadComDevice(3), QStringLiteral("/dev/ttyUSB7"));
    }

    void storedModelTextOtherThanOneReadsHV2071P_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("expected");
        QTest::newRow("1 reads as TQ5300") << QByteArray("1") << 1;
        QTest::newRow("0 reads as HV2071P") << QByteArray("0") << 0;
        QTest::newRow("2 reads as HV2071P") << QByteArray("2") << 0;
        QTest::newRow("letter reads as HV2071P") << QByteArray("x") << 0;
        QTest::newRow("-1 reads as HV2071P") << QByteArray("-1") << 0;
        QTest::newRow("empty reads as HV2071P") << QByteArray("") << 0;
    }
    void storedModelTextOtherThanOneReadsHV2071P() {
        QFETCH(QByteArray, stored);
        QFETCH(int, expected);
        const QString path = TempPath(QStringLiteral("model-%1.ini").arg(QTest::currentDataTag()));
        WriteAll(path, "[ModelPath]\nModelNum=" + stored + "\n");
        const SettingsStore store(path);
        QCOMPARE(store.ReadModelNum(), static_cast<int16_t>(expected));
    }

    void syncedFileHoldsSectionsKeysAndDecimalTexts() {
        const QString path = TempPath(QStringLiteral("layout.ini"));
        SettingsStore store(path);
        store.WriteComNum(3);
        store.WriteModelNum(kModelTQ5300);
        store.WriteWindowPosition(1200, -45, 9600, 7200);
        store.Sync();

        const QMap<QString, QString> expected{
            {QStringLiteral("ComPath/ComNum"), QStringLiteral("3")},
            {QStringLiteral("ModelPath/ModelNum"), QStringLiteral("1")},
            {QStringLiteral("Settings/MainLeft"), QStringLiteral("1200")},
            {QStringLiteral("Settings/MainTop"), QStringLiteral("-45")},
            {QStringLiteral("Settings/MainWidth"), QStringLiteral("9600")},
            {QStringLiteral("Settings/MainHeight"), QStringLiteral("7200")},
        };
        QCOMPARE(ParseIni(ReadAll(path)), expected);
    }

    void userStoreIsNamedAfterTitleWithDashInsteadOfSlash() {
        const SettingsStore store;
        const QString expected =
            userConfig_ + QStringLiteral("/Chanwright/PC Program for HV2071P-TQ5300 Series.ini");
        QCOMPARE(store.FileName(), expected);
    }

    // --- Error log ---

    void errorLogWritesOnlyWhenDebugModeIsSet_data() {
        QTest::addColumn<int>("debugMode");
        QTest::addColumn<bool>("expectFile");
        QTest::newRow("off writes nothing") << int{kFalse} << false;
        QTest::newRow("true writes") << int{kTrue} << true;
        QTest::newRow("any non-zero writes") << 1 << true;
    }
    void errorLogWritesOnlyWhenDebugModeIsSet() {
        QFETCH(int, debugMode);
        QFETCH(bool, expectFile);
        SharedState shared;
        shared.DebugMode = static_cast<Bool16>(debugMode);
        const QString path = TempPath(QStringLiteral("mode-%1.log").arg(debugMode));
        const ErrorLog log(shared, path);
        log.LogError("OpenFile", "53File not found");
        QCOMPARE(QFileInfo::exists(path), expectFile);
    }

    void errorLogAppendsExactRecordsInOrder() {
        SharedState shared;
        shared.DebugMode = kTrue;
        const QString path = TempPath(QStringLiteral("err.log"));
        WriteAll(path, "earlier\r\n");
        const QDateTime fixed(QDate(2024, 3, 7), QTime(9, 5, 42));
        const ErrorLog log(shared, path, [fixed] { return fixed; });

        log.LogError("ReadRadio", "57Device I/O error");
        log.LogError("SaveFile", "75Zugriff verweigert: \xc3\xa4");

        const QLocale locale = QLocale::system();
        const QByteArray stamp =
            (locale.toString(fixed.date(), QLocale::ShortFormat) + QLatin1Char(',') +
             locale.toString(fixed.time(), QLocale::ShortFormat))
                .toUtf8();
        const QByteArray expected = "earlier\r\n" + stamp + ":ReadRadio -> 57Device I/O error\r\n" +
                                    stamp + ":SaveFile -> 75Zugriff verweigert: \xc3\xa4\r\n";
        QCOMPARE(ReadAll(path), expected);
    }

    void errorLogIntoUnwritablePlaceIsIgnored_data() {
        QTest::addColumn<QString>("relativePath");
        QTest::newRow("missing folder") << QStringLiteral("no-such-folder/err.log");
        QTest::newRow("path is a folder") << QStringLiteral("a-folder");
    }
    void errorLogIntoUnwritablePlaceIsIgnored() {
        QFETCH(QString, relativePath);
        QVERIFY(QDir(root_.path()).mkpath(QStringLiteral("a-folder")));
        SharedState shared;
        shared.DebugMode = kTrue;
        const QString path = TempPath(relativePath);
        const ErrorLog log(shared, path);
        log.LogError("WriteRadio", "1Timeout");
        QVERIFY(!QFileInfo(path).isFile());
        QVERIFY(!QFileInfo::exists(TempPath(QStringLiteral("no-such-folder"))));
    }

    // --- Data folder ---

    void dataFolderFallsBackToUserFolderUnlessExecutableFolderIsWritable_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("expectExecutableFolder");
        QTest::newRow("writable folder is used") << QStringLiteral("writable") << true;
        QTest::newRow("missing folder falls back") << QStringLiteral("missing") << false;
        QTest::newRow("plain file falls back") << QStringLiteral("file") << false;
        QTest::newRow("empty path falls back") << QStringLiteral("empty") << false;
        QTest::newRow("read-only folder falls back") << QStringLiteral("readonly") << false;
        // Permission bits call /proc writable for root, yet it refuses new files.
        QTest::newRow("folder refusing files falls back") << QStringLiteral("proc") << false;
    }
    void dataFolderFallsBackToUserFolderUnlessExecutableFolderIsWritable() {
        QFETCH(QString, kind);
        QFETCH(bool, expectExecutableFolder);
        if (kind == QLatin1String("readonly") && RunningAsRoot()) {
            QSKIP("root writes through permission bits");
        }
        if (kind == QLatin1String("proc") && !QFileInfo(QStringLiteral("/proc")).isDir()) {
            QSKIP("no /proc here");
        }
        QTemporaryDir scratch(root_.filePath(QStringLiteral("resolve-XXXXXX")));
        QVERIFY(scratch.isValid());
        QString executableFolder = scratch.filePath(QStringLiteral("bin"));
        const QString userFolder = scratch.filePath(QStringLiteral("user/data/Chanwright"));

        if (kind == QLatin1String("writable") || kind == QLatin1String("readonly")) {
            QVERIFY(QDir().mkpath(executableFolder));
        } else if (kind == QLatin1String("file")) {
            WriteAll(executableFolder, "not a folder");
        } else if (kind == QLatin1String("empty")) {
            executableFolder.clear();
        } else if (kind == QLatin1String("proc")) {
            executableFolder = QStringLiteral("/proc");
        }
        const bool readOnly = kind == QLatin1String("readonly");
        if (readOnly) {
            QVERIFY(QFile::setPermissions(
                executableFolder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                      QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther));
        }

        const QString resolved = ResolveDataFolder(executableFolder, userFolder);

        if (readOnly) {
            QFile::setPermissions(executableFolder,
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        QCOMPARE(resolved, expectExecutableFolder ? executableFolder : userFolder);
        // The user folder exists exactly when it is the answer, and no probe is left behind.
        QCOMPARE(QFileInfo(userFolder).isDir(), !expectExecutableFolder);
        if (kind == QLatin1String("writable") || readOnly) {
            QVERIFY(FolderIsEmpty(executableFolder));
        }
    }
};

QTEST_GUILESS_MAIN(TestSettingsLog)
#include "tst_settings_log.moc"
