#pragma once

#include <QPagedPaintDevice>
#include <functional>
#include <memory>

#include "core/app_state.h"
#include "core/error_info.h"
#include "core/platform.h"

class QDialog;
class QWidget;

namespace chanwright {

// The system's print dialog: the chosen printer, or nothing when the user cancelled.
std::unique_ptr<QPagedPaintDevice> ChoosePrinter(QWidget* parent);

// Whether the system offers any printer: without one, the print dialog can only be cancelled.
bool PrinterInstalled();

// The file a printer was told to print into (print to file, in the print dialog or the
// preview's), taken from it so that nothing is painted there; empty for any other device.
QString TakeOutputFile(QPagedPaintDevice& device);

// The printed report as a PDF file on the paper given (A4 when it is invalid): drawn whole in
// memory, then written through the all-or-nothing output, so that a failure (a full disk among
// them) leaves any older file as it was. A failure is logged and told with the system's reason.
void SaveReportPdf(const AppState& app, const QString& path, const QPageLayout& paper,
                   const Platform& platform, const FailureLog& log);

// File ▸ Print Preview: the report's pages as the printer draws them, in a dialog run by
// runModal. Its Print goes to the printer, or through SaveReportPdf when printing to a file.
void PreviewReport(const AppState& app, QWidget* parent,
                   const std::function<void(QDialog&)>& runModal, const Platform& platform,
                   const FailureLog& log);

}  // namespace chanwright
