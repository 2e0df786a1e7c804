#include "app/cli/terminal_progress.h"

#include <QString>
#include <cstdio>

#include "app/cli/cli_session.h"

#ifdef Q_OS_WIN
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace chanwright::cli {

namespace {

constexpr int kBarWidth = 40;

}  // namespace

TerminalProgress::TerminalProgress(const char* label)
    : label_(label), enabled_(isatty(fileno(stderr)) != 0) {}

void TerminalProgress::ShowProgress(int percent) {
    if (!enabled_ || !running_ || percent == shown_)
        return;
    shown_ = percent;
    const int filled = percent * kBarWidth / 100;
    StdErr() << '\r' << label_ << " [" << QString(filled, QLatin1Char('#'))
             << QString(kBarWidth - filled, QLatin1Char('.')) << "] "
             << QString::number(percent).rightJustified(3) << '%';
    StdErr().flush();
    lineOpen_ = true;
}

void TerminalProgress::SetRunning(bool running) {
    running_ = running;
    if (!running)
        EndLine();
}

void TerminalProgress::EndLine() {
    if (lineOpen_)
        StdErr() << Qt::endl;
    lineOpen_ = false;
    shown_ = -1;
}

}  // namespace chanwright::cli
