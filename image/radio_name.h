#pragma once

#include <string>

// Names as the radio can hold them. A radio shows only its 71 characters, and a name that holds
// any other one reads back cut at it; so before a name goes into the image its accented letters
// become their plain letters and anything else the radio lacks becomes a space.
namespace chanwright {

// The name as the radio will hold it: at most `length` characters, each of the radio's set.
// `text` is UTF-8; a byte that is not part of valid UTF-8 is taken as a Windows-1252 character,
// as the older Windows program wrote them. A letter with accents becomes its plain letter
// (É→E, ñ→n), a few letters without one become the letters they are written with (ß→SS, Æ→AE,
// ø→o, Ł→L), combining accents are dropped, and any other character becomes a space. A name
// already of the radio's characters and within the length comes back as it is.
std::string FitRadioName(const std::string& text, int length);

// The plain letter a letter with accents decomposes to (U+00C9 É gives 'E'), or 0 for a code
// point that does not decompose to one. Covers U+00C0 … U+024F and U+1E00 … U+1EFF.
char PlainLetterOf(char32_t codePoint);

}  // namespace chanwright
