#include "core/shared_state.h"

namespace chanwright {

std::string GetModelName(Model model) {
    return model == Model::TQ5300 ? "TQ5300" : "HV2071P";
}

bool IsDeveloperSwitch(const std::string& commandLine) {
    const std::size_t first = commandLine.find_first_not_of(' ');
    if (first == std::string::npos)
        return false;
    const std::size_t last = commandLine.find_last_not_of(' ');
    const std::string trimmed = commandLine.substr(first, last - first + 1);
    return trimmed == "/K" || trimmed == "/k";
}

std::string CommandLineAfterName(int argc, const char* const* argv) {
    std::string line;
    for (int i = 1; i < argc; ++i)
        line += (i > 1 ? " " : "") + std::string(argv[i]);
    return line;
}

}  // namespace chanwright
