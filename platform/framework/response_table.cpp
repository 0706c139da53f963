#include "framework/response_table.h"

bool SearchEntries(std::span<const TResponseTableEntry> entries, TEventInfo& info)
{
    for (const auto& e : entries) {
        if (e.Msg != info.Msg)
            continue;
        if (e.Msg == WM_COMMAND && (e.Id != info.Id || info.NotifyCode != 0))
            continue;
        info.Entry = &e;
        return true;
    }
    return false;
}
