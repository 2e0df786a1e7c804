#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/app_state.h"

// The channels and the directories as spreadsheet tables, out and back in. The columns are the
// words the field comparison uses:
//   List,CH,Position,Enable,TX,Low Power,Power Up,Duplex,Scan,VS Memory,CH Name,RX MHz,TX MHz
//   Directory,ID,Enable,Name,MMSI
// A row is found by its key: the list and the channel as the list shows it (WX: the row 1 … 10,
// EXP: the memory place 1 … 40), or the directory and the entry's number.
namespace chanwright::report {

enum class TableKind { Channels, Directory };

// The table as CSV text: UTF-8, CR LF, one header row, every item used or not. The frequencies
// are the ones the channel list shows, for reading; an import checks them against the plan.
std::string ExportTable(const AppState& app, TableKind kind);

// What an import found. Errors read "NAME:LINE: COLUMN: reason" ("NAME:LINE: reason" for the row
// as a whole), at most 20 and then "…and N more"; warnings (an unknown column, named) one line
// each.
struct TableImport {
    std::vector<std::string> errors;
    std::vector<std::string> warnings;
    std::optional<TableKind> kind;  // told apart by the header
};

// Checks the whole table first; with no error, applies its rows to app.Data, otherwise leaves
// app.Data exactly as it was. A row changes only what its cells say: a column left out or an
// empty flag, number or MMSI cell keeps its field; a name cell is taken as written (empty clears
// the name). With `replaceDirectory`, a directory table also clears every entry it does not list.
// `name` begins each error line.
TableImport ImportTable(AppState& app, std::string_view bytes, const std::string& name,
                        bool replaceDirectory);

}  // namespace chanwright::report
