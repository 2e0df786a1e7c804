#include "app/cli/cli_session.h"
#include "app/cli/commands.h"
#include "report/data_diff.h"
#include "storage/file_io.h"

namespace chanwright::cli {

// The exit status follows diff(1): 0 same, 1 different, 2 trouble.
int RunDiff(const Invocation& call) {
    const QString& pathA = call.inputs.at(0);
    const QString& pathB = call.inputs.at(1);
    if (IsStandardStream(pathA) && IsStandardStream(pathB)) {
        StdErr() << "chanwright-cli: standard input can be only one of A and B" << Qt::endl;
        return kBadUsage;
    }
    CliSession a(call.model, pathA);
    if (!a.HoldsData() || !a.Load())
        return kBadUsage;
    CliSession b(call.model, pathB);
    if (!b.HoldsData() || !b.Load())
        return kBadUsage;
    return PrintChanges(report::DiffLines(a.App(), b.App()));
}

int PrintChanges(const std::vector<std::string>& lines) {
    for (const std::string& line : lines)
        StdOut() << QString::fromStdString(line) << '\n';
    StdOut().flush();
    if (StdOut().status() != QTextStream::Ok) {
        StdErr() << "chanwright-cli: standard output could not be written" << Qt::endl;
        return kBadUsage;
    }
    return lines.empty() ? kSuccess : kFailed;
}

}  // namespace chanwright::cli
