// chanwright-cli: the application's own file and radio operations without a window.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QGuiApplication>
#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <memory>

#include "app/cli/cli_session.h"
#include "app/cli/commands.h"
#include "core/system_platform.h"
#include "storage/file_io.h"
#include "storage/model_names.h"
#include "storage/temporary_files.h"

using namespace chanwright::cli;

namespace {

struct CommandInfo {
    const char* usage;
    int inputs;        // positional files after the command; -n: at least n
    bool needsOutput;  // -o is required
    bool needsPort;
    std::function<int(const Invocation&)> run;  // empty: not in this build yet
};

const std::map<QString, CommandInfo>& Commands() {
    static const std::map<QString, CommandInfo> commands = {
        {"new", {"new      [--model MODEL] [--force] -o OUT", 0, true, false, RunNew}},
        {"convert", {"convert  [--model MODEL] [--force] IN OUT", 2, false, false, RunConvert}},
        {"diff", {"diff     [--model MODEL] A B", 2, false, false, RunDiff}},
        {"merge",
         {"merge    [--model MODEL] --parts LIST [--dry-run] [--force] BASE FROM -o OUT", 2, false,
          false, RunMerge}},
        {"report",
         {"report   [--model MODEL] [--force] IN [-o OUT.txt] [--pdf OUT.pdf]", 1, false, false,
          RunReport}},
        {"read",
         {"read     --port PORT [--model MODEL] [--no-backup] [--trace FILE] [--force]\n"
          "                        -o OUT",
          0, true, true, RunRead}},
        {"program",
         {"program  --port PORT [--model MODEL] [--restore] [--full-write] [--write-identity]\n"
          "                        [--trace FILE] [--force] IN",
          1, false, true, RunProgram}},
        {"clear",
         {"clear    --port PORT [--model MODEL] [--trace FILE] [--force]", 0, false, true,
          RunClear}},
        {"verify",
         {"verify   --port PORT [--model MODEL] [--no-backup] [--restore] [--write-identity]\n"
          "                        [--trace FILE] [--force] IN",
          1, false, true, RunVerify}},
        {"ports", {"ports", 0, false, false, RunPorts}},
        {"export",
         {"export   [--model MODEL] [--force] IN --table channels|directory [-o OUT.csv]", 1, false,
          false, RunExport}},
        {"import",
         {"import   [--model MODEL] [--replace-directory] [--dry-run] [--force] IN TABLE.csv...\n"
          "                        -o OUT",
          -2, false, false, RunImport}},
    };
    return commands;
}

QString UsageText() {
    QString text = QStringLiteral("Usage:\n");
    for (const char* name : {"new", "convert", "diff", "merge", "report", "export", "import",
                             "read", "program", "clear", "verify", "ports"}) {
        text += QStringLiteral("  chanwright-cli ") + QLatin1String(Commands().at(name).usage) +
                QLatin1Char('\n');
    }
    return text;
}

int BadUsage(const QString& why, const char* usage = nullptr) {
    StdErr() << "chanwright-cli: " << why << Qt::endl;
    if (usage) {
        StdErr() << "Usage: chanwright-cli " << usage << Qt::endl;
    } else {
        StdErr() << UsageText();
    }
    return kBadUsage;
}

bool WantsPdf(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--pdf", 5) == 0)
            return true;
    }
    return false;
}

// Two outputs in one file, or an output over the input, would leave the user with neither: such
// a command line is refused before anything is read or written. Standard input and standard
// output ("-") are two streams; a trace to "-" goes to standard error, a third.
QString Collision(const Invocation& call) {
    QStringList outputs;
    const QString trace = chanwright::IsStandardStream(call.trace) ? QString() : call.trace;
    for (const QString& output : {call.output, call.pdf, trace}) {
        if (!output.isEmpty())
            outputs << output;
    }
    QStringList inputs = call.inputs;
    if (call.command == QLatin1String("convert"))
        outputs << inputs.takeLast();
    for (int i = 0; i < outputs.size(); ++i) {
        for (int j = i + 1; j < outputs.size(); ++j) {
            if (chanwright::SameFile(outputs[i], outputs[j]))
                return "two outputs name the same file '" + chanwright::ShownPath(outputs[i]) + "'";
        }
    }
    // Every input is read before anything is written; any of them may be lost under an output.
    if (std::count_if(inputs.begin(), inputs.end(), chanwright::IsStandardStream) > 1)
        return QStringLiteral("standard input can be only one input");
    for (const QString& input : inputs) {
        if (chanwright::IsStandardStream(input))
            continue;
        for (const QString& output : outputs) {
            if (chanwright::SameFile(output, input))
                return "the output '" + chanwright::ShownPath(output) + "' is the input file";
        }
    }
    return {};
}

// Options that belong to some commands only are refused elsewhere, rather than ignored.
QString MisplacedOption(const Invocation& call) {
    const auto takes = [&call](std::initializer_list<const char*> commands) {
        for (const char* command : commands) {
            if (call.command == QLatin1String(command))
                return true;
        }
        return false;
    };
    if (call.noBackup && !takes({"read", "verify"}))
        return QStringLiteral("--no-backup is for read and verify");
    if (call.restore && !takes({"program", "verify"}))
        return QStringLiteral("--restore is for program and verify");
    if (call.fullWrite && !takes({"program"}))
        return QStringLiteral("--full-write is for program");
    if (call.writeIdentity && (!takes({"program", "verify"}) || call.restore))
        return QStringLiteral("--write-identity is for program and verify of a data set");
    if (!call.trace.isEmpty() && !takes({"read", "program", "clear", "verify"}))
        return QStringLiteral("--trace is for read, program, clear and verify");
    if (!call.table.isEmpty() && !takes({"export"}))
        return QStringLiteral("--table is for export");
    if (call.replaceDirectory && !takes({"import"}))
        return QStringLiteral("--replace-directory is for import");
    if (!call.parts.empty() && !takes({"merge"}))
        return QStringLiteral("--parts is for merge");
    if (call.dryRun && !takes({"import", "merge"}))
        return QStringLiteral("--dry-run is for import and merge");
    if (call.force && takes({"diff", "ports"}))
        return QStringLiteral("--force is for commands that write a file");
    if (call.restore && !chanwright::IsImageFile(call.inputs.value(0)))
        return QStringLiteral("--restore takes an image file (.hex)");
    return {};
}

const char* kHelpTail =
    "\nMODEL is HV2071P or TQ5300. Files ending in .hex are image files (8192 raw bytes);\n"
    "any other name is a data file. PORT is a device path, relative or absolute, or COM1..COM4\n"
    "(or 1-4) for the device the window's item stands for; ports lists the serial ports found.\n"
    "IN - reads standard input; OUT - (or -o -, --pdf -) writes standard output;\n"
    "--trace - writes the serial trace to standard error.\n"
    "An output made read-only is refused; --force writes it, keeping its permissions.\n"
    "Exit status: 0 success, 1 the operation failed, 2 bad usage, 130 stopped by Ctrl+C.\n"
    "read and verify save the radio's image in the backup folder unless --no-backup.\n"
    "program reads the whole radio first (kept as a backup), writes IN over the radio's own\n"
    "memory and sends only the blocks that change (all with --full-write). The radio keeps\n"
    "its user MMSI unless --write-identity. verify exits 0 when the radio holds IN's data\n"
    "(with --restore: the backup IN, byte for byte), 1 when it differs, 2 on trouble.\n"
    "diff exits 0 when A and B hold the same data, 1 when they differ, 2 on trouble.\n"
    "export writes the channels or the directories as a CSV table; import changes IN as the\n"
    "tables say and writes OUT, or with --dry-run prints the changes as diff does (exit 0\n"
    "none, 1 some). A table with an error changes nothing: its errors go to standard error.\n"
    "merge copies the parts of FROM that LIST names into BASE and writes OUT. LIST is\n"
    "comma-separated: channels, wx, exp, individual, group, settings, identity; identity\n"
    "(user MMSI and ATIS number) is copied only when named. With --dry-run it writes nothing,\n"
    "prints the changes as diff does and exits 0 for none, 1 for some, 2 on trouble.\n";

}  // namespace

int main(int argc, char* argv[]) {
    chanwright::IgnoreBrokenPipes();
    chanwright::RemoveTemporariesOnSignal();
    // The printed report draws text, which needs the GUI library (but never a screen); every
    // other command stays a plain console program.
    std::unique_ptr<QCoreApplication> app;
    if (WantsPdf(argc, argv)) {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("chanwright-cli"));

    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    const QCommandLineOption helpOption({"h", "help"}, "Show this help.");
    const QCommandLineOption modelOption({"m", "model"}, "Radio model.", "MODEL");
    const QCommandLineOption outputOption({"o", "output"}, "Output file.", "OUT");
    const QCommandLineOption pdfOption("pdf", "Printed report as PDF.", "OUT.pdf");
    const QCommandLineOption portOption({"p", "port"}, "Serial port.", "PORT");
    const QCommandLineOption traceOption("trace", "Serial trace.", "FILE");
    const QCommandLineOption noBackupOption("no-backup", "No backup of the radio.");
    // Every program reads the radio into a backup first now; the old switch is still taken.
    const QCommandLineOption backupFirstOption("backup-first", "Back up the radio first.");
    const QCommandLineOption restoreOption("restore", "Send the image file as it is.");
    const QCommandLineOption fullWriteOption("full-write", "Send every block.");
    const QCommandLineOption writeIdentityOption("write-identity", "Write the file's user MMSI.");
    const QCommandLineOption tableOption("table", "The table to export.", "TABLE");
    const QCommandLineOption replaceDirectoryOption("replace-directory",
                                                    "Clear entries not listed.");
    const QCommandLineOption partsOption("parts", "Parts to merge.", "LIST");
    const QCommandLineOption dryRunOption("dry-run", "Print the changes, write nothing.");
    const QCommandLineOption forceOption("force", "Write over read-only files.");
    parser.addOptions({helpOption, modelOption, outputOption, pdfOption, portOption, traceOption,
                       noBackupOption, backupFirstOption, restoreOption, fullWriteOption,
                       writeIdentityOption, tableOption, replaceDirectoryOption, partsOption,
                       dryRunOption, forceOption});

    // File names are the system's bytes, kept whole even where they are not UTF-8.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << chanwright::PathFromSystem(QByteArray(argv[i]));
    if (!parser.parse(arguments))
        return BadUsage(parser.errorText());
    if (parser.isSet(helpOption)) {
        StdOut() << UsageText() << kHelpTail;
        return CheckStandardOutput(kSuccess);
    }
    QStringList positional = parser.positionalArguments();
    if (positional.isEmpty())
        return BadUsage(QStringLiteral("no command given"));

    Invocation call;
    call.command = positional.takeFirst();
    const auto found = Commands().find(call.command);
    if (found == Commands().end())
        return BadUsage("unknown command '" + chanwright::ShownPath(call.command) + "'");
    const CommandInfo& info = found->second;

    call.inputs = positional;
    call.output = parser.value(outputOption);
    call.pdf = parser.value(pdfOption);
    call.port = parser.value(portOption);
    call.trace = parser.value(traceOption);
    call.noBackup = parser.isSet(noBackupOption);
    call.restore = parser.isSet(restoreOption);
    call.fullWrite = parser.isSet(fullWriteOption);
    call.writeIdentity = parser.isSet(writeIdentityOption);
    call.table = parser.value(tableOption);
    call.replaceDirectory = parser.isSet(replaceDirectoryOption);
    call.dryRun = parser.isSet(dryRunOption);
    call.force = parser.isSet(forceOption);
    if (parser.isSet(partsOption)) {
        for (const QString& word : parser.value(partsOption).split(QLatin1Char(','))) {
            const auto part =
                chanwright::report::ParseMergePart(word.trimmed().toLower().toStdString());
            if (!part) {
                return BadUsage(
                    "unknown part '" + chanwright::ShownPath(word.trimmed()) + "' (parts are " +
                        QString::fromStdString(chanwright::report::MergePartWords()) + ")",
                    info.usage);
            }
            call.parts.push_back(*part);
        }
    }
    if (parser.isSet(backupFirstOption) && call.command != QLatin1String("program"))
        return BadUsage(QStringLiteral("--backup-first is for program"), info.usage);
    if (parser.isSet(modelOption)) {
        call.model = chanwright::ParseModel(parser.value(modelOption));
        if (!call.model) {
            return BadUsage(
                "unknown model '" + chanwright::ShownPath(parser.value(modelOption)) + "'",
                info.usage);
        }
    }
    if (info.inputs >= 0 ? call.inputs.size() != info.inputs : call.inputs.size() < -info.inputs) {
        return BadUsage(QStringLiteral("wrong number of files"), info.usage);
    }
    if (call.command == QLatin1String("export") && call.table != QLatin1String("channels") &&
        call.table != QLatin1String("directory")) {
        return BadUsage(QStringLiteral("--table channels or --table directory is required"),
                        info.usage);
    }
    const bool import = call.command == QLatin1String("import");
    if ((info.needsOutput || (import && !call.dryRun)) && call.output.isEmpty()) {
        return BadUsage(QStringLiteral("-o OUT is required"), info.usage);
    }
    if (call.command == QLatin1String("merge")) {
        if (call.parts.empty())
            return BadUsage(QStringLiteral("--parts LIST is required"), info.usage);
        if (!call.dryRun && call.output.isEmpty())
            return BadUsage(QStringLiteral("-o OUT is required unless --dry-run"), info.usage);
    }
    if (info.needsPort && call.port.isEmpty()) {
        return BadUsage(QStringLiteral("--port PORT is required"), info.usage);
    }
    if (const QString clash = Collision(call); !clash.isEmpty())
        return BadUsage(clash, info.usage);
    if (const QString misplaced = MisplacedOption(call); !misplaced.isEmpty())
        return BadUsage(misplaced, info.usage);
    if (!info.run) {
        StdErr() << "chanwright-cli: '" << call.command << "' is not available in this build"
                 << Qt::endl;
        return kFailed;
    }
    return CheckStandardOutput(info.run(call));
}
