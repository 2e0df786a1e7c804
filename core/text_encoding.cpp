#include "core/text_encoding.h"

#include <iterator>
#include <utility>

namespace chanwright {

namespace {

// Windows-1252 bytes 0x80 … 0x9F; the bytes above are Latin-1, which Unicode shares.
constexpr char16_t kWindows1252[] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
constexpr uint8_t kFirstTableByte = 0x80;

// The byte standing for `code`, or 0 when Windows-1252 has none.
uint8_t ToWindows1252(char32_t code) {
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF))
        return static_cast<uint8_t>(code);
    for (uint8_t i = 0; i < std::size(kWindows1252); ++i) {
        if (kWindows1252[i] == code)
            return static_cast<uint8_t>(kFirstTableByte + i);
    }
    return 0;
}

}  // namespace

char32_t FromWindows1252(uint8_t byte) {
    return byte >= kFirstTableByte && byte < kFirstTableByte + std::size(kWindows1252)
               ? kWindows1252[byte - kFirstTableByte]
               : byte;
}

int Utf8Sequence(std::string_view text, std::size_t at, char32_t& code) {
    const auto byte = [&](std::size_t i) {
        return i < text.size() ? static_cast<uint8_t>(text[i]) : uint8_t{0};
    };
    const uint8_t lead = byte(at);
    if (at >= text.size())
        return 0;
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    int count = 0;
    uint8_t low = 0x80, high = 0xBF;  // where the second byte must lie
    if (lead >= 0xC2 && lead <= 0xDF) {
        count = 1, code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        count = 2, code = lead & 0x0F;
        low = lead == 0xE0 ? 0xA0 : 0x80, high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        count = 3, code = lead & 0x07;
        low = lead == 0xF0 ? 0x90 : 0x80, high = lead == 0xF4 ? 0x8F : 0xBF;
    }
    if (count == 0 || byte(at + 1) < low || byte(at + 1) > high)
        return 0;
    for (int i = 1; i <= count; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return 0;
        code = code << 6 | (byte(at + i) & 0x3F);
    }
    return count + 1;
}

void AppendUtf8(std::string& text, char32_t code) {
    const auto put = [&text](unsigned value) { text += static_cast<char>(value); };
    if (code < 0x80) {
        put(code);
    } else if (code < 0x800) {
        put(0xC0 | code >> 6), put(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        put(0xE0 | code >> 12), put(0x80 | (code >> 6 & 0x3F)), put(0x80 | (code & 0x3F));
    } else {
        put(0xF0 | code >> 18), put(0x80 | (code >> 12 & 0x3F));
        put(0x80 | (code >> 6 & 0x3F)), put(0x80 | (code & 0x3F));
    }
}

bool IsUtf8(std::string_view text) {
    char32_t code = 0;
    for (std::size_t at = 0; at < text.size();) {
        const int length = Utf8Sequence(text, at, code);
        if (length == 0)
            return false;
        at += static_cast<std::size_t>(length);
    }
    return true;
}

std::string Windows1252ToUtf8(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (const char c : bytes)
        AppendUtf8(text, FromWindows1252(static_cast<uint8_t>(c)));
    return text;
}

std::string Utf8ToWindows1252(std::string_view text, std::string& lacking) {
    std::string bytes;
    bytes.reserve(text.size());
    char32_t code = 0;
    for (std::size_t at = 0; at < text.size();) {
        const int length = Utf8Sequence(text, at, code);
        if (length == 0) {
            bytes += text[at++];
            continue;
        }
        const uint8_t byte = ToWindows1252(code);
        const std::string_view character = text.substr(at, static_cast<std::size_t>(length));
        at += static_cast<std::size_t>(length);
        // Only NUL maps to 0, and a NUL is written as it is.
        if (byte != 0 || code == 0) {
            bytes += static_cast<char>(byte);
            continue;
        }
        bytes += '?';
        if (lacking.find(character) == std::string::npos)
            lacking += character;
    }
    return bytes;
}

namespace {

// Walks at most `count` characters; how many bytes and characters it passed.
std::pair<std::size_t, std::size_t> WalkUtf8(std::string_view text, std::size_t count) {
    char32_t code = 0;
    std::size_t at = 0, characters = 0;
    for (; at < text.size() && characters < count; ++characters) {
        const int length = Utf8Sequence(text, at, code);
        at += length > 0 ? static_cast<std::size_t>(length) : 1;
    }
    return {at, characters};
}

}  // namespace

std::size_t Utf8PrefixSize(std::string_view text, std::size_t count) {
    return WalkUtf8(text, count).first;
}

std::size_t Utf8Length(std::string_view text) {
    return WalkUtf8(text, text.size()).second;
}

}  // namespace chanwright
