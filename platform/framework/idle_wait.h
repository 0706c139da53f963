// TIdleWait: the message loop's sleep between idle calls. A wait ends as soon
// as a message (input, a posted message) arrives, or when the given time has
// passed, close enough that a frame due then is drawn on time, without
// keeping the system's timer fast while the program sleeps for long.
#pragma once

#include "api/winapi.h"

class TIdleWait {
public:
    TIdleWait();
    ~TIdleWait();
    TIdleWait(const TIdleWait&) = delete;
    TIdleWait& operator=(const TIdleWait&) = delete;

    // Returns when a message waits or timeoutMs milliseconds have passed;
    // INFINITE waits for a message alone.
    void Wait(DWORD timeoutMs);

private:
    // Windows only: a high-resolution waitable timer where the system has
    // one, and whether the system timer's period is raised right now.
    void* Timer = nullptr;  // a HANDLE
    bool PrecisionRaised = false;
};
