#include "tests/support/radio_memory.h"

#include "image/default_image.h"
#include "tests/support/test_files.h"

namespace chanwright::test {

namespace {

QString LogLine(const char* command, int address) {
    return QString(command) + ' ' + QString("%1").arg(address, 4, 16, QChar('0')).toUpper();
}

bool IsNameText(int address) {
    const int block = address & ~0xF;
    const int index = address & 0xF;
    if (block >= 0x0200 && block <= 0x1110)
        return index <= 13;
    return ((block >= 0x1120 && block <= 0x1250) || (block >= 0x1400 && block <= 0x1440)) &&
           index >= 5;
}

bool IsKeptByRadio(int address) {
    return (address >= 0x20 && address <= 0x24) || (address >= 0x30 && address <= 0x4F) ||
           (address >= 0x1B0 && address <= 0x1DF);
}

}  // namespace

MemoryImage RadioMemory(Model modelNum, unsigned seed) {
    MemoryImage memory = RandomImage(seed);
    MemoryImage defaults{};
    BuildDefaultImage(defaults, modelNum);
    for (int address : {0, 1, kImageSize - 2, kImageSize - 1})
        memory[address] = defaults[address];
    return memory;
}

MemoryImage RadioInUse(Model modelNum, unsigned seed) {
    MemoryImage memory = RadioMemory(modelNum, seed);
    PutBytes(memory, 0x150, Hex("366000001001"));
    // A channel of each plan chosen as A (channel 16's slot), none as B.
    PutBytes(memory, 0x13, Hex("0fff0fff0fff"));
    return memory;
}

MemoryImage AsRead(MemoryImage memory, Model modelNum) {
    MemoryImage defaults{};
    BuildDefaultImage(defaults, modelNum);
    for (int address : {12, 39, 480, 481, 482, 483, 484, 485, 486, 487})
        memory[address] = defaults[address];
    return memory;
}

MemoryImage StoredByRadio(const MemoryImage& encoded, const MemoryImage& before) {
    MemoryImage stored = encoded;
    for (int address = 0; address < kImageSize; ++address) {
        if (IsKeptByRadio(address))
            stored[address] = before[address];
        else if (IsNameText(address) && encoded[address] == 0xFF)
            stored[address] = 0x20;
    }
    return stored;
}

QStringList LoggedCommands(const QString& logPath) {
    QStringList lines;
    for (const QString& line :
         QString::fromLatin1(ReadBytes(logPath)).split('\n', Qt::SkipEmptyParts))
        lines << line.section(' ', 0, 1);
    return lines;
}

QString CommandRuns(const QStringList& commands) {
    QStringList runs;
    for (int i = 0, n = 1; i < commands.size(); i += n) {
        const QString kind = commands[i].section(' ', 0, 0);
        const int step = kind.endsWith("block") ? 16 : 1;
        const auto address = [&](int at) {
            return commands[at].section(' ', 1).toInt(nullptr, 16);
        };
        for (n = 1; i + n < commands.size() && commands[i + n].section(' ', 0, 0) == kind &&
                    address(i + n) == address(i) + step * n;)
            ++n;
        runs << commands[i] +
                    (n > 1 ? "…" + commands[i + n - 1].section(' ', 1) + QString(" (%1)").arg(n)
                           : QString());
    }
    return runs.join(", ");
}

QStringList ModelCheckCommands() {
    return {"read-byte 0000", "read-byte 0001", "read-byte 1FFE", "read-byte 1FFF"};
}

QStringList ReadCommands() {
    QStringList lines = ModelCheckCommands();
    for (int address = 0; address < kImageSize; address += 16)
        lines << LogLine("read-block", address);
    return lines;
}

QStringList ProgramCommands() {
    QStringList lines = ModelCheckCommands();
    for (int address = 0; address < kImageSize; address += 16) {
        if (address == 0x20) {
            for (int byte = 0x25; byte <= 0x2F; ++byte)
                lines << LogLine("write-byte", byte);
        } else if (address != 0x30 && address != 0x40 && (address < 0x1B0 || address > 0x1D0)) {
            lines << LogLine("write-block", address);
        }
    }
    return lines;
}

}  // namespace chanwright::test
