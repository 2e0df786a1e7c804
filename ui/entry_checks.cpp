#include "ui/entry_checks.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>

namespace chanwright {

bool IsDigitChar(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

namespace {

bool AllDigits(const QString& text) {
    return std::all_of(text.begin(), text.end(), IsDigitChar);
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
            state_.pending = true;
    });
}

bool DigitEntry::Validate() {
    if (!state_.pending)
        return true;
    if (!check_(true)) {
        box_->setFocus();
        return false;
    }
    state_.pending = false;
    return true;
}

bool DigitEntry::eventFilter(QObject* watched, QEvent* event) {
    if (watched != box_)
        return false;
    switch (event->type()) {
        case QEvent::FocusIn:
            emit StatusHint(hint_);
            state_.pending = false;
            QTimer::singleShot(0, box_, [box = box_] { box->selectAll(); });
            break;
        case QEvent::KeyPress: {
            const auto* key = static_cast<QKeyEvent*>(event);
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
            const bool movedOn = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                                 reason == Qt::MouseFocusReason ||
                                 reason == Qt::ShortcutFocusReason;
            if (movedOn) {
                // The user moved on to another control: a refused entry keeps the focus.
                if (!Validate())
                    QTimer::singleShot(0, box_, [box = box_] { box->setFocus(); });
            } else if (reason == Qt::OtherFocusReason && state_.pending) {
                // Taken away by the program (its page hidden): the stored value comes back quietly.
                check_(false);
                state_.pending = false;
            }
            // A menu or another window takes the focus for a moment only: the entry stays pending.
            break;
        }
        default:
            break;
    }
    return false;
}

}  // namespace chanwright
