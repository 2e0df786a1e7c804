#include "app/cli/cli_session.h"
#include "app/cli/commands.h"
#include "report/data_diff.h"

namespace chanwright::cli {

// The exit status follows diff(1): 0 same, 1 different, 2 trouble.
int RunDiff(const Invocation& call) {
    const QString& pathA = call.inputs.at(0);
    const QString& pathB = call.inputs.at(1);
    CliSession a(call.model, pathA);
    if (!a.HoldsData() || !a.Load())
        return kBadUsage;
    CliSession b(call.model, pathB);
    if (!b.HoldsData() || !b.Load())
        return kBadUsage;
    return PrintChanges(report::DiffLines(a.App(), b.App()));
}

}  // namespace chanwright::cli
