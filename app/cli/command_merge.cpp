#include "app/cli/cli_session.h"
#include "app/cli/commands.h"
#include "report/data_diff.h"
#include "report/data_merge.h"

namespace chanwright::cli {

// A merge writes OUT whole or not at all. With --dry-run the exit status follows diff: 0 no
// change, 1 changes, 2 trouble.
int RunMerge(const Invocation& call) {
    const QString& basePath = call.inputs.at(0);
    const QString& fromPath = call.inputs.at(1);
    const int trouble = call.dryRun ? kBadUsage : kFailed;
    CliSession base(call.model, basePath);
    if (!base.HoldsData() || !base.Load())
        return trouble;
    CliSession from(call.model, fromPath);
    if (!from.HoldsData() || !from.Load())
        return trouble;
    const AppState before = base.App();
    std::string error;
    if (!report::MergeParts(base.App(), from.App(), call.parts, error)) {
        StdErr() << "chanwright-cli: " << QString::fromStdString(error) << Qt::endl;
        return trouble;
    }
    if (!call.dryRun)
        return base.Write(call.output, call.force) ? kSuccess : kFailed;
    return PrintChanges(report::DiffLines(before, base.App()));
}

}  // namespace chanwright::cli
