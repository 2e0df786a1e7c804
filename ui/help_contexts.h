#pragma once

#include <QString>

class QWidget;

namespace chanwright {

constexpr int kHelpContents = 1001;
constexpr int kHelpRadioDialog = 1012;

// The help topic of a control by its objectName; 0 when it has none.
int HelpContextFor(const QString& objectName);

// Gives every control under root that has a topic the property "helpContext". Controls that
// change their topic at run time (the directory grid) set the property themselves later.
void SetHelpContexts(QWidget* root);

// The topic for F1: the focused control's, or the nearest parent's; Contents when none has one.
int HelpContextOf(const QWidget* focus);

}  // namespace chanwright
