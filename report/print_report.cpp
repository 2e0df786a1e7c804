#include "report/print_report.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <algorithm>
#include <vector>

#include "report/report_values.h"

namespace chanwright::report {

namespace {

constexpr double kMmPerInch = 25.4;
constexpr double kLeftMarginMm = 10.0;  // every column position counts from here
constexpr double kTopMm = 5.0;          // the page header line starts here
constexpr double kBottomMarginMm = 10.0;
constexpr double kRightMarginMm = 5.0;
constexpr double kLargestPointSize = 9.0;
constexpr double kSmallestPointSize = 6.0;
constexpr double kColumnGapMm = 1.5;  // the least room between a cell and the next column

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

QString Dashes(int count) {
    return QString(count, QLatin1Char('-'));
}

// One cell of a column-title line, with the dashes printed under it.
struct Column {
    const char* title;
    double xMm;
    int dashes;
};

const std::vector<Column> kRegionalColumns = {
    {"CH", 0, 3},    {"ENABLE", 12, 6},   {"RX(MHz)", 31, 7}, {"TX(MHz)", 52, 7},
    {"TX", 73, 2},   {"LOW", 82, 3},      {"UP", 94, 2},      {"DUP", 104, 3},
    {"MEM", 116, 3}, {"CH Name", 128, 12}};
const std::vector<Column> kWxColumns = {
    {"CH", 0, 2}, {"ENABLE", 9, 5}, {"MEM", 28, 3}, {"CH Name", 40, 12}};
const std::vector<Column> kExpColumns = {{"CH", 0, 2},       {"POS", 9, 3},       {"ENABLE", 21, 6},
                                         {"RX(MHz)", 40, 7}, {"TX(MHz)", 61, 7},  {"TX", 82, 2},
                                         {"LOW", 92, 3},     {"UP", 104, 2},      {"DUP", 113, 3},
                                         {"MEM", 125, 3},    {"CH Name", 137, 12}};
const std::vector<Column> kDirectoryColumns = {{"No.", 0, 2}, {"CH Name", 19, 12}, {"MMSI", 50, 9}};

// The widest text each tight column must hold before the next column starts. The font is made
// small enough for all of them, whatever face the system substitutes.
struct Slot {
    const char* text;
    double widthMm;
};
const std::vector<Slot> kTightSlots = {
    {"International", 20},      // channel common and ATIS column titles, 20 mm apart
    {": 0000000000", 22},       // the user MMSI before "----- Count"
    {"POS Request Reply", 48},  // the longest settings label
    {"156.050", 21},            // RX before TX
    {"ENABLE", 19},             // ENABLE before RX(MHz), and before MEM on the WX page
    {"SCAN", 12},               // MEM before CH Name
    {"LOW", 9},                 // the attribute columns, 9 mm apart at the closest
    {"281", 12},                // EXP position before ENABLE
    {"WWWWWWWWWW", 31},         // a directory name before MMSI
};
// A channel name is the last cell of the widest (EXP) page: it must end inside the paper.
constexpr const char* kWidestName = "WWWWWWWWWWWW";
constexpr double kWidestNameColumnMm = 137;

// The font is chosen as for paper at least this wide: on a narrower sheet the columns keep their
// A4 proportions, the page scaled down where they do not fit, rather than names cut at the edge.
constexpr double kA4WidthMm = 210.0;
// Widths summed and taken apart again differ in their last bits; a text exactly as wide as its
// room still fits.
constexpr double kRoundingMm = 1e-6;

// Prints lines of text at millimetre positions on one page after the other, like a line
// printer with a movable print head. A line is drawn once it ends, when the room of each of its
// cells is known: up to the next cell, or to the right margin. What does not fit is cut off.
class PageWriter {
  public:
    PageWriter(QPainter& painter, QPagedPaintDevice& device) : painter_(painter), device_(device) {
        pxPerMmX_ = device.logicalDpiX() / kMmPerInch;
        pxPerMmY_ = device.logicalDpiY() / kMmPerInch;
        // The painter's origin is the corner of the printable area, not of the paper.
        const QPageLayout layout = device.pageLayout();
        const QRectF paint = layout.paintRect(QPageLayout::Millimeter);
        originMm_ = paint.topLeft();
        paperMm_ = layout.fullRect(QPageLayout::Millimeter).size();
        const QFont font = FittingFont();
        painter_.setFont(font);
        const QFontMetricsF metrics(font, &device_);
        ascent_ = metrics.ascent();
        lineHeight_ = metrics.lineSpacing();
        const double widestMm =
            kLeftMarginMm + kWidestNameColumnMm + WidthMm(font, kWidestName) + kRightMarginMm;
        widthScale_ = std::min(1.0, paperMm_.width() / widestMm);
    }

    // Starts a page (a new sheet from the second on) with room for lineCount lines. A page the
    // paper cannot hold is scaled down whole: smaller print beats overprinted rows.
    void StartPage(bool newSheet, int lineCount) {
        if (newSheet)
            device_.newPage();
        const double pageMm =
            kTopMm + std::max(lineCount, 1) * lineHeight_ / pxPerMmY_ + kBottomMarginMm;
        const double scale = std::min(widthScale_, paperMm_.height() / pageMm);
        rightEdgeMm_ = paperMm_.width() / scale - kRightMarginMm - kLeftMarginMm;
        painter_.resetTransform();
        painter_.translate(-originMm_.x() * pxPerMmX_, -originMm_.y() * pxPerMmY_);
        painter_.scale(scale, scale);
        top_ = kTopMm * pxPerMmY_;
    }

    // Prints text x mm from the left margin. endOfLine moves down a line afterwards; otherwise
    // the next text goes on the same line, further right.
    void PrintAt(const QString& text, double xMm, bool endOfLine) {
        line_.push_back({text, xMm});
        if (endOfLine)
            NewLine();
    }
    void NewLine() {
        DrawLine();
        top_ += lineHeight_;
    }

  private:
    struct Cell {
        QString text;
        double xMm;
    };

    void DrawLine() {
        const QFontMetricsF metrics(painter_.font(), &device_);
        for (const Cell& cell : line_) {
            double endMm = rightEdgeMm_;
            for (const Cell& other : line_) {
                if (other.xMm > cell.xMm)
                    endMm = std::min(endMm, other.xMm - kColumnGapMm);
            }
            const double roomPx = (endMm - cell.xMm + kRoundingMm) * pxPerMmX_;
            QString text = cell.text;
            while (!text.isEmpty() && metrics.horizontalAdvance(text) > roomPx)
                text.chop(1);
            painter_.drawText(QPointF((kLeftMarginMm + cell.xMm) * pxPerMmX_, top_ + ascent_),
                              text);
        }
        line_.clear();
    }

    double WidthMm(const QFont& font, const char* text) const {
        return QFontMetricsF(font, &device_).horizontalAdvance(QString::fromLatin1(text)) /
               pxPerMmX_;
    }

    QFont FittingFont() const {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setStyleHint(QFont::SansSerif);
        // No ligatures ("ff" in "Offset") nor kerning: the printed words stay plain letters that
        // read back and search as typed, and every width is the sum of its letters.
        font.setStyleStrategy(QFont::PreferNoShaping);
        font.setKerning(false);
        const double nameRoom = std::max(paperMm_.width(), kA4WidthMm) - kRightMarginMm -
                                kLeftMarginMm - kWidestNameColumnMm;
        for (double size = kLargestPointSize; size > kSmallestPointSize; size -= 0.5) {
            font.setPointSizeF(size);
            const bool fits =
                WidthMm(font, kWidestName) <= nameRoom &&
                std::all_of(kTightSlots.begin(), kTightSlots.end(), [&](const Slot& slot) {
                    return WidthMm(font, slot.text) + kColumnGapMm <= slot.widthMm;
                });
            if (fits)
                return font;
        }
        font.setPointSizeF(kSmallestPointSize);
        return font;
    }

    QPainter& painter_;
    QPagedPaintDevice& device_;
    double pxPerMmX_ = 1;
    double pxPerMmY_ = 1;
    QPointF originMm_;
    QSizeF paperMm_;
    double ascent_ = 0;
    double lineHeight_ = 0;
    double widthScale_ = 1;
    double rightEdgeMm_ = 0;  // from the left margin, on the page as laid out before scaling
    double top_ = 0;
    std::vector<Cell> line_;
};

// The header line and the empty line under it.
constexpr int kHeaderLines = 2;
// Header, title, column titles and their dashes.
constexpr int kTableHeadLines = kHeaderLines + 3;

class ReportPrinter {
  public:
    ReportPrinter(const AppState& app, QPainter& painter, QPagedPaintDevice& device)
        : app_(app), out_(painter, device), total_(ReportPageCount(app.Shared.ModelNum)) {}

    void PrintAll() {
        const RadioData& data = app_.Data;
        const ChannelPlans& plans = app_.Plans;
        if (app_.Shared.ModelNum == Model::TQ5300)
            ChannelCommonPage();
        CommonSettingsPage();
        RegionalPage("USA", data.UsaChannels, plans.UsaPlan);
        RegionalPage("International", data.IntlChannels, plans.IntlPlan);
        RegionalPage("Canada", data.CanadaChannels, plans.CanadaPlan);
        WxPage();
        ExpPage();
        DirectoryPage("Individual ID", data.IndividualDirectory.data(),
                      static_cast<int>(data.IndividualDirectory.size()));
        DirectoryPage("Group ID", data.GroupDirectory.data(),
                      static_cast<int>(data.GroupDirectory.size()));
    }

  private:
    void PageHeader(int lineCount) {
        out_.StartPage(page_ > 0, lineCount);
        ++page_;
        out_.PrintAt(Q(app_.Shared.ModelName()) + QStringLiteral(" Chanwright --- Page") +
                         QStringLiteral(" ") + QString::number(page_) + QStringLiteral(" of") +
                         QStringLiteral(" ") + QString::number(total_),
                     0, true);
        out_.NewLine();
    }

    void Line(const QString& text) { out_.PrintAt(text, 0, true); }

    void Setting(const char* label, const std::string& value) {
        out_.PrintAt(QString::fromLatin1(label), 0, false);
        out_.PrintAt(QStringLiteral(": ") + Q(value), 48, true);
    }

    void ChannelCommonPage() {
        const ChannelCommon& c = app_.Data.Channels;
        PageHeader(kHeaderLines + 4);
        Line(QStringLiteral("##### Programable Channel Common #####"));
        out_.PrintAt(QStringLiteral("USA"), 20, false);
        out_.PrintAt(QStringLiteral("International"), 40, false);
        out_.PrintAt(QStringLiteral("CANADA"), 60, true);
        ChoiceLine("A-ch", c.UsaAch, c.IntAch, c.CanAch);
        ChoiceLine("B-ch", c.UsaBch, c.IntBch, c.CanBch);
    }

    void ChoiceLine(const char* label, int16_t usa, int16_t intl, int16_t canada) {
        const ChannelPlans& plans = app_.Plans;
        out_.PrintAt(QString::fromLatin1(label), 0, false);
        out_.PrintAt(Q(ChoiceText(usa, plans.UsaPlan)), 20, false);
        out_.PrintAt(Q(ChoiceText(intl, plans.IntlPlan)), 40, false);
        out_.PrintAt(Q(ChoiceText(canada, plans.CanadaPlan)), 60, true);
    }

    void CommonSettingsPage() {
        const CommonSettings& s = app_.Data.Common;
        PageHeader(kHeaderLines + 20);
        Line(QStringLiteral("##### Common Setting #####"));
        Line(QStringLiteral("-- Radio --"));
        // The TQ5300 has neither a contrast nor a dimmer setting.
        if (app_.Shared.ModelNum != Model::TQ5300) {
            Setting("Contrast Level", std::to_string(s.Contrast));
            Setting("Dimmer Status", DimmerText(s.Dimmer));
        }
        Setting("Offset Time", OffsetText(s.OffsetTime));
        Setting("Key Beep", YesNo(s.KeyBeep));
        Setting("Wx Alert", YesNo(s.WxAlert));
        Setting("Scan Type", ScanTypeText(s.ScanType));
        Line(QStringLiteral("--  Dsc  --"));
        Setting("Indivisual reply", YesNo(s.IndReply));
        Setting("Indivisual ACK", YesNo(s.IndACK));
        Setting("Indivisual Ringer", RingerText(s.Ind));
        Setting("POS Request Reply", YesNo(s.POSRR));
        Setting("DscScan", YesNo(s.DscScan));
        out_.PrintAt(QStringLiteral("User MMSI"), 0, false);
        out_.PrintAt(QStringLiteral(": ") + Q(ShownMmsi(s.UserMmsid)), 48, false);
        out_.PrintAt(QStringLiteral("-----") + QStringLiteral(" Count"), 70, false);
        out_.PrintAt(QStringLiteral(": ") + QString::number(app_.Image[341]), 90, true);
        if (app_.Shared.ModelCode != "KW83E")
            return;
        Line(QStringLiteral("--  ATIS  --"));
        Setting("ATIS No.", s.AtisNo);
        out_.PrintAt(QStringLiteral("USA"), 50, false);
        out_.PrintAt(QStringLiteral("International"), 70, false);
        out_.PrintAt(QStringLiteral("CANADA"), 90, true);
        out_.PrintAt(QStringLiteral("AtisOnOff"), 0, false);
        out_.PrintAt(QStringLiteral(": ") + Q(YesNo(s.AtisOnOffUSA)), 48, false);
        out_.PrintAt(QStringLiteral("  ") + Q(YesNo(s.AtisOnOffInternational)), 68, false);
        out_.PrintAt(QStringLiteral("  ") + Q(YesNo(s.AtisOnOffCanada)), 88, true);
    }

    void TableHead(const char* title, const std::vector<Column>& columns, int rows) {
        PageHeader(kTableHeadLines + rows);
        Line(QStringLiteral("##### ") + QString::fromLatin1(title) + QStringLiteral(" #####"));
        for (std::size_t i = 0; i < columns.size(); ++i)
            out_.PrintAt(QString::fromLatin1(columns[i].title), columns[i].xMm,
                         i + 1 == columns.size());
        for (std::size_t i = 0; i < columns.size(); ++i)
            out_.PrintAt(Dashes(columns[i].dashes), columns[i].xMm, i + 1 == columns.size());
    }

    // Prints one row: texts[i] in columns[i].
    void Row(const std::vector<Column>& columns, const std::vector<QString>& texts) {
        for (std::size_t i = 0; i < columns.size(); ++i)
            out_.PrintAt(texts[i], columns[i].xMm, i + 1 == columns.size());
    }

    void RegionalPage(const char* region, const std::vector<PlanChannel>& channels,
                      const ChannelPlan& plan) {
        const std::string title = std::string("Programable ") + region + " Channel";
        TableHead(title.c_str(), kRegionalColumns, static_cast<int>(channels.size()));
        for (const PlanChannel& channel : channels) {
            const ChannelCells c = CellsOf(channel, plan);
            const QString number = plan.Contains(channel.Position)
                                       ? Q(plan.At(channel.Position).ChannelNo)
                                       : QString();
            Row(kRegionalColumns, {number, Q(c.enable), Q(c.rx), Q(c.tx), Q(c.txEnable), Q(c.low),
                                   Q(c.up), Q(c.dup), Q(c.scan), Q(c.name)});
        }
    }

    void WxPage() {
        const std::vector<WxChannel>& channels = app_.Data.WxChannels;
        TableHead("Programable WX Channel", kWxColumns, static_cast<int>(channels.size()));
        for (std::size_t k = 0; k < channels.size(); ++k) {
            const ChannelCells c = CellsOf(channels[k], app_.Plans.WxPlan);
            Row(kWxColumns, {QString::number(k + 1), Q(c.enable), Q(c.scan), Q(c.name)});
        }
    }

    void ExpPage() {
        const auto& channels = app_.Data.ExpChannels;
        TableHead("Programable EXP Channel", kExpColumns, static_cast<int>(channels.size()));
        for (std::size_t k = 0; k < channels.size(); ++k) {
            const ChannelCells c = CellsOf(channels[k], app_.Plans.ExpPlan);
            Row(kExpColumns, {QString::number(k + 1), QString::number(channels[k].Position),
                              Q(c.enable), Q(c.rx), Q(c.tx), Q(c.txEnable), Q(c.low), Q(c.up),
                              Q(c.dup), Q(c.scan), Q(c.name)});
        }
    }

    void DirectoryPage(const char* title, const DirectoryEntry* entries, int count) {
        TableHead(title, kDirectoryColumns, count);
        for (int n = 1; n <= count; ++n) {
            const DirectoryEntry& entry = entries[n - 1];
            Row(kDirectoryColumns,
                {QString::number(n), Q(entry.TagName), Q(ShownMmsi(entry.Mmsid))});
        }
    }

    const AppState& app_;
    PageWriter out_;
    int total_;
    int page_ = 0;
};

}  // namespace

int ReportPageCount(Model modelNum) {
    return modelNum == Model::TQ5300 ? 9 : 8;
}

void PrintReport(const AppState& app, QPagedPaintDevice& device) {
    QPainter painter(&device);
    if (!painter.isActive())
        return;
    ReportPrinter(app, painter, device).PrintAll();
}

}  // namespace chanwright::report
