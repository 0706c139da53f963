// The portable runtime: the state behind the Win32 subset on backends that
// are not Windows. One runtime is active at a time; the API functions reach
// it through Runtime::Current(), the one start-up slot of the portable layer.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "portable/winapi/types.h"
#include "portable/gdi_table.h"
#include "portable/host.h"
#include "portable/window_table.h"

namespace vyla::portable {

class Runtime {
public:
    explicit Runtime(Host& host);
    ~Runtime();
    Runtime(const Runtime&) = delete;
    Runtime& operator=(const Runtime&) = delete;

    // The active runtime. Calling an API function with none active is a
    // programming error and aborts with a message.
    static Runtime& Current();
    static bool HasCurrent();

    Host& GetHost() { return host_; }
    WindowTable& Windows() { return windows_; }
    GdiTable& Gdi() { return gdi_; }

    // Posted messages, in order.
    std::deque<MSG>& Queue() { return queue_; }
    bool quitPosted = false;
    int quitCode = 0;

    int cursorCount = 0;  // the cursor shows while it is >= 0
    std::uint32_t randomState = 1;
    DWORD lastError = 0;

    // The argument vector the application main function receives.
    std::vector<std::string> arguments;
    std::vector<char*> argumentPointers;
    void SetArguments(std::vector<std::string> args);

    // Values settings files are read as holding for this run, whatever the
    // files say (the program's command-line options). Nothing is written.
    struct ProfileOverride {
        std::string file;  // as the program names it, e.g. "vyla.ini"
        std::string section;
        std::string key;
        std::string value;
    };
    std::vector<ProfileOverride> profileOverrides;
    // The override for a key, compared without regard to case as the
    // system compares names in settings files; the last one given wins.
    const std::string* FindProfileOverride(const char* file, const char* section, const char* key) const;

    // Screen geometry from the host's screen.
    Rect ScreenRect() { return Rect::FromSize(host_.Screen().GetSize()); }

private:
    Host& host_;
    WindowTable windows_;
    GdiTable gdi_;
    std::deque<MSG> queue_;
    Runtime* previous_ = nullptr;
};

}  // namespace vyla::portable
