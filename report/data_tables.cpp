#include "report/data_tables.h"

#include <algorithm>
#include <array>
#include <map>
#include <set>

#include "image/image_codec.h"
#include "report/report_values.h"
#include "report/table_cells.h"
#include "storage/csv_text.h"

namespace chanwright::report {

namespace {

constexpr std::size_t kMostErrors = 20;

// The cells of one row, found by their column's word.
class TableRow {
  public:
    TableRow(const CsvRow& row, const std::map<std::string, std::size_t>& columns)
        : row_(row), columns_(columns) {}

    int Line() const { return row_.line; }
    bool Has(const std::string& column) const { return columns_.count(column) > 0; }
    // The cell as written; empty when the table has no such column.
    std::string Raw(const std::string& column) const {
        const auto found = columns_.find(column);
        return found == columns_.end() ? std::string() : row_.cells.at(found->second);
    }
    // The cell without the spaces around it.
    std::string Cell(const std::string& column) const { return Trimmed(Raw(column)); }

  private:
    const CsvRow& row_;
    const std::map<std::string, std::size_t>& columns_;
};

// One table's import: the copy of the data set its rows change, and what they did wrong.
class Importer {
  public:
    Importer(const AppState& app, std::string name) : app_(app), data_(app.Data), name_(name) {}

    RadioData& Data() { return data_; }
    std::vector<std::string>& Errors() { return errors_; }

    void Error(int line, const std::string& column, const std::string& reason) {
        errors_.push_back(name_ + ":" + std::to_string(line) + ": " +
                          (column.empty() ? "" : column + ": ") + reason);
    }

    // A flag cell onto its field; an empty cell leaves it.
    void Flag(const TableRow& row, const std::string& column, Bool16& field) {
        const std::string cell = row.Cell(column);
        if (cell.empty())
            return;
        if (const std::optional<bool> value = ParseFlag(cell))
            field = ToBool16(*value);
        else
            Error(row.Line(), column, "'" + cell + "' is not Yes or No");
    }

    // A name cell, as written; a new name must fit the radio.
    void Name(const TableRow& row, const std::string& column, std::string& field, int length) {
        if (!row.Has(column))
            return;
        const std::string name = row.Raw(column);
        if (name == field)
            return;
        if (const std::string problem = NameProblem(name, length); !problem.empty())
            Error(row.Line(), column, problem);
        field = name;
    }

    // The key of a row, once only.
    bool FirstTime(const TableRow& row, const std::string& column, const std::string& key) {
        const auto [at, added] = keys_.emplace(key, row.Line());
        if (!added)
            Error(row.Line(), column,
                  key + " is listed twice (line " + std::to_string(at->second) + ")");
        return added;
    }

    void ChannelRow(const TableRow& row);
    void DirectoryRow(const TableRow& row, std::set<std::pair<bool, int>>& listed);

  private:
    PlanChannel* FindChannel(const TableRow& row, std::string& where, const ChannelPlan*& plan);
    void Frequency(const TableRow& row, const char* column, const std::string& shown,
                   const std::string& where);

    const AppState& app_;
    RadioData data_;
    std::string name_;
    std::vector<std::string> errors_;
    std::map<std::string, int> keys_;
};

PlanChannel* Importer::FindChannel(const TableRow& row, std::string& where,
                                   const ChannelPlan*& plan) {
    const std::string list = row.Cell("List");
    const std::string ch = row.Cell("CH");
    const std::optional<int> number = ParseNumber(ch);
    if (Same(list, "WX")) {
        plan = &app_.Plans.WxPlan;
        where = "WX " + ch;
        if (number && *number >= 1 && *number <= int(data_.WxChannels.size()))
            return &data_.WxChannels[std::size_t(*number - 1)];
    } else if (Same(list, "EXP")) {
        plan = &app_.Plans.ExpPlan;
        where = "EXP " + ch;
        if (number && *number >= 1 && *number <= kExpChannelCount)
            return &data_.ExpChannels[std::size_t(*number - 1)];
    } else if (const std::optional<Region> region = RegionNamed(list)) {
        plan = &PlanOf(app_.Plans, *region);
        for (PlanChannel& channel : ChannelsOf(data_, *region)) {
            const std::string shown = ChannelNumber(channel, *plan);
            if (SameChannelNumber(shown, ch)) {
                where = RegionName(*region) + " " + shown;
                return &channel;
            }
        }
        where = RegionName(*region) + " " + ch;
    } else {
        Error(row.Line(), "List", "'" + list + "' is none of " + ListNames());
        return nullptr;
    }
    Error(row.Line(), "CH", where + " is no channel of the list");
    return nullptr;
}

void Importer::Frequency(const TableRow& row, const char* column, const std::string& shown,
                         const std::string& where) {
    const std::string cell = row.Cell(column);
    if (cell.empty())
        return;
    if (FrequencyText(cell) != FrequencyText(shown))
        Error(row.Line(), column,
              cell + " is not the frequency of " + where + " (" +
                  (shown.empty() ? std::string("none") : shown) +
                  "); a sort may have moved the row under another CH");
}

void Importer::ChannelRow(const TableRow& row) {
    std::string where;
    const ChannelPlan* plan = nullptr;
    PlanChannel* channel = FindChannel(row, where, plan);
    if (!channel || !FirstTime(row, "CH", where))
        return;
    const bool wx = plan == &app_.Plans.WxPlan;
    const bool exp = plan == &app_.Plans.ExpPlan;
    for (const char* column : {"TX", "Low Power", "Power Up", "Duplex", "VS Memory", "Position"}) {
        const bool lacks = std::string(column) == "Position" ? !exp : wx;
        if (lacks && !row.Cell(column).empty())
            Error(row.Line(), column, where + " has no " + column);
    }
    const std::string position = row.Cell("Position");
    if (exp && !position.empty()) {
        const std::optional<int> value = ParseNumber(position);
        if (!value || !plan->Contains(*value)) {
            Error(row.Line(), "Position",
                  "'" + position + "' is not a position 0 … " + std::to_string(plan->Last()));
        } else if (*value != channel->Position) {
            // As choosing the position in the window does: the new row's values first.
            channel->Position = static_cast<int16_t>(*value);
            SeedExpChannel(*channel, *plan);
        }
    }
    Flag(row, "Enable", channel->Enable);
    Flag(row, "Scan", channel->ScanMemory);
    Name(row, "CH Name", channel->ChTag, kChannelTagLength);
    if (wx)
        return;
    Flag(row, "TX", channel->TxEnable);
    Flag(row, "Low Power", channel->LowPower);
    Flag(row, "Power Up", channel->PowUp);
    Flag(row, "VS Memory", channel->VsMemory);
    const Bool16 duplex = channel->Duplex;
    Flag(row, "Duplex", channel->Duplex);
    // Only a plan row with a duplex receive frequency has a Duplex to switch. Data files hold
    // regional channels either way, so their tables must import back whichever they say.
    const bool selectable =
        plan->Contains(channel->Position) && plan->At(channel->Position).DuplexFlag != 0;
    if ((duplex != 0) != (channel->Duplex != 0) && !selectable)
        Error(row.Line(), "Duplex", "the plan fixes Duplex on " + where);
    const ChannelCells cells = CellsOf(*channel, *plan);
    Frequency(row, "RX MHz", ShownFrequency(cells.rx), where);
    Frequency(row, "TX MHz", ShownFrequency(cells.tx), where);
}

void Importer::DirectoryRow(const TableRow& row, std::set<std::pair<bool, int>>& listed) {
    const std::string directory = row.Cell("Directory");
    const bool group = Same(directory, "Group");
    if (!group && !Same(directory, "Individual")) {
        Error(row.Line(), "Directory", "'" + directory + "' is neither Individual nor Group");
        return;
    }
    const int size = group ? kGroupDirectorySize : kIndividualDirectorySize;
    const std::string id = row.Cell("ID");
    const std::optional<int> number = ParseNumber(id);
    if (!number || *number < 1 || *number > size) {
        Error(row.Line(), "ID",
              "'" + id + "' is not an ID 1 … " + std::to_string(size) + " of " + directory);
        return;
    }
    const std::string where = (group ? "Group " : "Individual ") + std::to_string(*number);
    if (!FirstTime(row, "ID", where))
        return;
    listed.emplace(group, *number);
    DirectoryEntry& entry = group ? data_.GroupDirectory[std::size_t(*number - 1)]
                                  : data_.IndividualDirectory[std::size_t(*number - 1)];
    Flag(row, "Enable", entry.Enable);
    Name(row, "Name", entry.TagName, kDirectoryTagLength);
    const std::string mmsi = MmsiDigits(row.Cell("MMSI"));
    if (mmsi.empty() || mmsi == ShownMmsi(entry.Mmsid))
        return;
    if (const std::string problem = MmsiProblem(mmsi, group); !problem.empty())
        Error(row.Line(), "MMSI", problem);
    else
        entry.Mmsid = mmsi + "0";
}

void AddChannelLine(std::string& table, const std::string& list, const std::string& ch,
                    const PlanChannel& channel, const ChannelPlan& plan, bool exp) {
    const bool wx = list == "WX";
    const ChannelCells cells = CellsOf(channel, plan);
    const auto flag = [wx](Bool16 value) { return wx ? std::string() : YesNo(value); };
    table += CsvLine({list, ch, exp ? std::to_string(channel.Position) : std::string(),
                      YesNo(channel.Enable), flag(channel.TxEnable), flag(channel.LowPower),
                      flag(channel.PowUp), flag(channel.Duplex), YesNo(channel.ScanMemory),
                      flag(channel.VsMemory), channel.ChTag, ShownFrequency(cells.rx),
                      ShownFrequency(cells.tx)});
}

template <std::size_t N>
void AddDirectoryLines(std::string& table, const char* directory,
                       const std::array<DirectoryEntry, N>& entries) {
    for (std::size_t i = 0; i < N; ++i) {
        table += CsvLine({directory, std::to_string(i + 1), YesNo(entries[i].Enable),
                          entries[i].TagName, ShownMmsi(entries[i].Mmsid)});
    }
}

}  // namespace

std::string ExportTable(const AppState& app, TableKind kind) {
    std::string table = CsvLine(ColumnsOf(kind));
    const RadioData& data = app.Data;
    if (kind == TableKind::Directory) {
        AddDirectoryLines(table, "Individual", data.IndividualDirectory);
        AddDirectoryLines(table, "Group", data.GroupDirectory);
        return table;
    }
    for (const Region region : {Region::Usa, Region::International, Region::Canada}) {
        const ChannelPlan& plan = PlanOf(app.Plans, region);
        for (const PlanChannel& channel : ChannelsOf(data, region))
            AddChannelLine(table, RegionName(region), ChannelNumber(channel, plan), channel, plan,
                           false);
    }
    for (std::size_t i = 0; i < data.WxChannels.size(); ++i)
        AddChannelLine(table, "WX", std::to_string(i + 1), data.WxChannels[i], app.Plans.WxPlan,
                       false);
    for (std::size_t i = 0; i < data.ExpChannels.size(); ++i)
        AddChannelLine(table, "EXP", std::to_string(i + 1), data.ExpChannels[i], app.Plans.ExpPlan,
                       true);
    return table;
}

TableImport ImportTable(AppState& app, std::string_view bytes, const std::string& name,
                        bool replaceDirectory) {
    TableImport result;
    const std::vector<CsvRow> rows = ReadCsv(bytes);
    const HeaderColumns header = ReadHeader(rows.empty() ? CsvRow{1, {}} : rows.front());
    Importer importer(app, name);
    for (const std::string& column : header.unknown)
        result.warnings.push_back(name + ":1: column '" + column + "' is not known; left out");
    for (const std::string& problem : header.problems)
        importer.Error(1, "", problem);
    result.kind = header.kind;
    std::set<std::pair<bool, int>> listed;
    for (std::size_t i = 1; header.kind && header.problems.empty() && i < rows.size(); ++i) {
        if (rows[i].cells.size() < header.width) {
            importer.Error(rows[i].line, "",
                           "the row has " + std::to_string(rows[i].cells.size()) +
                               " cells; the header has " + std::to_string(header.width));
            continue;
        }
        const TableRow row(rows[i], header.columns);
        if (*header.kind == TableKind::Channels)
            importer.ChannelRow(row);
        else
            importer.DirectoryRow(row, listed);
    }
    std::vector<std::string>& errors = importer.Errors();
    if (errors.size() > kMostErrors) {
        const std::size_t more = errors.size() - kMostErrors;
        errors.resize(kMostErrors);
        errors.push_back("…and " + std::to_string(more) + " more");
    }
    result.errors = std::move(errors);
    if (!result.errors.empty())
        return result;
    RadioData& data = importer.Data();
    if (replaceDirectory && header.kind == TableKind::Directory) {
        for (int n = 1; n <= kIndividualDirectorySize; ++n) {
            if (!listed.count({false, n}))
                data.IndividualDirectory[std::size_t(n - 1)] = DirectoryEntry{};
        }
        for (int n = 1; n <= kGroupDirectorySize; ++n) {
            if (!listed.count({true, n}))
                data.GroupDirectory[std::size_t(n - 1)] = DirectoryEntry{};
        }
    }
    app.Data = std::move(data);
    return result;
}

}  // namespace chanwright::report
