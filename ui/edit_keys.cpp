#include "ui/edit_keys.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <algorithm>

namespace chanwright {

namespace {

constexpr int kPageStep = 10;

class WheelGuard : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Wheel || static_cast<QWidget*>(watched)->hasFocus())
            return false;
        // Ignored, the wheel goes on to the list's parents.
        event->ignore();
        return true;
    }
};

}  // namespace

void GuardWheel(QComboBox* list) {
    // A list's own policy lets the wheel take the focus first, and with it the value.
    list->setFocusPolicy(Qt::StrongFocus);
    list->installEventFilter(new WheelGuard(list));
}

bool NameBoxEvent(QLineEdit* box, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        box->selectAll();
        // A mouse click places the cursor after the focus arrives; select again once it has.
        QMetaObject::invokeMethod(box, &QLineEdit::selectAll, Qt::QueuedConnection);
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const QString text = key->text();
    const bool plain =
        (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) == 0;
    if (plain && text.size() == 1 && text[0] >= QLatin1Char('a') && text[0] <= QLatin1Char('z')) {
        box->insert(text.toUpper());
        return true;
    }
    return false;
}

std::optional<int> PageStepIndex(const QComboBox* list, const QKeyEvent* key) {
    const bool page = key->key() == Qt::Key_PageUp || key->key() == Qt::Key_PageDown;
    if (!page || key->modifiers() != Qt::NoModifier || list->count() == 0)
        return std::nullopt;
    const int step = key->key() == Qt::Key_PageDown ? kPageStep : -kPageStep;
    return std::clamp(std::max(0, list->currentIndex()) + step, 0, list->count() - 1);
}

}  // namespace chanwright
