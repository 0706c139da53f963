#include "ini/ini_text.h"

#include "ini/ini_lines.h"

namespace vyla::ini {

using std::string_view_literals::operator""sv;

namespace {

// What no name or value may hold: a line break ends the line, a NUL the string.
bool HasLineBreakOrNul(std::string_view text) { return text.find_first_of("\r\n\0"sv) != std::string_view::npos; }

// What must go in front of new lines added at the very end of the text so
// that they start a line of their own.
std::string_view BreakBeforeAppending(std::string_view text, std::string_view line_ending)
{
    if (text.empty() || text.back() == '\n' || text.back() == '\r') {
        return "";
    }
    return line_ending;
}

int DigitValue(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'z') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'Z') {
        return c - 'A' + 10;
    }
    return 99;
}

// The value as it must appear in the file for FindValue to give it back.
std::string EncodeValue(std::string_view value)
{
    const bool needs_quotes = !value.empty() && (Trim(value).size() != value.size() || Unquote(value).size() != value.size());
    if (needs_quotes) {
        std::string quoted;
        quoted.reserve(value.size() + 2);
        quoted.append(1, '"').append(value).append(1, '"');
        return quoted;
    }
    return std::string(value);
}

std::string Spliced(std::string_view text, std::size_t from, std::size_t to, std::string_view insertion)
{
    std::string result;
    result.reserve(text.size() - (to - from) + insertion.size());
    result.append(text.substr(0, from)).append(insertion).append(text.substr(to));
    return result;
}

}  // namespace

std::optional<std::string> FindValue(std::string_view text, std::string_view section, std::string_view key)
{
    section = Trim(section);
    key = Trim(key);
    if (key.empty()) {
        return std::nullopt;
    }
    LineCursor cursor(text);
    Line line;
    bool in_section = false;
    while (cursor.Next(line)) {
        const ParsedLine parsed = ParseLine(cursor.Content(line));
        if (parsed.kind == LineKind::Header) {
            if (in_section) {
                return std::nullopt;  // only the first section of the name counts
            }
            in_section = EqualsIgnoringCase(parsed.name, section);
        } else if (in_section && parsed.kind == LineKind::Key && EqualsIgnoringCase(parsed.name, key)) {
            return std::string(Unquote(parsed.value));
        }
    }
    return std::nullopt;
}

std::int32_t ParseInt(std::string_view value)
{
    value = value.substr(0, kIntReadLength);
    std::size_t i = 0;
    while (i < value.size() && static_cast<unsigned char>(value[i]) <= ' ') {
        ++i;
    }
    bool negative = false;
    if (i < value.size() && (value[i] == '+' || value[i] == '-')) {
        negative = value[i] == '-';
        ++i;
    }
    unsigned base = 10;
    if (i + 1 < value.size() && value[i] == '0') {
        const char prefix = value[i + 1];
        base = prefix == 'x' ? 16 : prefix == 'o' ? 8 : prefix == 'b' ? 2 : 10;
        if (base != 10) {
            i += 2;
        }
    }
    // Unsigned arithmetic wraps by definition, which is the modulo we want.
    std::uint32_t magnitude = 0;
    for (; i < value.size(); ++i) {
        const auto digit = static_cast<unsigned>(DigitValue(value[i]));
        if (digit >= base) {
            break;
        }
        magnitude = magnitude * base + digit;
    }
    return static_cast<std::int32_t>(negative ? 0u - magnitude : magnitude);
}

bool CanWrite(std::string_view section, std::string_view key, std::string_view value)
{
    section = Trim(section);
    key = Trim(key);
    return !HasLineBreakOrNul(section) && section.find(']') == std::string_view::npos && !key.empty() &&
           !HasLineBreakOrNul(key) && key.find('=') == std::string_view::npos && key.front() != '[' &&
           !HasLineBreakOrNul(value);
}

std::string WithValue(std::string_view text, std::string_view section, std::string_view key, std::string_view value)
{
    if (!CanWrite(section, key, value)) {
        return std::string(text);
    }
    section = Trim(section);
    key = Trim(key);
    const std::string_view line_ending = FirstLineEnding(text);
    std::string entry(key);
    entry.append(1, '=').append(EncodeValue(value));

    LineCursor cursor(text);
    Line line;
    bool in_section = false;
    Line last_filled;  // the section's last non-blank line, its header at first
    while (cursor.Next(line)) {
        const ParsedLine parsed = ParseLine(cursor.Content(line));
        if (parsed.kind == LineKind::Header) {
            if (in_section) {
                break;  // only the first section of the name is edited
            }
            in_section = EqualsIgnoringCase(parsed.name, section);
            last_filled = line;
            continue;
        }
        if (!in_section) {
            continue;
        }
        if (parsed.kind == LineKind::Key && EqualsIgnoringCase(parsed.name, key)) {
            return Spliced(text, line.begin, line.content_end, entry);
        }
        if (parsed.kind != LineKind::Blank) {
            last_filled = line;
        }
    }

    std::string addition;
    std::size_t at = text.size();
    if (in_section) {
        at = last_filled.end;
        if (last_filled.end == text.size()) {
            addition.append(BreakBeforeAppending(text, line_ending));
        }
    } else {
        addition.append(BreakBeforeAppending(text, line_ending)).append(1, '[').append(section).append(1, ']');
        addition.append(line_ending);
    }
    addition.append(entry).append(line_ending);
    return Spliced(text, at, at, addition);
}

}  // namespace vyla::ini
