// The monotonic clock the program's time is read from on Linux.
#pragma once

#include <time.h>

#include <cstdint>

namespace vyla::linux {

inline std::int64_t MonotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// Milliseconds, wrapping as the system's tick count does.
inline std::uint32_t TickCountMs()
{
    return static_cast<std::uint32_t>(MonotonicNs() / 1'000'000);
}

}  // namespace vyla::linux
