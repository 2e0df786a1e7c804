#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <string>

#include "core/error_info.h"

namespace chanwright {

// How the program reads its input files and writes its output files, the same for the window and
// the command-line tool:
// - An input is read only when it is a regular file, or the tool's standard input ("-" or
//   "/dev/stdin"). A FIFO, a device or a socket is refused at once, without waiting on it, and at
//   most the size limit plus one byte is read, whatever size the file claims.
// - An output that exists and is no regular file (a device, a FIFO, the terminal) is written into
//   and never replaced; "-" is standard output. Any other output is written whole beside its
//   target, every write and the flush to disk checked, and only then renamed over it, so that a
//   failure (a full disk among them) leaves the old file as it was. The copies beside are named
//   and cleaned up as storage/temporary_files.h says.
// - An existing output that has no write permission is refused ("NAME is read-only") for every
//   user, root included, unless forced (the command-line tool's --force); forced, the file
//   written keeps its mode.
// - A link given as output keeps linking: the file it leads to is replaced, or, when the link
//   dangles, created where the chain of links ends, as cp does. The link is never replaced.
// - A new file (a backup) never goes over anything: whatever holds its name, even a folder or a
//   dangling link, sends it on to the next name.
// - Paths are the system's bytes. A name that is not valid UTF-8 keeps its bytes through a QString
//   (see PathFromSystem).
// Qt's QFile and QSaveFile fall short on two counts, hence the system calls here: they cannot open
// a name that is not UTF-8, and QSaveFile committed a file whose buffered last write had failed on
// a full disk, replacing the old file with an empty one.

// "-": the command-line tool's standard input or standard output.
bool IsStandardStream(const QString& path);

// A path as the system gave it: bytes that are not UTF-8 are carried as U+DC80 + byte, and
// SystemPath gives back exactly the bytes that came in.
QString PathFromSystem(const QByteArray& bytes);
QByteArray SystemPath(const QString& path);
// A path as a person reads it: the bytes that are not UTF-8, and control characters, as \xNN.
QString ShownPath(const QString& path);

// Whether two paths name one file: the same file when both exist (through links), otherwise the
// same absolute path. "-" names standard output and matches only "-".
bool SameFile(const QString& first, const QString& second);

// At most limit + 1 bytes of an input file; nothing, with the reason, when it cannot be read.
std::optional<std::string> ReadInputFile(const QString& path, std::size_t limit, ErrorInfo& error);

// One output, written whole or not at all. Prepare writes the bytes where they cannot yet harm the
// target; Commit puts them in place. A command with several outputs prepares them all before it
// commits any. An output not committed is cancelled when it goes.
class OutputFile {
  public:
    // force: a file made read-only is replaced all the same.
    explicit OutputFile(QString path, bool force = false);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    const QString& Path() const { return path_; }
    // Whether the output could be written, without writing it: its folder exists and takes a new
    // file, or it is a stream or device open to writing.
    bool Probe(ErrorInfo& error) const;
    bool Prepare(const std::string& bytes, ErrorInfo& error);
    bool Commit(ErrorInfo& error);
    void Cancel();

  private:
    bool Replaceable(bool& exists, unsigned& mode, ErrorInfo& error) const;

    QString path_;
    bool force_;
    QByteArray target_;     // where the bytes go in the end (a link's file, for a link)
    int linkError_ = 0;     // why a link leads nowhere to write (a loop)
    QByteArray temporary_;  // the prepared copy beside a regular target
    std::string pending_;   // the prepared bytes for a stream
    bool stream_ = false;
    bool prepared_ = false;
};

// Prepare and Commit in one.
bool WriteOutputFile(const QString& path, const std::string& bytes, ErrorInfo& error,
                     bool force = false);

// A file written as it goes (a trace), created or emptied, open for writing; the caller owns the
// descriptor. A FIFO without a reader is refused, not waited on; a read-only file is refused as
// an output is, and left as it was. -1 with the reason when it cannot be opened.
int OpenGrowingFile(const QString& path, bool force, ErrorInfo& error);

// As link(2): gives the file `existing` the further name `name`, which must be free; 0, or -1
// with errno. A parameter of WriteNewFile, so a test can stand in for a file system without hard
// links.
using LinkCall = int (*)(const char* existing, const char* name);
int SystemLink(const char* existing, const char* name);

// A new file in folder (made when missing), written whole, named stem + suffix or, when that is
// taken by anything, stem + "-2" + suffix, "-3" and so on; nothing there is ever replaced. The
// copy written beside is linked to the name; where the file system keeps no hard links (FAT, some
// network shares), the file is created at its name instead, and removed again when writing it
// fails. The name used, or nothing with the reason.
std::optional<QString> WriteNewFile(const QString& folder, const QString& stem,
                                    const QString& suffix, const std::string& bytes,
                                    ErrorInfo& error, LinkCall link = SystemLink);

}  // namespace chanwright
