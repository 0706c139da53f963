#include "ini/ini_lines.h"

namespace vyla::ini {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

char FoldCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsQuote(char c) { return c == '"' || c == '\''; }

}  // namespace

bool LineCursor::Next(Line& line)
{
    if (position_ >= text_.size()) {
        return false;
    }
    line.begin = position_;
    const std::size_t newline = text_.find('\n', position_);
    if (newline == std::string_view::npos) {
        line.end = text_.size();
        line.content_end = text_.back() == '\r' ? text_.size() - 1 : text_.size();
    } else {
        line.end = newline + 1;
        line.content_end = newline > line.begin && text_[newline - 1] == '\r' ? newline - 1 : newline;
    }
    position_ = line.end;
    return true;
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldCase(a[i]) != FoldCase(b[i])) {
            return false;
        }
    }
    return true;
}

std::string_view Unquote(std::string_view value)
{
    if (value.size() >= 2 && IsQuote(value.front()) && value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

ParsedLine ParseLine(std::string_view content)
{
    const std::string_view trimmed = Trim(content);
    if (trimmed.empty()) {
        return {LineKind::Blank, {}, {}};
    }
    if (trimmed.front() == '[') {
        const std::size_t close = trimmed.find(']');
        if (close != std::string_view::npos) {
            return {LineKind::Header, Trim(trimmed.substr(1, close - 1)), {}};
        }
    }
    const std::size_t equals = trimmed.find('=');
    if (equals == std::string_view::npos) {
        return {LineKind::Other, {}, {}};
    }
    const std::string_view key = Trim(trimmed.substr(0, equals));
    if (key.empty()) {
        // A key needs a name; "=value" lines are left alone like any unknown line.
        return {LineKind::Other, {}, {}};
    }
    return {LineKind::Entry, key, Trim(trimmed.substr(equals + 1))};
}

}  // namespace vyla::ini
