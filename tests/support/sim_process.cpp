#include "tests/support/sim_process.h"

#include <QDeadlineTimer>

namespace chanwright::test {

namespace {

constexpr int kLimit = 10000;  // ms the tool may take to start, or to end when asked

}  // namespace

SimProcess::SimProcess(QString program) : program_(std::move(program)) {
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
}

SimProcess::~SimProcess() {
    if (!Stop() && Running()) {  // it did not end when asked
        process_.kill();
        process_.waitForFinished(kLimit);
    }
}

bool SimProcess::Start(const QStringList& arguments, QString* why) {
    process_.start(program_, arguments);
    if (!process_.waitForStarted(kLimit)) {
        *why = program_ + ": " + process_.errorString();
        return false;
    }
    const QDeadlineTimer deadline(kLimit);
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
        if (!process_.waitForFinished(kLimit))
            return false;
    }
    return process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
}

bool SimProcess::WaitForExit(int milliseconds) {
    return !Running() || process_.waitForFinished(milliseconds);
}

}  // namespace chanwright::test
