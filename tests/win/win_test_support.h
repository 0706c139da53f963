// Small pieces the Windows-side test programs share.
#pragma once

#include <windows.h>

#include <string>

namespace vyla::wintest {

// UTF-8 text as the system's wide text.
inline std::wstring WideUtf8(const char* text)
{
    const int n = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n > 0 ? n : 1), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, -1, out.data(), n);
    out.resize(out.size() - 1);
    return out;
}

// Handles this thread's messages for ms milliseconds.
inline void PumpMessages(DWORD ms)
{
    const DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (GetTickCount() - start < ms);
}

}  // namespace vyla::wintest
