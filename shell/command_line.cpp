#include "shell/command_line.h"

#include <cstring>
#include <limits>
#include <optional>

namespace {

// A window number: decimal digits to the end of the text. Numbers too large
// for a handle saturate, so they name no window instead of a wrong one.
std::optional<std::uintptr_t> WindowNumber(const char* text)
{
    if (*text == '\0')
        return std::nullopt;
    std::uintptr_t value = 0;
    constexpr std::uintptr_t kMax = std::numeric_limits<std::uintptr_t>::max();
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9')
            return std::nullopt;
        const auto digit = static_cast<std::uintptr_t>(*p - '0');
        value = value > (kMax - digit) / 10 ? kMax : value * 10 + digit;
    }
    return value;
}

// The switch s ("/x" or "-x") followed by ":" or a space and a window number.
std::optional<std::uintptr_t> SwitchWithWindow(const char* commandLine, char letter)
{
    if ((commandLine[0] != '/' && commandLine[0] != '-') || commandLine[1] != letter)
        return std::nullopt;
    if (commandLine[2] != ':' && commandLine[2] != ' ')
        return std::nullopt;
    return WindowNumber(commandLine + 3);
}

}  // namespace

TSaverRequest ParseSaverCommandLine(const char* commandLine, bool emptyConfigures)
{
    if (!commandLine)
        commandLine = "";
    if (std::strcmp(commandLine, "/c") == 0 || std::strcmp(commandLine, "-c") == 0)
        return {TSaverCommand::Configure, false, 0};
    if (*commandLine == '\0')
        return {emptyConfigures ? TSaverCommand::Configure : TSaverCommand::Run, false, 0};
    if (auto owner = SwitchWithWindow(commandLine, 'c'))
        return {TSaverCommand::Configure, true, *owner};
    if (auto pane = SwitchWithWindow(commandLine, 'p'))
        return {TSaverCommand::Preview, true, *pane};
    if (std::strncmp(commandLine, "/a", 2) == 0)
        return {TSaverCommand::Nothing, false, 0};
    return {};
}
