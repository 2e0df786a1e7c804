#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "core/error_info.h"
#include "core/platform.h"

namespace chanwright::test {

struct ShownMessage {
    std::string text;
    std::string title;
    MessageIcon icon;
};

// Answers questions and file dialogs from a script and keeps every message shown. An empty
// script answers Cancel and returns no path.
class RecordingPrompter : public Prompter {
  public:
    void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) override;
    MessageAnswer Ask(const std::string& text, const std::string& title, MessageButtons buttons,
                      MessageIcon icon) override;
    // Takes the next of `choices`; without one, defaultChoice (-1: the last button).
    int Choose(const std::string& text, const std::string& title,
               const std::vector<std::string>& buttons, MessageIcon icon) override;
    std::string ChooseOpenFile(const std::string& filter) override;
    std::string ChooseSaveFile(const std::string& filter) override;
    // Recorded with its suffix, which the name gets as the real dialog gives it.
    std::string ChooseSaveFileWithSuffix(const std::string& filter,
                                         const std::string& suffix) override;
    std::string ChooseOpenFileIn(const std::string& folder, const std::string& filter) override {
        dialogFolders.push_back(folder);
        return ChooseOpenFile(filter);
    }

    std::vector<ShownMessage> messages;
    std::vector<std::string> dialogFolders;
    std::vector<ShownMessage> questions;
    std::vector<std::string> dialogFilters;
    std::deque<MessageAnswer> answers;
    std::deque<int> choices;
    int defaultChoice = -1;
    std::deque<std::string> paths;

  private:
    std::string NextPath(const std::string& filter);
};

// Virtual time: pauses advance it at once and are recorded.
class FakeClock : public Clock {
  public:
    double Seconds() override { return now; }
    void Pause(int milliseconds) override;

    double now = 0.0;
    std::vector<int> pauses;
};

class RecordingBusyView : public BusyView {
  public:
    void SetBusy(bool busy) override { changes.push_back(busy); }
    std::vector<bool> changes;
};

// The dialog's event loop: each poll of a wait runs it once, numbered from 1.
class ScriptedPump : public EventPump {
  public:
    void ProcessEvents() override {
        ++calls;
        if (onPoll)
            onPoll(calls);
    }
    int calls = 0;
    std::function<void(int)> onPoll;
};

// Keeps the error-log records (procedure, text) instead of writing them.
class RecordingLog : public FailureLog {
  public:
    void LogError(const std::string& procedure, const std::string& text) const override {
        records.emplace_back(procedure, text);
    }
    mutable std::vector<std::pair<std::string, std::string>> records;
};

// The full set of fakes, bundled the way operations take them.
struct TestPlatform {
    RecordingPrompter prompter;
    FakeClock clock;
    ScriptedPump events;
    RecordingBusyView busyView;
    Platform platform{prompter, clock, events, busyView};
};

}  // namespace chanwright::test
