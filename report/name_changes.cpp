#include "report/name_changes.h"

#include "image/memory_layout.h"
#include "image/radio_name.h"
#include "report/data_diff.h"

namespace chanwright::report {

namespace {

// A question box stays on the screen: past this many lines the rest is counted.
constexpr std::size_t kShownLines = 20;

template <typename Channels>
void FitChannelNames(Channels& channels) {
    for (PlanChannel& channel : channels)
        channel.ChTag = FitRadioName(channel.ChTag, layout::kChannelNameLength);
}

template <typename Directory>
void FitDirectoryNames(Directory& directory) {
    for (DirectoryEntry& entry : directory)
        entry.TagName = FitRadioName(entry.TagName, layout::kDirectoryNameLength);
}

}  // namespace

std::vector<std::string> NameChangeLines(const AppState& app) {
    AppState fitted = app;
    RadioData& data = fitted.Data;
    FitChannelNames(data.UsaChannels);
    FitChannelNames(data.IntlChannels);
    FitChannelNames(data.CanadaChannels);
    FitChannelNames(data.WxChannels);
    FitChannelNames(data.ExpChannels);
    FitDirectoryNames(data.IndividualDirectory);
    FitDirectoryNames(data.GroupDirectory);

    std::vector<std::string> lines = DiffLines(app, fitted);
    // A fitted name holds no '>', so the last arrow is the comparison's.
    for (std::string& line : lines)
        line.replace(line.rfind(" -> "), 4, " \u2192 ");
    return lines;
}

bool AcceptNameChanges(const AppState& app, Prompter& prompter, const std::string& title) {
    const std::vector<std::string> lines = NameChangeLines(app);
    if (lines.empty())
        return true;
    std::string text =
        "The radio cannot show every character of these names; they are written "
        "as follows:\n";
    for (std::size_t i = 0; i < lines.size() && i < kShownLines; ++i)
        text += "\n" + lines[i];
    if (lines.size() > kShownLines)
        text += "\n… and " + std::to_string(lines.size() - kShownLines) + " more";
    text += "\n\nThe data keeps the names as typed.";
    return prompter.Ask(text, title, MessageButtons::OkCancel, MessageIcon::Question) ==
           MessageAnswer::Ok;
}

}  // namespace chanwright::report
