#include "portable/ini/ini_file.h"

#include <cerrno>
#include <new>

namespace vyla::ini {

WriteResult WriteValues(const std::filesystem::path& path, std::string_view section,
                        std::span<const Entry> entries) noexcept
{
    try {
        const ReadResult current = ReadFile(path);
        if (current.status == ReadStatus::TooLarge) {
            return {WriteFailure::TooLarge, 0};
        }
        if (current.status == ReadStatus::Unreadable) {
            // A directory or pipe in its place says more than "unreadable".
            std::error_code error;
            const auto status = std::filesystem::status(path, error);
            const bool other = !error && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status);
            return {other ? WriteFailure::NotARegularFile : WriteFailure::Unreadable, 0};
        }
        const std::optional<std::string> updated = WithValuesInFile(current.text, section, entries);
        if (!updated) {
            return {WriteFailure::Refused, 0};
        }
        if (updated->size() > kMaxFileBytes) {
            return {WriteFailure::TooLarge, 0};  // it could never be read back
        }
        if (current.status == ReadStatus::Ok && *updated == current.text) {
            return {};
        }
        return ReplaceFileContents(path, *updated);
    } catch (const std::bad_alloc&) {
        return {WriteFailure::System, ENOMEM};
    } catch (...) {
        return {WriteFailure::System, EIO};
    }
}

bool WriteValue(const std::filesystem::path& path, std::string_view section, std::string_view key,
                std::string_view value) noexcept
{
    try {
        const Entry entry{std::string(key), std::string(value)};
        return WriteValues(path, section, std::span<const Entry>(&entry, 1)).Ok();
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
        return FindValueInFile(file.text, section, key);
    } catch (...) {
        return std::nullopt;
    }
}

}  // namespace vyla::ini
