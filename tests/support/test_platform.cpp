#include "tests/support/test_platform.h"

namespace chanwright::test {

void RecordingPrompter::ShowMessage(const std::string& text, const std::string& title,
                                    MessageIcon icon) {
    messages.push_back({text, title, icon});
}

MessageAnswer RecordingPrompter::Ask(const std::string& text, const std::string& title,
                                     MessageButtons /*buttons*/, MessageIcon icon) {
    questions.push_back({text, title, icon});
    if (answers.empty())
        return MessageAnswer::Cancel;
    const MessageAnswer answer = answers.front();
    answers.pop_front();
    return answer;
}

int RecordingPrompter::Choose(const std::string& text, const std::string& title,
                              const std::vector<std::string>& buttons, MessageIcon icon) {
    std::string shown = text + " [";
    for (const std::string& button : buttons)
        shown += (&button == &buttons.front() ? "" : " | ") + button;
    questions.push_back({shown + "]", title, icon});
    const int last = static_cast<int>(buttons.size()) - 1;
    if (choices.empty())
        return defaultChoice < 0 ? last : defaultChoice;
    const int choice = choices.front();
    choices.pop_front();
    return choice;
}

std::string RecordingPrompter::ChooseOpenFile(const std::string& filter) {
    return NextPath(filter);
}

std::string RecordingPrompter::ChooseSaveFile(const std::string& filter) {
    return NextPath(filter);
}

std::string RecordingPrompter::ChooseSaveFileWithSuffix(const std::string& filter,
                                                        const std::string& suffix) {
    std::string path = NextPath(filter + ", suffix " + suffix);
    if (!path.empty() && path.find('.', path.rfind('/') + 1) == std::string::npos)
        path += "." + suffix;
    return path;
}

std::string RecordingPrompter::NextPath(const std::string& filter) {
    dialogFilters.push_back(filter);
    if (paths.empty())
        return {};
    std::string path = paths.front();
    paths.pop_front();
    return path;
}

void FakeClock::Pause(int milliseconds) {
    pauses.push_back(milliseconds);
    now += milliseconds / 1000.0;
}

}  // namespace chanwright::test
