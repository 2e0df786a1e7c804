// The wire both ends speak: the hex digits a reply may carry, what the user is told of a port that
// cannot be opened, and what the simulated radio answers to each input, faults included. The
// frames themselves show in the link's traces. The expectations are tests/data/link_wire.txt.
#include <QtTest>

#include "core/shared_state.h"
#include "image/default_image.h"
#include "link/frames.h"
#include "link/qt_serial_port.h"
#include "tests/link/link_kit.h"
#include "tools/radiosim/radio_sim.h"

using namespace chanwright;
using namespace chanwright::test;

namespace {

// A command frame around its body ("120155"): SOH, body, checksum, CR.
QByteArray Command(const QByteArray& body) {
    const QByteArray frame = '\x01' + body;
    const auto sum = ByteToHex(
        CalcSum(reinterpret_cast<const uint8_t*>(frame.constData()), 1, int(frame.size()) - 1));
    return frame + char(sum[0]) + char(sum[1]) + '\r';
}

// Bytes written as the golden shows them, <XX> for any byte, plus [body] for a command frame
// around body.
std::vector<uint8_t> Bytes(const QByteArray& text) {
    QByteArray bytes;
    qsizetype done = 0;
    for (const auto& part : QRegularExpression(R"(\[(\w+)\]|<(\w\w)>)").globalMatch(text)) {
        bytes += text.mid(done, part.capturedStart() - done) +
                 (part.hasCaptured(1) ? Command(part.captured(1).toLatin1())
                                      : QByteArray::fromHex(part.captured(2).toLatin1()));
        done = part.capturedEnd();
    }
    bytes += text.mid(done);
    return {bytes.begin(), bytes.end()};
}

}  // namespace

class TestWire : public QObject {
    Q_OBJECT

  private slots:
    void bothEnds_answerAsTheGoldenShows() {
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
        const auto permission = QSerialPort::PermissionError;
        for (const auto& [error, accessible, group] :
             {std::tuple{permission, true, "dialout"},
              {permission, false, "uucp"},
              {permission, false, "root"},
              {permission, false, ""},
              {QSerialPort::DeviceNotFoundError, false, "uucp"}}) {
            out += "hint " + QByteArray::number(error) + (accessible ? " accessible " : " ") +
                   group + " -> " + Shown(OpenFailureHint(error, accessible, group).toUtf8()) +
                   '\n';
        }
        for (const QString& device : {QString("no-such-tty"), "tty" + QString(QChar(0)) + "x"}) {
            ErrorInfo error;
            QtSerialPort(device).Open(error);
            out += "open -> " + QByteArray::number(error.Number) + ' ' +
                   Shown(QByteArray::fromStdString(error.Description)) + '\n';
        }

        // The radio: an HV2071P whose byte 0002 is 00, so that its read answer's checksum is "3C".
        MemoryImage memory{};
        BuildDefaultImage(memory, kModelHV2071P);
        memory[0x0002] = 0x00;
        // Name, the radio's fault, the inputs handed over one by one ('|' between them).
        const char* const sessions[][3] = {
            {"reads and a write", "", "<01>120000DC<0D>|[121FFF]|[141FF0]|[110155AB]"},
            {"block write stored as sent", "", "[1302004142434420202020202020202020FFFF]|[140200]"},
            {"refused: bad checksum", "", "<01>120000DD<0D>"},
            {"refused: lower-case address", "", "[1201fe]"},
            {"refused: unknown type", "", "[150000]"},
            {"refused: read with data", "", "[12000000]"},
            {"refused: block past the end", "", "[141FF8]"},
            {"refused: overlong", "", "<01>00000000000000000000000000000000000000000<0D>"},
            {"refused: frame restarted without CAN", "", "<01>1200[120000]"},
            {"CAN drops a half frame", "", "<01>1400|<18>[120000]"},
            {"noise before SOH, byte by byte", "", "~|<06>| |<01>|1|2|0|0|0|2|D|A|<0D>"},
            {"bad-checksum: reads only", "bad-checksum", "[120002]|[11000200]"},
            {"lowercase-checksum", "lowercase-checksum", "[120002]"},
            {"noise: reads only", "noise", "[120002]|[11000200]"},
            {"extra-byte", "extra-byte", "[120002]"},
            {"drop-reply: writes still stored", "drop-reply", "[120002]|[110155AB]"},
            {"silence", "silence", "[120002]|[11000200]"},
            {"hang-up", "hang-up", "[120002]|[120002]"},
            {"wrong-model", "wrong-model", "[120000]|[121FFE]"},
            {"mismatched-ids", "mismatched-ids", "[120000]|[121FFF]"},
            {"lost-write", "lost-write", "[110155AB]|[11000200]"},
            {"drop-reply@2 spares the repeat", "drop-reply@2", "[120002]|[120002]|<18>[120002]"},
            {"extra-byte@1", "extra-byte@1", "[120002]|[120002]|<18>[120002]"},
            {"bad-checksum@3", "bad-checksum@3", "[120002]|[120002]|<18>[120002]"},
            {"silence@2 lasts", "silence@2", "[120002]|[120002]|<18>[120002]"},
            {"hang-up@2 hears nothing after", "hang-up@2", "[120002]|[120002]|<18>[120002]"},
        };
        for (const auto& [name, faults, inputs] : sessions) {
            out += QByteArray("== ") + name + " ==\n";
            RadioSim sim(memory);
            if (const auto fault = ParseFault(faults))
                sim.AddFault(*fault);
            for (const QByteArray& input : QByteArray(inputs).split('|'))
                out += "> " + input + "\n< " + Shown(sim.Receive(Bytes(input))) + '\n';
            for (const std::string& line : sim.Log())
                out += "log " + QByteArray::fromStdString(line) + '\n';
            const auto n = [](int value) { return QByteArray::number(value); };
            out += "commands " + n(sim.CommandCount()) + ", CANs " + n(sim.CanCount()) +
                   ", bad frames " + n(sim.BadFrameCount()) + ", replies " + n(sim.ReplyCount()) +
                   (sim.HungUp() ? ", hung up" : "") + "\nmemory changed:";
            for (int address = 0; address < kImageSize; ++address)
                if (sim.Memory()[address] != memory[address])
                    out += ' ' + Hex4(address) + '=' +
                           QByteArray(1, char(sim.Memory()[address])).toHex().toUpper();
            out += '\n';
        }
        COMPARE_GOLDEN(out, "link_wire.txt");
    }
};

QTEST_GUILESS_MAIN(TestWire)
#include "tst_wire.moc"
