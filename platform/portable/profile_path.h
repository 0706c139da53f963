// Where the portable runtime keeps a settings file: a name without a
// directory lives in the host's settings directory; a path is used as given.
#pragma once

#include <filesystem>

namespace vyla::portable {

std::filesystem::path ProfilePath(const char* fileName);

}  // namespace vyla::portable
