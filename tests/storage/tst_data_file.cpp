#include <QTest>
#include <random>

#include "core/text_encoding.h"
#include "storage/data_file_reader.h"
#include "storage/data_file_writer.h"
#include "storage/profile_file.h"
#include "storage/value_conversion.h"
#include "tests/support/test_files.h"

using namespace chanwright;
using namespace std::string_literals;

namespace {

QByteArray Bytes(const std::string& text) {
    return QByteArray::fromStdString(text);
}

// Printable ASCII as it is, other bytes as %XX.
QByteArray Show(const QByteArray& text) {
    return text.toPercentEncoding(" !\"#$&'()*+,/:;<=>?@[\\]^`{|}~");
}

void ReadInto(const std::string& fileBytes, AppState& app) {
    QVERIFY(ReadDataFileBytes(fileBytes, app.Shared, app.Plans, app.Data));
}

// Every value of a data file changed to another one: read before the real file, it shows any key
// the reader skips.
std::string Scrambled(const std::string& file) {
    QByteArrayList lines = Bytes(file).split('\n');
    for (QByteArray& line : lines) {
        const qsizetype eq = line.indexOf('=');
        if (eq < 0)
            continue;
        const QByteArray value = line.mid(eq + 1).trimmed();
        bool number = false;
        const int n = value.toInt(&number);
        line = line.left(eq + 1) + (value.startsWith('#') ? "#X" + value.mid(1)
                                    : number              ? QByteArray::number(n ^ 1)
                                                          : "1" + value);
    }
    return lines.join('\n').toStdString();
}

}  // namespace

class TestDataFile : public QObject {
    Q_OBJECT

  private slots:
    // Whole files: the default sets, the defaults file, an edited set in the KW83E build (ATIS
    // keys after TrueMag) and that set after reading the defaults file, which sets the common
    // values and the A/B choices, empties every name and keeps every switch and position. Each
    // data file, read after a copy with every value changed, gives back the set that wrote it.
    void filesMatchGoldensAndReadBack() {
        const auto check = [](AppState& app, const char* golden) {
            const RadioData source = app.Data;
            const std::string file = WriteDataFile(app.Shared, app.Data);
            ReadInto(Scrambled(file), app);
            QVERIFY2(app.Data != source, golden);
            ReadInto(file, app);
            QVERIFY2(app.Data == source, golden);
            COMPARE_GOLDEN(Bytes(file), golden);
        };
        AppState tq = test::MakeDefaultApp(Model::TQ5300),
                 app = test::MakeDefaultApp(Model::HV2071P);
        const std::string defaults = WriteDefaultsFile(app.Shared, app.Data);
        COMPARE_GOLDEN(Bytes(defaults), "defaults_hv2071p.def");
        check(tq, "default_tq5300.dat");
        check(app, "default_hv2071p.dat");
        app.Shared.ModelCode = "KW83E";
        // Values a user could have typed, texts that depend on the "#" prefix and 8-bit bytes too.
        test::ReadDataFixture(app, "storage_edited_kw83e.dat");
        check(app, "storage_edited_kw83e.dat");
        ReadInto(defaults, app);
        check(app, "storage_defaults_read.dat");
    }

    // What reading makes of texts, side by side in a golden: numbers and flags; lookups
    // ("section|key|file", @ for 127 x); ReadProfileValue of [a] K in a file's bytes, parsed as
    // they are and as ProfileText gives them (@ for 126 x), with the encoding it found and, where
    // they differ, the bytes FileBytes writes back; one line of a data file ("section|line", "E:"
    // first for the KW83E build) read into the default set with OffsetTime 5, seen in the file
    // written after it.
    void readingMatchesGolden() {
        QByteArray out;
        for (const QByteArray& text : QByteArray("0,1,-1,+7,3.5,2.5,.5,5.,1e3,1E+2,32767,-32768,"
                                                 "32767.5,-32769,1e400,,tRUE,FALSE,Truex,1x,inf,"
                                                 "1e,1e-,-,.,+-1")
                                          .split(',')) {
            const auto show = [](auto v) { return v ? QByteArray::number(*v) : "none"; };
            out += "'" + text + "' as number: " + show(ToInt16(text.toStdString())) +
                   ", as flag: " + show(ToBool16(text.toStdString())) + "\n";
        }
        const std::string lookups =
            "radioz|ENABLEZ|[RaDiOZ]\nEnAbLez=5\n~\xc9T\xc9|k|[\xe9t\xe9]\nk=1\n"
            "~A|k|[A]\nk=1\nK=2\n~A|x|[A]\nx=1\n[B]\n[a]\nx=9\nz=3\n[C]\nw=4"
            "~A|z|[A]\nx=1\n[B]\n[a]\nz=3\n~C|w|[A]\n[a]\nx=9\n[C]\nw=4~A|k|[A]\nk\nk=2\n"
            "~A|k|[A]\nk=\n~A|Enable|[A]\n \t Enable \t= \t5 \t\n~A|j|[A]\r\nk=v\r\nj=w\r\n"
            "~A|j|[A]\rk=1\rj=2\r~A|k|\x1a[A]\n\vk\f=\x1a v\x1a\n~A|a|[A]\na=b =c\n~A|k|[A]\nk=@"
            "~A|k|[A]\nk=   @y  \n~A|k|[A]\nk=\"@y\"\n~A|k|[ A\t]\nk=1\n~A|k|[A]\nk= \"BOAT\" \n"
            "~A|k|[A]\nk='366'\n~A|k|[A]\nk=''\n~A|k|[A]\nk=\"A\"B\"\n~A|k|[A]\nk=\"\n"
            "~A|k|[A]\nk=\"BOAT'\n~A|k|[A]\nk=#\"BOAT\"\n~a]b|k|[a]b] note\nk=1\n"
            "~A|[B|[A]\n[B=1\nk=2\n~A|k|[A]\n[B=1\nk=2\n~|k|k=1\n[A]\nj=2\n~A|k|k=1\n[A]\nj=2\n"
            "~B|k|[A]\nk=1\n~A|k|[A]\nk=a\0b\n~A|k|\n\n   [A]\nk=1"s;
        for (const QByteArray& row : Bytes(lookups).replace('@', QByteArray(127, 'x')).split('~')) {
            const QList<QByteArray> part = row.split('|');
            const auto value = ProfileFile::Parse(part[2].toStdString())
                                   .Lookup(part[0].toStdString(), part[1].toStdString());
            out += "[" + Show(part[0]) + "] " + Show(part[1]) + " in " + Show(part[2]) + ": " +
                   (value ? Show(Bytes(*value)) : "missing") + "\n";
        }
        const std::string files =
            "[A]\nk=#~[A]\nk=##1~[A]\nk=#  AB~[A]\nk=a#b~[A]\nj=5~[A]\nk=<NONE>~[A]\nk=<none>"
            "~[A]\nk=#<NONE>~[A]\nk=ab\0cd~[A]\nk=<NONE>\0x~\xef\xbb\xbf[A]\nk=1\n~[A]\nk=1\n\0"
            "~\xff\xfe[\0A\0]\0\r\0\n\0k\0=\0\xe9\0\xff\0\x2d\x4e\r\0\n\0"
            "~\xff\xfe[\0A\0]\0\n\0k\0=\0\x3d\xd8\x00\xde~\xff\xfe[\0A\0]\0\n\0k\0=\0\x3d\xd8"
            "~[A]\nk=CAF\xc9~[A]\nk=CAF\xc3\x89~[A]\nk=CAF\xc3\x89\xc9~\xef\xbb\xbf[A]\nk=\xc3\x89"
            "~\xef\xbb\xbf[A]\nk=\xc9~[A]\nk=\x80\x81\x8d\x8f\x90\x9d\x9f~[A]\nk=@\xe9\xe9"s;
        for (const QByteArray& bytes : Bytes(files).replace('@', QByteArray(126, 'x')).split('~')) {
            const auto text = ProfileText(bytes.toStdString());
            const auto value = [](const std::string& t) {
                return Show(Bytes(ReadProfileValue(ProfileFile::Parse(t), "a", "K")));
            };
            static const char* const kEncodings[] = {"1252", "UTF-8", "UTF-8 marked"};
            std::string lacking;
            const QByteArray back =
                text ? Bytes(FileBytes(text->text, text->encoding, lacking)) : bytes;
            out += "ReadProfileValue in " + Show(bytes) + ": " + value(bytes.toStdString()) +
                   (text ? ", as " + QByteArray(kEncodings[int(text->encoding)]) +
                               " text: " + value(text->text)
                         : ", as text: refused") +
                   (back == bytes ? "" : ", written back " + Show(back)) + "\n";
        }
        for (const QByteArray& row :
             QByteArray(
                 "SETCOM|OffsetTime=-12 SETCOM|OffsetTime=0 SETCOM|OffsetTime=-24 "
                 "SETCOM|OffsetTime=-11.5 SETCOM|OffsetTime=13 SETCOM|OffsetTime=-25 "
                 "SETCOM|OffsetTime=x setcom|truemag=1 SETCOM|Contrast=99999 SETCOM|Contrast=9 "
                 "SETCOM|AtisNo=#1234567890 E:SETCOM|AtisNo=#1234567890 SETCOM|AtisOnOffUSA=1 "
                 "E:SETCOM|AtisOnOffUSA=1 CHUSA0|Enable=0 CHUSA0|LowPower=-5 CHUSA0|Enable= "
                 "CHUSA0|LowPower= CHUSA0|LowPower=yes CHUSA0|Position=64 CHUSA0|Position=65 "
                 "CHUSA0|Position=0 CHEXP1|Position=281 CHEXP1|Position=282 CHCOM|USA-ACH=3 "
                 "CHCOM|USA-ACH=2 CHCOM|INT-BCH=15 CHCOM|CAN-ACH=64 CHCOM|CAN-BCH=-1 "
                 "CHCOM|USA-PCH=3 CHMMSID20|Mmsid=3669990010")
                 .split(' ')) {
            AppState app = test::MakeDefaultApp(Model::HV2071P);
            QList<QByteArray> part = row.split('|');
            if (part[0].startsWith("E:"))
                app.Shared.ModelCode = "KW83E", part[0].remove(0, 2);
            app.Data.Common.OffsetTime = 5;
            ReadInto(("[" + part[0] + "]\r\n" + part[1] + "\r\n").toStdString(), app);
            app.Shared.ModelCode = "KW83E";
            const std::string key = part[1].left(part[1].indexOf('=')).toStdString();
            const auto value = ProfileFile::Parse(WriteDataFile(app.Shared, app.Data))
                                   .Lookup(part[0].toStdString(), key);
            out += row + " -> " + Bytes(key + "=" + value.value_or("missing")) + "\n";
        }
        COMPARE_GOLDEN(out, "storage_reading.txt");
    }

    // Garbage parses with every value within the limit of characters; huge files parse in sizes
    // where a parse that rescans lines or sections would not finish in the test's time.
    void profileParsesGarbageAndHugeFiles() {
        std::mt19937 random(20240611);
        std::string noise(64 * 1024, '\0'), structured(64 * 1024, '\0');
        for (std::size_t i = 0; i < noise.size(); ++i)
            noise[i] = static_cast<char>(random()), structured[i] = "[]=\n\r \0#aA"[random() % 10];
        for (const std::string& text : {noise, structured, std::string(100000, '[')}) {
            const ProfileFile file = ProfileFile::Parse(text);
            for (const char* name : {"", "a", "]", "["}) {
                QVERIFY(Utf8Length(file.Lookup("a", name).value_or("")) <= 127);
                QVERIFY(Utf8Length(ReadProfileValue(file, name, name)) <= 127);
            }
        }
        std::string text = "[" + std::string(4'000'000, 'b') + "=1\n";
        text += "[S]\nbig=" + std::string(4'000'000, 'v') + "\n";
        for (int i = 0; i < 100'000; ++i)
            text += "[S]\nk=" + std::to_string(i) + "\n[T" + std::to_string(i) +
                    "]\nk=" + std::to_string(i) + "\n";
        const ProfileFile file = ProfileFile::Parse(text);
        QCOMPARE(file.Lookup("", "[" + std::string(4'000'000, 'b')), std::optional("1"s));
        QCOMPARE(file.Lookup("S", "big"), std::optional(std::string(127, 'v')));
        QCOMPARE(file.Lookup("S", "k"), std::nullopt);
        QCOMPARE(file.Lookup("T99999", "k"), std::optional("99999"s));
    }
};

QTEST_GUILESS_MAIN(TestDataFile)
#include "tst_data_file.moc"
