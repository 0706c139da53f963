// What the command line asks of a screen saver. The system starts a saver
// with "/s" to run it, "/c" (possibly with ":" or a space and the window
// that is to own the dialog) to configure it, "/p" and a window to preview
// it inside that window, and "/a" to change a password, which this saver
// has none of.
#pragma once

#include <cstdint>

enum class TSaverCommand {
    Run,        // the full-screen saver
    Configure,  // the settings dialog
    Preview,    // the scene inside the given window
    Nothing,    // end at once
};

struct TSaverRequest {
    TSaverCommand Command = TSaverCommand::Run;
    // Configure: true when a window number followed the switch. Preview:
    // always true. The number itself is Window.
    bool HasWindow = false;
    std::uintptr_t Window = 0;
};

// emptyConfigures: whether the system means "configure" by an empty
// command line (it does on Windows).
TSaverRequest ParseSaverCommandLine(const char* commandLine, bool emptyConfigures);
