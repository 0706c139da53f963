// The framework's exceptions and its global reporter.
#pragma once

#include <stdexcept>
#include <string>

// The runtime's message exception: a failure with a text for the user.
class xmsg : public std::runtime_error {
public:
    explicit xmsg(const std::string& message) : std::runtime_error(message) {}
    const char* why() const { return what(); }
};

// A window or drawing resource the framework could not create.
class TXFramework : public xmsg {
public:
    using xmsg::xmsg;
};

// Reports an exception that escaped the application to the user and gives
// the process's exit code: 1, the program failed. The caption may be null.
int HandleGlobalException(xmsg& x, const char* caption);
