// A command-line argument the renderer cannot use. main() prints its
// message on one line and exits with status 2.
#pragma once

#include <stdexcept>
#include <string>

namespace vyla::render {

class UsageError : public std::runtime_error {
public:
    explicit UsageError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace vyla::render
