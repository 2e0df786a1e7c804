// A full radio read over the real serial code against the simulator on a pseudo-terminal: at
// 9600 baud against the line-rate floor, and unpaced for the program's own overhead; each with
// the serial trace off and on. Then Program to Radio at 9600 baud, which reads the radio first:
// once with two names changed (against the read floor) and once writing every block (against the
// read and write floors together).
#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>

#include "bench/bench_support.h"
#include "core/system_platform.h"
#include "image/default_image.h"
#include "image/program_image.h"
#include "link/clone_operations.h"
#include "link/qt_serial_port.h"
#include "link/serial_trace.h"
#include "storage/error_log.h"
#include "storage/file_io.h"
#include "tests/support/radio_memory.h"
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
    int blocks = 0;  // written, for a program
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

// The link and the operations over a device as the command-line tool builds them; with a trace
// path, port and link are traced as the tool and the window do it.
struct Rig {
    Rig(AppState& app, const QString& device, const QString& tracePath = {})
        : port(device),
          log(app.Shared, QString()),
          trace(clock),
          traced(port, trace),
          opened(tracePath.isEmpty() ||
                 trace.Open(tracePath, OpenGrowingFile(tracePath, false, error))),
          link(app.Shared, tracePath.isEmpty() ? static_cast<SerialPort&>(port) : traced, clock,
               events, log),
          operations(app, link, prompter, clock, view, log) {
        link.SetTrace(tracePath.isEmpty() ? nullptr : &trace);
        operations.SetSettlePause(0);
    }

    QtSerialPort port;
    SteadyClock clock;
    NoEventPump events;
    test::RecordingPrompter prompter;
    NoView view;
    const ErrorLog log;
    SerialTrace trace;
    TracingPort traced;
    ErrorInfo error;
    bool opened;
    RadioLink link;
    CloneOperations operations;
};

ReadRun FullRead(const QString& device, const QString& tracePath = {}) {
    AppState app = test::MakeDefaultApp(Model::HV2071P);
    Rig rig(app, device, tracePath);
    if (!rig.opened)
        return {};
    MemoryImage scratch = app.Image;
    ReadRun run;
    run.check = Time([&] { return rig.operations.CheckModel() == TransferResult::Done; });
    run.read = Time([&] { return rig.operations.ReadData(scratch) == TransferResult::Done; });
    return run;
}

// One Program to Radio of the data set, the radio keeping its user MMSI.
Run Program(const QString& device, AppState app, bool fullWrite) {
    Rig rig(app, device);
    ProgramOptions options;
    options.fullWrite = fullWrite;
    rig.operations.SetProgramOptions(options);
    app.Shared.TransferMode = Transfer::Program;
    Run run = Time([&] { return rig.operations.RunTransfer() == TransferResult::Done; });
    run.blocks = rig.operations.BlocksWritten();
    return run;
}

bool StartSim(test::SimProcess& sim, const QStringList& arguments) {
    QString why;
    if (sim.Start(arguments, &why))
        return true;
    std::fprintf(stderr, "%s\n", qPrintable(why));
    return false;
}

void PrintPaced(const char* label, const ReadRun& run, double floor) {
    std::printf(
        "9600 baud, %s: read %.3f s wall against a %.1f s floor (+%.2f %%), %.3f s cpu "
        "(%.2f %% of wall); model check %.1f ms\n",
        label, run.read.wall, floor, (run.read.wall / floor - 1) * 100, run.read.cpu,
        run.read.cpu / run.read.wall * 100, run.check.wall * 1000);
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    constexpr double kFloor = 512.0 * 48 * 10 / 9600;  // 25.6 s of line time
    constexpr int kUnpacedRuns = 5;
    QTemporaryDir traces;
    const QString tracePath = traces.filePath("trace.txt");

    test::SimProcess unpaced(CHANWRIGHT_RADIOSIM);
    if (!StartSim(unpaced, {}))
        return 1;
    std::printf("bench_transfer, HV2071P, full read of 512 blocks over a pseudo-terminal\n");
    for (const bool tracing : {false, true}) {
        std::vector<double> walls;
        for (int i = 0; i < kUnpacedRuns; ++i) {
            const ReadRun run = FullRead(unpaced.Device(), tracing ? tracePath : QString());
            if (!run.read.ok || !run.check.ok)
                return 1;
            walls.push_back(run.read.wall);
            std::printf(
                "unpaced, trace %s, run %d: read %.3f s wall, %.3f s cpu; model check "
                "%.1f ms\n",
                tracing ? "on" : "off", i + 1, run.read.wall, run.read.cpu, run.check.wall * 1000);
        }
        std::sort(walls.begin(), walls.end());
        std::printf("unpaced, trace %s, median: %.3f s\n", tracing ? "on" : "off",
                    walls[walls.size() / 2]);
    }
    unpaced.Stop();

    test::SimProcess paced(CHANWRIGHT_RADIOSIM);
    if (!StartSim(paced, {"--baud", "9600"}))
        return 1;
    const ReadRun off = FullRead(paced.Device());
    const ReadRun on = FullRead(paced.Device(), tracePath);
    paced.Stop();
    if (!off.read.ok || !off.check.ok || !on.read.ok || !on.check.ok)
        return 1;
    PrintPaced("trace off", off, kFloor);
    PrintPaced("trace on ", on, kFloor);
    std::printf("trace of one check and read: %lld bytes\n", QFileInfo(tracePath).size());
    std::printf("model check floor %.1f ms\n", 4 * 18 * 10 / 9.6);

    // A radio in use that already holds the rich data set; the user then renames two channels.
    AppState app = bench::MakeRichApp(Model::HV2071P);
    const MemoryImage radio = test::RadioInUse(Model::HV2071P, 5);
    MemoryImage asRead = radio, defaults{}, programmed{};
    BuildDefaultImage(defaults, Model::HV2071P);
    RestoreLocalBytes(asRead, defaults);
    if (EncodeOverRadio(app.Data, asRead, false, programmed))
        return 1;
    const QString image = traces.filePath("radio.hex");
    test::WriteBytes(image, test::ImageBytes(test::StoredByRadio(programmed, radio)));
    app.Data.UsaChannels[3].ChTag = "HARBOUR";
    app.Data.IntlChannels[10].ChTag = "MARINA";
    constexpr double kWriteFloor = (506.0 * 43 + 11 * 13) * 10 / 9600;  // block + ACK, byte + ACK
    for (const bool full : {false, true}) {
        test::SimProcess sim(CHANWRIGHT_RADIOSIM);
        if (!StartSim(sim, {"--baud", "9600", "--image", image}))
            return 1;
        const Run run = Program(sim.Device(), app, full);
        sim.Stop();
        if (!run.ok)
            return 1;
        const double floor = full ? kFloor + kWriteFloor : kFloor;
        const double limit = full ? 1.03 * floor : 1.05 * floor + 1;
        std::printf(
            "9600 baud, program %s (%d blocks): %.3f s wall against a %.1f s floor (+%.2f %%, "
            "limit %.1f s), %.3f s cpu (%.2f %% of wall)\n",
            full ? "writing every block" : "with two names changed", run.blocks, run.wall, floor,
            (run.wall / floor - 1) * 100, limit, run.cpu, run.cpu / run.wall * 100);
    }
    return 0;
}
