#include <QSaveFile>
#include <cstdio>

#include "app/cli/cli_session.h"
#include "app/cli/commands.h"
#include "core/messages.h"
#include "report/print_report.h"
#include "report/text_report.h"

namespace chanwright::cli {

namespace {

// What the text window saves: the text image and a final CR LF.
bool WriteText(const QString& path, const std::string& text) {
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) &&
        file.write(text.data(), static_cast<qint64>(text.size())) ==
            static_cast<qint64>(text.size()) &&
        file.commit()) {
        return true;
    }
    StdErr() << messages::kFileSaveError << Qt::endl << "  " << file.errorString() << Qt::endl;
    return false;
}

}  // namespace

int RunReport(const Invocation& call) {
    const QString& input = call.inputs.at(0);
    CliSession session(ResolveModel(call.model, input));
    if (!session.Load(input))
        return kFailed;
    const std::string text = report::BuildTextReport(session.App()) + "\r\n";
    if (call.output.isEmpty() && call.pdf.isEmpty()) {
        std::fwrite(text.data(), 1, text.size(), stdout);
        return std::fflush(stdout) == 0 ? kSuccess : kFailed;
    }
    if (!call.output.isEmpty() && !WriteText(call.output, text))
        return kFailed;
    if (!call.pdf.isEmpty()) {
        QString why;
        if (!report::WriteReportPdf(session.App(), call.pdf, &why)) {
            StdErr() << messages::kFileSaveError << Qt::endl << "  " << why << Qt::endl;
            return kFailed;
        }
    }
    return kSuccess;
}

}  // namespace chanwright::cli
