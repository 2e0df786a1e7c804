#include <cerrno>
#include <memory>
#include <vector>

#include "app/cli/cli_session.h"
#include "app/cli/commands.h"
#include "core/messages.h"
#include "report/print_report.h"
#include "report/text_report.h"
#include "storage/file_io.h"

namespace chanwright::cli {

namespace {

// Writes every output or none: all are prepared before any is put in place. Should one still fail
// once another is in place, the message says which were written.
bool WriteOutputs(CliSession& session, std::vector<std::pair<QString, std::string>>& outputs,
                  bool force) {
    std::vector<std::unique_ptr<OutputFile>> files;
    ErrorInfo error;
    for (const auto& [path, bytes] : outputs) {
        files.push_back(std::make_unique<OutputFile>(path, force));
        if (!files.back()->Prepare(bytes, error)) {
            session.ReportFailure(messages::kFileSaveError, error);
            return false;
        }
    }
    QStringList written;
    for (const std::unique_ptr<OutputFile>& file : files) {
        if (!file->Commit(error)) {
            session.ReportFailure(messages::kFileSaveError, error);
            if (!written.isEmpty())
                StdErr() << "  " << written.join(", ") << " written; " << ShownPath(file->Path())
                         << " not written" << Qt::endl;
            return false;
        }
        written << ShownPath(file->Path());
    }
    return true;
}

}  // namespace

int RunReport(const Invocation& call) {
    CliSession session(call.model, call.inputs.at(0));
    if (!session.Load())
        return kFailed;
    // What the text window saves: the text image and a final CR LF. Without -o and --pdf it goes
    // to standard output.
    const std::string text = report::BuildTextReport(session.App()) + "\r\n";
    std::vector<std::pair<QString, std::string>> outputs;
    if (!call.output.isEmpty() || call.pdf.isEmpty())
        outputs.emplace_back(call.output.isEmpty() ? QStringLiteral("-") : call.output, text);
    if (!call.pdf.isEmpty()) {
        QString why;
        const std::optional<QByteArray> pdf = report::RenderReportPdf(session.App(), &why);
        if (!pdf) {
            session.ReportFailure(messages::kFileSaveError, {EIO, why.toStdString()});
            return kFailed;
        }
        outputs.emplace_back(call.pdf, pdf->toStdString());
    }
    return WriteOutputs(session, outputs, call.force) ? kSuccess : kFailed;
}

}  // namespace chanwright::cli
