// The printed report as a PDF document, drawn in memory first so that a file gets it whole.
#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>

#include "report/print_report.h"
#include "storage/file_io.h"

namespace chanwright::report {

std::optional<QByteArray> RenderReportPdf(const AppState& app, QString* error,
                                          const QPageLayout& paper) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(QStringLiteral("Chanwright settings report"));
        writer.setCreator(QStringLiteral("Chanwright"));
        writer.setResolution(300);
        writer.setPageLayout(paper.isValid()
                                 ? paper
                                 : QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                               QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
        PrintReport(app, writer);
    }
    // A writer whose pages never started leaves nothing behind.
    if (bytes.isEmpty()) {
        if (error)
            *error = QStringLiteral("The PDF pages could not be started.");
        return std::nullopt;
    }
    return bytes;
}

bool WriteReportPdf(const AppState& app, const QString& path, QString* error,
                    const QPageLayout& paper) {
    const std::optional<QByteArray> pdf = RenderReportPdf(app, error, paper);
    if (!pdf)
        return false;
    ErrorInfo failure;
    if (WriteOutputFile(path, pdf->toStdString(), failure))
        return true;
    if (error)
        *error = QString::fromStdString(failure.Description);
    return false;
}

}  // namespace chanwright::report
