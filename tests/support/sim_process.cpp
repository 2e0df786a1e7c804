#include "tests/support/sim_process.h"

#include <QDeadlineTimer>

namespace chanwright::test {

namespace {

constexpr int kStartLimit = 10000;
constexpr int kStopLimit = 10000;

}  // namespace

SimProcess::SimProcess(QString program) : program_(std::move(program)) {
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
}

SimProcess::~SimProcess() {
    if (!Stop() && Running()) {  // it did not end when asked
        process_.kill();
        process_.waitForFinished(kStopLimit);
    }
}

bool SimProcess::Start(const QStringList& arguments, QString* why) {
    process_.start(program_, arguments);
    if (!process_.waitForStarted(kStartLimit)) {
        *why = program_ + ": " + process_.errorString();
        return false;
    }
    const QDeadlineTimer deadline(kStartLimit);
    while (!process_.canReadLine()) {
        if (deadline.hasExpired() || !process_.waitForReadyRead(int(deadline.remainingTime()))) {
            *why = "the simulator printed no device: " + process_.readAll();
            return false;
        }
    }
    device_ = QString::fromLocal8Bit(process_.readLine()).trimmed();
    return !device_.isEmpty();
}

bool SimProcess::Stop() {
    if (Running()) {
        process_.terminate();
        if (!process_.waitForFinished(kStopLimit))
            return false;
    }
    return process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
}

bool SimProcess::WaitForExit(int milliseconds) {
    return !Running() || process_.waitForFinished(milliseconds);
}

}  // namespace chanwright::test
