#include <QtTest>

#include "core/shared_state.h"
#include "image/default_image.h"
#include "link/frames.h"
#include "tests/support/test_files.h"
#include "tools/radiosim/radio_sim.h"

using namespace chanwright;

namespace {

std::vector<uint8_t> Bytes(const QByteArray& bytes) {
    return {bytes.begin(), bytes.end()};
}

QByteArray Text(const std::vector<uint8_t>& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<int>(bytes.size()));
}

QByteArray Soh(const char* rest) {
    return QByteArray("\x01") + rest;
}

// A command frame around its body ("120155"): SOH, body, checksum, CR.
QByteArray Command(const char* body) {
    QByteArray frame = Soh(body);
    const auto sum = ByteToHex(CalcSum(reinterpret_cast<const uint8_t*>(frame.constData()), 1,
                                       static_cast<int>(frame.size()) - 1));
    frame.append(static_cast<char>(sum[0])).append(static_cast<char>(sum[1])).append('\r');
    return frame;
}

// An HV2071P with a known 0x00 at 0x0002, whose read-byte checksum ("3C") has a letter.
MemoryImage RadioMemory() {
    MemoryImage memory{};
    BuildDefaultImage(memory, kModelHV2071P);
    memory[0x0002] = 0x00;
    return memory;
}

QStringList LogOf(const RadioSim& sim) {
    QStringList lines;
    for (const std::string& line : sim.Log())
        lines << QString::fromStdString(line);
    return lines;
}

}  // namespace

class TestRadioSim : public QObject {
    Q_OBJECT

  private slots:
    void answers_data();
    void answers();
    void unanswered_data();
    void unanswered();
    void canDropsPartialFrame();
    void frameSplitAcrossCalls_answersAtCr();
    void writeBlock_storesBytesAsReceived();
    void fault_data();
    void fault();
    void faultAtCommand_data();
    void faultAtCommand();
    void dropReply_stillStoresWrite();
    void parseFault_data();
    void parseFault();
};

void TestRadioSim::answers_data() {
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("logLine");

    QTest::newRow("read byte 0000") << Soh("120000DC\r") << Soh("120834\r") << "read-byte 0000";
    QTest::newRow("read byte 1FFF") << Command("121FFF") << Soh("121F25\r") << "read-byte 1FFF";
    QTest::newRow("read block 1FF0")
        << Command("141FF0") << Soh("14FFFFFFFFFFFFFFFFFFFFFFFFFFFF081F") + "13\r"
        << "read-block 1FF0";
    QTest::newRow("write byte") << Command("110155AB") << QByteArray("\x06")
                                << "write-byte 0155 AB";
}

void TestRadioSim::answers() {
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, reply);
    QFETCH(QString, logLine);

    MemoryImage memory = test::FilledImage(0xFF);
    test::PutBytes(memory, 0x0000, test::Hex("081f"));
    test::PutBytes(memory, 0x1FFE, test::Hex("081f"));
    RadioSim sim(memory);
    QCOMPARE(Text(sim.Receive(Bytes(command))), reply);
    QCOMPARE(LogOf(sim), QStringList{logLine});
    QCOMPARE(sim.CommandCount(), 1);
    QCOMPARE(sim.ReplyCount(), 1);
}

void TestRadioSim::unanswered_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("logLine");

    QTest::newRow("bad checksum") << Soh("120000DD\r") << "bad-frame 0131323030303044440D";
    QTest::newRow("lower-case address") << Command("1201fe") << "bad-frame 0131323031666537300D";
    QTest::newRow("unknown type") << Command("150000") << "bad-frame 0131353030303044390D";
    QTest::newRow("read with data") << Command("12000000") << "bad-frame 01313230303030303037430D";
    QTest::newRow("block past the end") << Command("141FF8") << "bad-frame 0131343146463841350D";
    QTest::newRow("overlong") << Soh("") + QByteArray(41, '0') + "\r"
                              << "bad-frame 01" + QString("30").repeated(41);
    QTest::newRow("frame restarted without CAN")
        << Soh("1200") + Soh("120000DC\r") << "bad-frame 01313230300131323030303044430D";
}

void TestRadioSim::unanswered() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, logLine);

    RadioSim sim(RadioMemory());
    QVERIFY(sim.Receive(Bytes(bytes)).empty());
    QCOMPARE(sim.CommandCount(), 0);
    QCOMPARE(sim.BadFrameCount(), 1);
    QCOMPARE(LogOf(sim).value(0), logLine);
}

void TestRadioSim::canDropsPartialFrame() {
    RadioSim sim(RadioMemory());
    QVERIFY(sim.Receive(Bytes(Soh("1400"))).empty());
    QVERIFY(sim.InFrame());
    QCOMPARE(Text(sim.Receive(Bytes("\x18" + Command("120000")))), Soh("120834\r"));
    QCOMPARE(LogOf(sim), (QStringList{"can", "read-byte 0000"}));
    QCOMPARE(sim.CanCount(), 1);
    QCOMPARE(sim.BadFrameCount(), 0);
}

void TestRadioSim::frameSplitAcrossCalls_answersAtCr() {
    RadioSim sim(RadioMemory());
    const QByteArray bytes = "~\x06 " + Command("120002");  // line noise before SOH is ignored
    for (int i = 0; i + 1 < bytes.size(); ++i)
        QVERIFY(sim.Receive(Bytes(bytes.mid(i, 1))).empty());
    QCOMPARE(Text(sim.Receive(Bytes(bytes.right(1)))), Soh("12003C\r"));
}

void TestRadioSim::writeBlock_storesBytesAsReceived() {
    MemoryImage source = test::FilledImage(0xFF);
    test::PutBytes(source, 0x0200, test::Hex("41424344"));
    const Frame frame = BuildWriteBlock(0x0200, source);  // unused text goes out as spaces

    RadioSim sim(RadioMemory());
    QCOMPARE(Text(sim.Receive(frame)), QByteArray("\x06"));
    const QByteArray stored = test::Hex("4142434420202020202020202020ffff");
    QCOMPARE(test::ImageSlice(sim.Memory(), 0x0200, 16), stored);
    QCOMPARE(LogOf(sim), QStringList{"write-block 0200 " + QString(stored.toHex().toUpper())});
    QCOMPARE(Text(sim.Receive(BuildReadBlock(0x0200))),
             Text(BuildReply(kTypeReadBlock, sim.Memory().data() + 0x0200, 16)));
}

void TestRadioSim::fault_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("reply");

    const QByteArray read0002 = Command("120002");
    QTest::newRow("none") << "" << read0002 << Soh("12003C\r");
    QTest::newRow("bad-checksum") << "bad-checksum" << read0002 << Soh("12003D\r");
    QTest::newRow("lowercase-checksum") << "lowercase-checksum" << read0002 << Soh("12003c\r");
    QTest::newRow("noise") << "noise" << read0002
                           << QByteArray("~?x", 4) /* with its NUL */ + Soh("12003C\r");
    QTest::newRow("extra-byte") << "extra-byte" << read0002 << Soh("12003C\r0");
    QTest::newRow("drop-reply") << "drop-reply" << read0002 << QByteArray();
    QTest::newRow("silence") << "silence" << read0002 << QByteArray();
    QTest::newRow("hang-up") << "hang-up" << read0002 << QByteArray();
    QTest::newRow("wrong-model, first copy")
        << "wrong-model" << Command("120000") << Soh("121437\r");
    QTest::newRow("wrong-model, second copy")
        << "wrong-model" << Command("121FFE") << Soh("121437\r");
    QTest::newRow("mismatched-ids, first copy kept")
        << "mismatched-ids" << Command("120000") << Soh("120834\r");
    QTest::newRow("mismatched-ids, second copy")
        << "mismatched-ids" << Command("121FFF") << Soh("12B426\r");
    QTest::newRow("bad-checksum leaves ACK")
        << "bad-checksum" << Command("11000200") << QByteArray("\x06");
    QTest::newRow("noise leaves ACK") << "noise" << Command("11000200") << QByteArray("\x06");
}

void TestRadioSim::fault() {
    QFETCH(QString, fault);
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, reply);

    RadioSim sim(RadioMemory());
    if (!fault.isEmpty())
        sim.AddFault(*ParseFault(fault.toStdString()));
    QCOMPARE(Text(sim.Receive(Bytes(command))), reply);
    QCOMPARE(sim.HungUp(), fault == "hang-up");
}

void TestRadioSim::faultAtCommand_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("answers");  // per exchange: A good, X other bytes, - nothing
    QTest::addColumn<int>("logLines");

    QTest::newRow("drop-reply@2 spares the repeat") << "drop-reply@2"
                                                    << "A-A" << 4;
    QTest::newRow("extra-byte@1") << "extra-byte@1"
                                  << "XAA" << 4;
    QTest::newRow("bad-checksum@3") << "bad-checksum@3"
                                    << "AAX" << 4;
    QTest::newRow("silence@2 lasts") << "silence@2"
                                     << "A--" << 4;
    QTest::newRow("hang-up@2 hears nothing after") << "hang-up@2"
                                                   << "A--" << 2;
}

void TestRadioSim::faultAtCommand() {
    QFETCH(QString, fault);
    QFETCH(QString, answers);
    QFETCH(int, logLines);

    RadioSim sim(RadioMemory());
    sim.AddFault(*ParseFault(fault.toStdString()));
    const QByteArray good = Soh("12003C\r");
    QString seen;
    // The second exchange is repeated after a CAN, as the program does after a failure.
    for (const QByteArray& bytes :
         {Command("120002"), Command("120002"), "\x18" + Command("120002")}) {
        const QByteArray reply = Text(sim.Receive(Bytes(bytes)));
        seen += reply.isEmpty() ? '-' : reply == good ? 'A' : 'X';
    }
    QCOMPARE(seen, answers);
    QCOMPARE(sim.CommandCount(), fault.startsWith("hang-up") ? 2 : 3);
    QCOMPARE(static_cast<int>(sim.Log().size()), logLines);
}

void TestRadioSim::dropReply_stillStoresWrite() {
    RadioSim sim(RadioMemory());
    sim.AddFault({FaultKind::DropReply, 1});
    QVERIFY(sim.Receive(Bytes(Command("110155AB"))).empty());
    QCOMPARE(sim.Memory()[0x0155], uint8_t{0xAB});
    QCOMPARE(sim.ReplyCount(), 0);
}

void TestRadioSim::parseFault_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("atCommand");

    QTest::newRow("name only") << "silence" << true << int(FaultKind::Silence) << 0;
    QTest::newRow("with command") << "drop-reply@5" << true << int(FaultKind::DropReply) << 5;
    QTest::newRow("mismatched-ids@12")
        << "mismatched-ids@12" << true << int(FaultKind::MismatchedIds) << 12;
    QTest::newRow("unknown name") << "drop@5" << false << 0 << 0;
    QTest::newRow("empty number") << "noise@" << false << 0 << 0;
    QTest::newRow("negative number") << "noise@-1" << false << 0 << 0;
    QTest::newRow("trailing text") << "noise@2x" << false << 0 << 0;
}

void TestRadioSim::parseFault() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(int, kind);
    QFETCH(int, atCommand);

    const std::optional<SimFault> fault = ParseFault(text.toStdString());
    QCOMPARE(fault.has_value(), valid);
    if (!fault)
        return;
    QCOMPARE(int(fault->kind), kind);
    QCOMPARE(fault->atCommand, atCommand);
    QCOMPARE(QString::fromStdString(FaultName(fault->kind)), text.section('@', 0, 0));
}

QTEST_GUILESS_MAIN(TestRadioSim)
#include "tst_radio_sim.moc"
