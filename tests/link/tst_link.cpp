// The link in process, against the in-memory port with virtual time and a pump that can press
// Cancel at a chosen poll.
//
// Wire: the hex digits a reply may carry, what the user is told of a port that cannot be opened,
// what the simulated radio answers to each input, faults included (the sessions of
// tests/data/link_wire_sessions.txt), and a trace past its limit: tests/data/link_wire.txt.
//
// Exchanges: scripted replies, a test row each. Each runs traced, so that its story in
// tests/data/link_exchanges.txt shows what went out, what came in, when each limit ran out and
// what the link made of it, and untraced, which must end the same. Ports that will not open and
// writes that fail show in the operations' stories.
//
// Operations: read, program, clear and verify against the simulated radio, each told as a story:
// what the user is told and what is logged, what the radio gets, the progress shown, the pauses,
// the flags, and what became of the image, the data, the radio and the backup. The stories are
// tests/data/link_clone_operations.txt, a test row each, named with their events in
// tests/data/link_operations.txt.
//
// End to end: the real serial code against the radio simulator tool on a pseudo-terminal, with
// the link's time limits shortened, for what only a real port shows: the pseudo-terminal itself
// and a radio that hangs up. Faults the link meets the same way on any port are the stories'.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#include <QtTest>
#include <map>
#include <numeric>

#include "core/system_platform.h"
#include "image/default_image.h"
#include "image/image_decoder.h"
#include "image/image_encoder.h"
#include "link/clone_operations.h"
#include "link/frames.h"
#include "link/qt_serial_port.h"
#include "link/serial_trace.h"
#include "storage/file_io.h"
#include "tests/support/fake_port.h"
#include "tests/support/radio_memory.h"
#include "tests/support/sim_process.h"
#include "tests/support/test_files.h"
#include "tools/radiosim/radio_sim.h"

using namespace chanwright;
using namespace chanwright::test;

namespace {

using Bytes = std::vector<uint8_t>;

// Printable characters as they are, every other byte as <XX>.
QByteArray Shown(const QByteArray& bytes) {
    QByteArray text;
    for (const char c : bytes)
        text += c >= 0x20 && c < 0x7F && c != '<' ? QByteArray(1, c)
                                                  : '<' + QByteArray(1, c).toHex().toUpper() + '>';
    return text;
}
QByteArray Text(const std::vector<uint8_t>& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

const Bytes kData = {0x00, 0x1F, 0xAB, 0xFF, 0x00, 0x20, 0x41, 0x7E,
                     0x80, 0x99, 0xC3, 0x12, 0x34, 0x56, 0x78, 0x9A};
constexpr uint16_t kAddress = 0x1230;

QByteArray Reply(uint8_t type, int count) {
    return Text(BuildReply(type, kData.data(), count));
}

// What the exchange left, and what went out by when: the same traced or not. op: read-block,
// read-byte, write-block or write-byte; read-blocks reads two blocks, at 1230 and 1240. answers:
// one per command frame; the last answers every later one. An answer "@N bytes" is no command's:
// it arrives at poll N; one "^bytes" follows the next reply on the line, right after it is read.
// what: cancel@N (at poll N), cancel+cr@N (the body completing then), unplugged (before), unplug
// (at a write).
QByteArray Perform(const QByteArray& op, int retries, const QByteArrayList& answers,
                   const QByteArray& what, const QString& tracePath) {
    SharedState shared;
    shared.RetryCount = int16_t(retries);
    FakeClock clock;
    ScriptedPump events;
    RecordingLog log;
    FakePort port(clock);
    SerialTrace trace(clock);
    TracingPort traced(port, trace);
    ErrorInfo error;
    const bool tracing =
        !tracePath.isEmpty() && trace.Open(tracePath, OpenGrowingFile(tracePath, false, error));
    RadioLink link(shared, tracing ? static_cast<SerialPort&>(traced) : port, clock, events, log);
    link.SetTrace(tracing ? &trace : nullptr);

    const QByteArray event = what.split('@').first();
    const int at = what.split('@').last().toInt();
    std::deque<QByteArray> replies, following;
    std::map<int, QByteArray> arriving;
    for (const QByteArray& answer : answers) {
        if (answer.startsWith('@'))
            arriving[answer.mid(1).split(' ').first().toInt()] =
                answer.mid(answer.indexOf(' ') + 1);
        else if (answer.startsWith('^'))
            following.push_back(answer.mid(1));
        else
            replies.push_back(answer);
    }
    port.onRead = [&](size_t count) {
        if (count > 1 && !following.empty()) {
            port.Feed(Bytes(following.front().begin(), following.front().end()));
            following.pop_front();
        }
    };
    port.onWrite = [&](const Bytes& bytes) {
        if (bytes.size() > 1 && !replies.empty())
            port.Feed(Bytes(replies.front().begin(), replies.front().end()));
        if (bytes.size() > 1 && replies.size() > 1)
            replies.pop_front();
        if (event == "unplug")
            port.Unplug({5, "Gone\nReplug"});
    };
    events.onPoll = [&](int poll) {
        if (arriving.count(poll))
            port.Feed(Bytes(arriving[poll].begin(), arriving[poll].end()));
        if (event == "cancel+cr" && poll == at)
            port.Feed({kCr});
        if (event.startsWith("cancel") && poll == at)
            shared.AbortRequested = true;
    };

    MemoryImage image = RandomImage(3);
    QByteArray thrown = "-";
    link.PortOpen();
    link.PortOpen();  // an open port is left as it is
    if (event == "unplugged")
        port.Unplug({5, "Gone"}, "Serial");
    try {
        if (op == "read-blocks") {
            (void)link.ReadBlock(image, kAddress);
            (void)link.ReadBlock(image, kAddress + 16);
        } else if (op.startsWith("read")) {
            (void)(op.endsWith("block") ? link.ReadBlock(image, kAddress)
                                        : link.ReadByte(image, kAddress));
        } else if (op.startsWith("write"))
            (void)(op.endsWith("block") ? link.WriteBlock(image, kAddress)
                                        : link.WriteByte(image, kAddress));
    } catch (const SerialPortError& failure) {
        thrown = QByteArray::number(failure.Info().Number) + ' ' +
                 Shown(QByteArray::fromStdString(failure.Info().Description)) + " (" +
                 QByteArray::fromStdString(failure.Source()) + ')';
    }
    const auto n = [](double value) { return QByteArray::number(value); };
    return "-> failed " + n(ToBool16(shared.OperationFailed)) + ", aborted " +
           n(ToBool16(shared.AbortRequested)) +
           ", image 122F: " + ImageSlice(image, kAddress - 1, 18).toHex().toUpper() +
           (image == RandomImage(3) ? " (untouched)" : "") + ", thrown " + thrown + "; " +
           n(port.writes.size()) + " writes, " + n(clock.now) + " s\n";
}

// A command frame around its body ("120155"): SOH, body, checksum, CR.
QByteArray Command(const QByteArray& body) {
    const QByteArray frame = '\x01' + body;
    const auto sum = ByteToHex(
        CalcSum(reinterpret_cast<const uint8_t*>(frame.constData()), 1, int(frame.size()) - 1));
    return frame + char(sum[0]) + char(sum[1]) + '\r';
}

// Bytes written as the golden shows them, <XX> for any byte, plus [body] for a command frame
// around body.
Bytes Input(QByteArray text) {
    const QRegularExpression part(R"(\[(\w+)\]|<(\w\w)>)");
    for (auto m = part.match(QString(text)); m.hasMatch(); m = part.match(QString(text)))
        text.replace(m.capturedStart(), m.capturedLength(),
                     m.hasCaptured(1) ? Command(m.captured(1).toLatin1())
                                      : QByteArray::fromHex(m.captured(2).toLatin1()));
    return {text.begin(), text.end()};
}

constexpr int kPermissionCount = 0x0155;

// Takes every copy; one that keeps none fails the way a full disk does.
struct Keeper : BackupKeeper {
    bool keeps = true;
    std::vector<MemoryImage> copies;
    std::optional<std::string> Keep(const MemoryImage& image, Model, ErrorInfo& error) override {
        copies.push_back(image);
        error = {28, "No space left on device"};
        return keeps ? std::optional<std::string>("backups/HV2071P-1.hex") : std::nullopt;
    }
};

// The name of the first candidate the image equals, or how many bytes differ from the first.
QByteArray Which(const MemoryImage& image,
                 const std::vector<std::pair<const char*, MemoryImage>>& candidates) {
    for (const auto& [name, candidate] : candidates)
        if (image == candidate)
            return name;
    return QByteArray::number(std::inner_product(image.begin(), image.end(),
                                                 candidates[0].second.begin(), 0, std::plus<>(),
                                                 std::not_equal_to<>())) +
           " bytes differ from " + candidates[0].first;
}

// Repeated values as value*count.
template <typename T>
QByteArray Runs(const std::vector<T>& values) {
    QByteArray text;
    for (size_t i = 0, n = 1; i < values.size(); i += n) {
        for (n = 1; i + n < values.size() && values[i + n] == values[i];)
            ++n;
        text +=
            ' ' + QByteArray::number(values[i]) + (n > 1 ? '*' + QByteArray::number(int(n)) : "");
    }
    return text;
}

// The radio's commands from line `from`, a run at consecutive addresses as first…last (count).
QByteArray Commands(const std::vector<std::string>& log, size_t from) {
    QStringList commands;
    for (size_t i = from; i < log.size(); ++i)
        commands << QString::fromStdString(log[i]).section(' ', 0, 1);
    return commands.isEmpty() ? ""
                              : ("\n  " + CommandRuns(commands).replace(", ", "\n  ")).toUtf8();
}

// One operation as the golden tells it, message icons by number (1 information, 2 exclamation,
// 3 critical). The name starts with the operation: read, program, clear or verify. Events,
// space-separated: faults for the radio (drop-reply@104 …), tq5300 (the radio is one),
// cancel@N (while command N is awaited), cancel-late@N (as its reply is in), open-fails,
// open-fails@N (after command N), write-fails@N (the N-th write), unplug@N, unsaved (the copy
// cannot be kept), overflow (data that cannot be encoded), again (a second run, faults gone),
// full (program sends the whole plan), write-mmsi and cancel-mmsi (the answer when the radio's user
// MMSI and the data's differ; keep otherwise), no-mmsi (the radio has none).
QByteArray Tell(const QByteArray& name, const QByteArray& script) {
    const QByteArrayList events = script.split(' ');
    const auto at = [&](const char* event) {  // N of event@N, 0 without N, -1 when absent
        for (const QByteArray& e : events)
            if (e.split('@').first() == event)
                return e.split('@').value(1).toInt();
        return -1;
    };
    AppState app = MakeDefaultApp(Model::HV2071P);
    app.Image[kPermissionCount] = 9;
    // Edited, so that what program encodes and sends differs from the image loaded.
    app.Data.UsaChannels[0].ChTag = "HARBOUR";
    app.Data.IndividualDirectory[0] = {kTrue, "SHIP", "3669999990"};
    app.Data.Common.Scrambler = at("overflow") < 0 ? 3 : 300;
    app.Data.Common.UserMmsid = "3669876540";
    // A radio in use: its own user MMSI (or none) and one permission left.
    MemoryImage memory = RadioMemory(at("tq5300") < 0 ? Model::HV2071P : Model::TQ5300, 21);
    PutBytes(memory, 0x150, Hex(at("no-mmsi") < 0 ? "366000001001" : "ffffffffff01"));
    RadioSim sim(memory);
    for (const QByteArray& event : events)
        if (const auto fault = ParseFault(event.toStdString()))
            sim.AddFault(*fault);
    FakeClock clock;
    ScriptedPump pump;
    RecordingLog log;
    RecordingPrompter prompter;
    RecordingView view;
    FakePort port(clock, &sim);
    RadioLink link(app.Shared, port, clock, pump, log);
    CloneOperations ops(app, link, prompter, clock, view, log);
    Keeper keeper;
    keeper.keeps = at("unsaved") < 0;
    ops.SetBackupKeeper(&keeper);
    QByteArrayList story;
    ProgramOptions options;
    options.fullWrite = at("full") == 0;
    options.decideUserMmsi = [&](const UserMmsiCheck& check) {
        story << "asked: radio " + QByteArray::fromStdString(check.radio) + ", data " +
                     QByteArray::fromStdString(check.data);
        return at("write-mmsi") == 0    ? UserMmsiAnswer::WriteData
               : at("cancel-mmsi") == 0 ? UserMmsiAnswer::Cancel
                                        : UserMmsiAnswer::KeepRadio;
    };
    ops.SetProgramOptions(options);
    if (at("write-fails") > 0)
        port.FailWriteAt(at("write-fails"), {9, "Device vanished"}, "Serial");
    if (at("open-fails") == 0)
        port.FailOpen(ErrorInfo{2, "No such device"});
    port.onWrite = [&](const std::vector<uint8_t>&) {
        if (sim.CommandCount() == at("open-fails"))
            port.FailOpen(ErrorInfo{2, "No such device"});
        if (sim.CommandCount() == at("unplug"))
            port.Unplug({-5, "Gone"}, "Port");
    };
    int pollsAtLate = 0;  // cancel-late@N: the second poll, the reply to command N in
    pump.onPoll = [&](int) {
        const bool late = sim.CommandCount() == at("cancel-late") && ++pollsAtLate == 2;
        if ((late || sim.CommandCount() == at("cancel")) && !app.Shared.AbortRequested)
            story << QByteArray("Cancel: the dialog ") +
                         (ops.CancelTransfer() ? "closes" : "stays");
    };

    const AppState before = app;
    const MemoryImage radio = sim.Memory();
    const MemoryImage asRead = AsRead(radio, Model::HV2071P);
    MemoryImage encoded = asRead;
    EncodeOverRadio(before.Data, asRead, at("write-mmsi") == 0 || at("no-mmsi") == 0, encoded);
    MemoryImage cleared = before.Image, radioCleared = radio;
    cleared[kPermissionCount] = radioCleared[kPermissionCount] = 0;
    RadioData decoded = before.Data;
    DecodeImage(asRead, decoded);

    const auto n = [](int value) { return QByteArray::number(value); };
    for (int run = 0; run < (at("again") < 0 ? 1 : 2); ++run) {
        const size_t from = sim.Log().size();
        prompter.messages.clear();
        // read, program, clear and verify are modes 0 … 3.
        app.Shared.TransferMode = Transfer(
            QByteArrayList{"read", "program", "clear", "verify"}.indexOf(name.split(':').first()));
        story << (ops.RunTransfer() == TransferResult::Done ? "result: done" : "result: not done");
        for (const ShownMessage& shown : prompter.messages)
            story << "told: " + n(int(shown.icon)) + " | " +
                         QByteArray::fromStdString(shown.title) + " | " +
                         Shown(QByteArray::fromStdString(shown.text));
        story << "commands:" + Commands(sim.Log(), from);
        sim.ClearFaults();
    }
    for (const auto& [procedure, text] : log.records)
        story << "logged: " + QByteArray::fromStdString(procedure + " | " + text);
    QByteArray stages;
    for (const std::string& stage : view.stages)
        stages += " | " + QByteArray::fromStdString(stage);
    story << "progress:" + Runs(view.progress) << "stages:" + stages
          << "running:" + Runs(view.states) << "pauses:" + Runs(clock.pauses);
    story << "flags: failed " + n(ToBool16(app.Shared.OperationFailed)) + ", aborted " +
                 n(ToBool16(app.Shared.AbortRequested)) + ", done " +
                 n(ToBool16(app.Shared.TransferDone)) + ", busy " + n(ToBool16(app.Shared.Busy)) +
                 "; port " + (port.IsOpen() ? "open" : "closed") + " after " + n(port.opens) +
                 " opens";
    story << "image: " + Which(app.Image, {{"as before", before.Image},
                                           {"programmed", encoded},
                                           {"as read", asRead},
                                           {"341 cleared", cleared}});
    story << "data: " + QByteArray(app.Data == before.Data ? "as before"
                                   : app.Data == decoded   ? "decoded from the radio"
                                                           : "other");
    story << "radio: " + Which(sim.Memory(), {{"as before", radio},
                                              {"341 cleared", radioCleared},
                                              {"programmed", StoredByRadio(encoded, radio)}});
    for (const MemoryImage& copy : keeper.copies)
        story << "kept: " + Which(copy, {{"as read", asRead}});
    if (app.Shared.TransferMode == Transfer::Verify)
        story << "verify saw: " + Which(ops.RadioImage(), {{"as read", asRead}});
    if (at("cancel") > 0 || at("cancel-late") > 0)
        story << QByteArray("Cancel afterwards: the dialog ") +
                     (ops.CancelTransfer() ? "closes" : "stays");
    return "== " + name + " ==\n" + story.join('\n') + '\n';
}

// Sends a command as a session that is stopped at once would, and leaves the reply unread on the
// line: the simulator holds the terminal open, so it waits there for the next session.
void LeaveStaleReply(const QString& device, const QByteArray& command) {
    const int fd = ::open(QFile::encodeName(device).constData(), O_RDWR | O_NOCTTY);
    QVERIFY(fd >= 0);
    QCOMPARE(::write(fd, command.constData(), size_t(command.size())), ssize_t(command.size()));
    pollfd reply{fd, POLLIN, 0};
    QCOMPARE(::poll(&reply, 1, 5000), 1);
    ::close(fd);
}

// A port that notes the most input it ever held waiting, passing everything on through a trace
// that is never opened.
struct HeldInput : TracingPort {
    using TracingPort::TracingPort;
    int BytesAvailable() override {
        const int waiting = TracingPort::BytesAvailable();
        most = std::max(most, waiting);
        return waiting;
    }
    int most = 0;
};

// The exchanges (see Perform): name, op, retries, answers, what.
const QByteArray kGood = Reply(kTypeReadBlock, 16), kByte = Reply(kTypeReadByte, 1);
const std::tuple<const char*, const char*, int, QByteArrayList, QByteArray> kExchanges[] = {
    {"noise before the SOH", "read-block", 1, {QByteArray("~?x\0", 4) + kGood}, {}},
    {"bad checksum, then good", "read-block", 1, {kGood.chopped(3) + "A0\r", kGood}, {}},
    {"lower-case checksum twice", "read-block", 1, {kGood.chopped(3) + "a3\r"}, {}},
    {"write-block type twice", "read-block", 1, {Reply(kTypeWriteBlock, 16)}, {}},
    {"no CR at the end twice", "read-block", 1, {kGood.chopped(1) + '0'}, {}},
    {"a byte more, then good", "read-block", 1, {kGood + '0', kGood}, {}},
    {"flood after the reply", "read-block", 1, {kGood + QByteArray(90, '~'), kGood}, {}},
    {"a byte short twice", "read-block", 1, {kGood.left(5) + kGood.mid(6)}, {}},
    {"byte of block type twice", "read-byte", 1, {Reply(kTypeReadBlock, 1)}, {}},
    {"write block: noise, then ACK", "write-block", 1, {"\x15~\x06"}, {}},
    {"no ACK, no retry", "write-block", 0, {}, {}},
    {"retry count 2, silent radio", "read-byte", 2, {}, {}},
    {"Cancel awaiting the SOH", "read-block", 1, {}, "cancel@3"},
    {"Cancel awaiting the body", "read-block", 1, {kGood.left(11)}, "cancel@4"},
    {"Cancel awaiting the ACK", "write-byte", 1, {}, "cancel@2"},
    {"Cancel as the body completes", "read-block", 1, {kGood.chopped(1)}, "cancel+cr@2"},
    {"unplugged before: the flush fails", "read-block", 1, {}, "unplugged"},
    {"unplugged: noted once, thrown by the retry", "read-byte", 1, {}, "unplug"},
    {"short body: body limit", "read-byte", 0, {kByte.left(5)}, {}},
    // The reply's SOH read in the poll the limit runs out in is late; one poll sooner
    // it is in time.
    {"reply as the limit runs out", "read-byte", 0, {"", "@1002 " + kByte}, {}},
    {"reply a poll sooner", "read-byte", 0, {"", "@1001 " + kByte}, {}},
    {"too much before the SOH, then good",
     "read-block",
     1,
     {QByteArray(200, '~') + kGood, kGood},
     {}},
    // The first attempt's reply comes late, after the second's: the block is read again.
    {"late reply after the retry's answer", "read-blocks", 1, {"", kGood, "@1045 " + kGood}, {}},
    // A reply follows the first block's: it is read again before the second.
    {"input before the command", "read-blocks", 1, {kGood, "^" + kGood}, {}},
};

// The ways a radio or a line misbehaves over the pseudo-terminal: name, operation, the
// simulator tool's arguments ("stale": a reply left on the line).
const std::tuple<const char*, Transfer, const char*> kFaults[] = {
    {"read", Transfer::Read, ""},
    {"program", Transfer::Program, ""},
    {"clear", Transfer::Clear, ""},
    {"read: the radio hangs up", Transfer::Read, "--fault hang-up@40"},
    // An earlier session sent a command and was stopped before its reply came.
    {"read: a stale reply on the line", Transfer::Read, "stale"},
    // Paced, so the radio answers the repeated command only after the late reply.
    {"read: a reply past the limit", Transfer::Read,
     "--baud 115200 --late 600 --fault late-reply@30"},
    {"read: answers lag one behind", Transfer::Read, "--fault previous-reply@100"},
    {"read: a digit that is no digit", Transfer::Read, "--fault non-hex@50"},
    {"read: blocks of another model", Transfer::Read, "--fault block-ids"},
    {"read: a flood", Transfer::Read, "--fault flood@60"},
    {"program: the radio hangs up while written", Transfer::Program, "--fault hang-up@518"},
    {"program: silent while written", Transfer::Program, "--fault silence@519"},
};
}  // namespace

class TestLink : public QObject {
    Q_OBJECT

  private slots:
    void wire_matchesTheGolden() {
        QByteArray out;
        // Digits as a reply may carry them: either case; a bad digit ends the number.
        for (const char* pair : {"a0", "fE", "G1", "1G", "F "})
            out += QByteArray("hex '") + pair + "' -> " +
                   QByteArray::number(HexToByte(pair[0], pair[1])) + '\n';
        // The tool's --fault argument.
        for (const char* text : {"silence", "drop-reply@5", "mismatched-ids@12", "drop@5", "noise@",
                                 "noise@-1", "noise@2x"}) {
            const auto fault = ParseFault(text);
            const std::string parsed =
                fault ? FaultName(fault->kind) + '@' + std::to_string(fault->atCommand) : "refused";
            out += QByteArray("fault '") + text + "' -> " + parsed.c_str() + '\n';
        }

        // A port that cannot be opened. The cure named: a port the user may open is held by
        // another program; one the user may not open needs the group that owns it, unless that
        // is root's. A control character in a device name is refused before anything is opened.
        for (const auto& [error, accessible, group] :
             {std::tuple{QSerialPort::PermissionError, true, "dialout"},
              {QSerialPort::PermissionError, false, "uucp"},
              {QSerialPort::PermissionError, false, "root"},
              {QSerialPort::PermissionError, false, ""},
              {QSerialPort::DeviceNotFoundError, false, "uucp"}})
            out += "hint " + QByteArray::number(error) + (accessible ? " accessible " : " ") +
                   group + " -> " + Shown(OpenFailureHint(error, accessible, group).toUtf8()) +
                   '\n';
        for (const QString& device : {QString("no-such-tty"), "tty" + QString(QChar(0)) + "x"}) {
            ErrorInfo error;
            QtSerialPort(device).Open(error);
            out += "open -> " + QByteArray::number(error.Number) + ' ' +
                   Shown(QByteArray::fromStdString(error.Description)) + '\n';
        }

        // The radio: an HV2071P whose byte 0002 is 00, so that its read answer's checksum is "3C".
        MemoryImage memory{};
        BuildDefaultImage(memory, Model::HV2071P);
        memory[0x0002] = 0x00;
        // The sessions, tests/data/link_wire_sessions.txt, a line each: name; the radio's fault;
        // the inputs handed over one by one ('|' between them).
        for (const QByteArray& text :
             ReadBytes(TestDataPath("link_wire_sessions.txt")).trimmed().split('\n')) {
            const QByteArrayList session = text.split(';');
            out += "== " + session[0] + " ==\n";
            RadioSim sim(memory);
            if (const auto fault = ParseFault(session[1].trimmed().toStdString()))
                sim.AddFault(*fault);
            for (const QByteArray& input : session[2].trimmed().split('|'))
                out += "> " + input + "\n< " + Shown(Text(sim.Receive(Input(input)))) + '\n';
            for (const std::string& line : sim.Log())
                out += "log " + QByteArray::fromStdString(line) + '\n';
            const auto n = [](int value) { return QByteArray::number(value); };
            out += "commands " + n(sim.CommandCount()) + ", CANs " + n(sim.CanCount()) +
                   ", bad frames " + n(sim.BadFrameCount()) + ", replies " + n(sim.ReplyCount()) +
                   (sim.HungUp() ? ", hung up" : "") + "\nmemory changed:";
            for (int address = 0; address < kImageSize; ++address)
                if (sim.Memory()[address] != memory[address])
                    out += ' ' + QByteArray::number(address, 16).toUpper().rightJustified(4, '0') +
                           '=' + QByteArray(1, char(sim.Memory()[address])).toHex().toUpper();
            out += '\n';
        }

        // Past its size limit a trace ends with one line that says so, and nothing after it.
        FakeClock clock;
        QTemporaryDir dir;
        SerialTrace trace(clock, 60);
        ErrorInfo error;
        const QString path = dir.filePath("t.txt");
        QVERIFY(trace.Open(path, OpenGrowingFile(path, false, error)));
        for (uint8_t byte = 0; byte < 6; ++byte)
            trace.Bytes(true, {byte});
        trace.Note("later");
        out += "== a trace past its limit ==\n" + ReadBytes(path);
        COMPARE_GOLDEN(out, "link_wire.txt");
    }
    void exchanges_matchTheGolden_data() { AddRowsOf(kExchanges); }
    void exchanges_matchTheGolden() {
        const auto& [name, op, retries, replies, event] = RowOf(kExchanges);
        QTemporaryDir dir;
        const QString trace = dir.filePath("trace.txt");
        const QByteArray outcome = Perform(op, retries, replies, event, trace);
        QCOMPARE(Perform(op, retries, replies, event, {}), outcome);
        COMPARE_GOLDEN_STORY(QByteArray("== ") + name + " ==\n" + ReadBytes(trace) + outcome,
                             "link_exchanges.txt");
    }

    // The rows are tests/data/link_operations.txt, a line each: name | events (see Tell).
    void operations_matchTheirStories_data() {
        QTest::addColumn<QByteArray>("events");
        for (const QByteArray& line :
             ReadBytes(TestDataPath("link_operations.txt")).trimmed().split('\n')) {
            const QByteArrayList row = line.split('|');
            QTest::newRow(row[0].trimmed().constData()) << row.value(1).trimmed();
        }
    }
    void operations_matchTheirStories() {
        QFETCH(QByteArray, events);
        COMPARE_GOLDEN_STORY(Tell(QTest::currentDataTag(), events), "link_clone_operations.txt");
    }

    // The real serial code against the simulator tool on a pseudo-terminal, one row per way a
    // radio or a line can misbehave, with the link's time limits shortened: what the user is
    // told, what the image and the radio hold afterwards, and the most input the port ever held.
    // tests/data/link_faults.txt.
    void faults_overThePty_data() { AddRowsOf(kFaults); }
    void faults_overThePty() {
        const auto& [name, mode, arguments] = RowOf(kFaults);
        const Model model = mode == Transfer::Read ? Model::TQ5300 : Model::HV2071P;
        QTemporaryDir dir;
        const MemoryImage radio = RadioInUse(model, 11);
        WriteBytes(dir.filePath("before.hex"), ImageBytes(radio));
        SimProcess sim(CHANWRIGHT_RADIOSIM);
        QString why;
        QVERIFY2(sim.Start(QStringList{"--image", dir.filePath("before.hex"), "--dump",
                                       dir.filePath("after.hex")}
                               << QString(arguments).remove("stale").split(' ', Qt::SkipEmptyParts),
                           &why),
                 qPrintable(why));
        if (QByteArray(arguments) == "stale")
            LeaveStaleReply(sim.Device(), Command("120808"));
        AppState app = MakeDefaultApp(model);
        app.Data.UsaChannels[0].ChTag = "HARBOUR";
        QtSerialPort serial(sim.Device());
        SteadyClock clock;
        SerialTrace unopened(clock);
        HeldInput port(serial, unopened);
        NoEventPump events;
        RecordingPrompter prompter;
        RecordingView view;
        RecordingLog log;
        RadioLink link(app.Shared, port, clock, events, log, {0.4, 0.4, 0.4, 50, 5, 0.3});
        CloneOperations operations(app, link, prompter, clock, view, log);
        operations.SetSettlePause(0);

        const AppState before = app;
        MemoryImage programmed{}, cleared = radio;
        EncodeOverRadio(before.Data, AsRead(radio, model), false, programmed);
        cleared[kPermissionCount] = 0;
        app.Shared.TransferMode = mode;
        const bool done = operations.RunTransfer() == TransferResult::Done;
        QByteArray out = QByteArray("== ") + name + " ==\n" + (done ? "done" : "not done");
        for (const ShownMessage& shown : prompter.messages)
            out += "\ntold: " + Shown(QByteArray::fromStdString(shown.text))
                                    .replace(sim.Device().toLatin1(), "DEVICE");
        if (sim.Running())
            QVERIFY(sim.Stop());
        else
            QVERIFY(sim.WaitForExit(5000));
        out += "\nimage: " +
               Which(app.Image, {{"as before", before.Image},
                                 {"as read", AsRead(radio, model)},
                                 {"programmed", programmed}}) +
               "\nradio: " +
               Which(BytesToImage(ReadBytes(dir.filePath("after.hex"))),
                     {{"programmed", StoredByRadio(programmed, radio)},
                      {"as before", radio},
                      {"cleared", cleared}}) +
               "\nport open: " + (serial.IsOpen() ? "yes" : "no") +
               "; input held at most: " + (port.most > 4096 ? "more than 4096" : "4096 or less") +
               '\n';
        COMPARE_GOLDEN_STORY(out, "link_faults.txt");
    }
};

QTEST_GUILESS_MAIN(TestLink)
#include "tst_link.moc"
