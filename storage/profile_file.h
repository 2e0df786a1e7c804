#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/text_encoding.h"

namespace chanwright {

// A data file parsed once, answering lookups the way the Windows private-profile reader does,
// because files written by earlier versions of the program were read that way and users rely on
// it: section and key names match without regard to case, the first section and the first key of
// a name win, blanks around a section name, a key and a value are dropped, a value enclosed in a
// pair of quotation marks loses them, and a value is cut to 127 characters. CR LF, LF and a lone
// CR end a line. The text is UTF-8, as ProfileText gives it.
class ProfileFile {
  public:
    static constexpr std::size_t kMaxValueLength = 127;

    static ProfileFile Parse(std::string_view bytes);

    // The trimmed, cut value, or nothing when the section or the key is missing (a key line
    // without "=" counts as missing).
    std::optional<std::string> Lookup(std::string_view section, std::string_view key) const;

    // True when the name of a section, upper-cased, passes the test.
    bool AnySection(bool (*test)(std::string_view upperName)) const;

  private:
    struct Section {
        std::unordered_map<std::string, std::optional<std::string>> keys;  // upper-cased names
    };
    std::unordered_map<std::string, std::size_t> sectionIndex_;  // upper-cased name -> sections_
    std::vector<Section> sections_;
};

// A data file's text in UTF-8, and how the file held it.
struct FileText {
    std::string text;
    TextEncoding encoding = TextEncoding::Windows1252;
};

// The text the reader sees in a data file's bytes, or nothing when the file is no text file. The
// older program wrote Windows-1252; a file that is UTF-8 throughout and holds more than ASCII was
// saved by a newer editor and is read as UTF-8, as is one saved as "Unicode" (UTF-16LE, beginning
// FF FE), and one beginning with the UTF-8 byte order mark. Any other file that holds a NUL byte
// is refused: read as text it would silently empty every value after the NUL.
std::optional<FileText> ProfileText(std::string_view bytes);

// The bytes of a data file's UTF-8 text in `encoding`. Windows-1252 writes a character it lacks
// as "?" and adds it to `lacking` once.
std::string FileBytes(const std::string& text, TextEncoding encoding, std::string& lacking);

// One key lookup as the data-file reader makes it: a missing key (or the literal "<NONE>") gives
// the empty text, the value is cut at its first NUL, and one leading "#" is removed.
std::string ReadProfileValue(const ProfileFile& file, std::string_view section,
                             std::string_view key);

}  // namespace chanwright
