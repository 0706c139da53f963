#include "ini/ini_text.h"

#include "ini/ini_lines.h"

namespace vyla::ini {

namespace {

bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

std::string_view LineEndingOf(std::string_view text)
{
    const std::size_t newline = text.find('\n');
    return newline != std::string_view::npos && newline > 0 && text[newline - 1] == '\r' ? "\r\n" : "\n";
}

// What must go in front of new lines added at the very end of the text so
// that they start a line of their own. A trailing lone CR already ends the
// last line, but only while nothing follows it; an LF turns it into CRLF.
std::string_view BreakBeforeAppending(std::string_view text, std::string_view line_ending)
{
    if (text.empty() || text.back() == '\n') {
        return "";
    }
    return text.back() == '\r' ? "\n" : line_ending;
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
            in_section = EqualsIgnoringCase(parsed.name, section);
        } else if (in_section && parsed.kind == LineKind::Entry && EqualsIgnoringCase(parsed.name, key)) {
            return std::string(Unquote(parsed.value));
        }
    }
    return std::nullopt;
}

std::int32_t ParseInt(std::string_view value)
{
    std::size_t i = 0;
    while (i < value.size() && (value[i] == ' ' || value[i] == '\t')) {
        ++i;
    }
    bool negative = false;
    if (i < value.size() && (value[i] == '+' || value[i] == '-')) {
        negative = value[i] == '-';
        ++i;
    }
    // Unsigned arithmetic wraps by definition, which is the modulo we want.
    std::uint32_t magnitude = 0;
    for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
        magnitude = magnitude * 10u + static_cast<std::uint32_t>(value[i] - '0');
    }
    return static_cast<std::int32_t>(negative ? 0u - magnitude : magnitude);
}

bool CanWrite(std::string_view section, std::string_view key, std::string_view value)
{
    section = Trim(section);
    key = Trim(key);
    return !HasLineBreak(section) && section.find(']') == std::string_view::npos && !key.empty() && !HasLineBreak(key) &&
           key.find('=') == std::string_view::npos && key.front() != '[' && !HasLineBreak(value);
}

std::string WithValue(std::string_view text, std::string_view section, std::string_view key, std::string_view value)
{
    if (!CanWrite(section, key, value)) {
        return std::string(text);
    }
    section = Trim(section);
    key = Trim(key);
    const std::string_view line_ending = LineEndingOf(text);
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
        if (parsed.kind == LineKind::Entry && EqualsIgnoringCase(parsed.name, key)) {
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
