// Writing, saving and reading a data file of a full data set.
#include <QTemporaryDir>

#include "bench/bench_support.h"
#include "storage/data_file_reader.h"
#include "storage/data_file_writer.h"
#include "storage/error_log.h"
#include "storage/file_operations.h"
#include "storage/profile_file.h"
#include "tests/support/test_platform.h"

using namespace chanwright;

int main() {
    constexpr int kRuns = 200;
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    const QString path = dir.filePath(QStringLiteral("rich.dat"));

    AppState app = bench::MakeRichApp(Model::HV2071P);
    const RadioData rich = app.Data;
    test::TestPlatform platform;
    const ErrorLog log(app.Shared, dir.filePath(QStringLiteral("err.log")));
    FileOperations files(app, platform.platform, log);
    files.SetSettlePause(0);

    const std::string text = WriteDataFile(app.Shared, app.Data);
    std::size_t sink = 0;
    int failures = 0;

    bench::PrintHeader("bench_data_file, HV2071P, full data set", kRuns);
    std::printf("%-34s %12zu bytes\n", "file size", text.size());
    bench::PrintRow("WriteDataFile", bench::Measure(kRuns, [&] {
                        sink += WriteDataFile(app.Shared, app.Data).size();
                    }));
    bench::PrintRow("SaveFileAs (write + commit)",
                    bench::Measure(kRuns, [&] { failures += !files.SaveFileAs(path); }));
    bench::PrintRow("ProfileFile::Parse", bench::Measure(kRuns, [&] {
                        sink += ProfileFile::Parse(text).Lookup("MAIN", "MODEL")->size();
                    }));
    const ProfileFile parsed = ProfileFile::Parse(text);
    RadioData target = rich;
    bench::PrintRow("ReadDataFile (apply)", bench::Measure(kRuns, [&] {
                        ReadDataFile(parsed, app.Shared, app.Plans, target);
                    }));
    bench::PrintRow("LoadDataFile (read + parse + apply)",
                    bench::Measure(kRuns, [&] { failures += !files.LoadDataFile(path); }));

    // The figures only count if every run did the real work.
    const bool ok = failures == 0 && app.Data == rich && target == rich &&
                    platform.prompter.messages.empty() && sink != 0;
    if (!ok)
        std::fprintf(stderr, "a run failed or read back a different data set\n");
    return ok ? 0 : 1;
}
