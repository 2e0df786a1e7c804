// The exchanges against the in-memory port: scripted replies, virtual time, a pump that can
// press Cancel at a chosen poll. Time-outs cost nothing, so limits are checked to the poll.
#include <QtTest>
#include <functional>
#include <utility>

#include "link/frames.h"
#include "link/radio_link.h"
#include "link/serial_trace.h"
#include "tests/support/fake_port.h"
#include "tests/support/test_files.h"
#include "tests/support/test_platform.h"

using namespace chanwright;
using namespace chanwright::test;

namespace {

using Bytes = std::vector<uint8_t>;

const Bytes kData = {0x00, 0x1F, 0xAB, 0xFF, 0x00, 0x20, 0x41, 0x7E,
                     0x80, 0x99, 0xC3, 0x12, 0x34, 0x56, 0x78, 0x9A};
constexpr uint16_t kAddress = 0x1230;
constexpr uint8_t kUntouched = 0xEE;

QByteArray Wire(const Bytes& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<int>(bytes.size()));
}

Bytes Raw(const QByteArray& bytes) {
    return Bytes(bytes.begin(), bytes.end());
}

QByteArray Reply(uint8_t type, int count) {
    return Wire(BuildReply(type, kData.data(), count));
}

QByteArray LowerChecksum(QByteArray reply) {
    const int at = static_cast<int>(reply.size()) - 3;
    reply[at] = static_cast<char>(QChar::toLower(uint(reply[at])));
    reply[at + 1] = static_cast<char>(QChar::toLower(uint(reply[at + 1])));
    return reply;
}

QByteArray BadChecksum(QByteArray reply) {
    const int at = static_cast<int>(reply.size()) - 2;
    reply[at] = reply[at] == '0' ? '1' : '0';
    return reply;
}

struct Rig {
    explicit Rig(int retryCount = 1, bool open = true) {
        shared.RetryCount = static_cast<int16_t>(retryCount);
        if (open)
            link.PortOpen();
        image.fill(kUntouched);
        // Replies answer command frames only, never the lone CAN.
        port.onWrite = [this](const Bytes& bytes) {
            pausesAtWrite.push_back(static_cast<int>(clock.pauses.size()));
            if (bytes.size() > 1 && !replies.empty()) {
                port.Feed(Raw(replies.front()));
                if (replies.size() > 1)
                    replies.pop_front();
            }
        };
    }

    SharedState shared;
    test::FakeClock clock;
    ScriptedPump events;
    RecordingLog log;
    test::FakePort port{clock};
    RadioLink link{shared, port, clock, events, log};
    MemoryImage image{};
    std::deque<QByteArray> replies;  // the last one answers every later command
    std::vector<int> pausesAtWrite;

    bool Stored(int count) const {
        for (int i = 0; i < kImageSize; ++i) {
            const bool mine = i >= kAddress && i < kAddress + count;
            if (image[i] != (mine ? kData[i - kAddress] : kUntouched))
                return false;
        }
        return true;
    }
    bool Untouched() const { return Stored(0); }
};

}  // namespace

class TestRadioLink : public QObject {
    Q_OBJECT

  private slots:
    // attempts: 1 when the first reply is taken, 2 when a CAN and a repeat follow.
    void readReply_acceptedOrRejected_data() {
        QTest::addColumn<bool>("block");
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QByteArray>("second");
        QTest::addColumn<int>("attempts");
        QTest::addColumn<bool>("stored");
        const QByteArray good = Reply(kTypeReadBlock, 16);
        const QByteArray byte = Reply(kTypeReadByte, 1);
        QByteArray noCr = good;
        noCr[noCr.size() - 1] = '0';
        QByteArray short36 = good;
        short36.remove(5, 1);
        QTest::newRow("good block: stored, one command") << true << good << good << 1 << true;
        QTest::newRow("noise before SOH: dropped, stored")
            << true << QByteArray("~?x\0", 4) + good << good << 1 << true;
        QTest::newRow("bad checksum, then good: stored on the repeat")
            << true << BadChecksum(good) << good << 2 << true;
        QTest::newRow("bad checksum twice: nothing stored")
            << true << BadChecksum(good) << BadChecksum(good) << 2 << false;
        QTest::newRow("lower-case checksum twice: nothing stored")
            << true << LowerChecksum(good) << LowerChecksum(good) << 2 << false;
        QTest::newRow("write-block type twice: nothing stored")
            << true << Reply(kTypeWriteBlock, 16) << Reply(kTypeWriteBlock, 16) << 2 << false;
        QTest::newRow("no CR at the end twice: nothing stored")
            << true << noCr << noCr << 2 << false;
        QTest::newRow("a byte more, then good: stored on the repeat")
            << true << good + '0' << good << 2 << true;
        QTest::newRow("a byte short twice: nothing stored")
            << true << short36 << short36 << 2 << false;
        QTest::newRow("good byte: one byte stored") << false << byte << byte << 1 << true;
        QTest::newRow("byte of block type twice: nothing stored")
            << false << Reply(kTypeReadBlock, 1) << Reply(kTypeReadBlock, 1) << 2 << false;
        QTest::newRow("byte with lower-case checksum twice: nothing stored")
            << false << LowerChecksum(byte) << LowerChecksum(byte) << 2 << false;
    }
    void readReply_acceptedOrRejected() {
        QFETCH(bool, block);
        QFETCH(QByteArray, first);
        QFETCH(QByteArray, second);
        QFETCH(int, attempts);
        QFETCH(bool, stored);
        if (QByteArray(QTest::currentDataTag()).contains("lower-case"))
            QVERIFY2(first != first.toUpper(), "the checksum needs a letter to lower");
        Rig rig;
        rig.replies = {first, second};
        if (block)
            rig.link.ReadBlock(rig.image, kAddress);
        else
            rig.link.ReadByte(rig.image, kAddress);

        const Frame command = block ? BuildReadBlock(kAddress) : BuildReadByte(kAddress);
        std::vector<Bytes> writes = {command};
        if (attempts == 2)
            writes = {command, {kCan}, command};
        QCOMPARE(rig.port.writes, writes);
        // The pause lies between the CAN and the repeated command.
        const std::vector<int> pausesAtWrite =
            attempts == 2 ? std::vector<int>{0, 0, 1} : std::vector<int>{0};
        QCOMPARE(rig.pausesAtWrite, pausesAtWrite);
        QCOMPARE(rig.clock.pauses, std::vector<int>(attempts - 1, 50));
        QCOMPARE(rig.shared.OperationFailed, stored ? kFalse : kTrue);
        QCOMPARE(rig.shared.AbortRequested, kFalse);
        QVERIFY(rig.Stored(stored ? (block ? kBlockSize : 1) : 0));
    }

    void writeExchange_sendsImageFrameAndTakesAck_data() {
        QTest::addColumn<bool>("block");
        QTest::addColumn<QByteArray>("answer");
        QTest::newRow("block, noise then ACK") << true << QByteArray("\x15~\x06");
        QTest::newRow("byte, ACK") << false << QByteArray("\x06");
    }
    void writeExchange_sendsImageFrameAndTakesAck() {
        QFETCH(bool, block);
        QFETCH(QByteArray, answer);
        Rig rig;
        rig.replies = {answer};
        for (int i = 0; i < kBlockSize; ++i)
            rig.image[kAddress + i] = kData[i];
        const MemoryImage before = rig.image;
        if (block)
            rig.link.WriteBlock(rig.image, kAddress);
        else
            rig.link.WriteByte(rig.image, kAddress);
        const Frame frame =
            block ? BuildWriteBlock(kAddress, before) : BuildWriteByte(kAddress, before);
        QCOMPARE(rig.port.writes, std::vector<Bytes>{frame});
        QCOMPARE(rig.shared.OperationFailed, kFalse);
        QVERIFY(rig.image == before);
    }

    // One attempt only, so the virtual time spent is the limit that ran out.
    void timeOut_takesItsOwnLimit_data() {
        QTest::addColumn<bool>("read");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<double>("limit");
        const QByteArray good = Reply(kTypeReadBlock, 16);
        QTest::newRow("silent radio: 10 s for the SOH") << true << QByteArray() << 10.0;
        QTest::newRow("noise without SOH: 10 s") << true << QByteArray("~?x") << 10.0;
        QTest::newRow("38 bytes after the SOH: 1 s for the body") << true << good + '0' << 1.0;
        QTest::newRow("36 bytes after the SOH: 1 s") << true << good.left(36) + '\r' << 1.0;
        QTest::newRow("no ACK: 10 s") << false << QByteArray() << 10.0;
        QTest::newRow("NAK instead of ACK: 10 s") << false << QByteArray("\x15") << 10.0;
    }
    void timeOut_takesItsOwnLimit() {
        QFETCH(bool, read);
        QFETCH(QByteArray, answer);
        QFETCH(double, limit);
        Rig rig(0);
        rig.replies = {answer};
        if (read)
            rig.link.ReadBlock(rig.image, kAddress);
        else
            rig.link.WriteBlock(rig.image, kAddress);
        QCOMPARE(rig.shared.OperationFailed, kTrue);
        QCOMPARE(int(rig.port.writes.size()), 1);
        QVERIFY2(rig.clock.now > limit && rig.clock.now < limit + 0.02,
                 qPrintable(QString::number(rig.clock.now)));
        QVERIFY(rig.Untouched());
    }

    // RetryCount 1 is the rule everywhere else; the count, not a fixed two, bounds the attempts.
    void retryCount2_silentRadio_threeCommandsTwoCans() {
        Rig rig(2);
        rig.link.ReadByte(rig.image, kAddress);
        const Bytes command = BuildReadByte(kAddress);
        QCOMPARE(rig.port.writes, (std::vector<Bytes>{command, {kCan}, command, {kCan}, command}));
        QCOMPARE(rig.clock.pauses, (std::vector<int>{50, 50}));
        QCOMPARE(rig.shared.OperationFailed, kTrue);
    }

    // A reply left over from an earlier exchange and a Cancel of an earlier operation must not
    // decide this one.
    void leftoverInputAndAbort_areClearedBeforeTheCommand() {
        Rig rig(0);
        const Bytes other(16, 0x55);
        rig.port.Feed(BuildReply(kTypeReadBlock, other.data(), 16));
        rig.shared.AbortRequested = kTrue;
        rig.replies = {Reply(kTypeReadBlock, 16)};
        rig.link.ReadBlock(rig.image, kAddress);
        QCOMPARE(rig.shared.OperationFailed, kFalse);
        QCOMPARE(rig.shared.AbortRequested, kFalse);
        QVERIFY(rig.Stored(kBlockSize));
    }

    // Cancel runs in the event pump; the wait must end on that very poll and not try again.
    void cancel_endsTheWaitOnThatPoll_data() {
        QTest::addColumn<QString>("wait");
        QTest::addColumn<int>("cancelAt");
        QTest::newRow("awaiting the SOH") << "soh" << 3;
        QTest::newRow("awaiting the body") << "body" << 4;
        QTest::newRow("awaiting the ACK") << "ack" << 2;
        QTest::newRow("in the poll the body completes") << "complete" << 2;
    }
    void cancel_endsTheWaitOnThatPoll() {
        QFETCH(QString, wait);
        QFETCH(int, cancelAt);
        Rig rig;
        const QByteArray good = Reply(kTypeReadBlock, 16);
        if (wait == "body")
            rig.replies = {good.left(11)};
        else if (wait == "complete")
            rig.replies = {good.chopped(1)};
        rig.events.onPoll = [&](int poll) {
            if (poll != cancelAt)
                return;
            if (wait == "complete")
                rig.port.Feed({kCr});
            rig.shared.AbortRequested = kTrue;
        };
        if (wait == "ack")
            rig.link.WriteByte(rig.image, kAddress);
        else
            rig.link.ReadBlock(rig.image, kAddress);
        QCOMPARE(rig.events.calls, cancelAt);
        QCOMPARE(int(rig.port.writes.size()), 1);
        QCOMPARE(rig.shared.AbortRequested, kTrue);
        // A body wait looks at the byte count first: a body complete in that poll still counts,
        // and the caller stops on AbortRequested after this exchange.
        const bool taken = wait == "complete";
        QCOMPARE(rig.shared.OperationFailed, taken ? kFalse : kTrue);
        QCOMPARE(rig.Untouched(), !taken);
    }

    // The awaited bytes turn up in the same poll in which the clock reaches (or passes) the
    // limit: at the limit they count, past it the deadline wins over the match.
    void arrivalAtTheLimit_data() {
        QTest::addColumn<QString>("wait");
        QTest::addColumn<double>("late");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("SOH at 10 s: accepted") << "soh" << 0.0 << true;
        QTest::newRow("SOH just past 10 s: time-out") << "soh" << 0.001 << false;
        QTest::newRow("ACK at 10 s: accepted") << "ack" << 0.0 << true;
        QTest::newRow("ACK just past 10 s: time-out") << "ack" << 0.001 << false;
        QTest::newRow("body at 1 s: accepted") << "body" << 0.0 << true;
        // The body wait looks at the byte count before the deadline.
        QTest::newRow("body complete just past 1 s: accepted") << "body" << 0.001 << true;
        QTest::newRow("body short just past 1 s: time-out") << "short" << 0.001 << false;
    }
    void arrivalAtTheLimit() {
        QFETCH(QString, wait);
        QFETCH(double, late);
        QFETCH(bool, accepted);
        Rig rig(0);
        const QByteArray good = Reply(kTypeReadBlock, 16);
        const bool body = wait == "body" || wait == "short";
        if (body)
            rig.replies = {good.left(1)};
        bool fed = false;
        rig.port.onWait = [&](int) {
            if (fed)
                return;
            fed = true;
            rig.clock.now = (body ? 1.0 : 10.0) + late;
            rig.port.Feed(Raw(wait == "ack"     ? QByteArray("\x06")
                              : wait == "short" ? good.mid(1).chopped(1)
                              : body            ? good.mid(1)
                                                : good));
        };
        if (wait == "ack")
            rig.link.WriteBlock(rig.image, kAddress);
        else
            rig.link.ReadBlock(rig.image, kAddress);
        QVERIFY(fed);
        QCOMPARE(rig.shared.OperationFailed, accepted ? kFalse : kTrue);
        if (wait != "ack")
            QCOMPARE(rig.Stored(kBlockSize), accepted);
    }

    void portOpen_onAnOpenPort_doesNotReopen() {
        Rig rig(1, false);
        QVERIFY(rig.link.PortOpen());
        QVERIFY(rig.link.PortOpen());
        QCOMPARE(rig.port.opens, 1);
        QVERIFY(rig.log.records.empty());
    }

    void portOpen_failure_isLoggedWithNumberThenDescription() {
        Rig rig(1, false);
        rig.port.FailOpen(ErrorInfo{2, "No such device"});
        QVERIFY(!rig.link.PortOpen());
        QCOMPARE(rig.link.OpenError().Number, 2);
        QCOMPARE(rig.link.OpenError().Description, std::string("No such device"));
        using Record = std::pair<std::string, std::string>;
        QCOMPARE(rig.log.records, (std::vector<Record>{{"frmRadio.PortOpen", "2No such device"}}));
    }

    // Failures of the flush or a write leave the exchange; those met while awaiting an answer
    // only fail the attempt. writes: successful writes before the outcome.
    void portErrors_propagateOnlyFromFlushAndWrite_data() {
        QTest::addColumn<int>("retryCount");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<bool>("throws");
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("writes");
        QTest::newRow("command write fails") << 1 << "write1" << true << 9 << 0;
        QTest::newRow("CAN write fails") << 1 << "write2" << true << 9 << 1;
        QTest::newRow("unplugged before: the flush fails") << 1 << "before" << true << 5 << 0;
        QTest::newRow("unplugged while awaiting: the retry's flush fails")
            << 1 << "awaiting" << true << 5 << 1;
        QTest::newRow("unplugged while awaiting, no retry: a failed attempt")
            << 0 << "awaiting" << false << 0 << 1;
    }
    void portErrors_propagateOnlyFromFlushAndWrite() {
        QFETCH(int, retryCount);
        QFETCH(QString, fault);
        QFETCH(bool, throws);
        QFETCH(int, number);
        QFETCH(int, writes);
        Rig rig(retryCount);
        const ErrorInfo vanished{9, "Device vanished"};
        const ErrorInfo gone{5, "Gone"};
        if (fault.startsWith("write"))
            rig.port.FailWriteAt(fault.back().digitValue(), vanished, "Serial");
        else if (fault == "before")
            rig.port.Unplug(gone, "Serial");
        else
            rig.port.onWrite = [&](const Bytes&) { rig.port.Unplug(gone, "Serial"); };
        bool thrown = false;
        try {
            rig.link.ReadBlock(rig.image, kAddress);
        } catch (const SerialPortError& error) {
            thrown = true;
            QCOMPARE(error.Info().Number, number);
            QCOMPARE(error.Info().Description, (number == 9 ? vanished : gone).Description);
            QCOMPARE(error.Source(), std::string("Serial"));
        }
        QCOMPARE(thrown, throws);
        QCOMPARE(int(rig.port.writes.size()), writes);
        QCOMPARE(rig.shared.OperationFailed, kTrue);
        QVERIFY(rig.Untouched());
        if (!throws)
            QVERIFY(rig.clock.now > 10.0 && rig.clock.now < 10.02);
    }

    // One byte read through a traced port, and the same without: the traffic must not differ.
    // The golden traces are in tests/data.
    void trace_recordsTrafficAndWhatTheLinkMadeOfIt_data() {
        QTest::addColumn<int>("retryCount");
        QTest::addColumn<QByteArrayList>("replies");
        QTest::addColumn<bool>("unplug");
        QTest::addColumn<QString>("golden");
        const QByteArray byte = Reply(kTypeReadByte, 1);
        QTest::newRow("bad checksum, then good: retried")
            << 1 << QByteArrayList{BadChecksum(byte), byte} << false << "trace_bad_checksum.txt";
        QTest::newRow("silent radio: SOH limit, retried, SOH limit")
            << 1 << QByteArrayList{} << false << "trace_silent_radio.txt";
        QTest::newRow("short body: body limit")
            << 0 << QByteArrayList{byte.left(5)} << false << "trace_short_body.txt";
        // Noted once for all the polls that meet it, again where it ends the exchange.
        QTest::newRow("unplugged: noted and thrown")
            << 1 << QByteArrayList{} << true << "trace_unplugged.txt";
    }
    void trace_recordsTrafficAndWhatTheLinkMadeOfIt() {
        QFETCH(int, retryCount);
        QFETCH(QByteArrayList, replies);
        QFETCH(bool, unplug);
        QFETCH(QString, golden);
        const auto run = [&](Rig& rig, RadioLink& link) {
            rig.replies = {replies.begin(), replies.end()};
            if (unplug)
                rig.port.onWrite = [&rig](const Bytes&) { rig.port.Unplug({5, "Gone\nReplug"}); };
            link.PortOpen();
            try {
                link.ReadByte(rig.image, kAddress);
            } catch (const SerialPortError& error) {
                return error.Info().Number;
            }
            return 0;
        };
        Rig plain(retryCount, false);
        Rig rig(retryCount, false);
        QTemporaryDir dir;
        SerialTrace trace(rig.clock);
        ErrorInfo error;
        QVERIFY(trace.Open(dir.filePath("trace.txt"), error));
        TracingPort traced(rig.port, trace);
        RadioLink link(rig.shared, traced, rig.clock, rig.events, rig.log);
        link.SetTrace(&trace);
        QCOMPARE(run(rig, link), unplug ? 5 : 0);
        QCOMPARE(run(plain, plain.link), unplug ? 5 : 0);
        QCOMPARE(rig.port.writes, plain.port.writes);
        QCOMPARE(rig.clock.now, plain.clock.now);
        QString why;
        QVERIFY2(MatchesGolden(ReadBytes(trace.Path()), golden, &why), qPrintable(why));
    }
};

QTEST_GUILESS_MAIN(TestRadioLink)
#include "tst_radio_link.moc"
