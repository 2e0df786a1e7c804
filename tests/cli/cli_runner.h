#pragma once

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include "tests/support/test_files.h"

namespace chanwright::test {

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs the real chanwright-cli in a temporary folder with its own settings folder, so the
// stored model and port mapping are the test's to set.
class CliRunner {
  public:
    QString Path(const QString& name) const { return dir_.filePath(name); }

    CliRun Cli(const QStringList& args) const {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", Path("config"));
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(dir_.path());
        process.start(QStringLiteral(CHANWRIGHT_CLI), args);
        if (!process.waitForFinished(60000))
            return {};
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    // Replaces the settings file with these INI lines.
    void StoreSettings(const QString& text) const {
        QDir().mkpath(Path("config/Chanwright"));
        WriteBytes(Path("config/Chanwright/PC Program for HV2071P-TQ5300 Series.ini"),
                   text.toLatin1());
    }
    void ClearSettings() const { QDir(Path("config")).removeRecursively(); }

  private:
    QTemporaryDir dir_;
};

}  // namespace chanwright::test
