#include "win32/wide_text.h"

namespace vyla::win32 {

std::wstring Widened(const char* text, UINT codePage)
{
    if (!text || !*text)
        return {};
    const int n = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
    if (n <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, text, -1, wide.data(), n);
    wide.resize(static_cast<std::size_t>(n - 1));
    return wide;
}

std::string Narrowed(const std::wstring& text, UINT codePage)
{
    const int n = WideCharToMultiByte(codePage, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return {};
    std::string narrow(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, text.c_str(), -1, narrow.data(), n, nullptr, nullptr);
    narrow.resize(static_cast<std::size_t>(n - 1));
    return narrow;
}

}  // namespace vyla::win32
