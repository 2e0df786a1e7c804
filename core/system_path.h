#pragma once

#include <string>
#include <string_view>

// File and device names are the system's bytes, which are usually, but not always, UTF-8: a file
// copied from an old disk or a camera may be named in Latin-1. Inside the program a name is text in
// which each byte that is no part of a UTF-8 sequence is carried as the character U+DC80 + (byte -
// 0x80), a code point no valid name holds, so that the exact bytes come back when the name is
// opened, created or stored.
namespace chanwright {

// The name for the given system bytes, as UTF-16.
std::u16string PathFromBytes(std::string_view bytes);

// The system bytes of a name: its UTF-8, with each carried byte put back as it was.
std::string PathBytes(std::u16string_view path);

// A name as a person reads it, in UTF-8: a carried byte and a control character are written as
// \xNN, so that no name can break a line, move the cursor or hide part of a message.
std::string ShownName(std::u16string_view path);

}  // namespace chanwright
