#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Texts inside the program are UTF-8. Data files hold them as the older Windows program wrote
// them, in the Windows-1252 code page, unless a newer editor saved the file as UTF-8.
namespace chanwright {

// How a data file holds its texts, remembered with the data set so a save writes it back alike.
enum class TextEncoding {
    Windows1252,   // the older program's files, and every file this program starts
    Utf8,          // a file an editor saved as UTF-8 (or as UTF-16, which is not written back)
    Utf8WithMark,  // the same, beginning with the byte order mark EF BB BF
};

// The character a Windows-1252 byte stands for. The five bytes the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the control characters of the same number, so that a
// file holding one is written back as it was.
char32_t FromWindows1252(uint8_t byte);

// The length of the well-formed UTF-8 sequence at text[at] (no overlong form, no surrogate,
// nothing past U+10FFFF), its character in `code`; 0 when none starts there.
int Utf8Sequence(std::string_view text, std::size_t at, char32_t& code);

void AppendUtf8(std::string& text, char32_t code);

// Whole UTF-8, every sequence well formed.
bool IsUtf8(std::string_view text);

std::string Windows1252ToUtf8(std::string_view bytes);

// UTF-8 text as Windows-1252 bytes. A character the code page lacks becomes "?" and is added to
// `lacking` once; a byte that is no part of UTF-8 is taken for a Windows-1252 byte already.
std::string Utf8ToWindows1252(std::string_view text, std::string& lacking);

// How many bytes the first `count` characters of UTF-8 text take; a byte that is no part of a
// sequence counts as one character.
std::size_t Utf8PrefixSize(std::string_view text, std::size_t count);
// How many characters UTF-8 text holds, counted alike.
std::size_t Utf8Length(std::string_view text);

}  // namespace chanwright
