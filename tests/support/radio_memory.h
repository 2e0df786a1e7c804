#pragma once

#include <QStringList>

#include "core/memory_image.h"
#include "core/shared_state.h"

namespace chanwright::test {

// A radio's memory for the model: the identifier copies right and every other byte random, so
// that nothing passes by accident.
MemoryImage RadioMemory(Model modelNum, unsigned seed);
// A radio in use: RadioMemory with the user MMSI 366000001, one user-MMSI permission left and
// channel 16 chosen as each plan's A channel.
MemoryImage RadioInUse(Model modelNum, unsigned seed);

// The radio's memory as a read leaves it in the image: the bytes the radio keeps for this
// computer only are the model's defaults.
MemoryImage AsRead(MemoryImage memory, Model modelNum);

// What a radio holds after Program wrote `encoded` into `before`: the blocks it keeps for itself
// untouched, and unused text bytes (0xFF) of names stored as the spaces they travel as.
MemoryImage StoredByRadio(const MemoryImage& encoded, const MemoryImage& before);

// The simulator's command log ("read-block 0120", …) without the data that follows.
QStringList LoggedCommands(const QString& logPath);
// Commands of one kind at consecutive addresses as one "write-block 0050…01A0 (22)".
QString CommandRuns(const QStringList& commands);

// The command lines of a model check, of a full read and of the whole write plan.
QStringList ModelCheckCommands();
QStringList ReadCommands();
QStringList ProgramCommands();

}  // namespace chanwright::test
