#include "app/cli/cli_session.h"
#include "app/cli/commands.h"

namespace chanwright::cli {

int RunNew(const Invocation& call) {
    CliSession session(call.model);
    return session.Write(call.output, call.force) ? kSuccess : kFailed;
}

}  // namespace chanwright::cli
