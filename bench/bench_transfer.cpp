// A full radio read over the real serial code against the simulator on a pseudo-terminal: at
// 9600 baud against the line-rate floor, and unpaced for the program's own overhead.
#include <QCoreApplication>
#include <cstdio>
#include <ctime>

#include "bench/bench_support.h"
#include "core/system_platform.h"
#include "link/clone_operations.h"
#include "link/qt_serial_port.h"
#include "storage/error_log.h"
#include "tests/support/sim_process.h"
#include "tests/support/test_platform.h"

using namespace chanwright;

namespace {

class NoView : public TransferView {
  public:
    void ShowProgress(int) override {}
    void SetRunning(bool) override {}
};

double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

struct Run {
    double wall = 0;
    double cpu = 0;
    bool ok = false;
};

// One model check and one full read, each timed on its own.
struct ReadRun {
    Run check;
    Run read;
};

template <typename Work>
Run Time(Work work) {
    SteadyClock clock;
    const double wall = clock.Seconds();
    const double cpu = CpuSeconds();
    const bool ok = work();
    return {clock.Seconds() - wall, CpuSeconds() - cpu, ok};
}

ReadRun FullRead(const QString& device) {
    AppState app = test::MakeDefaultApp(kModelHV2071P);
    QtSerialPort port(device);
    SteadyClock clock;
    NoEventPump events;
    test::RecordingPrompter prompter;
    NoView view;
    const ErrorLog log(app.Shared, QString());
    RadioLink link(app.Shared, port, clock, events, log);
    CloneOperations operations(app, link, prompter, clock, view, log);
    operations.SetSettlePause(0);
    MemoryImage scratch = app.Image;
    ReadRun run;
    run.check = Time([&] {
        operations.ReadDataChkModel();
        return !app.Shared.OperationFailed;
    });
    run.read = Time([&] {
        operations.ReadData(scratch);
        return !app.Shared.OperationFailed;
    });
    return run;
}

bool StartSim(test::SimProcess& sim, const QStringList& arguments) {
    QString why;
    if (sim.Start(arguments, &why))
        return true;
    std::fprintf(stderr, "%s\n", qPrintable(why));
    return false;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    constexpr double kFloor = 512.0 * 48 * 10 / 9600;  // 25.6 s of line time
    constexpr int kUnpacedRuns = 5;

    test::SimProcess unpaced(CHANWRIGHT_RADIOSIM);
    if (!StartSim(unpaced, {}))
        return 1;
    std::printf("bench_transfer, HV2071P, full read of 512 blocks over a pseudo-terminal\n");
    std::vector<double> walls;
    for (int i = 0; i < kUnpacedRuns; ++i) {
        const ReadRun run = FullRead(unpaced.Device());
        if (!run.read.ok || !run.check.ok)
            return 1;
        walls.push_back(run.read.wall);
        std::printf("unpaced run %d: read %.3f s wall, %.3f s cpu; model check %.1f ms\n", i + 1,
                    run.read.wall, run.read.cpu, run.check.wall * 1000);
    }
    std::sort(walls.begin(), walls.end());
    std::printf("unpaced median: %.3f s\n", walls[walls.size() / 2]);
    unpaced.Stop();

    test::SimProcess paced(CHANWRIGHT_RADIOSIM);
    if (!StartSim(paced, {"--baud", "9600"}))
        return 1;
    const ReadRun run = FullRead(paced.Device());
    paced.Stop();
    if (!run.read.ok || !run.check.ok)
        return 1;
    std::printf("9600 baud: read %.3f s wall against a %.1f s floor (+%.2f %%)\n", run.read.wall,
                kFloor, (run.read.wall / kFloor - 1) * 100);
    std::printf("9600 baud: read used %.3f s cpu (%.2f %% of wall)\n", run.read.cpu,
                run.read.cpu / run.read.wall * 100);
    std::printf("9600 baud: model check %.1f ms wall (floor %.1f ms)\n", run.check.wall * 1000,
                4 * 18 * 10 / 9.6);
    return 0;
}
