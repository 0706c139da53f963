// Line-level syntax of initialisation-file text, shared by the reader and
// the writer so that both always agree on what a line means.
#pragma once

#include <cstddef>
#include <string_view>

namespace vyla::ini {

// One line of a text, as byte offsets into it. The content excludes the line
// ending; end is past it (end == content_end for a last line without one).
struct Line {
    std::size_t begin = 0;
    std::size_t content_end = 0;
    std::size_t end = 0;
};

// Walks the lines of a text without copying it. CRLF and LF end a line, and
// so does a lone CR at the very end of the text; a CR elsewhere is content.
class LineCursor {
public:
    explicit LineCursor(std::string_view text) : text_(text) {}

    // Fills line with the next line; false once the text is exhausted.
    bool Next(Line& line);

    std::string_view Content(const Line& line) const
    {
        return text_.substr(line.begin, line.content_end - line.begin);
    }

private:
    std::string_view text_;
    std::size_t position_ = 0;
};

enum class LineKind { Blank, Header, Entry, Other };

// What a line says. For a header, name is the section name; for an entry,
// name is the key and value the raw value (trimmed, quotes still on).
struct ParsedLine {
    LineKind kind = LineKind::Other;
    std::string_view name;
    std::string_view value;
};

ParsedLine ParseLine(std::string_view content);

// Removes spaces and tabs from both ends.
std::string_view Trim(std::string_view text);

// ASCII case-insensitive equality; other bytes must match exactly.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// Removes one matching pair of enclosing single or double quotes.
std::string_view Unquote(std::string_view value);

}  // namespace vyla::ini
