#include <QtTest>

#include <cctype>
#include <random>

#include "tests/robustness/robustness_checks.h"
#include "tests/support/test_files.h"

using namespace chanwright;

// Seeded random data files and images, checked against robustness_checks.h. Every case is
// reproducible from its seed alone: a failure prints it, and CHANWRIGHT_SEED=<seed> runs just
// that case in each row.
namespace {

using Rng = std::mt19937_64;

std::size_t Pick(Rng& rng, std::size_t n) {
    return n == 0 ? 0 : static_cast<std::size_t>(rng() % n);
}
bool Chance(Rng& rng, int percent) {
    return static_cast<int>(rng() % 100) < percent;
}
template <typename Table>
const auto& PickOf(Rng& rng, const Table& table) {
    return table[Pick(rng, std::size(table))];
}
std::string RandomBytes(Rng& rng, std::size_t length) {
    std::string bytes(length, '\0');
    for (char& c : bytes)
        c = static_cast<char>(rng() & 0xFF);
    return bytes;
}
std::vector<std::string> Split(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    for (std::size_t pos = 0, end = 0; end != std::string::npos; pos = end + separator.size())
        parts.push_back(text.substr(pos, (end = text.find(separator, pos)) - pos));
    return parts;
}
auto At(std::vector<std::string>& lines, std::size_t i) {
    return lines.begin() + static_cast<std::ptrdiff_t>(i);
}

// ---- data-file mutations -----------------------------------------------------------------------

std::string RandomValue(Rng& rng) {
    static const auto kSamples = Split(
        "99999999999|-40000|1e300|-1e300|nan|NaN|inf|-inf|0x10||   |32767|-32768|32768|-32769|"
        "32767.5|-32768.5|0.5|1.5|2.5|-0|1e-300|+5|5.|.5|1e5|1e|--1|True|fALSE|<NONE>|#|##x|"
        "#  a  |   7  |255|256|-1|0|1|7|8|24|-24|-25|-12|0.4|-24.4|-24.6|64|65|281|282|281.4|1e2|"
        "#ABC-12|123456789|1234567890|12345678901|#\xff\xfe|a=b=c|[CHUSA0]",
        "|");
    switch (Pick(rng, 8)) {
        case 0:
            return std::string(500, static_cast<char>('A' + Pick(rng, 26)));
        case 1:
            return RandomBytes(rng, Pick(rng, 40));
        case 2:
            return std::to_string(static_cast<int>(Pick(rng, 700)) - 350);
        case 3:
            return "#" + std::string(Pick(rng, 130), ' ') + RandomBytes(rng, Pick(rng, 140));
        default:
            return PickOf(rng, kSamples);
    }
}

// The keys whose values index tables or must fit the image; a random line is rarely one of them.
// Half the time the value is at or just past the edge of some table, where off-by-ones live.
void MutateKnownKey(Rng& rng, std::vector<std::string>& lines) {
    static const auto kKeys = Split(
        "Contrast Dimmer Scrambler Ind ScanType OffsetTime KeyBeep TrueMag WxAlert UserMmsid "
        "AtisNo "
        "USA-PCH Position Position Position Enable LowPower DispayA ChTag TagName Mmsid",
        " ");
    static const auto kEdges = Split(
        "-1 0 1 7 8 10 11 24 25 -24 -25 64 65 255 256 281 282 0.5 -24.5 1.5 64.5 281.5 -0.5 "
        "32767 -32768",
        " ");
    const std::string key = PickOf(rng, kKeys) + "=";
    std::vector<std::size_t> found;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].compare(0, key.size(), key) == 0)
            found.push_back(i);
    }
    if (!found.empty())
        lines[found[Pick(rng, found.size())]] =
            key + (Chance(rng, 50) ? PickOf(rng, kEdges) : RandomValue(rng));
}

std::string Lower(std::string text, Rng* rng = nullptr) {
    for (char& c : text) {
        if (!rng || Chance(*rng, 50))
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

void Mutate(Rng& rng, std::vector<std::string>& lines) {
    if (lines.empty())
        return lines.push_back(RandomValue(rng));
    if (Chance(rng, 30))
        return MutateKnownKey(rng, lines);
    const std::size_t i = Pick(rng, lines.size());
    std::string& line = lines[i];
    const std::size_t eq = line.find('=');
    // The section holding line i, from its header to the next one.
    std::size_t start = i;
    while (start > 0 && (lines[start].empty() || lines[start][0] != '['))
        --start;
    std::size_t end = i + 1;
    while (end < lines.size() && (lines[end].empty() || lines[end][0] != '['))
        ++end;
    const std::size_t kind = Pick(rng, 12);
    if (kind == 0) {
        lines.erase(At(lines, i));
    } else if (kind == 1) {
        lines.insert(At(lines, Pick(rng, lines.size())), std::string(line));
    } else if (kind == 2) {  // a whole section again, possibly under a differently cased name
        std::vector<std::string> block(At(lines, start), At(lines, end));
        for (std::string& l : block) {
            const std::size_t e = l.find('=');
            if (e != std::string::npos && Chance(rng, 50))
                l = l.substr(0, e + 1) + RandomValue(rng);
        }
        if (!block.empty() && Chance(rng, 50))
            block[0] = Lower(block[0]);
        lines.insert(At(lines, Pick(rng, lines.size() + 1)), block.begin(), block.end());
    } else if (kind == 3) {
        lines.erase(At(lines, start), At(lines, end));
    } else if (kind == 8) {
        lines.insert(At(lines, i), RandomValue(rng));
    } else if (kind == 10) {
        std::swap(line, lines[Pick(rng, lines.size())]);
    } else if (kind == 11 && Chance(rng, 10)) {
        line = (eq == std::string::npos ? "X" : line.substr(0, eq + 1)) +
               std::string(100 * 1024, static_cast<char>('0' + Pick(rng, 10)));
    } else if (kind == 11) {
        line.insert(Pick(rng, line.size() + 1), 1, Chance(rng, 50) ? '\0' : '\xFF');
    } else if (eq == std::string::npos) {  // 4 to 7 and 9 change a key and value
    } else if (kind == 7) {
        line.erase(eq, 1);
    } else if (kind == 9) {  // spaces, tabs and case around the key
        const std::string key = Lower(line.substr(0, eq), &rng);
        line = std::string(Pick(rng, 3), ' ') + key + std::string(Pick(rng, 3), '\t') + "=" +
               std::string(Pick(rng, 3), ' ') + line.substr(eq + 1) +
               std::string(Pick(rng, 3), ' ');
    } else {
        line = line.substr(0, eq + 1) + RandomValue(rng);
    }
}

// The file with up to 12 (now and then 200) mutations and mixed line ends. Half the time the
// image its data set will be encoded into becomes random bytes too.
std::string MutatedFile(Rng& rng, const std::string& file, MemoryImage& target) {
    std::vector<std::string> lines = Split(file, "\r\n");
    lines.pop_back();  // after the last line end
    const std::size_t mutations = 1 + Pick(rng, Chance(rng, 20) ? 200 : 12);
    for (std::size_t k = 0; k < mutations; ++k)
        Mutate(rng, lines);
    if (Chance(rng, 50))
        target = test::RandomImage(static_cast<unsigned>(rng()));
    static const char* const kEnds[] = {"\r\n", "\n", "\r", "\r\r\n", "\n\r"};
    const std::size_t style = Pick(rng, 6);  // 5: a different end on every line
    std::string text;
    for (const std::string& line : lines)
        text += line + kEnds[style < 5 ? style : Pick(rng, 5)];
    if (Chance(rng, 10))
        text += RandomBytes(rng, Pick(rng, 64));
    return text;
}

// ---- image mutations ---------------------------------------------------------------------------

void FlipBytes(Rng& rng, MemoryImage& image) {
    static const int kNumbers[] = {layout::kUserMmsid, layout::kAtisNo,
                                   layout::kIndividualDirectory, layout::kGroupDirectory};
    const std::size_t flips = 1 + Pick(rng, 64);
    for (std::size_t f = 0; f < flips; ++f) {
        // Half the changes land in the first 0x200 bytes, where the settings and bits are dense.
        const std::size_t at = Chance(rng, 50) ? Pick(rng, 0x200) : Pick(rng, kImageSize);
        const std::size_t kind = Pick(rng, 4);
        if (kind == 0) {
            image[at] ^= static_cast<uint8_t>(1u << Pick(rng, 8));
        } else if (kind == 1) {
            image[at] = static_cast<uint8_t>(rng());
        } else if (kind == 3) {
            image[at] = Chance(rng, 50) ? 0x00 : 0xFF;
        } else {  // packed digits where a number may live
            int address = PickOf(rng, kNumbers);
            if (address >= layout::kIndividualDirectory)
                address += layout::kDirectoryEntrySize * static_cast<int>(Pick(rng, 5));
            for (int i = 0; i < layout::kPackedDigitBytes; ++i)
                image[address + i] =
                    static_cast<uint8_t>(Pick(rng, 10) << 4 | Pick(rng, Chance(rng, 90) ? 10 : 16));
        }
    }
}

// ---- the cases ---------------------------------------------------------------------------------

// Runs check(seed) for `count` seeds from `first` (or just the CHANWRIGHT_SEED one). Every case
// runs even after a failure, so one broken property does not hide the others; the failure names
// how many broke and the first few seeds with what broke.
template <typename Check>
void ForEachSeed(uint64_t first, uint64_t count, Check check) {
    bool replay = false;
    const qulonglong seed = qEnvironmentVariable("CHANWRIGHT_SEED").toULongLong(&replay);
    if (replay)
        first = seed, count = 1;
    QStringList broken;
    for (uint64_t s = first; s < first + count; ++s) {
        if (const std::string why = check(s); !why.empty())
            broken << QStringLiteral("seed %1: %2").arg(s).arg(why.substr(0, 400).c_str());
    }
    if (!broken.isEmpty())
        QFAIL(qPrintable(
            QStringLiteral("%1 of %2 cases broken (replay one with CHANWRIGHT_SEED):\n  ")
                .arg(broken.size())
                .arg(count) +
            broken.mid(0, 3).join("\n  ")));
}

enum Input { kDataFile, kRandomImage, kFlippedImage };

// Name, input, model, model code (the ATIS fields are read only under KW83E), how many seeds from
// which first.
const std::tuple<const char*, int, int, QString, int, uint64_t> kInputs[] = {
    {"HV2071P file", kDataFile, 0, "KW83", 500, 1'000'000},
    {"TQ5300 file", kDataFile, 1, "KW83", 350, 2'000'000},
    {"HV2071P KW83E file", kDataFile, 0, "KW83E", 350, 3'000'000},
    {"random image", kRandomImage, 0, "KW83", 3000, 4'000'000},
    {"HV2071P image", kFlippedImage, 0, "KW83", 1500, 5'000'000},
    {"TQ5300 image", kFlippedImage, 1, "KW83", 1500, 6'000'000},
};

}  // namespace

class TestRobustness : public QObject {
    Q_OBJECT

  private slots:
    void randomInputs_data() { test::AddRowsOf(kInputs); }
    void randomInputs() {
        const auto& [name, input, model, modelCode, count, firstSeed] = test::RowOf(kInputs);
        AppState app = test::MakeDefaultApp(static_cast<Model>(model));
        app.Shared.ModelCode = modelCode.toStdString();
        const std::string file = WriteDataFile(app.Shared, app.Data);
        QVERIFY(robust::CheckDataFile(app, file, app.Image).empty());
        ForEachSeed(firstSeed, static_cast<uint64_t>(count), [&, input = input](uint64_t seed) {
            Rng rng(seed);
            MemoryImage image = app.Image;
            if (input == kDataFile) {
                const std::string text = MutatedFile(rng, file, image);
                return robust::CheckDataFile(app, text, image);
            }
            if (input == kRandomImage)
                image = test::RandomImage(static_cast<unsigned>(rng()));
            else
                FlipBytes(rng, image);
            return robust::CheckImage(app.Data, image);
        });
    }
};

QTEST_GUILESS_MAIN(TestRobustness)
#include "tst_robustness.moc"
