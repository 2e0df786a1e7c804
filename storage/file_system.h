#pragma once

#include <QDateTime>
#include <QString>
#include <vector>

namespace chanwright {

// The few questions the program asks of its own folders (backups, traces, recovery, settings),
// asked with the system's bytes of each name (see PathFromSystem), so that a folder or a file whose
// name is not UTF-8 is found, listed and made like any other. Qt's QDir and QFileInfo skip such
// names or mangle them.

// Something is there, anything, a dangling link included.
bool PathTaken(const QString& path);
// A file is there, through links (a regular file, when asked).
bool FileThere(const QString& path, bool regular = false);
// Makes the folder and every folder above it that is missing; true when it is a folder now.
bool MakeFolder(const QString& folder);
bool RemoveFile(const QString& path);
bool RenameFile(const QString& from, const QString& to);

// Adds the bytes at the end of a regular file, made when missing; a log's record, which must not
// wait on a FIFO put in the log's place. False when they could not be written.
bool AppendToFile(const QString& path, const QByteArray& bytes);

struct FolderEntry {
    QString path;  // the folder's path joined with the name
    QString name;
    QDateTime modified;
};
// The regular files of a folder (links followed), newest first; none when it cannot be read.
std::vector<FolderEntry> ListFiles(const QString& folder);

// The per-user folder an XDG variable names ("XDG_DATA_HOME"), taken as the system's bytes, or
// $HOME/fallback when it is unset or relative; elsewhere Qt's location for the same purpose.
QString UserFolder(const char* variable, const char* fallback);

}  // namespace chanwright
