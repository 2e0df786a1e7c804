#pragma once

#include <QDateTime>
#include <QString>
#include <functional>
#include <string>

#include "core/error_info.h"
#include "core/shared_state.h"

namespace chanwright {

// "err.log": one line per failed file, image or radio operation, written only in developer mode.
// The file is opened and closed for every record, so it is complete on disk after each failure.
class ErrorLog : public FailureLog {
  public:
    using Now = std::function<QDateTime()>;

    ErrorLog(const SharedState& shared, QString path, Now now = &QDateTime::currentDateTime);

    const QString& Path() const { return path_; }

    // Appends "date,time:procedure -> text" with CR LF when DebugMode is on. A failure to write
    // is swallowed: the caller is already reporting an error of its own.
    void LogError(const std::string& procedure, const std::string& text) const override;

  private:
    const SharedState& shared_;
    QString path_;
    Now now_;
};

}  // namespace chanwright
