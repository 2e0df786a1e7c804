#include "image/radio_name.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "core/text_encoding.h"
#include "image/image_codec.h"

namespace chanwright {

namespace {

// The plain letter of every code point of a block, '_' where there is none; made once from the
// canonical decompositions (the first character of a decomposition that is a plain letter
// followed by accents only).
constexpr char32_t kLatinFirst = 0x00C0;
constexpr char kLatin[] =
    "AAAAAA_CEEEEIIII_NOOOOO__UUUUY__aaaaaa_ceeeeiiii_nooooo__uuuuy_y"
    "AaAaAaCcCcCcCcDd__EeEeEeEeEeGgGgGgGgHh__IiIiIiIiI___JjKk_LlLlLl_"
    "___NnNnNn___OoOoOo__RrRrRrSsSsSsSsTtTt__UuUuUuUuUuUuWwYyYZzZzZz_"
    "________________________________Oo_____________Uu_______________"
    "_____________AaIiOoUuUuUuUuUu_AaAa____GgKkOoOo__j___Gg__NnAa____"
    "AaAaEeEeIiIiOoOoRrRrUuUuSsTt__Hh______AaEeOoOoOoOoYy____________"
    "________________";
constexpr char32_t kLatinAdditionalFirst = 0x1E00;
constexpr char kLatinAdditional[] =
    "AaBbBbBbCcDdDdDdDdDdEeEeEeEeEeFfGgHhHhHhHhHhIiIiKkKkKkLlLlLlLlMm"
    "MmMmNnNnNnNnOoOoOoOoPpPpRrRrRrRrSsSsSsSsSsTtTtTtTtUuUuUuUuUuVvVv"
    "WwWwWwWwWwXxXxYyZzZzZzhtwy______AaAaAaAaAaAaAaAaAaAaAaAaEeEeEeEe"
    "EeEeEeEeIiIiOoOoOoOoOoOoOoOoOoOoOoOoUuUuUuUuUuUuUuYyYyYyYy______";

// Letters that do not decompose but are read as plain letters: ligatures, letters with a stroke
// or a hook, and the like. Sorted by code point.
struct Spelling {
    char32_t codePoint;
    const char* letters;
};
constexpr Spelling kSpellings[] = {
    {0x00C6, "AE"}, {0x00D0, "D"},  {0x00D8, "O"},  {0x00DE, "TH"}, {0x00DF, "SS"}, {0x00E6, "ae"},
    {0x00F0, "d"},  {0x00F8, "o"},  {0x00FE, "th"}, {0x0110, "D"},  {0x0111, "d"},  {0x0126, "H"},
    {0x0127, "h"},  {0x0131, "i"},  {0x0132, "IJ"}, {0x0133, "ij"}, {0x013F, "L"},  {0x0140, "l"},
    {0x0141, "L"},  {0x0142, "l"},  {0x014A, "N"},  {0x014B, "n"},  {0x0152, "OE"}, {0x0153, "oe"},
    {0x0166, "T"},  {0x0167, "t"},  {0x017F, "s"},  {0x0180, "b"},  {0x0181, "B"},  {0x0187, "C"},
    {0x0188, "c"},  {0x018A, "D"},  {0x0191, "F"},  {0x0192, "f"},  {0x0193, "G"},  {0x0197, "I"},
    {0x0198, "K"},  {0x0199, "k"},  {0x019A, "l"},  {0x019D, "N"},  {0x019E, "n"},  {0x019F, "O"},
    {0x01A4, "P"},  {0x01A5, "p"},  {0x01AC, "T"},  {0x01AD, "t"},  {0x01AE, "T"},  {0x01B2, "V"},
    {0x01B3, "Y"},  {0x01B4, "y"},  {0x01B5, "Z"},  {0x01B6, "z"},  {0x01C4, "DZ"}, {0x01C5, "Dz"},
    {0x01C6, "dz"}, {0x01C7, "LJ"}, {0x01C8, "Lj"}, {0x01C9, "lj"}, {0x01CA, "NJ"}, {0x01CB, "Nj"},
    {0x01CC, "nj"}, {0x01E2, "AE"}, {0x01E3, "ae"}, {0x01E4, "G"},  {0x01E5, "g"},  {0x01F1, "DZ"},
    {0x01F2, "Dz"}, {0x01F3, "dz"}, {0x01FC, "AE"}, {0x01FD, "ae"}, {0x01FE, "O"},  {0x01FF, "o"},
    {0x0220, "N"},  {0x0221, "d"},  {0x0224, "Z"},  {0x0225, "z"},  {0x0237, "j"},  {0x023A, "A"},
    {0x023B, "C"},  {0x023C, "c"},  {0x023D, "L"},  {0x023E, "T"},  {0x0243, "B"},  {0x0244, "U"},
    {0x0246, "E"},  {0x0247, "e"},  {0x0248, "J"},  {0x0249, "j"},  {0x024C, "R"},  {0x024D, "r"},
    {0x024E, "Y"},  {0x024F, "y"},  {0x1E9B, "s"},  {0x1E9E, "SS"}, {0x1EFA, "LL"}, {0x1EFB, "ll"},
};

constexpr bool InOrder() {
    for (std::size_t i = 1; i < std::size(kSpellings); ++i) {
        if (kSpellings[i - 1].codePoint >= kSpellings[i].codePoint)
            return false;
    }
    return true;
}
static_assert(InOrder(), "kSpellings is searched by halves");

// The code point that starts at text[at], and moves `at` past it. A byte that does not start a
// well-formed UTF-8 sequence is one Windows-1252 character.
char32_t NextCodePoint(const std::string& text, std::size_t& at) {
    char32_t code = 0;
    const int length = Utf8Sequence(text, at, code);
    if (length > 0) {
        at += static_cast<std::size_t>(length);
        return code;
    }
    return FromWindows1252(static_cast<uint8_t>(text[at++]));
}

bool IsCombiningAccent(char32_t code) {
    return code >= 0x0300 && code <= 0x036F;
}

}  // namespace

char PlainLetterOf(char32_t codePoint) {
    char letter = '_';
    if (codePoint >= kLatinFirst && codePoint < kLatinFirst + sizeof kLatin - 1)
        letter = kLatin[codePoint - kLatinFirst];
    else if (codePoint >= kLatinAdditionalFirst &&
             codePoint < kLatinAdditionalFirst + sizeof kLatinAdditional - 1)
        letter = kLatinAdditional[codePoint - kLatinAdditionalFirst];
    return letter == '_' ? 0 : letter;
}

std::string FitRadioName(const std::string& text, int length) {
    const std::size_t limit = length > 0 ? static_cast<std::size_t>(length) : 0;
    std::string fitted;
    for (std::size_t at = 0; at < text.size() && fitted.size() < limit;) {
        const char32_t code = NextCodePoint(text, at);
        if (code < 0x80 && IsRadioChar(static_cast<uint8_t>(code))) {
            fitted += static_cast<char>(code);
        } else if (const char letter = PlainLetterOf(code)) {
            fitted += letter;
        } else if (IsCombiningAccent(code)) {
            continue;
        } else {
            const auto* spelling =
                std::lower_bound(std::begin(kSpellings), std::end(kSpellings), code,
                                 [](const Spelling& s, char32_t c) { return s.codePoint < c; });
            const bool spelled = spelling != std::end(kSpellings) && spelling->codePoint == code;
            fitted += spelled ? spelling->letters : " ";
        }
    }
    fitted.resize(std::min(fitted.size(), limit));
    return fitted;
}

}  // namespace chanwright
