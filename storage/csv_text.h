#pragma once

#include <string>
#include <string_view>
#include <vector>

// Tables as spreadsheets save them. What comes back is whatever a spreadsheet may have written:
// UTF-8 with or without its mark, UTF-16 with its mark, or Windows-1252 (a file that is not UTF-8);
// cells between ',' ';' or tabs, the one the header line holds most of; CR LF or LF line ends;
// quoted cells holding separators, quotes ("") and line breaks.
namespace chanwright {

struct CsvRow {
    int line = 0;                    // where the row starts, from 1
    std::vector<std::string> cells;  // UTF-8, as written between the separators
};

// The rows of the table, header first. Blank lines are left out.
std::vector<CsvRow> ReadCsv(std::string_view bytes);

// One row as this program writes it: ',' between the cells, a cell quoted when it holds a ',',
// a quote, a line break or space at either end, and CR LF after it.
std::string CsvLine(const std::vector<std::string>& cells);

}  // namespace chanwright
