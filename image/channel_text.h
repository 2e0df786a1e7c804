#pragma once

#include <string>

#include "core/radio_data.h"

// Cell texts shared by the channel lists on screen and in the report.
namespace chanwright {

// A frequency in MHz as "ddd.ddd", rounded to the kHz; "---.---" when there is none (zero or
// negative). The separator is always '.', whatever the user's locale.
std::string FormatFreq(double mhz);

// The attribute columns: the column's word when the flag is set, dashes when not.
std::string TxCell(Bool16 value);      // "TX" / "--"
std::string LowCell(Bool16 value);     // "LOW" / "---"
std::string UpCell(Bool16 value);      // "UP" / "--"
std::string DupCell(Bool16 value);     // "DUP" / "---"
std::string MemCell(Bool16 value);     // "MEM" / "---"
std::string EnableCell(Bool16 value);  // "[Enable]" / ""

}  // namespace chanwright
