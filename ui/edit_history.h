#pragma once

#include <QObject>
#include <QString>
#include <QUndoStack>
#include <functional>
#include <optional>
#include <string>

#include "core/app_state.h"

class QWidget;

namespace chanwright {

// What one undo step puts back: the whole data set (a few kilobytes) with its image, and for a
// command that replaced it, the model and file name it had.
struct EditState {
    RadioData data;
    MemoryImage image{};
    Model model = Model::HV2071P;
    std::string fileName;
    // The tree node in view, where undo and redo show the change.
    QString node;
};

// The undo history of the window's data set.
// - An edit on a page becomes a step once it is committed: at once for a click, a choice or a key
//   that types nothing, and for the keystrokes in one text box when the focus leaves the box.
//   Edits are found by comparing the data set with the last step's, so no page needs to report
//   them; each step is named for what changed ("Rename USA 16").
// - A command that replaces the data set (New, Open, Read from Radio, a model change) is a step
//   of its own, which takes the model and the file name back too.
// - Ctrl+Z and Ctrl+Shift+Z (or Ctrl+Y) are the window's in every box, once the box has no typing
//   of its own left to undo.
class EditHistory : public QObject {
    Q_OBJECT
  public:
    static constexpr int kDepth = 100;
    using Capture = std::function<EditState()>;
    // Puts a state back: the data set and its image, and for `whole` the model and file name too.
    using Restore = std::function<void(const EditState&, bool whole)>;

    EditHistory(QWidget* window, const AppState& app, Capture capture, Restore restore);
    ~EditHistory() override;

    QUndoStack& Stack() { return stack_; }
    // An edit made since the last step becomes a step of its own.
    void NoteEdits();
    // The start of a command that replaces the data set: what it replaces. Commands nest; the
    // outer one makes the step. A command that changes nothing makes none.
    void BeginCommand();
    void EndCommand(const QString& name);
    // The step to come begins at `before` rather than at the command's start (a model change,
    // whose new data set comes a moment later).
    void BeginCommandAt(const EditState& before);
    // What the window holds now is what the next step starts from (after a save, a program).
    void Resync();
    // The name of the step a data set's change makes: "Rename USA 16", "Change Setting Dimmer",
    // "Edit EXP 12" for several fields of one item, "Edit" otherwise.
    static QString EditName(const AppState& before, const AppState& after);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    class Step;
    void Apply(const EditState& state, bool whole);
    bool InWindow(QObject* object) const;
    void NoteEditsLater();

    QWidget* window_;
    const AppState& app_;
    Capture capture_;
    Restore restore_;
    QUndoStack stack_;
    EditState last_;
    std::optional<EditState> commandStart_;
    int commandDepth_ = 0;
    bool checkQueued_ = false;
};

}  // namespace chanwright
