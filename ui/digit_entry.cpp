#include "ui/digit_entry.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTimer>
#include <algorithm>

#include "core/radio_data.h"

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

// "8 were typed", "1 was typed".
std::string TypedCount(const QString& entry) {
    return std::to_string(entry.size()) + (entry.size() == 1 ? " was typed" : " were typed");
}

DigitCheck Refused(const char* name, const char* rule, const std::string& found) {
    return {std::nullopt, std::string(name) + ": " + rule + "; " + found + "."};
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

DigitCheck CheckMmsiText(const QString& text, MmsiRule rule, const char* name) {
    const QString entry = text.trimmed();
    if (entry.isEmpty())
        return {std::string(), {}};
    const bool digits = AllDigits(entry);
    if (rule == MmsiRule::Individual) {
        if (digits && entry.size() == kIndividualMmsiDigits)
            return {entry.toStdString() + "0", {}};
        return Refused(name, "9 digits are needed", TypedCount(entry));
    }
    // The label shows a group's "0": a whole number typed or pasted with it drops its own.
    if (digits && entry.size() == kGroupMmsiDigits)
        return {"0" + entry.toStdString() + "0", {}};
    const bool leadingZero = entry.front() == QLatin1Char('0');
    if (digits && entry.size() == kIndividualMmsiDigits && leadingZero)
        return {entry.toStdString() + "0", {}};
    std::string found = TypedCount(entry);
    if (entry.size() == kIndividualMmsiDigits && !leadingZero)
        found += ", starting with " + entry.left(1).toStdString();
    return Refused(name, "8 digits are needed after the 0, or 9 starting with 0", found);
}

DigitCheck CheckAtisText(const QString& text) {
    const QString entry = text.trimmed();
    if (entry.isEmpty() || (entry.size() == 10 && AllDigits(entry)))
        return {text.toStdString(), {}};
    return Refused("ATIS number", "10 digits are needed", TypedCount(entry));
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
    // A paste from the context menu, a drop or the middle button: only the digits stay, and one
    // without digits changes nothing.
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

void DigitEntry::Paste(const QString& text) {
    // The digits alone go in, so a number written with spaces or dashes fits the box's length.
    const QString digits = DigitsOf(text);
    if (!digits.isEmpty() && !box_->isReadOnly())
        box_->insert(digits);
}

void DigitEntry::ShowContextMenu(const QPoint& at) {
    QMenu* menu = box_->createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // Qt names the menu's items only by their (translated) texts.
    const QString pasteText = QCoreApplication::translate("QLineEdit", "&Paste");
    for (QAction* paste : menu->actions()) {
        if (paste->text().section(QLatin1Char('\t'), 0, 0) != pasteText)
            continue;
        disconnect(paste, &QAction::triggered, nullptr, nullptr);
        connect(paste, &QAction::triggered, this,
                [this] { Paste(QGuiApplication::clipboard()->text()); });
    }
    menu->popup(at);
}

void DigitEntry::KeepDigits() {
    const QString text = box_->text();
    const QString digits = DigitsOf(text);
    if (digits == text)
        return;
    const int cursor = static_cast<int>(DigitsOf(text.left(box_->cursorPosition())).size());
    // Back to the number before the edit, with its selection: the edit replaced the selection
    // (or went in at the cursor), and what it brought is what the text holds in that place now.
    box_->undo();
    const QString before = box_->text();
    const int start = box_->hasSelectedText() ? box_->selectionStart() : box_->cursorPosition();
    const auto replaced = static_cast<int>(box_->selectedText().size());
    const QString brought = text.mid(start, text.size() - before.size() + replaced);
    if (DigitsOf(before) == before && DigitsOf(brought).isEmpty())
        return;
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
                Paste(QGuiApplication::clipboard()->text());
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
        // Every other way a paste comes in: the context menu, the middle button, a drop.
        case QEvent::ContextMenu:
            ShowContextMenu(static_cast<QContextMenuEvent*>(event)->globalPos());
            return true;
        case QEvent::MouseButtonRelease: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            QClipboard* clipboard = QGuiApplication::clipboard();
            if (mouse->button() != Qt::MiddleButton || !clipboard->supportsSelection())
                break;
            box_->setCursorPosition(box_->cursorPositionAt(mouse->position().toPoint()));
            Paste(clipboard->text(QClipboard::Selection));
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            if (!drop->mimeData()->hasText())
                break;
            box_->setFocus(Qt::MouseFocusReason);
            box_->setCursorPosition(box_->cursorPositionAt(drop->position().toPoint()));
            Paste(drop->mimeData()->text());
            drop->acceptProposedAction();
            return true;
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
