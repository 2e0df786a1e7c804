#include "ui/edit_history.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <QUndoCommand>
#include <QWidget>

#include "report/data_diff.h"

namespace chanwright {

// One step: the states before and after. Pushing runs redo() at once, when the window already
// holds the state after.
class EditHistory::Step : public QUndoCommand {
  public:
    Step(EditHistory& history, const QString& name, EditState before, EditState after, bool whole)
        : QUndoCommand(name),
          history_(history),
          before_(std::move(before)),
          after_(std::move(after)),
          whole_(whole) {
        // An edit is shown where it was made; a replacing command's undo goes back to where the
        // user was before it.
        if (!whole_)
            before_.node = after_.node;
    }
    void undo() override { history_.Apply(before_, whole_); }
    void redo() override {
        if (pushed_)
            history_.Apply(after_, whole_);
        pushed_ = true;
    }

  private:
    EditHistory& history_;
    EditState before_;
    EditState after_;
    bool whole_;
    bool pushed_ = false;
};

namespace {

bool IsUndoKey(const QKeyEvent& key) {
    return key.matches(QKeySequence::Undo);
}
bool IsRedoKey(const QKeyEvent& key) {
    const QKeyCombination combination = key.keyCombination();
    return key.matches(QKeySequence::Redo) ||
           combination == QKeyCombination(Qt::CTRL | Qt::SHIFT, Qt::Key_Z) ||
           combination == QKeyCombination(Qt::CTRL, Qt::Key_Y);
}

// "USA 16 CH Name: A -> B" → "USA 16 CH Name".
QString Subject(const std::string& line) {
    return QString::fromStdString(line.substr(0, line.find(": ")));
}

}  // namespace

EditHistory::EditHistory(QWidget* window, const AppState& app, Capture capture, Restore restore)
    : QObject(window),
      window_(window),
      app_(app),
      capture_(std::move(capture)),
      restore_(std::move(restore)) {
    stack_.setUndoLimit(kDepth);
    last_ = capture_();
    qApp->installEventFilter(this);
    // A text box's keystrokes are one step, committed when the focus leaves it; before the new
    // control acts, so the step is shown where it was made.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget*) {
        if (old && InWindow(old))
            NoteEdits();
    });
}

EditHistory::~EditHistory() {
    qApp->removeEventFilter(this);
}

QString EditHistory::EditName(const AppState& before, const AppState& after) {
    const std::vector<std::string> lines = report::DiffLines(before, after);
    if (lines.empty())
        return QStringLiteral("Edit");
    const QString first = Subject(lines.front());
    if (lines.size() == 1) {
        if (first.endsWith(QLatin1String(" Name")))
            return "Rename " + first.section(' ', 0, first.endsWith(" CH Name") ? -3 : -2);
        return "Change " + first;
    }
    // The words every changed field shares before its own name: the item.
    QStringList common = first.split(' ');
    common.removeLast();
    for (const std::string& line : lines) {
        const QStringList words = Subject(line).split(' ');
        int same = 0;
        while (same < common.size() && same < words.size() - 1 && words[same] == common[same])
            ++same;
        common = common.mid(0, same);
    }
    // "CH" belongs to the field ("CH Name"), not to the item.
    if (!common.isEmpty() && common.last() == QLatin1String("CH"))
        common.removeLast();
    return common.isEmpty() ? QStringLiteral("Edit") : "Edit " + common.join(' ');
}

void EditHistory::NoteEdits() {
    checkQueued_ = false;
    if (commandDepth_ > 0)
        return;
    EditState now = capture_();
    if (now.data == last_.data) {
        last_ = std::move(now);
        return;
    }
    AppState before = app_;
    before.Data = last_.data;
    const QString name = EditName(before, app_);
    EditState was = std::move(last_);
    last_ = now;
    stack_.push(new Step(*this, name, std::move(was), std::move(now), false));
}

void EditHistory::NoteEditsLater() {
    if (checkQueued_)
        return;
    checkQueued_ = true;
    QTimer::singleShot(0, this, [this] {
        if (checkQueued_)
            NoteEdits();
    });
}

void EditHistory::BeginCommand() {
    // An edit not yet taken (typing in a box the focus has not left) is a step of its own, before
    // the command's: undoing the command brings it back.
    if (commandDepth_ == 0) {
        NoteEdits();
        commandStart_ = last_;
    }
    ++commandDepth_;
}

void EditHistory::BeginCommandAt(const EditState& before) {
    BeginCommand();
    commandStart_ = before;
}

void EditHistory::EndCommand(const QString& name) {
    if (commandDepth_ == 0 || --commandDepth_ > 0)
        return;
    EditState now = capture_();
    EditState was = std::move(*commandStart_);
    commandStart_.reset();
    last_ = now;
    if (now.data == was.data && now.image == was.image && now.model == was.model &&
        now.fileName == was.fileName)
        return;
    stack_.push(new Step(*this, name, std::move(was), std::move(now), true));
}

void EditHistory::Resync() {
    if (commandDepth_ == 0)
        last_ = capture_();
}

void EditHistory::Apply(const EditState& state, bool whole) {
    ++commandDepth_;
    restore_(state, whole);
    --commandDepth_;
    last_ = capture_();
}

bool EditHistory::InWindow(QObject* object) const {
    // Parents, not windows: a list's popup belongs to its list.
    for (; object; object = object->parent())
        if (object == window_)
            return true;
    return false;
}

bool EditHistory::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonRelease && type != QEvent::KeyPress &&
        type != QEvent::KeyRelease && type != QEvent::Wheel && type != QEvent::Drop &&
        type != QEvent::ShortcutOverride)
        return false;
    if (!watched->isWidgetType() || !InWindow(watched))
        return false;
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (type == QEvent::ShortcutOverride) {
        // A box undoes its own typing first; then the keys are the window's. Left unaccepted,
        // the override lets the window's shortcut run.
        const auto& key = *static_cast<QKeyEvent*>(event);
        return box && ((IsUndoKey(key) && !box->isUndoAvailable()) ||
                       (IsRedoKey(key) && !box->isRedoAvailable()));
    }
    // Typing in a box goes on until the focus leaves it.
    if (box && box->hasFocus() && type != QEvent::Drop)
        return false;
    NoteEditsLater();
    return false;
}

}  // namespace chanwright
