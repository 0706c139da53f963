// The framework's message box on Windows: its UTF-8 texts shown through the
// wide-character call, so they read the same under any code page.
#include "framework/message_box.h"

#include <string>

namespace {

std::wstring FromUtf8(const char* text)
{
    if (!text || !*text)
        return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    if (n <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), n);
    wide.resize(static_cast<std::size_t>(n - 1));
    return wide;
}

}  // namespace

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type)
{
    return MessageBoxW(owner, FromUtf8(text).c_str(), FromUtf8(caption).c_str(), type);
}
