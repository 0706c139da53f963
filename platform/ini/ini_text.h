// Reading and editing settings held as initialisation-file text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vyla::ini {

// The value of key in section, read the way Windows reads these files:
// section and key names match ASCII case-insensitively, with spaces and tabs
// around names and values ignored; the first matching key wins, searching the
// first section of that name and then any later ones of the same name; a value
// in a matching pair of single or double quotes loses them; text before the
// first header and lines without '=' are ignored. nullopt when absent (and
// for an empty key, which no line can hold).
std::optional<std::string> FindValue(std::string_view text, std::string_view section, std::string_view key);

// The integer a value stands for: leading spaces and tabs skipped, an
// optional sign, then decimal digits up to the first other character, taken
// modulo 2^32 and read as a signed 32-bit number. No digits gives 0.
std::int32_t ParseInt(std::string_view value);

// Whether WithValue can store this entry so that FindValue reads it back:
// names and value hold no line break, the key is not empty, has no '=' and
// does not start with '[', and the section name has no ']'. Names are judged
// after trimming spaces and tabs, as they are used.
bool CanWrite(std::string_view section, std::string_view key, std::string_view value);

// The text with key in section set to value, every other byte kept. The
// first entry for key in the first section of that name becomes "key=value"
// (its line ending kept); without one, the entry goes after the section's
// last non-blank line; without the section, "[section]" and the entry are
// appended. New lines use the text's own line ending (CRLF if its first one
// is CRLF, else LF). A value that would otherwise be read back differently
// (spaces at an end, or enclosed in quotes) is written inside double quotes.
// Returns the text unchanged when !CanWrite(section, key, value).
std::string WithValue(std::string_view text, std::string_view section, std::string_view key, std::string_view value);

}  // namespace vyla::ini
