#include "storage/profile_file.h"

#include <algorithm>

namespace chanwright {

namespace {

// 0x1A is the old end-of-file mark some editors left behind; the reader skipped it like a space.
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r' || c == '\x1a';
}

std::string_view TrimLeft(std::string_view text) {
    std::size_t start = 0;
    while (start < text.size() && IsBlank(text[start]))
        ++start;
    return text.substr(start);
}

std::string_view TrimRight(std::string_view text) {
    std::size_t end = text.size();
    while (end > 0 && IsBlank(text[end - 1]))
        --end;
    return text.substr(0, end);
}

std::string_view Trim(std::string_view text) {
    return TrimRight(TrimLeft(text));
}

// A value enclosed whole in a pair of the same quotation marks loses them, as the platform's
// reader drops them: "BOAT" and 'BOAT' read as BOAT, "" as empty. A lone or unmatched mark stays.
std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// Only a-z fold; bytes above 0x7F are compared as they are, whatever the locale.
std::string Fold(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return folded;
}

}  // namespace

ProfileFile ProfileFile::Parse(std::string_view bytes) {
    ProfileFile file;
    // Index of the section taking keys; empty while inside a repeated section, whose keys the
    // reader never saw because it stopped at the first section of that name.
    std::optional<std::size_t> current;
    bool seenHeader = false;

    auto open = [&file](std::string_view name) -> std::optional<std::size_t> {
        const auto [it, added] = file.sectionIndex_.emplace(Fold(name), file.sections_.size());
        if (!added)
            return std::nullopt;
        file.sections_.emplace_back();
        return it->second;
    };

    std::size_t pos = 0;
    while (pos <= bytes.size()) {
        // CR LF, LF and a CR alone (as some editors end lines) all end a line.
        std::size_t end = bytes.find_first_of("\r\n", pos);
        if (end == std::string_view::npos)
            end = bytes.size();
        const std::string_view line = TrimLeft(bytes.substr(pos, end - pos));
        pos = end + 1;
        if (line.empty())
            continue;

        if (line.front() == '[') {
            const std::size_t close = line.rfind(']');
            if (close != std::string_view::npos) {
                // "[ SETCOM ]" names the section SETCOM.
                current = open(Trim(line.substr(1, close - 1)));
                seenHeader = true;
                continue;
            }
        }

        if (!seenHeader) {
            // Keys above the first header form a section named "" that exists only once used.
            current = open({});
            seenHeader = true;
        }
        if (!current)
            continue;

        const std::string_view body = TrimRight(line);
        const std::size_t eq = body.find('=');
        auto& keys = file.sections_[*current].keys;
        if (eq == std::string_view::npos) {
            keys.emplace(Fold(body), std::nullopt);
        } else {
            // Cut after trimming and unquoting: a value padded with spaces or enclosed in quotes
            // still keeps 127 real characters.
            const std::string_view whole = Unquote(TrimLeft(body.substr(eq + 1)));
            const std::string_view value = whole.substr(0, Utf8PrefixSize(whole, kMaxValueLength));
            keys.emplace(Fold(TrimRight(body.substr(0, eq))), std::string(value));
        }
    }
    return file;
}

bool ProfileFile::AnySection(bool (*test)(std::string_view upperName)) const {
    for (const auto& [name, index] : sectionIndex_) {
        if (test(name))
            return true;
    }
    return false;
}

std::optional<std::string> ProfileFile::Lookup(std::string_view section,
                                               std::string_view key) const {
    const auto sectionIt = sectionIndex_.find(Fold(section));
    if (sectionIt == sectionIndex_.end())
        return std::nullopt;
    const auto& keys = sections_[sectionIt->second].keys;
    const auto keyIt = keys.find(Fold(key));
    if (keyIt == keys.end())
        return std::nullopt;
    return keyIt->second;
}

std::string ReadProfileValue(const ProfileFile& file, std::string_view section,
                             std::string_view key) {
    std::string value = file.Lookup(section, key).value_or(std::string());
    // The reader handed back a C string, so anything after a NUL never reached the program.
    const std::size_t nul = value.find('\0');
    if (nul != std::string::npos)
        value.resize(nul);
    // "<NONE>" was the reader's default for a missing key, so a stored one is missing too.
    if (value == "<NONE>")
        return {};
    if (!value.empty() && value.front() == '#')
        value.erase(0, 1);
    return value;
}

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// A character past U+FFFF takes a surrogate pair; a surrogate without its partner reads as "?".
std::string FromUtf16(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size() / 2);
    const auto unit = [bytes](std::size_t at) {
        return static_cast<char32_t>(static_cast<unsigned char>(bytes[at]) |
                                     static_cast<unsigned char>(bytes[at + 1]) << 8);
    };
    for (std::size_t at = 0; at + 1 < bytes.size(); at += 2) {
        char32_t c = unit(at);
        const bool pair = c >= 0xD800 && c < 0xDC00 && at + 3 < bytes.size() &&
                          unit(at + 2) >= 0xDC00 && unit(at + 2) < 0xE000;
        if (pair) {
            c = 0x10000 + ((c - 0xD800) << 10) + (unit(at + 2) - 0xDC00);
            at += 2;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = '?';
        }
        AppendUtf8(text, c);
    }
    return text;
}

}  // namespace

std::optional<FileText> ProfileText(std::string_view bytes) {
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE)
        return FileText{FromUtf16(bytes.substr(2)), TextEncoding::Utf8};
    if (bytes.find('\0') != std::string_view::npos)
        return std::nullopt;
    const bool marked = bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark;
    if (marked && IsUtf8(bytes))
        return FileText{std::string(bytes.substr(kByteOrderMark.size())),
                        TextEncoding::Utf8WithMark};
    // A file of ASCII alone reads the same either way; it is taken for the older program's.
    const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (!ascii && IsUtf8(bytes))
        return FileText{std::string(bytes), TextEncoding::Utf8};
    return FileText{Windows1252ToUtf8(bytes), TextEncoding::Windows1252};
}

std::string FileBytes(const std::string& text, TextEncoding encoding, std::string& lacking) {
    switch (encoding) {
        case TextEncoding::Utf8:
            return text;
        case TextEncoding::Utf8WithMark:
            return std::string(kByteOrderMark) + text;
        case TextEncoding::Windows1252:
            break;
    }
    return Utf8ToWindows1252(text, lacking);
}

}  // namespace chanwright
