#include "storage/csv_text.h"

#include <cstdint>

#include "core/text_encoding.h"

namespace chanwright {

namespace {

bool StartsWith(std::string_view bytes, std::string_view mark) {
    return bytes.substr(0, mark.size()) == mark;
}

// UTF-16 after its mark; an unpaired surrogate becomes U+FFFD rather than ending the table.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    const auto unit = [&](std::size_t at) {
        const auto byte = [&](std::size_t i) { return static_cast<uint8_t>(bytes[i]); };
        return bigEndian ? char32_t(byte(at) << 8 | byte(at + 1))
                         : char32_t(byte(at + 1) << 8 | byte(at));
    };
    std::string text;
    for (std::size_t at = 0; at + 1 < bytes.size(); at += 2) {
        char32_t code = unit(at);
        if (code >= 0xD800 && code <= 0xDBFF && at + 3 < bytes.size()) {
            const char32_t low = unit(at + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                at += 2;
            }
        }
        AppendUtf8(text, code >= 0xD800 && code <= 0xDFFF ? char32_t(0xFFFD) : code);
    }
    return text;
}

std::string DecodeText(std::string_view bytes) {
    if (StartsWith(bytes, "\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    else if (StartsWith(bytes, "\xFF\xFE"))
        return Utf16ToUtf8(bytes.substr(2), false);
    else if (StartsWith(bytes, "\xFE\xFF"))
        return Utf16ToUtf8(bytes.substr(2), true);
    return IsUtf8(bytes) ? std::string(bytes) : Windows1252ToUtf8(bytes);
}

// The separator the header line holds most of, ',' when it holds none.
char SeparatorOf(const std::string& text) {
    std::size_t counts[3] = {};
    const char separators[3] = {',', ';', '\t'};
    bool quoted = false;
    for (const char c : text) {
        if (c == '"')
            quoted = !quoted;
        if (!quoted && (c == '\n' || c == '\r'))
            break;
        for (int i = 0; i < 3; ++i)
            counts[i] += !quoted && c == separators[i];
    }
    int best = 0;
    for (int i = 1; i < 3; ++i) {
        if (counts[i] > counts[best])
            best = i;
    }
    return separators[best];
}

}  // namespace

std::vector<CsvRow> ReadCsv(std::string_view bytes) {
    const std::string text = DecodeText(bytes);
    const char separator = SeparatorOf(text);
    std::vector<CsvRow> rows;
    CsvRow row{1, {""}};
    int line = 1;
    bool quoted = false;
    const auto endRow = [&] {
        if (row.cells.size() > 1 || !row.cells[0].empty())
            rows.push_back(std::move(row));
        row = CsvRow{line, {""}};
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        std::string& cell = row.cells.back();
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                cell += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                line += c == '\n';
                cell += c;
            }
        } else if (c == '"' && cell.empty()) {
            quoted = true;
        } else if (c == separator) {
            row.cells.emplace_back();
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            ++line;
            endRow();
        } else {
            cell += c;
        }
    }
    endRow();
    return rows;
}

std::string CsvLine(const std::vector<std::string>& cells) {
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const std::string& cell = cells[i];
        if (i > 0)
            line += ',';
        const bool quote = cell.find_first_of(",\"\r\n") != std::string::npos ||
                           (!cell.empty() && (cell.front() == ' ' || cell.back() == ' '));
        if (!quote) {
            line += cell;
            continue;
        }
        line += '"';
        for (const char c : cell)
            line += c == '"' ? std::string("\"\"") : std::string(1, c);
        line += '"';
    }
    return line + "\r\n";
}

}  // namespace chanwright
