#include "linux/autostart.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

#include "linux/command_options.h"
#include "linux/profile_location.h"

namespace vyla::linux {

namespace {

// The Exec key's quoting: a path with a space or a quote in double quotes.
std::string ExecWord(const std::string& word)
{
    if (word.find_first_of(" \t\"'\\$`") == std::string::npos)
        return word;
    std::string quoted = "\"";
    for (char c : word) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += "\\\\";
        quoted += c;
    }
    return quoted + "\"";
}

}  // namespace

std::filesystem::path AutostartFile()
{
    return UserProfileDirectory() / "autostart" / "vyla.desktop";
}

std::string AutostartEntry(const std::string& program, int seconds)
{
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Vyla idle watcher\n"
           "Comment=Starts the Vyla screen saver when the session is idle\n"
           "Exec=" + ExecWord(program) + " --watch-idle " + DurationText(seconds) + "\n"
           "NoDisplay=true\n"
           "X-GNOME-Autostart-enabled=true\n";
}

bool SetAutostart(const std::filesystem::path& file, const std::string& program, std::optional<int> seconds,
                  std::string* line)
{
    std::error_code error;
    if (!seconds) {
        if (std::filesystem::remove(file, error)) {
            *line = "removed " + file.string();
            return true;
        }
        if (error) {
            *line = "cannot remove " + file.string() + ": " + error.message();
            return false;
        }
        *line = "no " + file.string() + " to remove";
        return true;
    }
    std::filesystem::create_directories(file.parent_path(), error);
    // Written beside it and renamed over it: a login never reads half an entry.
    const std::filesystem::path temporary = file.string() + ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << AutostartEntry(program, *seconds);
        out.flush();
        if (!out) {
            int e = errno;
            std::filesystem::remove(temporary, error);
            *line = "cannot write " + file.string() + ": " + std::strerror(e ? e : EIO);
            return false;
        }
    }
    std::filesystem::rename(temporary, file, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        *line = "cannot write " + file.string() + ": " + error.message();
        return false;
    }
    *line = "wrote " + file.string() + ": at login, the saver starts after " + DurationText(*seconds) + " idle";
    return true;
}

}  // namespace vyla::linux
