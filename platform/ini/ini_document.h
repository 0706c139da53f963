// A whole settings file as bytes: its mark read, several keys set in one
// edit, and the result given back in the file's own encoding.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vyla::ini {

struct Entry {
    std::string key;
    std::string value;
};

// The value of key in section of a file with these bytes (see FindValue),
// whatever mark the file starts with. Characters of a UTF-16 file come back
// as ini_encoding.h translates them; ASCII is ASCII.
std::optional<std::string> FindValueInFile(std::string_view bytes, std::string_view section, std::string_view key);

// The file's bytes with every entry set in section, in order (see WithValue),
// in the file's own encoding: its mark and every byte not edited stay. New
// text is ASCII. nullopt, when some entry !CanWrite, so that either all of
// them are stored or none.
std::optional<std::string> WithValuesInFile(std::string_view bytes, std::string_view section,
                                            std::span<const Entry> entries);

}  // namespace vyla::ini
