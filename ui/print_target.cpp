#include "ui/print_target.h"

#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include "report/print_report.h"

namespace chanwright {

namespace {

std::unique_ptr<QPrinter> ReportPrinter() {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    // The report places its columns from the paper's edge, not from the printable area.
    printer->setFullPage(true);
    return printer;
}

}  // namespace

std::unique_ptr<QPagedPaintDevice> ChoosePrinter(QWidget* parent) {
    std::unique_ptr<QPrinter> printer = ReportPrinter();
    QPrintDialog dialog(printer.get(), parent);
    // The report is printed whole; a file goes through Print to File instead.
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    if (dialog.exec() != QDialog::Accepted)
        return nullptr;
    return printer;
}

bool PrinterInstalled() {
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

void PreviewReport(const AppState& app, QWidget* parent,
                   const std::function<void(QDialog&)>& runModal) {
    const std::unique_ptr<QPrinter> printer = ReportPrinter();
    QPrintPreviewDialog preview(printer.get(), parent);
    preview.setObjectName(QStringLiteral("frmPreview"));
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested,
                     [&app](QPrinter* device) { report::PrintReport(app, *device); });
    runModal(preview);
}

}  // namespace chanwright
