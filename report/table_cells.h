#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/app_state.h"
#include "image/image_codec.h"
#include "report/data_tables.h"
#include "storage/csv_text.h"

// The words of the tables' cells, and how a cell a spreadsheet wrote is read back: spaces around
// a cell and the case of a word do not matter, and a number may have lost its leading zeros.
namespace chanwright::report {

const std::vector<std::string>& ColumnsOf(TableKind kind);

// The header's columns by their word (as this program spells it) and where they stand.
struct HeaderColumns {
    std::optional<TableKind> kind;
    std::map<std::string, std::size_t> columns;
    std::size_t width = 0;              // the header's cells, up to the last column with a word
    std::vector<std::string> unknown;   // words of neither kind of table
    std::vector<std::string> problems;  // the key columns missing, a column twice
};
HeaderColumns ReadHeader(const CsvRow& header);

std::string Trimmed(const std::string& text);
bool Same(const std::string& a, const std::string& b);  // without regard to case

// Yes/No/Y/N/1/0/True/False in any case.
std::optional<bool> ParseFlag(const std::string& cell);
// Digits only, at most 9 of them.
std::optional<int> ParseNumber(const std::string& cell);

std::optional<Region> RegionNamed(const std::string& list);
std::string RegionName(Region region);
std::string ListNames();  // for the message of an unknown list
// The channel as its list shows it: the plan's channel number, or the position outside the plan.
std::string ChannelNumber(const PlanChannel& channel, const ChannelPlan& plan);
// "06" and "6", "88a" and "88A" name one channel.
bool SameChannelNumber(const std::string& shown, const std::string& cell);

// Why a new name cannot go to the radio as written: too long, or a character it lacks (one that
// would become a space; accented letters become their plain letters). Empty when it can.
std::string NameProblem(const std::string& name, int length);

// A channel list's frequency cell ("---.---" for none) as the table writes it: empty for none.
std::string ShownFrequency(const std::string& cell);
// A frequency cell read back, "," taken for the decimal point, as the list would show it.
std::string FrequencyText(const std::string& cell);

// The digits of an MMSI cell a spreadsheet was kept from turning into a number:
// ="036699001" and '036699001 give 036699001.
std::string MmsiDigits(const std::string& cell);
// Why the digits are no MMSI of the directory; empty when they are.
std::string MmsiProblem(const std::string& digits, bool group);

}  // namespace chanwright::report
