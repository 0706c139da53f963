#include "ini/ini_document.h"

#include "ini/ini_encoding.h"
#include "ini/ini_text.h"

namespace vyla::ini {

std::optional<std::string> FindValueInFile(std::string_view bytes, std::string_view section, std::string_view key)
{
    return FindValue(Decode(bytes).text, section, key);
}

std::optional<std::string> WithValuesInFile(std::string_view bytes, std::string_view section,
                                            std::span<const Entry> entries)
{
    for (const Entry& entry : entries) {
        if (!CanWrite(section, entry.key, entry.value)) {
            return std::nullopt;
        }
    }
    DecodedFile file = Decode(bytes);
    for (const Entry& entry : entries) {
        file.text = WithValue(file.text, section, entry.key, entry.value);
    }
    return Encode(file);
}

}  // namespace vyla::ini
