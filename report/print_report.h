#pragma once

#include <QByteArray>
#include <QPageLayout>
#include <QString>
#include <optional>

#include "core/app_state.h"

class QPagedPaintDevice;

namespace chanwright::report {

// 9 pages for the TQ5300 (the channel common page first), 8 for the HV2071P.
int ReportPageCount(Model modelNum);

// Draws every page of the printed report on the device (a printer, or a PDF writer): a page
// header on each, columns at their millimetre positions from a 10 mm left margin.
void PrintReport(const AppState& app, QPagedPaintDevice& device);

// The printed report's pages as a PDF document on the paper given (A4 when it is invalid, as for
// the command-line tool); nothing, with a reason, when they could not be drawn.
std::optional<QByteArray> RenderReportPdf(const AppState& app, QString* error,
                                          const QPageLayout& paper = QPageLayout());

// The printed report as a PDF file, written whole or not at all (storage/file_io.h). False with a
// reason on failure.
bool WriteReportPdf(const AppState& app, const QString& path, QString* error,
                    const QPageLayout& paper = QPageLayout());

}  // namespace chanwright::report
