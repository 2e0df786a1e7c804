#include "report/text_report.h"

#include "core/text_encoding.h"
#include "image/image_codec.h"
#include "report/report_values.h"

namespace chanwright::report {

namespace {

// The byte the radio counts its user MMSI entries in.
constexpr int kUserMmsiCountAddress = 341;
constexpr int kLabelWidth = 18;

// Collects the lines; each one goes in behind its own CR LF.
class TextImage {
  public:
    void Line(const std::string& line) { text_ += "\r\n" + line; }
    void Blank() { text_ += "\r\n"; }
    bool Empty() const { return text_.empty(); }
    const std::string& Text() const { return text_; }

  private:
    std::string text_;
};

std::string Number(int value) {
    return std::to_string(value);
}

// The cells from "ENABLE" on, in the column widths of the regional and EXP lists.
std::string ChannelColumns(const ChannelCells& cells) {
    return PadRight(cells.enable, 8) + PadRight(cells.rx, 9) + PadRight(cells.tx, 9) +
           PadRight(cells.txEnable, 4) + PadRight(cells.low, 5) + PadRight(cells.up, 4) +
           PadRight(cells.dup, 5) + PadRight(cells.scan, 5) + PadRight(cells.name, 12);
}

void AddCommonSettings(TextImage& out, const AppState& app) {
    const CommonSettings& common = app.Data.Common;
    if (!out.Empty())
        out.Blank();
    out.Line("##### Common Setting #####");
    out.Line("--- Radio ---");
    // Only the HV2071P has a contrast and dimmer to set.
    if (app.Shared.ModelNum != Model::TQ5300) {
        out.Line(Label("ContrastLevel", kLabelWidth) + Number(common.Contrast));
        out.Line(Label("Dimmer Status:", kLabelWidth) + DimmerText(common.Dimmer));
    }
    out.Line(Label("OffsetTime", kLabelWidth) + OffsetText(common.OffsetTime));
    out.Line(Label("KeyBeep", kLabelWidth) + YesNo(common.KeyBeep));
    out.Line(Label("Wx Alert", kLabelWidth) + YesNo(common.WxAlert));
    out.Line(Label("ScanType", kLabelWidth) + ScanTypeText(common.ScanType));
    out.Blank();
    out.Line("--- Dsc ---");
    out.Line(Label("Indivisual Reply", kLabelWidth) + YesNo(common.IndReply));
    out.Line(Label("Indivisual ACK", kLabelWidth) + YesNo(common.IndACK));
    out.Line(Label("Indivisual Ringer", kLabelWidth) + RingerText(common.Ind));
    out.Line(Label("POS Request Reply", kLabelWidth) + YesNo(common.POSRR));
    out.Line(Label("DscScan", kLabelWidth) + YesNo(common.DscScan));
    out.Line(Label("User MMSI", kLabelWidth) + PadRight(ShownMmsi(common.UserMmsid), 11) + "-----" +
             " " + Label("Count", 7) + Number(app.Image[kUserMmsiCountAddress]));
    out.Blank();
    // ATIS exists only on the European variant.
    if (app.Shared.ModelCode == "KW83E") {
        out.Line("--- ATIS ---");
        out.Line(Label("ATIS No.", 11) + common.AtisNo);
        out.Line(std::string(20, ' ') + PadRight("USA", 20) + PadRight("International", 20) +
                 PadRight("CANADA", 20));
        out.Line(PadRight("AtisOnOff :", 20) + PadRight(YesNo(common.AtisOnOffUSA), 20) +
                 PadRight(YesNo(common.AtisOnOffInternational), 20) +
                 PadRight(YesNo(common.AtisOnOffCanada), 20));
    }
}

void AddRegion(TextImage& out, const AppState& app, Region region, const std::string& name) {
    const ChannelPlan& plan = PlanOf(app.Plans, region);
    out.Blank();
    out.Line("##### Programable " + name + " Channel #####");
    out.Line("CH   ENABLE  RX(MHz)  TX(MHz)  TX  LOW  UP  DUP  MEM  CH Name");
    out.Line("---  ------  -------  -------  --  ---  --  ---  ---  ------------");
    for (const PlanChannel& channel : ChannelsOf(app.Data, region)) {
        const std::string number =
            plan.Contains(channel.Position) ? plan.At(channel.Position).ChannelNo : "";
        out.Line(PadRight(number, 5) + ChannelColumns(CellsOf(channel, plan)));
    }
}

void AddWx(TextImage& out, const AppState& app) {
    out.Blank();
    out.Line("##### Programable Wx Channel #####");
    out.Line("CH  ENABLE  MEM  CH Name");
    out.Line("--  ------  ---  ------------");
    int number = 0;
    for (const WxChannel& channel : app.Data.WxChannels) {
        const ChannelCells cells = CellsOf(channel, app.Plans.WxPlan);
        out.Line(PadRight(Number(++number), 4) + PadRight(cells.enable, 8) +
                 PadRight(cells.scan, 5) + PadRight(cells.name, 12));
    }
}

void AddExp(TextImage& out, const AppState& app) {
    out.Blank();
    out.Line("##### Programable Exp Channel #####");
    out.Line("CH  POS  ENABLE  RX(MHz)  TX(MHz)  TX  LOW  UP  DUP  MEM  CH Name");
    out.Line("--  ---  ------  -------  -------  --  ---  --  ---  ---  ------------");
    for (int n = 1; n <= kExpChannelCount; ++n) {
        const ExpChannel& channel = app.Data.ExpChannels[static_cast<std::size_t>(n - 1)];
        out.Line(PadRight(Number(n), 4) + PadRight(Number(channel.Position), 5) +
                 ChannelColumns(CellsOf(channel, app.Plans.ExpPlan)));
    }
}

// Every place of a directory is listed, used or not.
template <std::size_t N>
void AddDirectory(TextImage& out, const std::array<DirectoryEntry, N>& directory,
                  const std::string& title, const std::string& heading) {
    out.Blank();
    out.Line(title);
    out.Line(heading);
    out.Line("---  ----------    ---------");
    for (std::size_t i = 0; i < N; ++i) {
        const DirectoryEntry& entry = directory[i];
        out.Line(PadRight(Number(static_cast<int>(i) + 1), 5) + PadRight(entry.TagName, 14) +
                 PadRight(ShownMmsi(entry.Mmsid), 9));
    }
}

}  // namespace

std::string PadRight(const std::string& text, int width) {
    // Columns count characters: an accented letter takes two bytes of UTF-8 and one column.
    const std::size_t columns = width > 0 ? static_cast<std::size_t>(width) : 0;
    std::string result = text.substr(0, Utf8PrefixSize(text, columns));
    result.append(columns - Utf8Length(result), ' ');
    return result;
}

std::string Label(const std::string& text, int width) {
    return PadRight(text, width - 1) + ": ";
}

std::string BuildTextReport(const AppState& app) {
    TextImage out;
    AddCommonSettings(out, app);
    AddRegion(out, app, Region::Usa, "USA");
    AddRegion(out, app, Region::International, "International");
    AddRegion(out, app, Region::Canada, "Canada");
    AddWx(out, app);
    AddExp(out, app);
    AddDirectory(out, app.Data.IndividualDirectory, "##### Memory ID Setting #####",
                 "No.  Station Name  MMSI");
    AddDirectory(out, app.Data.GroupDirectory, "##### Group ID Setting #####",
                 "No.  Group Name    MMSI");
    return out.Text();
}

}  // namespace chanwright::report
