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

    // input: what standard input holds; outputFile: where standard output goes instead of the
    // result's `out`.
    CliRun Cli(const QStringList& args, const QByteArray& input = {},
               const QString& outputFile = {}) const {
        return Run(QStringLiteral(CHANWRIGHT_CLI), args, input, outputFile);
    }

    // A shell script that runs the tool as "$CLI": for file names given as raw bytes, which a
    // QString argument cannot carry.
    CliRun Shell(const QString& script) const {
        return Run(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), script}, {}, {});
    }

    // Replaces the settings file with these INI lines.
    void StoreSettings(const QString& text) const {
        QDir().mkpath(Path("config/Chanwright"));
        WriteBytes(Path("config/Chanwright/PC Program for HV2071P-TQ5300 Series.ini"),
                   text.toLatin1());
    }
    void ClearSettings() const { QDir(Path("config")).removeRecursively(); }

    // Starts the tool and returns at once, for a test that acts while it runs.
    void Start(QProcess& process, const QStringList& args) const {
        Launch(process, QStringLiteral(CHANWRIGHT_CLI), args);
    }

  private:
    CliRun Run(const QString& program, const QStringList& args, const QByteArray& input,
               const QString& outputFile) const {
        QProcess process;
        if (!outputFile.isEmpty())
            process.setStandardOutputFile(outputFile);
        Launch(process, program, args);
        process.write(input);
        process.closeWriteChannel();
        if (!process.waitForFinished(60000))
            return {};
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    void Launch(QProcess& process, const QString& program, const QStringList& args) const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", Path("config"));
        env.insert("XDG_DATA_HOME", Path("data"));
        env.insert("CLI", QStringLiteral(CHANWRIGHT_CLI));
        // The printed report starts Qt's display layer, which wants a folder of the user's own.
        QDir().mkpath(Path("runtime"));
        QFile::setPermissions(Path("runtime"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env.insert("XDG_RUNTIME_DIR", Path("runtime"));
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(dir_.path());
        process.start(program, args);
    }

    QTemporaryDir dir_;
};

}  // namespace chanwright::test
