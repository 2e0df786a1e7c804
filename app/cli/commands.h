#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace chanwright::cli {

// What the command line asked for, already checked for the options each command needs.
struct Invocation {
    QString command;
    std::optional<int16_t> model;
    QString output;
    QString pdf;
    QString port;
    QStringList inputs;
};

int RunNew(const Invocation& call);
int RunConvert(const Invocation& call);
int RunRead(const Invocation& call);
int RunReport(const Invocation& call);
int RunProgram(const Invocation& call);
int RunClear(const Invocation& call);

}  // namespace chanwright::cli
