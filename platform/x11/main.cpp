// The program on Linux: the X11 host under the portable runtime, then the
// program's entry as the system would call it.
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "framework/framework.h"
#include "portable/runtime.h"
#include "x11/x11_host.h"  // after the framework: Xlib defines macros such as None and Bool

int main(int argc, char** argv)
{
    // A server that goes away must show as a lost connection (see X11Host),
    // not as a write that kills the process.
    std::signal(SIGPIPE, SIG_IGN);
    auto host = vyla::x11::X11Host::Open(nullptr);
    if (!host) {
        const char* name = XDisplayName(nullptr);
        if (name && *name)
            std::fprintf(stderr, "vyla: cannot open the X display \"%s\"\n", name);
        else
            std::fputs("vyla: cannot open the X display: DISPLAY is not set\n", stderr);
        return 1;
    }
    vyla::portable::Runtime runtime(*host);
    std::vector<std::string> arguments(argv, argv + argc);
    runtime.SetArguments(arguments);

    // The command line is what follows the program name, as Windows gives it.
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            commandLine += ' ';
        commandLine += argv[i];
    }
    int status = WinMain(GetModuleHandleA(nullptr), nullptr, commandLine.data(), SW_SHOWNORMAL);
    // A run cut short by the display going away is not a normal end.
    return host->DisplayLost() ? 1 : status;
}
