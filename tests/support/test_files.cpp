#include "tests/support/test_files.h"

#include <QFile>
#include <algorithm>
#include <random>

#include "image/channel_plans.h"
#include "image/new_data_set.h"

namespace chanwright::test {

AppState MakeDefaultApp(int16_t modelNum) {
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

QString TestDataPath(const QString& name) {
    return QStringLiteral(CHANWRIGHT_TEST_DATA) + QLatin1Char('/') + name;
}

bool MatchesGolden(const QByteArray& actual, const QString& goldenName, QString* why) {
    const QString path = TestDataPath(goldenName);
    if (qEnvironmentVariableIsSet("CHANWRIGHT_UPDATE_GOLDEN")) {
        WriteBytes(path, actual);
        return true;
    }
    const QByteArray golden = ReadBytes(path);
    if (golden.size() != actual.size()) {
        *why = QStringLiteral("%1: length %2, golden %3")
                   .arg(goldenName)
                   .arg(actual.size())
                   .arg(golden.size());
        return false;
    }
    for (qsizetype i = 0; i < golden.size(); ++i) {
        if (golden[i] != actual[i]) {
            *why = QStringLiteral("%1: first difference at byte %2 (0x%3): %4, golden %5")
                       .arg(goldenName)
                       .arg(i)
                       .arg(i, 0, 16)
                       .arg(static_cast<uint8_t>(actual[i]))
                       .arg(static_cast<uint8_t>(golden[i]));
            return false;
        }
    }
    return true;
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
