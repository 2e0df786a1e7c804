#include "app/cli/cli_session.h"
#include "app/cli/commands.h"

namespace chanwright::cli {

int RunConvert(const Invocation& call) {
    CliSession session(call.model, call.inputs.at(0));
    // A failed load writes nothing: OUT keeps whatever it held.
    if (!session.Load())
        return kFailed;
    return session.Write(call.inputs.at(1), call.force) ? kSuccess : kFailed;
}

}  // namespace chanwright::cli
