#include <QtTest>

#include <random>
#include <string>

#include "storage/profile_file.h"

using chanwright::ProfileFile;
using chanwright::ReadProfileValue;

namespace {

// Keeps embedded NULs that a plain const char* would stop at.
template <std::size_t N>
QByteArray Bytes(const char (&text)[N]) {
    return QByteArray(text, static_cast<int>(N - 1));
}

std::string_view View(const QByteArray& bytes) {
    return std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace

class TestProfileFile : public QObject {
    Q_OBJECT

  private slots:
    void lookupFindsValuesAsTheReaderDid_data();
    void lookupFindsValuesAsTheReaderDid();
    void readValueCleansStoredText_data();
    void readValueCleansStoredText();
    void fileBytesReadAsText_data();
    void fileBytesReadAsText();
    void binaryGarbageParsesWithoutCrashing_data();
    void binaryGarbageParsesWithoutCrashing();
    void hugeFileKeepsFirstSectionAndCutsValue();
};

void TestProfileFile::lookupFindsValuesAsTheReaderDid_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QByteArray>("value");

    const QByteArray x127(127, 'x');
    const QByteArray x128(128, 'x');

    QTest::newRow("names in other case -> found")
        << QByteArray("[RaDiO]\nEnAbLe=5\n") << QByteArray("radio") << QByteArray("ENABLE") << true
        << QByteArray("5");
    QTest::newRow("accented names differ only in case -> missing")
        << QByteArray("[\xe9t\xe9]\nk=1\n") << QByteArray("\xc9T\xc9") << QByteArray("k") << false
        << QByteArray();
    QTest::newRow("repeated section, key in first -> first value")
        << QByteArray("[A]\nx=1\n[B]\n[a]\nx=9\nz=3\n") << QByteArray("A") << QByteArray("x")
        << true << QByteArray("1");
    QTest::newRow("repeated section, key only in second -> missing")
        << QByteArray("[A]\nx=1\n[B]\n[a]\nx=9\nz=3\n") << QByteArray("A") << QByteArray("z")
        << false << QByteArray();
    QTest::newRow("section after repeated one -> still read")
        << QByteArray("[A]\n[a]\nx=9\n[C]\nw=4\n") << QByteArray("C") << QByteArray("w") << true
        << QByteArray("4");
    QTest::newRow("repeated key in other case -> first value")
        << QByteArray("[A]\nk=1\nK=2\n") << QByteArray("A") << QByteArray("k") << true
        << QByteArray("1");
    QTest::newRow("key line without = before a valued one -> missing")
        << QByteArray("[A]\nk\nk=2\n") << QByteArray("A") << QByteArray("k") << false
        << QByteArray();
    QTest::newRow("empty value -> found and empty")
        << QByteArray("[A]\nk=\n") << QByteArray("A") << QByteArray("k") << true << QByteArray();
    QTest::newRow("blanks around key and value -> dropped")
        << QByteArray("[A]\n \t Enable \t= \t5 \t\n") << QByteArray("A") << QByteArray("Enable")
        << true << QByteArray("5");
    QTest::newRow("CR LF file -> no CR in value")
        << QByteArray("[A]\r\nk=v\r\nj=w\r\n") << QByteArray("A") << QByteArray("j") << true
        << QByteArray("w");
    QTest::newRow("0x1A, VT and FF around names -> dropped")
        << QByteArray("\x1a[A]\n\vk\f=\x1a v\x1a\n") << QByteArray("A") << QByteArray("k") << true
        << QByteArray("v");
    QTest::newRow("blanks inside value -> kept") << QByteArray("[A]\nk=a  b\n") << QByteArray("A")
                                                 << QByteArray("k") << true << QByteArray("a  b");
    QTest::newRow("value containing = -> after first =")
        << QByteArray("[A]\na=b=c\n") << QByteArray("A") << QByteArray("a") << true
        << QByteArray("b=c");
    QTest::newRow("127-character value -> intact")
        << QByteArray("[A]\nk=" + x127 + "\n") << QByteArray("A") << QByteArray("k") << true
        << x127;
    QTest::newRow("128-character value -> cut to 127")
        << QByteArray("[A]\nk=" + x128 + "\n") << QByteArray("A") << QByteArray("k") << true
        << x127;
    QTest::newRow("padded 127-character value -> cut after trimming")
        << QByteArray("[A]\nk=" + QByteArray(10, ' ') + x127 + "y  \n") << QByteArray("A")
        << QByteArray("k") << true << x127;
    QTest::newRow("blanks inside brackets -> dropped from the name")
        << QByteArray("[ A ]\nk=1\n") << QByteArray("A") << QByteArray("k") << true
        << QByteArray("1");
    QTest::newRow("tab before ] -> dropped from the name")
        << QByteArray("[CHUSA0\t]\nk=1\n") << QByteArray("CHUSA0") << QByteArray("k") << true
        << QByteArray("1");
    QTest::newRow("CR alone ends lines -> like CR LF")
        << QByteArray("[A]\rk=1\rj=2\r") << QByteArray("A") << QByteArray("j") << true
        << QByteArray("2");
    QTest::newRow("double quotes around the value -> dropped")
        << QByteArray("[A]\nk= \"BOAT\" \n") << QByteArray("A") << QByteArray("k") << true
        << QByteArray("BOAT");
    QTest::newRow("single quotes -> dropped")
        << QByteArray("[A]\nk='3661234560'\n") << QByteArray("A") << QByteArray("k") << true
        << QByteArray("3661234560");
    QTest::newRow("quotes only -> empty")
        << QByteArray("[A]\nk=''\n") << QByteArray("A") << QByteArray("k") << true << QByteArray();
    QTest::newRow("quote inside a quoted value -> kept")
        << QByteArray("[A]\nk=\"A\"B\"\n") << QByteArray("A") << QByteArray("k") << true
        << QByteArray("A\"B");
    QTest::newRow("lone quote -> kept") << QByteArray("[A]\nk=\"\n") << QByteArray("A")
                                        << QByteArray("k") << true << QByteArray("\"");
    QTest::newRow("mismatched quotes -> kept") << QByteArray("[A]\nk=\"BOAT'\n") << QByteArray("A")
                                               << QByteArray("k") << true << QByteArray("\"BOAT'");
    QTest::newRow("quotes not enclosing the value -> kept")
        << QByteArray("[A]\nk=#\"BOAT\"\n") << QByteArray("A") << QByteArray("k") << true
        << QByteArray("#\"BOAT\"");
    QTest::newRow("apostrophe inside -> kept") << QByteArray("[A]\nk=SAM'S\n") << QByteArray("A")
                                               << QByteArray("k") << true << QByteArray("SAM'S");
    QTest::newRow("quoted 128 characters -> unquoted, then cut to 127")
        << QByteArray("[A]\nk=\"" + x128 + "\"\n") << QByteArray("A") << QByteArray("k") << true
        << x127;
    QTest::newRow("two ] on header -> name ends at the last")
        << QByteArray("[a]b] note\nk=1\n") << QByteArray("a]b") << QByteArray("k") << true
        << QByteArray("1");
    QTest::newRow("[ line without ] -> key of current section")
        << QByteArray("[A]\n[B=1\nk=2\n") << QByteArray("A") << QByteArray("[B") << true
        << QByteArray("1");
    QTest::newRow("[ line without ] -> section continues after it")
        << QByteArray("[A]\n[B=1\nk=2\n") << QByteArray("A") << QByteArray("k") << true
        << QByteArray("2");
    QTest::newRow("key above first header -> in section named empty")
        << QByteArray("k=1\n[A]\nj=2\n") << QByteArray("") << QByteArray("k") << true
        << QByteArray("1");
    QTest::newRow("key above first header -> not in named section")
        << QByteArray("k=1\n[A]\nj=2\n") << QByteArray("A") << QByteArray("k") << false
        << QByteArray();
    QTest::newRow("missing section -> missing")
        << QByteArray("[A]\nk=1\n") << QByteArray("B") << QByteArray("k") << false << QByteArray();
    QTest::newRow("NUL inside value -> kept by the parser")
        << Bytes("[A]\nk=a\0b\n") << QByteArray("A") << QByteArray("k") << true << Bytes("a\0b");
    QTest::newRow("last line without newline -> read")
        << QByteArray("\n\n   [A]\nk=1") << QByteArray("A") << QByteArray("k") << true
        << QByteArray("1");
}

void TestProfileFile::lookupFindsValuesAsTheReaderDid() {
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, section);
    QFETCH(QByteArray, key);
    QFETCH(bool, found);
    QFETCH(QByteArray, value);

    const ProfileFile file = ProfileFile::Parse(View(text));
    const std::optional<std::string> got = file.Lookup(View(section), View(key));
    QCOMPARE(got.has_value(), found);
    if (got) {
        QCOMPARE(QByteArray::fromStdString(*got), value);
    }
}

void TestProfileFile::readValueCleansStoredText_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("lone # -> empty") << QByteArray("ChTag=#") << QByteArray();
    QTest::newRow("## -> one # left") << QByteArray("ChTag=##1") << QByteArray("#1");
    QTest::newRow("# then blanks -> blanks kept")
        << QByteArray("ChTag=#  AB") << QByteArray("  AB");
    QTest::newRow("# inside -> kept") << QByteArray("ChTag=a#b") << QByteArray("a#b");
    QTest::newRow("blanks around -> trimmed") << QByteArray(" ChTag = 5 ") << QByteArray("5");
    QTest::newRow("missing key -> empty") << QByteArray("Other=5") << QByteArray();
    QTest::newRow("<NONE> -> empty") << QByteArray("ChTag=<NONE>") << QByteArray();
    QTest::newRow("<none> lower case -> kept")
        << QByteArray("ChTag=<none>") << QByteArray("<none>");
    QTest::newRow("#<NONE> -> <NONE>") << QByteArray("ChTag=#<NONE>") << QByteArray("<NONE>");
    QTest::newRow("<NONE> then NUL -> empty") << Bytes("ChTag=<NONE>\0x") << QByteArray();
    QTest::newRow("NUL inside -> cut there") << Bytes("ChTag=ab\0cd") << QByteArray("ab");
    QTest::newRow("# then NUL -> empty") << Bytes("ChTag=#\0#x") << QByteArray();
}

void TestProfileFile::readValueCleansStoredText() {
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, expected);

    const QByteArray text = "[Channel 1]\r\n" + line + "\r\n";
    const ProfileFile file = ProfileFile::Parse(View(text));
    QCOMPARE(QByteArray::fromStdString(ReadProfileValue(file, "CHANNEL 1", "chtag")), expected);
}

// What the reader sees of a whole file's bytes: the value of [A] k, or "refused".
void TestProfileFile::fileBytesReadAsText_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("value");
    // "[A]\r\nk=é中" saved as UTF-16LE with its byte-order mark.
    QTest::newRow("UTF-16LE -> Latin-1, others ?")
        << Bytes("\xff\xfe[\0A\0]\0\r\0\n\0k\0=\0\xe9\0\x2d\x4e\r\0\n\0") << QByteArray("\xe9?");
    QTest::newRow("UTF-16LE pair outside the BMP -> one ?")
        << Bytes("\xff\xfe[\0A\0]\0\n\0k\0=\0\x3d\xd8\x00\xde") << QByteArray("?");
    QTest::newRow("UTF-8 byte-order mark -> part of the first line")
        << QByteArray("\xef\xbb\xbf[A]\nk=1\n") << QByteArray();
    QTest::newRow("NUL in an 8-bit file -> refused")
        << Bytes("[A]\nk=1\n\0") << QByteArray("refused");
}

void TestProfileFile::fileBytesReadAsText() {
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, value);
    const std::optional<std::string> text = chanwright::ProfileText(View(bytes));
    if (!text) {
        QCOMPARE(QByteArray("refused"), value);
        return;
    }
    const ProfileFile file = ProfileFile::Parse(*text);
    QCOMPARE(QByteArray::fromStdString(ReadProfileValue(file, "A", "k")), value);
}

void TestProfileFile::binaryGarbageParsesWithoutCrashing_data() {
    QTest::addColumn<QByteArray>("text");

    std::mt19937 random(20240611);
    for (int round = 0; round < 2; ++round) {
        QByteArray noise(64 * 1024, '\0');
        for (char& c : noise)
            c = static_cast<char>(random() & 0xFF);
        QTest::newRow(qPrintable(QString("random bytes %1").arg(round))) << noise;
    }
    // Few distinct bytes so headers, keys and blanks turn up often.
    QByteArray structured(64 * 1024, '\0');
    const char alphabet[] = {'[', ']', '=', '\n', '\r', ' ', '\0', '#', 'a', 'A'};
    for (char& c : structured)
        c = alphabet[random() % sizeof(alphabet)];
    QTest::newRow("brackets, = and newlines") << structured;
    QTest::newRow("only [") << QByteArray(100000, '[');
    QTest::newRow("only =") << QByteArray(100000, '=');
    QTest::newRow("only NUL") << QByteArray(100000, '\0');
    QTest::newRow("empty") << QByteArray();
}

void TestProfileFile::binaryGarbageParsesWithoutCrashing() {
    QFETCH(QByteArray, text);

    const ProfileFile file = ProfileFile::Parse(View(text));
    for (const char* section : {"", "a", "A", "]"}) {
        for (const char* key : {"", "a", "[", "#"}) {
            const std::optional<std::string> value = file.Lookup(section, key);
            if (value) {
                QVERIFY(value->size() <= ProfileFile::kMaxValueLength);
            }
            QVERIFY(ReadProfileValue(file, section, key).size() <= ProfileFile::kMaxValueLength);
        }
    }
}

// Sizes where a parse that rescans lines or sections would not finish in the test's time.
void TestProfileFile::hugeFileKeepsFirstSectionAndCutsValue() {
    std::string text = "[" + std::string(4'000'000, 'b') + "=1\n";
    text += "[S]\nbig=" + std::string(4'000'000, 'v') + "\n";
    for (int i = 0; i < 100'000; ++i) {
        text += "[S]\nk=" + std::to_string(i) + "\n[T" + std::to_string(i) +
                "]\nk=" + std::to_string(i) + "\n";
    }

    const ProfileFile file = ProfileFile::Parse(text);
    QCOMPARE(file.Lookup("", "[" + std::string(4'000'000, 'b')), std::optional<std::string>("1"));
    QCOMPARE(file.Lookup("S", "big"), std::optional<std::string>(std::string(127, 'v')));
    QCOMPARE(file.Lookup("S", "k"), std::nullopt);
    QCOMPARE(file.Lookup("T99999", "k"), std::optional<std::string>("99999"));
}

QTEST_APPLESS_MAIN(TestProfileFile)
#include "tst_profile_file.moc"
