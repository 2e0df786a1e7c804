#include "app/cli/cli_session.h"
#include "app/cli/commands.h"

namespace chanwright::cli {

int RunConvert(const Invocation& call) {
    const QString& input = call.inputs.at(0);
    CliSession session(ResolveModel(call.model, input));
    // A failed load writes nothing: OUT keeps whatever it held.
    if (!session.Load(input))
        return kFailed;
    return session.Write(call.inputs.at(1)) ? kSuccess : kFailed;
}

}  // namespace chanwright::cli
