#include <cerrno>
#include <cstring>

#include "app/cli/cli_session.h"
#include "app/cli/commands.h"
#include "core/messages.h"
#include "report/data_diff.h"
#include "report/data_tables.h"
#include "storage/file_io.h"

namespace chanwright::cli {

namespace {

// A table of every channel is some 30 kB; anything far larger is no table of this program.
constexpr std::size_t kMaxTableSize = 4 * 1024 * 1024;

std::optional<std::string> ReadTable(CliSession& session, const QString& path) {
    ErrorInfo error;
    std::optional<std::string> bytes = ReadInputFile(path, kMaxTableSize, error);
    if (bytes && bytes->size() > kMaxTableSize) {
        error = {EFBIG, std::strerror(EFBIG)};
        bytes.reset();
    }
    if (!bytes)
        session.ReportFailure(
            messages::kFileReadError,
            {error.Number, ShownPath(path).toStdString() + ": " + error.Description});
    return bytes;
}

void WriteLines(QTextStream& stream, const std::vector<std::string>& lines) {
    for (const std::string& line : lines)
        stream << QString::fromStdString(line) << '\n';
}

}  // namespace

int RunExport(const Invocation& call) {
    CliSession session(call.model, call.inputs.at(0));
    if (!session.Load())
        return kFailed;
    const report::TableKind kind = call.table == QLatin1String("directory")
                                       ? report::TableKind::Directory
                                       : report::TableKind::Channels;
    ErrorInfo error;
    if (!WriteOutputFile(call.output.isEmpty() ? QStringLiteral("-") : call.output,
                         report::ExportTable(session.App(), kind), error, call.force)) {
        session.ReportFailure(messages::kFileSaveError, error);
        return kFailed;
    }
    return kSuccess;
}

// Every table is checked, so that one run lists every error; any error writes nothing.
int RunImport(const Invocation& call) {
    CliSession session(call.model, call.inputs.at(0));
    if (!session.Load())
        return kFailed;
    const AppState before = session.App();
    bool failed = false;
    for (const QString& path : call.inputs.mid(1)) {
        const std::optional<std::string> bytes = ReadTable(session, path);
        if (!bytes) {
            failed = true;
            continue;
        }
        const report::TableImport found = report::ImportTable(
            session.App(), *bytes, ShownPath(path).toStdString(), call.replaceDirectory);
        WriteLines(StdErr(), found.warnings);
        WriteLines(StdErr(), found.errors);
        failed = failed || !found.errors.empty();
    }
    if (failed) {
        StdErr() << "chanwright-cli: nothing written" << Qt::endl;
        return kFailed;
    }
    if (!call.dryRun)
        return session.Write(call.output, call.force) ? kSuccess : kFailed;
    // As diff prints them, with its exit status.
    return PrintChanges(report::DiffLines(before, session.App()));
}

}  // namespace chanwright::cli
