#pragma once

#include <optional>

class QComboBox;
class QEvent;
class QKeyEvent;
class QLineEdit;

namespace chanwright {

// A name box of the pages: the whole text is selected when it gets the focus, and a typed a..z
// enters its capital, as the radio's names are upper case. True when the event was taken.
bool NameBoxEvent(QLineEdit* box, QEvent* event);

// A list changes by the mouse wheel only while it has the keyboard focus: a wheel turned over it
// on the way elsewhere scrolls the page under it instead of changing the setting.
void GuardWheel(QComboBox* list);

// The entry Page Up or Page Down moves a list to: ten steps, as the status hint promises (a Qt
// list moves one). Nothing for any other key.
std::optional<int> PageStepIndex(const QComboBox* list, const QKeyEvent* key);

}  // namespace chanwright
