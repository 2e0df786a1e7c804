#pragma once

#include <QPagedPaintDevice>
#include <functional>
#include <memory>

#include "core/app_state.h"

class QDialog;
class QWidget;

namespace chanwright {

// The system's print dialog: the chosen printer, or nothing when the user cancelled.
std::unique_ptr<QPagedPaintDevice> ChoosePrinter(QWidget* parent);

// Whether the system offers any printer: without one, the print dialog can only be cancelled.
bool PrinterInstalled();

// File ▸ Print Preview: the report's pages as the printer draws them, in a dialog run by
// runModal.
void PreviewReport(const AppState& app, QWidget* parent,
                   const std::function<void(QDialog&)>& runModal);

}  // namespace chanwright
