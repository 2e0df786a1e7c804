#include "app/cli/cli_session.h"

#include <QFile>

#include "image/channel_plans.h"
#include "image/new_data_set.h"
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

void StderrPrompter::ShowMessage(const std::string& text, const std::string& /*title*/,
                                 MessageIcon /*icon*/) {
    if (beforeMessage)
        beforeMessage();
    // A lone CR breaks a line in a message box; on a terminal it would overwrite the line.
    QString lines = QString::fromStdString(text);
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    StdErr() << lines << Qt::endl;
}

MessageAnswer StderrPrompter::Ask(const std::string& text, const std::string& title,
                                  MessageButtons /*buttons*/, MessageIcon icon) {
    ShowMessage(text, title, icon);
    return MessageAnswer::Cancel;
}

std::string StderrPrompter::ChooseOpenFile(const std::string& /*filter*/) {
    return {};
}
std::string StderrPrompter::ChooseSaveFile(const std::string& /*filter*/) {
    return {};
}

bool IsImageFile(const QString& path) {
    return path.endsWith(".hex", Qt::CaseInsensitive);
}

std::optional<int16_t> ParseModel(const QString& name) {
    if (name.compare(QLatin1String("HV2071P"), Qt::CaseInsensitive) == 0)
        return kModelHV2071P;
    if (name.compare(QLatin1String("TQ5300"), Qt::CaseInsensitive) == 0)
        return kModelTQ5300;
    return std::nullopt;
}

int16_t ResolveModel(const std::optional<int16_t>& option, const QString& input) {
    if (option)
        return *option;
    if (!input.isEmpty() && !IsImageFile(input)) {
        QFile file(input);
        if (file.open(QIODevice::ReadOnly)) {
            const ProfileFile profile = ProfileFile::Parse(file.readAll().toStdString());
            const std::string named = ReadProfileValue(profile, "MAIN", "MODEL");
            if (auto model = ParseModel(QString::fromLatin1(named.c_str())))
                return *model;
        }
    }
    return SettingsStore().ReadModelNum();
}

CliSession::CliSession(int16_t modelNum)
    : log_(app_.Shared, QString()), files_(app_, platform_, log_) {
    files_.SetSettlePause(0);
    app_.Shared.ModelNum = modelNum;
    LoadAllPlans(app_.Plans);
    NewDataSet(app_);
}

bool CliSession::Report() {
    if (app_.Shared.OperationFailed == 0)
        return true;
    const std::string& detail = files_.LastError().Description;
    if (!detail.empty())
        StdErr() << "  " << QString::fromStdString(detail) << Qt::endl;
    return false;
}

bool CliSession::Load(const QString& path) {
    if (IsImageFile(path)) {
        files_.ReadHexFileAs(path);
    } else {
        files_.FileRead2(path);
    }
    return Report();
}

bool CliSession::Write(const QString& path) {
    if (IsImageFile(path)) {
        app_.Shared.OperationFailed = kFalse;
        if (files_.EncodeForSave("frmMain.SaveHexFileAs"))
            files_.SaveHexFileAs(path);
    } else {
        files_.SaveFileAs(path);
    }
    return Report();
}

bool CliSession::WriteAsRead(const QString& path) {
    if (!IsImageFile(path))
        return Write(path);
    app_.Shared.OperationFailed = kFalse;
    files_.SaveHexFileAs(path);
    return Report();
}

}  // namespace chanwright::cli
