// The Wayland saver's first process: one child process per output, each
// the same program told which output is its own (OutputHost), the first
// ones started on one clock. An output that appears later gets a child of
// its own; a child whose output was removed ends alone. When a child ends
// otherwise (the user's input ends the saver on any output) the others are
// ended too, and the parent ends as they have; it ends with 0 when the
// last output has gone.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "wayland/wayland_connection.h"

namespace vyla::wayland {

// What the parent passes a child beyond the program's own arguments.
struct ChildOutput {
    std::uint32_t output = 0;  // the output's registry name
    std::int64_t startNs = 0;  // when every child starts its program (monotonic clock)
};

// The arguments of a child: the program's name, the hidden options naming
// its output and the common start, then the parent's arguments.
std::vector<std::string> ChildArguments(const std::vector<std::string>& arguments, const ChildOutput& child);

// Runs a child per output of the connection, as outputs come, and waits
// for them; the exit code of the child that ended first by itself (0 when
// SIGINT or SIGTERM ended the parent, or the outputs all went), or 1 with
// a line on stderr when no child could be started.
int RunOnEveryOutput(const std::vector<std::string>& arguments, std::unique_ptr<Connection> connection);

// In a child: sleeps until the common start.
void SleepUntil(std::int64_t monotonicNs);

}  // namespace vyla::wayland
