#pragma once

#include <QByteArray>
#include <QString>

#include "core/app_state.h"

namespace chanwright::test {

// A fresh application state with the plans loaded and the default data set of the model, as the
// window has it right after start-up.
AppState MakeDefaultApp(int16_t modelNum);

QByteArray ReadBytes(const QString& path);
bool WriteBytes(const QString& path, const QByteArray& bytes);
QString TestDataPath(const QString& name);

// Compares a produced file with its golden copy, whole and by length. When the variable
// CHANWRIGHT_UPDATE_GOLDEN is set, rewrites the golden copy instead (review the diff!).
bool MatchesGolden(const QByteArray& actual, const QString& goldenName, QString* why);

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

// In a test function: fails it unless the bytes equal their golden copy (see MatchesGolden).
#define COMPARE_GOLDEN(actual, name)                                                        \
    do {                                                                                    \
        QString why_;                                                                       \
        QVERIFY2(::chanwright::test::MatchesGolden(actual, name, &why_), qPrintable(why_)); \
    } while (false)
