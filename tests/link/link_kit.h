#pragma once

// What the link tests share: bytes as a golden file shows them, the golden comparison that names
// the line that differs, and the image a read leaves.
#include <QtTest>
#include <vector>

#include "image/default_image.h"
#include "tests/support/test_files.h"

namespace chanwright::test {

// Printable characters as they are, every other byte as <XX>.
inline QByteArray Shown(const QByteArray& bytes) {
    QByteArray text;
    for (const char c : bytes)
        text += c >= 0x20 && c < 0x7F && c != '<' ? QByteArray(1, c)
                                                  : '<' + QByteArray(1, c).toHex().toUpper() + '>';
    return text;
}
inline QByteArray Shown(const std::vector<uint8_t>& bytes) {
    return Shown(QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())));
}

inline QByteArray Hex4(int value) {
    return QByteArray::number(value, 16).toUpper().rightJustified(4, '0');
}

// Empty when actual matches the golden file; otherwise why, and the first line that differs.
inline QString GoldenDifference(const QByteArray& actual, const QString& name) {
    QString why;
    if (MatchesGolden(actual, name, &why))
        return {};
    const QByteArrayList golden = ReadBytes(TestDataPath(name)).split('\n');
    const QByteArrayList lines = actual.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i] != golden.value(i))
            return why +
                   QString("\nline %1: %2\ngolden:  %3").arg(i + 1).arg(lines[i], golden.value(i));
    }
    return why;
}
#define COMPARE_GOLDEN(actual, name) \
    QVERIFY2(GoldenDifference(actual, name).isEmpty(), qPrintable(GoldenDifference(actual, name)))

// The radio's memory as a read leaves it in the image: the bytes the radio keeps for this
// computer only are the model's defaults.
inline MemoryImage RadioAsRead(MemoryImage memory, int16_t modelNum) {
    MemoryImage defaults{};
    BuildDefaultImage(defaults, modelNum);
    for (int address : {12, 39, 480, 481, 482, 483, 484, 485, 486, 487})
        memory[address] = defaults[address];
    return memory;
}

}  // namespace chanwright::test
