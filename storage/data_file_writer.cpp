#include "storage/data_file_writer.h"

#include <cstdint>

#include "storage/profile_file.h"

namespace chanwright {

namespace {

class IniWriter {
  public:
    void Section(const std::string& name) { Line("[" + name + "]"); }
    void Number(const char* key, int value) {
        Line(std::string(key) + "=" + std::to_string(value));
    }
    void Flag(const char* key, Bool16 value) { Line(std::string(key) + (value ? "=1" : "=0")); }
    void Text(const char* key, const std::string& value) { Line(std::string(key) + "=#" + value); }
    void Bare(const char* key, const std::string& value) { Line(std::string(key) + "=" + value); }

    std::string Take(TextEncoding encoding, std::string* lacking) {
        std::string missing;
        std::string bytes = FileBytes(out_, encoding, missing);
        if (lacking)
            *lacking = missing;
        return bytes;
    }

  private:
    void Line(const std::string& line) {
        out_ += line;
        out_ += "\r\n";
    }
    std::string out_;
};

bool HasAtis(const SharedState& shared) {
    return shared.ModelCode == "KW83E";
}

void WriteHead(IniWriter& w, const SharedState& shared, const RadioData& data) {
    w.Section("MAIN");
    w.Text("MODEL", shared.ModelName());
    w.Text("TYPE", "QVX");
    w.Text("VERSION", "1.00");
    w.Number("MODELTYPE", 0);

    const CommonSettings& s = data.Common;
    w.Section("SETCOM");
    w.Number("Contrast", s.Contrast);
    w.Number("Dimmer", s.Dimmer);
    w.Number("Scrambler", s.Scrambler);
    w.Flag("KeyBeep", s.KeyBeep);
    w.Flag("TrueMag", s.TrueMAG);
    if (HasAtis(shared)) {
        w.Flag("AtisOnOffUSA", s.AtisOnOffUSA);
        w.Flag("AtisOnOffInternational", s.AtisOnOffInternational);
        w.Flag("AtisOnOffCanada", s.AtisOnOffCanada);
        w.Text("AtisNo", s.AtisNo);
    }
    w.Number("ScanType", s.ScanType);
    w.Number("Ind", s.Ind);
    w.Flag("IndReply", s.IndReply);
    w.Flag("IndACK", s.IndACK);
    w.Flag("POSRR", s.POSRR);
    w.Flag("DscScan", s.DscScan);
    w.Flag("WxAlert", s.WxAlert);
    // Stored as -24 … 0, -12 meaning no offset.
    w.Number("OffsetTime", s.OffsetTime - 24);
    w.Text("UserMmsid", s.UserMmsid);

    const ChannelCommon& c = data.Channels;
    w.Section("CHCOM");
    w.Number("USA-PCH", c.UsaPch);
    w.Number("INT-PCH", c.IntPch);
    w.Number("CAN-PCH", c.CanPch);
    w.Number("USA-ACH", c.UsaAch);
    w.Number("INT-ACH", c.IntAch);
    w.Number("CAN-ACH", c.CanAch);
    w.Number("USA-BCH", c.UsaBch);
    w.Number("INT-BCH", c.IntBch);
    w.Number("CAN-BCH", c.CanBch);
}

void WriteChannel(IniWriter& w, const std::string& section, const PlanChannel& ch) {
    w.Section(section);
    w.Number("Position", ch.Position);
    w.Flag("Enable", ch.Enable);
    w.Flag("LowPower", ch.LowPower);
    w.Flag("PowUp", ch.PowUp);
    w.Flag("Duplex", ch.Duplex);
    w.Flag("TxEnable", ch.TxEnable);
    w.Flag("DispayA", ch.DispayA);
    w.Flag("ScanMemory", ch.ScanMemory);
    w.Flag("VsMemory", ch.VsMemory);
    w.Text("ChTag", ch.ChTag);
}

void WriteChannels(IniWriter& w, const char* prefix, const std::vector<PlanChannel>& list) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        WriteChannel(w, prefix + std::to_string(i), list[i]);
    }
}

template <std::size_t N>
void WriteDirectory(IniWriter& w, const char* prefix, const std::array<DirectoryEntry, N>& dir) {
    for (std::size_t n = 0; n < N; ++n) {
        w.Section(prefix + std::to_string(n + 1));
        w.Flag("Enable", dir[n].Enable);
        w.Text("TagName", dir[n].TagName);
        w.Bare("Mmsid", dir[n].Mmsid);
    }
}

}  // namespace

std::string WriteDefaultsFile(const SharedState& shared, const RadioData& data,
                              std::string* lacking) {
    IniWriter w;
    WriteHead(w, shared, data);
    return w.Take(TextEncoding::Windows1252, lacking);
}

std::string WriteDataFile(const SharedState& shared, const RadioData& data, std::string* lacking) {
    IniWriter w;
    WriteHead(w, shared, data);
    WriteChannels(w, "CHUSA", data.UsaChannels);
    WriteChannels(w, "CHINT", data.IntlChannels);
    WriteChannels(w, "CHCAN", data.CanadaChannels);
    for (std::size_t i = 0; i < data.WxChannels.size(); ++i) {
        const WxChannel& wx = data.WxChannels[i];
        w.Section("CHWX" + std::to_string(i));
        w.Flag("Enable", wx.Enable);
        w.Flag("ScanMemory", wx.ScanMemory);
        w.Text("ChTag", wx.ChTag);
    }
    for (int n = 0; n < kExpChannelCount; ++n) {
        WriteChannel(w, "CHEXP" + std::to_string(n + 1), data.ExpChannels[n]);
    }
    WriteDirectory(w, "CHMMSID", data.IndividualDirectory);
    WriteDirectory(w, "CHGRPID", data.GroupDirectory);
    return w.Take(data.FileEncoding, lacking);
}

}  // namespace chanwright
