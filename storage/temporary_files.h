#pragma once

#include <QByteArray>

#include "core/error_info.h"

namespace chanwright {

// The copies an output is written into beside its target before they take its place (see
// file_io.h). Each is named after its target, "NAME.xxxxxx" with six lowercase hex digits; when
// that would pass the folder's name limit, NAME is cut short (never inside a UTF-8 character), so
// that every name the file system takes can be saved. While a copy exists its name is held in a
// list that SIGINT and SIGTERM clean up, and a copy some earlier run could not clean up (SIGKILL,
// a power cut) is removed when its target is written again, once it is a day old.
// Names are the system's bytes.

// A new copy beside target, open for writing and held for the signals; -1 with the reason when
// the folder takes none.
int CreateTemporary(const QByteArray& target, QByteArray& name, ErrorInfo& error);
// Puts the copy in place of target (renamed over it); the copy is gone either way.
bool PutTemporaryInPlace(const QByteArray& name, const QByteArray& target, ErrorInfo& error);
void RemoveTemporary(const QByteArray& name);

// Removes the regular files beside target that are named as its copies are and were last
// changed more than a day ago: copies of a run that ended without cleaning up. A copy of a save
// still running is younger, and nothing else has such a name.
void RemoveStaleTemporaries(const QByteArray& target);

// Makes SIGINT and SIGTERM remove the copies in existence before the program dies by the signal
// as it would have (the shell sees 130 or 143). Called once at start; a signal the program was
// started ignoring stays ignored. A handler installed later for a while (a transfer's own
// Ctrl+C) puts this one back when done.
void RemoveTemporariesOnSignal();

}  // namespace chanwright
