#pragma once

#include <QPagedPaintDevice>
#include <memory>

class QWidget;

namespace chanwright {

// The system's print dialog: the chosen printer, or nothing when the user cancelled.
std::unique_ptr<QPagedPaintDevice> ChoosePrinter(QWidget* parent);

}  // namespace chanwright
