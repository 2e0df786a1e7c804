#pragma once

#include <QByteArray>
#include <QString>
#include <QTest>
#include <tuple>

#include "core/app_state.h"

namespace chanwright::test {

// A fresh application state with the plans loaded and the default data set of the model, as the
// window has it right after start-up.
AppState MakeDefaultApp(Model modelNum);

QByteArray ReadBytes(const QString& path);
bool WriteBytes(const QString& path, const QByteArray& bytes);
QString TestDataPath(const QString& name);
// Removes a folder and everything in it, names that are not UTF-8 included (QDir skips those).
void RemoveTree(const QString& folder);
// A channel record as the goldens show it: list, position, switches, name.
QString ChannelLine(const char* list, const PlanChannel& r);
// A data file of tests/data read into the app's data set as File ▸ Open reads it, under the
// app's model and model code.
void ReadDataFixture(AppState& app, const QString& name);

// Compares a produced file with its golden copy, whole and by length; with `story`, one story of
// a golden that tells many: it starts with its heading line ("== name ==", "=== name") and runs to
// the next heading of its kind. A difference is told by the golden's line, the heading above it
// and both lines, and the whole output is left in the build folder for diff. When the variable
// CHANWRIGHT_UPDATE_GOLDEN is set, rewrites the golden copy instead (a story in place, or at the
// end): review the diff!
bool MatchesGolden(const QByteArray& actual, const QString& goldenName, QString* why,
                   bool story = false);

// One QtTest row per entry of a table whose entries start with their name, and in the test
// function the current row's entry.
template <typename Table>
void AddRowsOf(const Table& table) {
    QTest::addColumn<int>("row");
    for (int row = 0; row < int(std::size(table)); ++row)
        QTest::newRow(std::get<0>(table[row])) << row;
}
template <typename Table>
const auto& RowOf(const Table& table) {
    return table[*static_cast<int*>(QTest::qData("row", qMetaTypeId<int>()))];
}

// Bytes written as hex text ("1000ff"), for readable test tables.
QByteArray Hex(const char* text);
QByteArray ImageBytes(const MemoryImage& image);
// The first 8192 bytes of a file's contents as an image, zero-padded.
MemoryImage BytesToImage(const QByteArray& bytes);
QByteArray ImageSlice(const MemoryImage& image, int address, int count);
void PutBytes(MemoryImage& image, int address, const QByteArray& bytes);
MemoryImage FilledImage(uint8_t value);
// Reproducible noise, for checking that bytes nobody owns survive.
MemoryImage RandomImage(unsigned seed);

}  // namespace chanwright::test

// In a test function: fails it unless the bytes equal their golden copy, or the story in it that
// they tell (see MatchesGolden).
#define COMPARE_GOLDEN(actual, name) CHANWRIGHT_VERIFY_GOLDEN(actual, name, false)
#define COMPARE_GOLDEN_STORY(story, name) CHANWRIGHT_VERIFY_GOLDEN(story, name, true)
#define CHANWRIGHT_VERIFY_GOLDEN(actual, name, story)                                              \
    do {                                                                                           \
        QString why_;                                                                              \
        QVERIFY2(::chanwright::test::MatchesGolden(actual, name, &why_, story), qPrintable(why_)); \
    } while (false)
