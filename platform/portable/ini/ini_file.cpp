#include "portable/ini/ini_file.h"

namespace vyla::ini {

bool WriteValue(const std::filesystem::path& path, std::string_view section, std::string_view key,
                std::string_view value) noexcept
{
    try {
        if (!CanWrite(section, key, value)) {
            return false;
        }
        const ReadResult current = ReadFile(path);
        if (current.status != ReadStatus::Ok && current.status != ReadStatus::Missing) {
            return false;
        }
        const std::string updated = WithValue(current.text, section, key, value);
        if (updated.size() > kMaxFileBytes) {
            return false;  // it could never be read back
        }
        if (current.status == ReadStatus::Ok && updated == current.text) {
            return true;
        }
        return WriteFileAtomically(path, updated);
    } catch (...) {
        return false;
    }
}

std::optional<std::string> ReadValue(const std::filesystem::path& path, std::string_view section,
                                     std::string_view key) noexcept
{
    try {
        const ReadResult file = ReadFile(path);
        if (file.status != ReadStatus::Ok) {
            return std::nullopt;
        }
        return FindValue(file.text, section, key);
    } catch (...) {
        return std::nullopt;
    }
}

}  // namespace vyla::ini
