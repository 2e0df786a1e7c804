#include "tests/support/test_files.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <algorithm>
#include <random>

#include "image/channel_plans.h"
#include "image/new_data_set.h"
#include "storage/data_file_reader.h"

namespace chanwright::test {

AppState MakeDefaultApp(Model modelNum) {
    AppState app;
    app.Shared.ModelNum = modelNum;
    LoadAllPlans(app.Plans);
    NewDataSet(app);
    return app;
}

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

void RemoveTree(const QString& folder) {
    QProcess::execute(QStringLiteral("rm"), {QStringLiteral("-rf"), folder});
}

QString TestDataPath(const QString& name) {
    return QStringLiteral(CHANWRIGHT_TEST_DATA) + QLatin1Char('/') + name;
}

QString ChannelLine(const char* list, const PlanChannel& r) {
    return QString::asprintf("%s %d: E%d L%d P%d D%d S%d T%d A%d M%d V%d '%s'", list, r.Position,
                             r.Enable, r.LowPower, r.PowUp, r.Duplex, r.DuplexSelectable,
                             r.TxEnable, r.DispayA, r.ScanMemory, r.VsMemory, r.ChTag.c_str());
}

void ReadDataFixture(AppState& app, const QString& name) {
    (void)ReadDataFileBytes(ReadBytes(TestDataPath(name)).toStdString(), app.Shared, app.Plans,
                            app.Data);
}

namespace {

// A heading line's marker, its '='s and the space after them; empty for any other line.
QByteArray HeadingMarker(const QByteArray& line) {
    qsizetype n = 0;
    while (line.mid(n, 1) == "=")
        ++n;
    return n >= 2 && line.mid(n, 1) == " " ? line.left(n + 1) : QByteArray();
}

// The offset (-1 when there is none) and size of the story under `heading` in `text`, which runs
// to the next heading of its kind.
std::pair<qsizetype, qsizetype> FindStory(const QByteArray& text, const QByteArray& heading) {
    const qsizetype at = ('\n' + text).indexOf('\n' + heading + '\n');
    const qsizetype next = text.indexOf('\n' + HeadingMarker(heading), at + heading.size());
    return {at, at < 0 ? 0 : (next < 0 ? text.size() : next + 1) - at};
}

// The text with the story in place of its own, or at the end.
QByteArray WithStory(QByteArray text, const QByteArray& story) {
    const auto [at, size] = FindStory(text, story.left(story.indexOf('\n')));
    return at < 0 ? text + story : text.replace(at, size, story);
}

// A line as a failure shows it: its size, control characters as <xx>, a long one cut near
// `column`.
QString Excerpt(const QByteArrayList& lines, qsizetype index, qsizetype column) {
    const qsizetype from = std::max<qsizetype>(0, column - 40);
    QByteArray shown = from > 0 ? "…" : "";
    for (const char c : lines.value(index).mid(from, 100))
        shown += uint8_t(c) < 0x20 ? '<' + QByteArray(1, c).toHex() + '>' : QByteArray(1, c);
    return index >= lines.size() ? QString("(none, the text ends before)")
                                 : QString("(%1 bytes) ").arg(lines[index].size()) + shown;
}

// Where `actual` first leaves `golden`, a text that starts at line `firstLine` of its file: the
// line, the heading above it and both lines; in an image, the byte.
QString Difference(const QByteArray& golden, const QByteArray& actual, qsizetype firstLine) {
    if (golden.contains('\0') || actual.contains('\0')) {  // an image: the bytes there, in hex
        const qsizetype at =
            std::mismatch(golden.begin(), golden.end(), actual.begin(), actual.end()).first -
            golden.begin();
        const qsizetype from = std::max<qsizetype>(0, at - 8);
        return QString(" byte %1 (0x%2); from 0x%3:\n   golden %4\n   actual %5")
            .arg(at)
            .arg(at, 0, 16)
            .arg(from, 0, 16)
            .arg(golden.mid(from, 24).toHex(' '), actual.mid(from, 24).toHex(' '));
    }
    const QByteArrayList want = golden.split('\n'), got = actual.split('\n');
    const qsizetype line =
        std::mismatch(want.begin(), want.end(), got.begin(), got.end()).first - want.begin();
    const QByteArray a = want.value(line), b = got.value(line);
    const qsizetype column =
        std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first - a.begin();
    QByteArray heading;
    for (qsizetype i = std::min(line, want.size() - 1); i >= 0 && heading.isEmpty(); --i)
        heading = HeadingMarker(want[i]).isEmpty() ? QByteArray() : ", in \"" + want[i] + '"';
    return QString(" line %1, column %2%3\n   golden %4\n   actual %5")
        .arg(firstLine + line)
        .arg(column + 1)
        .arg(heading, Excerpt(want, line, column), Excerpt(got, line, column));
}

}  // namespace

bool MatchesGolden(const QByteArray& actual, const QString& goldenName, QString* why, bool story) {
    static QHash<QString, QByteArray> actuals;  // the goldens with this run's differing stories
    const QByteArray golden = ReadBytes(TestDataPath(goldenName)),
                     heading = actual.left(actual.indexOf('\n'));
    const auto [at, size] =
        story ? FindStory(golden, heading) : std::pair{qsizetype(0), golden.size()};
    const auto with = [&](QByteArray text) { return story ? WithStory(text, actual) : actual; };
    if (qEnvironmentVariableIsSet("CHANWRIGHT_UPDATE_GOLDEN"))
        return WriteBytes(TestDataPath(goldenName), with(golden));
    const QString path = QStringLiteral(CHANWRIGHT_TEST_ACTUAL "/") + goldenName + ".actual";
    if (at >= 0 && golden.mid(at, size) == actual) {
        if (!story)
            QFile::remove(path);  // left by an earlier failure
        return true;
    }
    QDir().mkpath(QFileInfo(path).path());
    WriteBytes(path, actuals[goldenName] = with(actuals.value(goldenName, golden)));
    *why = "tests/data/" + goldenName +
           (at < 0 ? " has no story \"" + QString::fromUtf8(heading) + '"'
                   : Difference(golden.mid(at, size), actual, golden.left(at).count('\n') + 1)) +
           "\n   all of it: diff tests/data/" + goldenName + ' ' +
           QDir(TestDataPath("../..")).relativeFilePath(path);
    return false;
}

QByteArray Hex(const char* text) {
    return QByteArray::fromHex(text);
}

QByteArray ImageBytes(const MemoryImage& image) {
    return QByteArray(reinterpret_cast<const char*>(image.data()), kImageSize);
}

MemoryImage BytesToImage(const QByteArray& bytes) {
    MemoryImage image{};
    PutBytes(image, 0, bytes.left(kImageSize));
    return image;
}

QByteArray ImageSlice(const MemoryImage& image, int address, int count) {
    return ImageBytes(image).mid(address, count);
}

void PutBytes(MemoryImage& image, int address, const QByteArray& bytes) {
    std::copy(bytes.begin(), bytes.end(), image.begin() + address);
}

MemoryImage FilledImage(uint8_t value) {
    MemoryImage image;
    image.fill(value);
    return image;
}

MemoryImage RandomImage(unsigned seed) {
    std::mt19937 random(seed);
    MemoryImage image;
    std::generate(image.begin(), image.end(), [&] { return static_cast<uint8_t>(random()); });
    return image;
}

}  // namespace chanwright::test
