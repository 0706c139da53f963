#include "linux/command_options.h"

#include <charconv>
#include <limits>

namespace vyla::linux {

namespace {

// The longest slideshow interval an option may ask for: a day. The
// milliseconds it gives fit the saver's 32-bit timers many times over.
constexpr int kMaxIntervalSeconds = 86400;
// The longest idle time to wait for: a day, whose milliseconds fit the idle
// protocols' 32-bit timeouts.
constexpr int kMaxIdleSeconds = 86400;

struct Choice {
    std::string_view word;
    int value;
};

constexpr Choice kColors[] = {{"crimson", 0}, {"white", 1}};
constexpr Choice kSpeeds[] = {{"slow", 0}, {"normal", 1}, {"fast", 2}};

template <std::size_t N>
std::optional<int> Lookup(const Choice (&choices)[N], std::string_view word)
{
    for (const Choice& c : choices)
        if (c.word == word)
            return c.value;
    return std::nullopt;
}

std::optional<std::uint64_t> ParseUnsigned(std::string_view text, int base)
{
    if (text.empty())
        return std::nullopt;
    std::uint64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc{} || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

bool IsSettingsDialog(std::string_view argument)
{
    return argument == "/c" || argument == "-c";
}

// Splits "--name=value", "-name=value", "--name" and "-name" into the bare
// name and the attached value, if any.
struct OptionWord {
    std::string_view name;
    std::optional<std::string_view> value;
};

OptionWord SplitOption(std::string_view argument)
{
    argument.remove_prefix(argument.starts_with("--") ? 2 : 1);
    OptionWord word{argument, std::nullopt};
    if (auto equals = argument.find('='); equals != std::string_view::npos) {
        word.name = argument.substr(0, equals);
        word.value = argument.substr(equals + 1);
    }
    return word;
}

ParsedCommandLine Failure(std::string message)
{
    return ParsedCommandLine{std::nullopt, std::move(message)};
}

}  // namespace

std::optional<std::uint32_t> ParseWindowId(std::string_view text)
{
    std::optional<std::uint64_t> value;
    if (text.starts_with("0x") || text.starts_with("0X"))
        value = ParseUnsigned(text.substr(2), 16);
    else
        value = ParseUnsigned(text, 10);
    if (!value || *value == 0 || *value > std::numeric_limits<std::uint32_t>::max())
        return std::nullopt;
    return static_cast<std::uint32_t>(*value);
}

std::optional<int> ParseDuration(std::string_view text)
{
    int unit = 1;
    if (text.ends_with('m'))
        unit = 60;
    if (text.ends_with('m') || text.ends_with('s'))
        text.remove_suffix(1);
    auto value = ParseUnsigned(text, 10);
    if (!value || *value < 1 || *value > static_cast<std::uint64_t>(kMaxIdleSeconds / unit))
        return std::nullopt;
    return static_cast<int>(*value) * unit;
}

std::string DurationText(int seconds)
{
    return seconds % 60 == 0 ? std::to_string(seconds / 60) + "m" : std::to_string(seconds) + "s";
}

ParsedCommandLine ParseCommandLine(std::span<const std::string> args)
{
    CommandOptions options;
    std::vector<std::string_view> rest;
    bool anyOption = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view argument = args[i];
        if (argument == "--") {
            for (++i; i < args.size(); ++i)
                rest.push_back(args[i]);
            break;
        }
        if (!argument.starts_with('-') || IsSettingsDialog(argument)) {
            rest.push_back(argument);
            continue;
        }
        const std::size_t first = i;
        OptionWord word = SplitOption(argument);
        const std::string shown = "--" + std::string(word.name);
        auto flag = [&]() -> bool { return !word.value.has_value(); };
        // The option's value: attached, or the next argument.
        auto value = [&]() -> std::optional<std::string_view> {
            if (word.value)
                return word.value;
            if (i + 1 < args.size())
                return std::string_view(args[++i]);
            return std::nullopt;
        };

        if (word.name == "help" || word.name == "h") {
            options.action = CommandOptions::Action::ShowHelp;
            return ParsedCommandLine{std::move(options), {}};
        }
        if (word.name == "version") {
            options.action = CommandOptions::Action::ShowVersion;
            return ParsedCommandLine{std::move(options), {}};
        }
        anyOption = true;
        if (word.name == "root" || word.name == "girls" || word.name == "no-girls") {
            if (!flag())
                return Failure(shown + " takes no value");
            if (word.name == "root")
                options.root = true;
            else
                options.settings.push_back({"girls", word.name == "girls" ? 1 : 0});
        } else if (word.name == "window-id") {
            auto text = value();
            if (!text)
                return Failure(shown + " needs a window id (decimal, or hexadecimal after 0x)");
            auto id = ParseWindowId(*text);
            if (!id)
                return Failure("bad window id \"" + std::string(*text) + "\" for " + shown);
            options.windowId = id;
        } else if (word.name == "backend") {
            auto text = value();
            if (text && *text == "wayland")
                options.backend = CommandOptions::Backend::Wayland;
            else if (text && *text == "x11")
                options.backend = CommandOptions::Backend::X11;
            else
                return Failure(shown + " takes wayland or x11" + (text ? ", not \"" + std::string(*text) + "\"" : ""));
        } else if (word.name == "wayland-output") {
            auto text = value();
            auto name = text ? ParseUnsigned(*text, 10) : std::nullopt;
            if (!name || *name > std::numeric_limits<std::uint32_t>::max())
                return Failure(shown + " takes an output's registry name");
            options.waylandOutput = static_cast<std::uint32_t>(*name);
        } else if (word.name == "start-at") {
            auto text = value();
            auto ns = text ? ParseUnsigned(*text, 10) : std::nullopt;
            if (!ns || *ns > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
                return Failure(shown + " takes nanoseconds on the monotonic clock");
            options.startAtNs = static_cast<std::int64_t>(*ns);
        } else if (word.name == "color") {
            auto text = value();
            auto color = text ? Lookup(kColors, *text) : std::nullopt;
            if (!color)
                return Failure(shown + " takes crimson or white" + (text ? ", not \"" + std::string(*text) + "\"" : ""));
            options.settings.push_back({"color", *color});
        } else if (word.name == "speed") {
            auto text = value();
            auto speed = text ? Lookup(kSpeeds, *text) : std::nullopt;
            if (!speed)
                return Failure(shown + " takes slow, normal or fast" +
                               (text ? ", not \"" + std::string(*text) + "\"" : ""));
            options.settings.push_back({"speed", *speed});
        } else if (word.name == "interval") {
            auto text = value();
            auto seconds = text ? ParseUnsigned(*text, 10) : std::nullopt;
            if (!seconds || *seconds < 1 || *seconds > kMaxIntervalSeconds)
                return Failure(shown + " takes whole seconds from 1 to " + std::to_string(kMaxIntervalSeconds) +
                               (text ? ", not \"" + std::string(*text) + "\"" : ""));
            options.settings.push_back({"interval", static_cast<int>(*seconds)});
        } else if (word.name == "watch-idle" || word.name == "autostart") {
            auto text = value();
            auto seconds = text ? ParseDuration(*text) : std::nullopt;
            if (word.name == "autostart" && text && *text == "off")
                options.autostartOff = true;
            else if (!seconds)
                return Failure(shown + " takes a duration such as 10m, 90s or 90 (at most a day)" +
                               std::string(word.name == "autostart" ? ", or off" : "") +
                               (text ? ", not \"" + std::string(*text) + "\"" : ""));
            else if (word.name == "watch-idle")
                options.watchIdleSeconds = seconds;
            else
                options.autostartSeconds = seconds;
            continue;
        } else {
            return Failure("unknown option \"" + std::string(argument) + "\"");
        }
        options.saverOptions.insert(options.saverOptions.end(), args.begin() + first, args.begin() + i + 1);
    }
    for (std::size_t k = 0; k < rest.size(); ++k) {
        if (k > 0)
            options.commandLine += ' ';
        options.commandLine += rest[k];
    }
    // The dialog edits the settings file: a value it does not show, or a
    // window to draw in, would be silently lost there.
    if (anyOption && IsSettingsDialog(options.commandLine))
        return Failure("the settings dialog (" + options.commandLine + ") takes no other options");
    // The watcher starts the full-screen saver; the login entry is all --autostart does.
    if (options.watchIdleSeconds && (options.HackMode() || !rest.empty() || options.autostartSeconds ||
                                     options.autostartOff))
        return Failure("--watch-idle takes only the saver's options (--backend, --color, --speed, --girls, --interval)");
    if ((options.autostartSeconds || options.autostartOff) && (!options.saverOptions.empty() || options.HackMode() || options.watchIdleSeconds || !rest.empty()))
        return Failure("--autostart takes no other options");
    // The daemon's hack draws in an X window.
    if (options.HackMode() && options.backend == CommandOptions::Backend::Wayland)
        return Failure("--root and --window-id draw in an X window, not with --backend wayland");
    return ParsedCommandLine{std::move(options), {}};
}

std::string UsageText(std::string_view program)
{
    std::string p(program);
    return "Usage: " + p + " [OPTION]...      the screen saver, on the whole screen (every output on Wayland)\n"
           "       " + p + " /c               the settings dialog\n"
           "       " + p + " --root [OPTION]...\n"
           "       " + p + " --window-id ID [OPTION]...\n"
           "       " + p + " --watch-idle DURATION [OPTION]...\n"
           "       " + p + " --autostart DURATION|off\n"
           "\n"
           "Where to draw:\n"
           "  --backend wayland|x11\n"
           "                      the display system; by default Wayland where the\n"
           "                      compositor offers layer-shell, else X11\n"
           "As a hack of the X screen-saver daemon:\n"
           "  --root              the window in $XSCREENSAVER_WINDOW, else the root window\n"
           "  --window-id ID      the window ID (decimal, or hexadecimal after 0x); wins over --root\n"
           "Settings for this run only (the settings file is not changed):\n"
           "  --color crimson|white\n"
           "  --speed slow|normal|fast\n"
           "  --girls, --no-girls the slideshow on or off\n"
           "  --interval SECONDS  time between slideshow pictures, 1 to 86400\n"
           "Starting at idle (DURATION: 10m, 90s or seconds, at most a day):\n"
           "  --watch-idle DURATION\n"
           "                      keep running; start the saver each time the session\n"
           "                      has been idle for DURATION\n"
           "  --autostart DURATION|off\n"
           "                      write (or remove) the login entry that runs\n"
           "                      --watch-idle DURATION\n"
           "Other:\n"
           "  --help              this text\n"
           "  --version           the program's version\n"
           "Options may also be written with one dash (-root) and as --name=value.\n";
}

}  // namespace vyla::linux
