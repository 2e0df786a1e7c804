#pragma once

#include <string>

namespace chanwright {

// An error number and its description, as the error-log record and the messages carry them.
struct ErrorInfo {
    int Number = 0;
    std::string Description;

    // The number immediately followed by the description: the log record's message text.
    std::string Text() const { return std::to_string(Number) + Description; }
};

// Where failed file, image and radio operations leave their record ("err.log").
class FailureLog {
  public:
    virtual ~FailureLog() = default;
    virtual void LogError(const std::string& procedure, const std::string& text) const = 0;
};

}  // namespace chanwright
