#pragma once

#include <string>
#include <vector>

namespace chanwright {

enum class MessageIcon { None, Information, Exclamation, Critical, Question };
enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageAnswer { Ok, Cancel, Yes, No };

// Every message box, question and file dialog goes through here, so tests can answer them from a
// script and see what the user would have seen. Texts are UTF-8.
class Prompter {
  public:
    virtual ~Prompter() = default;
    virtual void ShowMessage(const std::string& text, const std::string& title,
                             MessageIcon icon) = 0;
    virtual MessageAnswer Ask(const std::string& text, const std::string& title,
                              MessageButtons buttons, MessageIcon icon) = 0;
    // A question answered with one of the named buttons: the first is the default, the last is
    // what Escape or closing the box answers. The index of the answer.
    virtual int Choose(const std::string& text, const std::string& title,
                       const std::vector<std::string>& buttons, MessageIcon icon) = 0;
    // The filter uses the "text|pattern|text|pattern" form; an empty result means cancelled.
    virtual std::string ChooseOpenFile(const std::string& filter) = 0;
    virtual std::string ChooseSaveFile(const std::string& filter) = 0;
    // ChooseOpenFile, starting in the given folder.
    virtual std::string ChooseOpenFileIn(const std::string& folder, const std::string& filter) {
        (void)folder;
        return ChooseOpenFile(filter);
    }
    // ChooseSaveFile, starting in the given folder.
    virtual std::string ChooseSaveFileIn(const std::string& folder, const std::string& filter) {
        (void)folder;
        return ChooseSaveFile(filter);
    }
    // ChooseSaveFile for a file of one kind: a name typed without a suffix gets this one in the
    // dialog, so that its question before replacing a file names the file that is written.
    virtual std::string ChooseSaveFileWithSuffix(const std::string& filter,
                                                 const std::string& suffix) {
        (void)suffix;
        return ChooseSaveFile(filter);
    }
};

// Time as the radio link and the fixed pauses after file and radio operations see it.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual double Seconds() = 0;  // monotonic, sub-second resolution
    virtual void Pause(int milliseconds) = 0;
};

// Lets pending window events run while a long operation keeps the user-interface thread.
class EventPump {
  public:
    virtual ~EventPump() = default;
    virtual void ProcessEvents() = 0;
};

// The main window's answer to a long operation: disabled with the busy pointer, then back.
class BusyView {
  public:
    virtual ~BusyView() = default;
    virtual void SetBusy(bool busy) = 0;
};

// The side effects an operation may cause, handed to it by whoever runs it.
struct Platform {
    Prompter& prompter;
    Clock& clock;
    EventPump& events;
    BusyView& busyView;
};

}  // namespace chanwright
