#include "app/cli/cli_session.h"

#include <algorithm>
#include <cstdio>

#include "core/messages.h"
#include "image/channel_plans.h"
#include "image/new_data_set.h"
#include "report/name_changes.h"
#include "storage/data_file_reader.h"
#include "storage/file_io.h"
#include "storage/model_names.h"
#include "storage/profile_file.h"
#include "storage/settings_store.h"

namespace chanwright::cli {

QTextStream& StdErr() {
    static QTextStream stream(stderr);
    return stream;
}

QTextStream& StdOut() {
    static QTextStream stream(stdout);
    return stream;
}

int PrintChanges(const std::vector<std::string>& lines) {
    for (const std::string& line : lines)
        StdOut() << QString::fromStdString(line) << '\n';
    return lines.empty() ? kSuccess : kFailed;
}

int CheckStandardOutput(int status) {
    StdOut().flush();
    const bool lost = StdOut().status() != QTextStream::Ok || std::fflush(stdout) != 0 ||
                      std::ferror(stdout) != 0;
    if (!lost)
        return status;
    StdErr() << "chanwright-cli: standard output could not be written" << Qt::endl;
    return std::max<int>(status, kBadUsage);
}

std::unique_ptr<SettingsStore> UserSettings() {
    auto settings = std::make_unique<SettingsStore>();
    if (!settings->Problem().isEmpty())
        StdErr() << "warning: " << settings->Problem() << Qt::endl;
    return settings;
}

void StderrPrompter::ShowMessage(const std::string& text, const std::string& /*title*/,
                                 MessageIcon /*icon*/) {
    if (beforeMessage)
        beforeMessage();
    // A lone CR breaks a line in a message box; on a terminal it would overwrite the line.
    QString lines = QString::fromStdString(text);
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    StdErr() << lines << Qt::endl;
    lastShown_ = text;
}

MessageAnswer StderrPrompter::Ask(const std::string& text, const std::string& title,
                                  MessageButtons /*buttons*/, MessageIcon icon) {
    ShowMessage(text, title, icon);
    return MessageAnswer::Cancel;
}

// The command line decides with its options; a question it meets is answered with its last,
// cancelling, button.
int StderrPrompter::Choose(const std::string& text, const std::string& title,
                           const std::vector<std::string>& buttons, MessageIcon icon) {
    ShowMessage(text, title, icon);
    return static_cast<int>(buttons.size()) - 1;
}

std::string StderrPrompter::ChooseOpenFile(const std::string& /*filter*/) {
    return {};
}
std::string StderrPrompter::ChooseSaveFile(const std::string& /*filter*/) {
    return {};
}

CliSession::CliSession(const std::optional<Model>& model, const QString& input)
    : input_(input), log_(app_.Shared, QString()), files_(app_, platform_, log_) {
    files_.SetSettlePause(0);
    files_.SetModelChoice(ModelChoice::Option);
    files_.SetReasonInMessage(false);
    if (!input_.isEmpty())
        inputBytes_ = files_.ReadInput(input_, IsImageFile(input_));
    if (inputBytes_ && !IsImageFile(input_))
        named_ = ModelNamedIn(*inputBytes_);
    app_.Shared.ModelNum = model ? *model : named_ ? *named_ : Settings().ReadModelNum();
    LoadAllPlans(app_.Plans);
    NewDataSet(app_);
}

void CliSession::ReportFailure(const char* message, const ErrorInfo& error) {
    prompter_.ShowMessage(message, messages::kAppTitle, MessageIcon::Exclamation);
    StdErr() << "  " << QString::fromStdString(error.Description) << Qt::endl;
}

const SettingsStore& CliSession::Settings() {
    if (!settings_)
        settings_ = UserSettings();
    return *settings_;
}

bool CliSession::Report(bool ok) {
    if (ok)
        return true;
    const std::string& detail = files_.LastError().Description;
    // An encode error's message is its own detail: it stands on standard error once.
    if (!detail.empty() && detail != prompter_.LastShown())
        StdErr() << "  " << QString::fromStdString(detail) << Qt::endl;
    return false;
}

bool CliSession::HoldsData() {
    if (!inputBytes_ || IsImageFile(input_))
        return true;
    const std::optional<FileText> text = ProfileText(*inputBytes_);
    if (!text || HoldsProgramData(ProfileFile::Parse(text->text)))
        return true;
    const QString name =
        IsStandardStream(input_) ? QStringLiteral("Standard input") : ShownPath(input_);
    ReportFailure(messages::kFileReadError,
                  {0, name.toStdString() + " holds no data of this program"});
    return false;
}

bool CliSession::Load() {
    if (!inputBytes_)
        return Report(false);
    return Report(IsImageFile(input_) ? files_.ReadHexBytes(*inputBytes_)
                                      : files_.LoadDataFileBytes(*inputBytes_));
}

void CliSession::ReportNameChanges() {
    for (const std::string& line : report::NameChangeLines(app_))
        StdErr() << QString::fromStdString(line) << Qt::endl;
}

bool CliSession::Write(const QString& path, bool force) {
    files_.SetForce(force);
    if (!IsImageFile(path))
        return Report(files_.SaveFileAs(path));
    ReportNameChanges();
    return Report(files_.EncodeForSave("frmMain.SaveHexFileAs") && files_.SaveHexFileAs(path));
}

bool CliSession::WriteAsRead(const QString& path, bool force) {
    if (!IsImageFile(path))
        return Write(path, force);
    files_.SetForce(force);
    return Report(files_.SaveHexFileAs(path));
}

}  // namespace chanwright::cli
