#include "ui/print_target.h"

#include <QFileDevice>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include "core/busy_guard.h"
#include "core/messages.h"
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
    // The report is printed whole. Printing to a file is offered: the window writes the file.
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    if (dialog.exec() != QDialog::Accepted)
        return nullptr;
    return printer;
}

bool PrinterInstalled() {
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

QString TakeOutputFile(QPagedPaintDevice& device) {
    auto* printer = dynamic_cast<QPrinter*>(&device);
    if (!printer)
        return QString();
    const QString file = printer->outputFileName();
    printer->setOutputFileName(QString());
    return file;
}

void SaveReportPdf(const AppState& app, const QString& path, const QPageLayout& paper,
                   const Platform& platform, const FailureLog& log) {
    QString why;
    bool written = false;
    {
        // The window comes back before the message, which would be disabled with it.
        const BusyGuard busy(platform.busyView);
        written = report::WriteReportPdf(app, path, &why, paper);
    }
    if (written)
        return;
    const ErrorInfo error{static_cast<int>(QFileDevice::WriteError), why.toStdString()};
    log.LogError("frmMain.PrintToPdf", error.Text());
    platform.prompter.ShowMessage(std::string(messages::kFileSaveError) + "\n" + error.Description,
                                  messages::kAppTitle, MessageIcon::Exclamation);
}

void PreviewReport(const AppState& app, QWidget* parent,
                   const std::function<void(QDialog&)>& runModal, const Platform& platform,
                   const FailureLog& log) {
    const std::unique_ptr<QPrinter> printer = ReportPrinter();
    QPrintPreviewDialog preview(printer.get(), parent);
    preview.setObjectName(QStringLiteral("frmPreview"));
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, [&](QPrinter* device) {
        // Qt's own file output would write the pages straight over the chosen file.
        const QString file = TakeOutputFile(*device);
        if (file.isEmpty())
            report::PrintReport(app, *device);
        else
            SaveReportPdf(app, file, device->pageLayout(), platform, log);
    });
    runModal(preview);
}

}  // namespace chanwright
