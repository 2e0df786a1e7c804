#include "report/table_cells.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "core/text_encoding.h"
#include "image/channel_text.h"
#include "image/radio_name.h"

namespace chanwright::report {

namespace {

bool AllDigits(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c));
    });
}

std::string Upper(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string WithoutLeadingZeros(const std::string& text) {
    const std::size_t first = text.find_first_not_of('0');
    return first == std::string::npos ? "0" : text.substr(first);
}

constexpr Region kRegionsInOrder[] = {Region::Usa, Region::International, Region::Canada};

}  // namespace

const std::vector<std::string>& ColumnsOf(TableKind kind) {
    static const std::vector<std::string> channels = {
        "List",   "CH",   "Position",  "Enable",  "TX",     "Low Power", "Power Up",
        "Duplex", "Scan", "VS Memory", "CH Name", "RX MHz", "TX MHz"};
    static const std::vector<std::string> directory = {"Directory", "ID", "Enable", "Name", "MMSI"};
    return kind == TableKind::Channels ? channels : directory;
}

HeaderColumns ReadHeader(const CsvRow& header) {
    HeaderColumns found;
    for (const std::string& cell : header.cells) {
        const std::string word = Trimmed(cell);
        if (Same(word, "List") || Same(word, "Directory")) {
            found.kind = Same(word, "List") ? TableKind::Channels : TableKind::Directory;
            break;
        }
    }
    if (!found.kind) {
        found.problems.push_back("the header names neither List and CH nor Directory and ID");
        return found;
    }
    const std::vector<std::string>& known = ColumnsOf(*found.kind);
    for (std::size_t i = 0; i < header.cells.size(); ++i) {
        const std::string word = Trimmed(header.cells[i]);
        if (word.empty())
            continue;
        found.width = i + 1;
        const auto column = std::find_if(known.begin(), known.end(),
                                         [&](const std::string& k) { return Same(k, word); });
        if (column == known.end())
            found.unknown.push_back(word);
        else if (!found.columns.emplace(*column, i).second)
            found.problems.push_back(*column + ": the column is named twice");
    }
    for (std::size_t key = 0; key < 2; ++key) {
        if (!found.columns.count(known[key]))
            found.problems.push_back(known[key] + ": the key column is missing");
    }
    return found;
}

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool Same(const std::string& a, const std::string& b) {
    return Upper(a) == Upper(b);
}

std::optional<bool> ParseFlag(const std::string& cell) {
    const std::string word = Upper(cell);
    for (const char* yes : {"YES", "Y", "1", "TRUE"}) {
        if (word == yes)
            return true;
    }
    for (const char* no : {"NO", "N", "0", "FALSE"}) {
        if (word == no)
            return false;
    }
    return std::nullopt;
}

std::optional<int> ParseNumber(const std::string& cell) {
    if (!AllDigits(cell) || cell.size() > 9)
        return std::nullopt;
    return std::atoi(cell.c_str());
}

std::optional<Region> RegionNamed(const std::string& list) {
    for (const Region region : kRegionsInOrder) {
        if (Same(list, RegionName(region)))
            return region;
    }
    return std::nullopt;
}

std::string RegionName(Region region) {
    switch (region) {
        case Region::Usa:
            return "USA";
        case Region::International:
            return "International";
        default:
            return "Canada";
    }
}

std::string ListNames() {
    return "USA, International, Canada, WX and EXP";
}

std::string ChannelNumber(const PlanChannel& channel, const ChannelPlan& plan) {
    return plan.Contains(channel.Position) ? plan.At(channel.Position).ChannelNo
                                           : std::to_string(channel.Position);
}

bool SameChannelNumber(const std::string& shown, const std::string& cell) {
    return !cell.empty() && Upper(WithoutLeadingZeros(shown)) == Upper(WithoutLeadingZeros(cell));
}

std::string NameProblem(const std::string& name, int length) {
    const std::size_t count = Utf8Length(name);
    if (count > static_cast<std::size_t>(length))
        return "'" + name + "' has " + std::to_string(count) + " characters; the radio holds " +
               std::to_string(length);
    for (std::size_t at = 0; at < name.size();) {
        const std::size_t size = std::max<std::size_t>(Utf8PrefixSize(name.substr(at), 1), 1);
        const std::string character = name.substr(at, size);
        at += size;
        if (character != " " && FitRadioName(character, 4) == " ")
            return "'" + name + "' holds '" + character + "', which the radio lacks";
    }
    return {};
}

std::string ShownFrequency(const std::string& cell) {
    return cell == FormatFreq(0.0) ? std::string() : cell;
}

std::string FrequencyText(const std::string& cell) {
    if (cell.empty())
        return {};
    std::string text = cell;
    std::replace(text.begin(), text.end(), ',', '.');
    char* end = nullptr;
    const double mhz = std::strtod(text.c_str(), &end);
    return *end == '\0' ? ShownFrequency(FormatFreq(mhz)) : cell;
}

std::string MmsiDigits(const std::string& cell) {
    std::string text = cell;
    if (!text.empty() && text.front() == '=')
        text.erase(0, 1);
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        text = text.substr(1, text.size() - 2);
    if (!text.empty() && text.front() == '\'')
        text.erase(0, 1);
    return Trimmed(text);
}

std::string MmsiProblem(const std::string& digits, bool group) {
    const std::string count = std::to_string(digits.size());
    if (!AllDigits(digits))
        return "'" + digits + "' is not an MMSI of 9 digits";
    if (digits.size() == 7 || digits.size() == 8)
        return digits + " has " + count +
               " digits: a spreadsheet may have dropped a leading 0; format the column as text";
    if (digits.size() != kIndividualMmsiDigits)
        return digits + " has " + count + " digits; an MMSI has 9";
    if (group && digits.front() != '0')
        return digits + " does not start with 0, as a group MMSI does";
    return {};
}

}  // namespace chanwright::report
