#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace chanwright::test {

// The radio simulator tool running as its own process on a pseudo-terminal, for end-to-end
// runs of the real serial code and of the command-line tool.
class SimProcess {
  public:
    explicit SimProcess(QString program);
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // Starts the tool and waits for the device line it prints first.
    bool Start(const QStringList& arguments, QString* why);
    const QString& Device() const { return device_; }

    // Asks the tool to stop as Ctrl+C would (it dumps its memory then) and waits for it. True
    // when it ended by itself with status 0.
    bool Stop();
    bool Running() const { return process_.state() != QProcess::NotRunning; }
    // Waits for a tool that ends by itself (after a hang-up).
    bool WaitForExit(int milliseconds);

  private:
    QString program_;
    QProcess process_;
    QString device_;
};

}  // namespace chanwright::test
