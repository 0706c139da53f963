#include "linux/linux_host.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>

#include "linux/gtk_dialog.h"
#include "linux/monotonic_clock.h"
#include "linux/profile_location.h"
#include "portable/dialog_session.h"
#include "portable/winapi/functions.h"

namespace vyla::linux {

LinuxHost::LinuxHost() : resources_(BuiltinResources()) {}

DWORD LinuxHost::TickCount()
{
    return TickCountMs();
}

std::int64_t LinuxHost::CalendarTime()
{
    return static_cast<std::int64_t>(std::time(nullptr));
}

void LinuxHost::RunModalDialog(portable::DialogSession& dialog)
{
    dialogRunning_ = true;
    bool shown = RunGtkDialog(dialog, events_.SignalFd(), [this] { return events_.TakeSignal(); });
    dialogRunning_ = false;
    if (!shown) {
        Report("vyla", "the settings dialog cannot be shown: GTK found no display");
        dialog.CloseFromTitleBar();
    }
    if (!dialog.Ended())
        EndDialog(dialog.Handle(), -1);
}

std::filesystem::path LinuxHost::ProfileDirectory()
{
    return UserProfileDirectory();
}

void LinuxHost::Report(std::string_view caption, std::string_view text)
{
    std::string line = "vyla: " + std::string(caption) + ": " + std::string(text);
    std::replace_if(line.begin(), line.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    line += '\n';
    std::fputs(line.c_str(), stderr);
    // While the settings dialog is up the user is looking at the screen, not
    // at a terminal: the message goes in a box too. (During a saver run the
    // grabs would keep a box from being answered.)
    if (dialogRunning_)
        ShowGtkMessage(caption, text);
}

}  // namespace vyla::linux
