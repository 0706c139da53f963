#include "linux/profile_location.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace vyla::linux {

namespace {

bool IsAbsolute(const char* path)
{
    return path && path[0] == '/';
}

}  // namespace

std::filesystem::path ProfileDirectoryFrom(const char* xdgConfigHome, const char* home, const char* passwdHome)
{
    if (IsAbsolute(xdgConfigHome))
        return std::filesystem::path(xdgConfigHome);
    if (IsAbsolute(home))
        return std::filesystem::path(home) / ".config";
    if (IsAbsolute(passwdHome))
        return std::filesystem::path(passwdHome) / ".config";
    return std::filesystem::path(".");
}

std::filesystem::path UserProfileDirectory()
{
    const passwd* entry = getpwuid(getuid());
    return ProfileDirectoryFrom(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"), entry ? entry->pw_dir : nullptr);
}

}  // namespace vyla::linux
