#include "framework/exception.h"

#include <string>

#include "system_api.h"

int HandleGlobalException(xmsg& x, const char* caption)
{
    MessageBoxA(nullptr, x.what(), caption ? caption : "Unhandled Exception", 0x10 /*MB_ICONSTOP*/);
    return 1;
}
