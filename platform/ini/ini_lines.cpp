#include "ini/ini_lines.h"

namespace vyla::ini {

namespace {

char FoldCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsQuote(char c) { return c == '"' || c == '\''; }

bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

std::string_view UpToNul(std::string_view text) { return text.substr(0, text.find('\0')); }

}  // namespace

bool IsBlank(char c) { return (c >= '\t' && c <= '\r') || c == '\x1A' || c == ' '; }

bool LineCursor::Next(Line& line)
{
    if (position_ >= text_.size()) {
        return false;
    }
    line.begin = position_;
    std::size_t at = line.begin;
    while (at < text_.size() && !IsLineBreak(text_[at])) {
        ++at;
    }
    line.content_end = at;
    if (at < text_.size()) {
        at += text_[at] == '\r' && at + 1 < text_.size() && text_[at + 1] == '\n' ? 2 : 1;
    }
    line.end = at;
    position_ = at;
    return true;
}

std::string_view FirstLineEnding(std::string_view text)
{
    const std::size_t at = text.find_first_of("\r\n");
    if (at == std::string_view::npos || text[at] == '\n') {
        return "\n";
    }
    return text.substr(at + 1).starts_with('\n') ? "\r\n" : "\r";
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
        return {};
    }
    if (trimmed.front() == '[') {
        const std::size_t close = trimmed.rfind(']');
        if (close != std::string_view::npos) {
            return {LineKind::Header, UpToNul(Trim(trimmed.substr(1, close - 1))), {}, false};
        }
    }
    const std::size_t equals = trimmed.find('=');
    if (equals == std::string_view::npos) {
        return {LineKind::Key, UpToNul(trimmed), {}, false};
    }
    return {LineKind::Key, UpToNul(Trim(trimmed.substr(0, equals))), UpToNul(Trim(trimmed.substr(equals + 1))), true};
}

}  // namespace vyla::ini
