// The link in process, against the in-memory port with virtual time and a pump that can press
// Cancel at a chosen poll.
//
// Exchanges: scripted replies. Each runs traced, so that tests/data/link_exchanges.txt shows
// what went out, what came in, when each limit ran out and what the link made of it, and
// untraced, which must end the same.
//
// Operations: read, program, clear and verify against the simulated radio, each told as a story:
// what the user is told and what is logged, what the radio gets, the progress shown, the pauses,
// the flags, and what became of the image, the data, the radio and the backup. The stories are
// tests/data/link_clone_operations.txt.
#include <QtTest>
#include <deque>
#include <numeric>

#include "image/image_decoder.h"
#include "image/image_encoder.h"
#include "link/clone_operations.h"
#include "link/frames.h"
#include "link/serial_trace.h"
#include "tests/link/link_kit.h"
#include "tests/support/fake_port.h"
#include "tests/support/radio_memory.h"
#include "tools/radiosim/radio_sim.h"

using namespace chanwright;
using namespace chanwright::test;

namespace {

using Bytes = std::vector<uint8_t>;

const Bytes kData = {0x00, 0x1F, 0xAB, 0xFF, 0x00, 0x20, 0x41, 0x7E,
                     0x80, 0x99, 0xC3, 0x12, 0x34, 0x56, 0x78, 0x9A};
constexpr uint16_t kAddress = 0x1230;

QByteArray Reply(uint8_t type, int count) {
    const Frame frame = BuildReply(type, kData.data(), count);
    return QByteArray(reinterpret_cast<const char*>(frame.data()), qsizetype(frame.size()));
}

struct Exchange {
    const char* name;  // "trace_…: …": a documented trace, which it must equal
    const char* op;    // read-block, read-byte, write-block, write-byte
    int retries;
    QByteArrayList replies;  // one per command frame; the last answers every later one
    QByteArray event = {};   // cancel@N (at poll N), cancel+cr@N (the body completing then),
                             // open-fails, write-fails@N, unplugged (before), unplug (at a write)
};

// What the exchange left, and what went out by when: the same traced or not.
QByteArray Perform(const Exchange& x, const QString& tracePath) {
    SharedState shared;
    shared.RetryCount = int16_t(x.retries);
    FakeClock clock;
    ScriptedPump events;
    RecordingLog log;
    FakePort port(clock);
    SerialTrace trace(clock);
    TracingPort traced(port, trace);
    ErrorInfo error;
    const bool tracing = !tracePath.isEmpty() && trace.Open(tracePath, error);
    RadioLink link(shared, tracing ? static_cast<SerialPort&>(traced) : port, clock, events, log);
    link.SetTrace(tracing ? &trace : nullptr);

    const QByteArray event = x.event.split('@').first();
    const int at = x.event.split('@').last().toInt();
    std::deque<QByteArray> replies(x.replies.begin(), x.replies.end());
    port.onWrite = [&](const Bytes& bytes) {
        if (bytes.size() > 1 && !replies.empty())
            port.Feed(Bytes(replies.front().begin(), replies.front().end()));
        if (bytes.size() > 1 && replies.size() > 1)
            replies.pop_front();
        if (event == "unplug")
            port.Unplug({5, "Gone\nReplug"});
    };
    events.onPoll = [&](int poll) {
        if (event == "cancel+cr" && poll == at)
            port.Feed({kCr});
        if (event.startsWith("cancel") && poll == at)
            shared.AbortRequested = kTrue;
    };
    if (event == "open-fails")
        port.FailOpen(ErrorInfo{2, "No such device"});
    if (event == "write-fails")
        port.FailWriteAt(at, {9, "Device vanished"}, "Serial");

    MemoryImage image = RandomImage(3);
    const MemoryImage before = image;
    QByteArray thrown = "-";
    // An open port is left as it is.
    if (link.PortOpen() && link.PortOpen()) {
        if (event == "unplugged")
            port.Unplug({5, "Gone"}, "Serial");
        const QByteArray op = x.op;
        try {
            if (op.startsWith("read"))
                op.endsWith("block") ? link.ReadBlock(image, kAddress)
                                     : link.ReadByte(image, kAddress);
            else
                op.endsWith("block") ? link.WriteBlock(image, kAddress)
                                     : link.WriteByte(image, kAddress);
        } catch (const SerialPortError& failure) {
            thrown = QByteArray::number(failure.Info().Number) + ' ' +
                     Shown(QByteArray::fromStdString(failure.Info().Description)) + " (" +
                     QByteArray::fromStdString(failure.Source()) + ')';
        }
    }
    const auto n = [](double value) { return QByteArray::number(value); };
    QByteArray outcome = "-> failed " + n(shared.OperationFailed) + ", aborted " +
                         n(shared.AbortRequested) + ", image " + Hex4(kAddress - 1) + ": " +
                         ImageSlice(image, kAddress - 1, 18).toHex().toUpper() +
                         (image == before ? " (untouched)" : "") + ", thrown " + thrown + "; " +
                         n(port.writes.size()) + " writes, " + n(clock.now) + " s\n";
    for (const auto& [procedure, text] : log.records)
        outcome += "-> logged " + QByteArray::fromStdString(procedure + " " + text) + '\n';
    return outcome;
}

constexpr int kPermissionCount = 0x0155;

// Takes every copy; one that keeps none fails the way a full disk does.
struct Keeper : BackupKeeper {
    bool keeps = true;
    std::vector<MemoryImage> copies;
    bool Keep(const MemoryImage& image, int16_t, ErrorInfo& error) override {
        copies.push_back(image);
        error = {28, "No space left on device"};
        return keeps;
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
    const auto word = [&](size_t line, int index) {
        return QByteArray::fromStdString(log[line]).split(' ').value(index);
    };
    const auto address = [&](size_t line) { return word(line, 1).toInt(nullptr, 16); };
    QByteArray text;
    for (size_t i = from, n = 1; i < log.size(); i += n) {
        const int step = word(i, 0).endsWith("block") ? 16 : 1;
        for (n = 1; i + n < log.size() && word(i + n, 0) == word(i, 0) &&
                    address(i + n) == address(i) + step * int(n);)
            ++n;
        text += "\n  " + (word(i, 0) + ' ' + word(i, 1)).trimmed() +
                (n > 1 ? "…" + word(i + n - 1, 1) + " (" + QByteArray::number(int(n)) + ')' : "");
    }
    return text;
}

// One operation as the golden tells it, message icons by number (1 information, 2 exclamation,
// 3 critical). The name starts with the operation: read, program, clear or verify. Events,
// space-separated: faults for the radio (drop-reply@104 …), tq5300 (the radio is one),
// cancel@N (while command N is awaited), cancel-late@N (as its reply is in), open-fails,
// open-fails@N (after command N), write-fails@N (the N-th write), unplug@N, backup (program backs
// up first), unsaved (the copy cannot be kept), overflow (data that cannot be encoded), again (a
// second run, faults gone).
QByteArray Tell(const QByteArray& name, const QByteArray& script) {
    const QByteArrayList events = script.split(' ');
    const auto at = [&](const char* event) {  // N of event@N, 0 without N, -1 when absent
        for (const QByteArray& e : events)
            if (e.split('@').first() == event)
                return e.split('@').value(1).toInt();
        return -1;
    };
    AppState app = MakeDefaultApp(kModelHV2071P);
    app.Image[kPermissionCount] = 9;
    // Edited, so that what program encodes and sends differs from the image loaded.
    app.Data.UsaChannels[0].ChTag = "HARBOUR";
    app.Data.IndividualDirectory[0] = {kTrue, "SHIP", "3669999990"};
    app.Data.Common.Scrambler = at("overflow") < 0 ? 3 : 300;
    RadioSim sim(RadioMemory(at("tq5300") < 0 ? kModelHV2071P : kModelTQ5300, 21));
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
    ops.SetProgramOptions({at("backup") == 0, false});
    if (at("write-fails") > 0)
        port.FailWriteAt(at("write-fails"), {9, "Device vanished"}, "Serial");
    if (at("open-fails") == 0)
        port.FailOpen(ErrorInfo{2, "No such device"});
    QByteArrayList story;
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
    MemoryImage encoded = before.Image;
    EncodeImage(before.Data, encoded);
    MemoryImage cleared = before.Image, radioCleared = radio;
    cleared[kPermissionCount] = radioCleared[kPermissionCount] = 0;
    const MemoryImage asRead = RadioAsRead(radio, kModelHV2071P);
    RadioData decoded = before.Data;
    DecodeImage(asRead, decoded);

    const auto n = [](int value) { return QByteArray::number(value); };
    for (int run = 0; run < (at("again") < 0 ? 1 : 2); ++run) {
        const size_t from = sim.Log().size();
        prompter.messages.clear();
        // read, program, clear and verify are modes 0 … 3.
        app.Shared.TransferMode = int16_t(
            QByteArrayList{"read", "program", "clear", "verify"}.indexOf(name.split(':').first()));
        story << (ops.RunTransfer() ? "result: done" : "result: not done");
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
    story << "flags: failed " + n(app.Shared.OperationFailed) + ", aborted " +
                 n(app.Shared.AbortRequested) + ", done " + n(app.Shared.TransferDone) + ", busy " +
                 n(app.Shared.Busy) + "; port " + (port.IsOpen() ? "open" : "closed") + " after " +
                 n(port.opens) + " opens";
    story << "image: " + Which(app.Image, {{"as before", before.Image},
                                           {"encoded", encoded},
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
    if (app.Shared.TransferMode == kTransferVerify)
        story << "verify saw: " + Which(ops.RadioImage(), {{"as read", asRead}});
    if (at("cancel") > 0 || at("cancel-late") > 0)
        story << QByteArray("Cancel afterwards: the dialog ") +
                     (ops.CancelTransfer() ? "closes" : "stays");
    return "== " + name + " ==\n" + story.join('\n') + '\n';
}

}  // namespace

class TestLink : public QObject {
    Q_OBJECT

  private slots:
    void exchanges_matchTheGolden() {
        const QByteArray good = Reply(kTypeReadBlock, 16), byte = Reply(kTypeReadByte, 1);
        const auto badSum = [](QByteArray reply) {
            return reply.replace(reply.size() - 2, 1,
                                 reply.mid(reply.size() - 2, 1) == "0" ? "1" : "0");
        };
        const auto lowerSum = [](QByteArray reply) {
            return reply.replace(reply.size() - 3, 2, reply.mid(reply.size() - 3, 2).toLower());
        };
        const Exchange exchanges[] = {
            {"noise before the SOH", "read-block", 1, {QByteArray("~?x\0", 4) + good}},
            {"bad checksum, then good", "read-block", 1, {badSum(good), good}},
            {"lower-case checksum twice", "read-block", 1, {lowerSum(good)}},
            {"write-block type twice", "read-block", 1, {Reply(kTypeWriteBlock, 16)}},
            {"no CR at the end twice", "read-block", 1, {good.chopped(1) + '0'}},
            {"a byte more, then good", "read-block", 1, {good + '0', good}},
            {"a byte short twice", "read-block", 1, {good.left(5) + good.mid(6)}},
            {"byte of block type twice", "read-byte", 1, {Reply(kTypeReadBlock, 1)}},
            {"write block: noise, then ACK", "write-block", 1, {"\x15~\x06"}},
            {"no ACK, no retry", "write-block", 0, {}},
            {"retry count 2, silent radio", "read-byte", 2, {}},
            {"Cancel awaiting the SOH", "read-block", 1, {}, "cancel@3"},
            {"Cancel awaiting the body", "read-block", 1, {good.left(11)}, "cancel@4"},
            {"Cancel awaiting the ACK", "write-byte", 1, {}, "cancel@2"},
            {"Cancel as the body completes", "read-block", 1, {good.chopped(1)}, "cancel+cr@2"},
            {"port will not open", "read-block", 1, {}, "open-fails"},
            {"command write fails", "read-block", 1, {}, "write-fails@1"},
            {"unplugged before: the flush fails", "read-block", 1, {}, "unplugged"},
            {"trace_unplugged: noted once, thrown by the retry", "read-byte", 1, {}, "unplug"},
            {"trace_bad_checksum: retried", "read-byte", 1, {badSum(byte), byte}},
            {"trace_silent_radio: SOH limit twice", "read-byte", 1, {}},
            {"trace_short_body: body limit", "read-byte", 0, {byte.left(5)}},
        };
        QTemporaryDir dir;
        QByteArray out;
        for (const Exchange& x : exchanges) {
            const QByteArray outcome = Perform(x, dir.filePath("trace.txt"));
            QVERIFY2(Perform(x, {}) == outcome, x.name);
            const QByteArray trace = ReadBytes(dir.filePath("trace.txt"));
            if (QByteArray(x.name).startsWith("trace_"))
                COMPARE_GOLDEN(trace, QByteArray(x.name).split(':').first() + ".txt");
            out += QByteArray("== ") + x.name + " ==\n" + trace + outcome;
        }
        COMPARE_GOLDEN(out, "link_exchanges.txt");
    }

    void operations_matchTheirStories() {
        const char* const operations[][2] = {
            {"read", ""},
            {"program", ""},
            {"clear", ""},
            {"verify", ""},
            {"read: block 100 unanswered twice, then again", "drop-reply@104 drop-reply@105 again"},
            {"read: other model's radio", "tq5300"},
            {"program: other model's radio", "tq5300"},
            {"clear: wrong-model fault", "wrong-model"},
            {"read: third identifier byte unanswered twice", "drop-reply@3 drop-reply@4"},
            {"program: first byte write unanswered twice", "drop-reply@7 drop-reply@8"},
            {"clear: unanswered twice, byte 341 put back", "drop-reply@5 drop-reply@6"},
            {"program: data that cannot be encoded", "overflow"},
            {"read: port will not open", "open-fails"},
            {"read: port will not open for the data", "open-fails@4"},
            {"program: port will not open for the data", "open-fails@4"},
            {"clear: port will not open for the data", "open-fails@4"},
            {"read: write fails in the model check", "write-fails@1"},
            {"read: write fails at block 10", "write-fails@14"},
            {"program: write fails", "write-fails@8"},
            {"clear: write fails, byte 341 put back", "write-fails@5"},
            {"read: unplugged, negative error number", "unplug@50"},
            {"program: the radio hangs up", "hang-up@40"},
            {"read: Cancel in the model check", "cancel@2"},
            {"read: Cancel in the read", "cancel@30"},
            {"read: Cancel as the last block comes in", "cancel-late@516"},
            {"program: Cancel", "cancel@20"},
            {"clear: Cancel, byte 341 put back", "cancel@5"},
            {"program: backed up first", "backup"},
            {"program: Cancel in the backup", "backup cancel@30"},
            {"program: Cancel after the backup", "backup cancel@536"},
            {"program: the backup read fails", "backup drop-reply@100 drop-reply@101"},
            {"program: the backup cannot be kept", "backup unsaved"},
        };
        QByteArray out;
        for (const auto& [name, events] : operations)
            out += Tell(name, events);
        COMPARE_GOLDEN(out, "link_clone_operations.txt");
    }
};

QTEST_GUILESS_MAIN(TestLink)
#include "tst_link.moc"
