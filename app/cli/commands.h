#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <string>
#include <vector>

#include "report/data_merge.h"

namespace chanwright::cli {

// What the command line asked for, already checked for the options each command needs.
struct Invocation {
    QString command;
    std::optional<Model> model;
    QString output;
    QString pdf;
    QString port;
    QStringList inputs;
    QString trace;           // --trace FILE: the serial traffic, line by line
    bool noBackup = false;   // --no-backup: read and verify keep no copy of the radio
    bool restore = false;    // --restore: program sends the image file as it is; verify compares it
    bool fullWrite = false;  // --full-write: program sends every block, changed or not
    bool writeIdentity = false;     // --write-identity: the file's user MMSI replaces the radio's
    QString table;                  // --table channels|directory: what export writes
    bool replaceDirectory = false;  // --replace-directory: import clears the entries not listed
    bool dryRun = false;            // --dry-run: import and merge print the changes, write nothing
    bool force = false;             // --force: outputs made read-only are written all the same
    std::vector<report::MergePart> parts;  // --parts LIST: what merge copies
};

int RunNew(const Invocation& call);
int RunConvert(const Invocation& call);
int RunDiff(const Invocation& call);
int RunMerge(const Invocation& call);
// The changes as diff prints them, one line each on standard output; the exit status follows
// diff(1): 0 none, 1 some, 2 when standard output could not be written.
int RunRead(const Invocation& call);
int RunReport(const Invocation& call);
int RunProgram(const Invocation& call);
int RunClear(const Invocation& call);
int RunVerify(const Invocation& call);
int RunPorts(const Invocation& call);
int RunExport(const Invocation& call);
int RunImport(const Invocation& call);

}  // namespace chanwright::cli
