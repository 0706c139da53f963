#include "framework/exception.h"

#include <string>

#include "api/winapi.h"

int HandleGlobalException(xmsg& x, const char* caption, const char* canResume)
{
    std::string text = x.what();
    if (canResume)
        text += std::string("\n\n") + canResume;
    MessageBoxA(nullptr, text.c_str(), caption ? caption : "Unhandled Exception", 0x10 /*MB_ICONSTOP*/);
    return 1;
}
