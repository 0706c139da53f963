// Reading and editing settings held as initialisation-file text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vyla::ini {

// The value of key in section, read the way the system reads these files
// (line syntax: ini_lines.h): section and key names match ASCII
// case-insensitively, blanks around them ignored; only the first section of
// that name counts, and in it the first line of the key, so a later section
// of the same name or a later line of the key is never seen; a line of the
// key without '=' gives "" (present and empty); a value in a matching pair of
// single or double quotes loses them; text before the first header belongs
// to no section. nullopt when absent (and for an empty key, which no line
// can hold).
std::optional<std::string> FindValue(std::string_view text, std::string_view section, std::string_view key);

// How many characters of a value the system's integer reader looks at: it
// reads the value into a buffer of 30 characters, the last one the end.
inline constexpr std::size_t kIntReadLength = 29;

// The integer a value stands for, as the system's integer reader converts
// it: of its first kIntReadLength characters, leading control characters
// and spaces are skipped, then one optional sign, then a base prefix "0x",
// "0o" or "0b" (lower case; else decimal), then the digits of that base up to
// the first other character, taken modulo 2^32 and read as a signed 32-bit
// number. No digits gives 0.
std::int32_t ParseInt(std::string_view value);

// Whether WithValue can store this entry so that FindValue reads it back:
// names and value hold no line break and no NUL, the key is not empty, has
// no '=' and does not start with '[', and the section name has no ']'.
// Names are judged after trimming blanks, as they are used.
bool CanWrite(std::string_view section, std::string_view key, std::string_view value);

// The text with key in section set to value where FindValue looks, every
// other byte kept. The first line of key in the first section of that name,
// with or without '=', becomes "key=value" (its line ending kept); without
// one, the entry goes after the section's last non-blank line; without the
// section, "[section]" and the entry are appended. New lines use the text's
// own line ending (its first: CRLF, LF or CR; LF when it has none). A value
// that would otherwise be read back differently (blanks at an end, or
// enclosed in quotes) is written inside double quotes.
// Returns the text unchanged when !CanWrite(section, key, value).
std::string WithValue(std::string_view text, std::string_view section, std::string_view key, std::string_view value);

}  // namespace vyla::ini
