#include "ui/entry_checks.h"

#include <QClipboard>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>

namespace chanwright {

bool IsDigitChar(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

QString DigitsOf(const QString& text) {
    QString digits;
    std::copy_if(text.begin(), text.end(), std::back_inserter(digits), IsDigitChar);
    return digits;
}

namespace {

bool AllDigits(const QString& text) {
    return std::all_of(text.begin(), text.end(), IsDigitChar);
}

// The focus went to a menu, a popup, a message box, a dialog or another window and comes back
// to the same place: the entry in the box goes on.
bool TakenForAWhile(Qt::FocusReason reason) {
    return reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason ||
           reason == Qt::MenuBarFocusReason;
}

// The user moved on to another control of the window, by keyboard or mouse.
bool MovedOn(Qt::FocusReason reason) {
    return reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
           reason == Qt::MouseFocusReason || reason == Qt::ShortcutFocusReason;
}

}  // namespace

std::optional<std::string> StoredMmsi(const QString& text, int digits) {
    const QString entry = text.trimmed();
    if (entry.isEmpty())
        return std::string();
    if (entry.size() != digits || !AllDigits(entry))
        return std::nullopt;
    std::string stored = entry.toStdString();
    if (digits == 8)
        stored = "0" + stored;
    if (stored.size() == 9)
        stored += "0";
    return stored;
}

std::optional<std::string> StoredAtisNo(const QString& text) {
    const QString entry = text.trimmed();
    if (entry.isEmpty() || (entry.size() == 10 && AllDigits(entry)))
        return text.toStdString();
    return std::nullopt;
}

DigitEntry::DigitEntry(QLineEdit* box, EntryPending& state, QString hint,
                       std::function<bool()> pageActive, std::function<bool(bool show)> check)
    : QObject(box),
      box_(box),
      state_(state),
      hint_(std::move(hint)),
      pageActive_(std::move(pageActive)),
      check_(std::move(check)) {
    box_->installEventFilter(this);
    connect(box_, &QLineEdit::textChanged, this, [this] {
        if (pageActive_())
            state_.box = box_;
    });
    // A paste from the context menu, a drop or the middle button: only the digits stay.
    connect(box_, &QLineEdit::textEdited, this, &DigitEntry::KeepDigits);
}

bool DigitEntry::CheckPending() {
    if (check_(true)) {
        Discard();
        return true;
    }
    state_.refused = true;
    return false;
}

bool DigitEntry::Validate() {
    if (!Pending() || CheckPending())
        return true;
    box_->setFocus(Qt::OtherFocusReason);
    return false;
}

void DigitEntry::Discard() {
    if (Pending())
        state_ = {};
}

void DigitEntry::Paste() {
    box_->insert(DigitsOf(QGuiApplication::clipboard()->text()));
}

void DigitEntry::KeepDigits() {
    const QString text = box_->text();
    const QString digits = DigitsOf(text);
    if (digits == text)
        return;
    const int cursor = static_cast<int>(DigitsOf(text.left(box_->cursorPosition())).size());
    box_->setText(digits);
    box_->setCursorPosition(cursor);
}

bool DigitEntry::eventFilter(QObject* watched, QEvent* event) {
    if (watched != box_)
        return false;
    switch (event->type()) {
        case QEvent::FocusIn:
            emit StatusHint(hint_);
            // Coming back from a menu or another window, the user goes on where the cursor was.
            if (!TakenForAWhile(static_cast<QFocusEvent*>(event)->reason()))
                QTimer::singleShot(0, box_, [box = box_] { box->selectAll(); });
            break;
        case QEvent::KeyPress: {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->matches(QKeySequence::Paste)) {
                if (!box_->isReadOnly())
                    Paste();
                return true;
            }
            const QString text = key->text();
            // Keys that type nothing (arrows, Tab, Delete) keep their editing and focus roles.
            if (!text.isEmpty() && key->key() != Qt::Key_Backspace && !IsDigitChar(text.front()) &&
                text.front().isPrint()) {
                return true;
            }
            break;
        }
        case QEvent::FocusOut: {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (!Pending() || TakenForAWhile(reason))
                break;
            if (MovedOn(reason)) {
                // A refused entry keeps the focus; the focus change under way is let finish first.
                if (!CheckPending())
                    QTimer::singleShot(0, box_,
                                       [box = box_] { box->setFocus(Qt::OtherFocusReason); });
            } else {
                // Taken away by the program (its page switched): the stored value comes back.
                check_(false);
                Discard();
            }
            break;
        }
        default:
            break;
    }
    return false;
}

}  // namespace chanwright
