#include "core/system_path.h"

#include <cstdio>

#include "core/text_encoding.h"

namespace chanwright {

namespace {

constexpr char16_t kCarriedBase = 0xDC00;  // U+DC80 … U+DCFF carry the bytes 0x80 … 0xFF

bool IsCarried(std::u16string_view path, std::size_t i) {
    const char16_t c = path[i];
    return c >= kCarriedBase + 0x80 && c <= kCarriedBase + 0xFF &&
           (i == 0 || path[i - 1] < 0xD800 || path[i - 1] > 0xDBFF);
}

void AppendUtf16(std::u16string& text, char32_t code) {
    if (code < 0x10000) {
        text += static_cast<char16_t>(code);
        return;
    }
    code -= 0x10000;
    text += static_cast<char16_t>(0xD800 + (code >> 10));
    text += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
}

// The character at path[i] (a pair of surrogates as one), and how many units it takes.
char32_t CodeAt(std::u16string_view path, std::size_t i, std::size_t& units) {
    const char16_t c = path[i];
    units = 1;
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < path.size() && path[i + 1] >= 0xDC00 &&
        path[i + 1] <= 0xDFFF) {
        units = 2;
        return 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (path[i + 1] - 0xDC00);
    }
    // A surrogate standing alone has no UTF-8; it is written as the replacement character.
    return c >= 0xD800 && c <= 0xDFFF ? U'\uFFFD' : c;
}

void AppendEscaped(std::string& text, unsigned byte) {
    char code[5];
    std::snprintf(code, sizeof code, "\\x%02X", byte);
    text += code;
}

}  // namespace

std::u16string PathFromBytes(std::string_view bytes) {
    std::u16string path;
    path.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size();) {
        char32_t code = 0;
        const int length = Utf8Sequence(bytes, at, code);
        if (length == 0) {
            path += static_cast<char16_t>(kCarriedBase + static_cast<unsigned char>(bytes[at]));
            ++at;
            continue;
        }
        AppendUtf16(path, code);
        at += static_cast<std::size_t>(length);
    }
    return path;
}

std::string PathBytes(std::u16string_view path) {
    std::string bytes;
    bytes.reserve(path.size());
    for (std::size_t i = 0; i < path.size();) {
        if (IsCarried(path, i)) {
            bytes += static_cast<char>(path[i] - kCarriedBase);
            ++i;
            continue;
        }
        std::size_t units = 1;
        AppendUtf8(bytes, CodeAt(path, i, units));
        i += units;
    }
    return bytes;
}

std::string ShownName(std::u16string_view path) {
    std::string shown;
    shown.reserve(path.size());
    for (std::size_t i = 0; i < path.size();) {
        if (IsCarried(path, i)) {
            AppendEscaped(shown, path[i] - kCarriedBase);
            ++i;
            continue;
        }
        std::size_t units = 1;
        const char32_t code = CodeAt(path, i, units);
        if (code < 0x20 || code == 0x7F || (code >= 0x80 && code < 0xA0))
            AppendEscaped(shown, code);
        else
            AppendUtf8(shown, code);
        i += units;
    }
    return shown;
}

}  // namespace chanwright
