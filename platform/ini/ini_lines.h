// Line-level syntax of initialisation-file text, shared by the reader and
// the writer so that both always agree on what a line means. The rules are
// the system's profile reader's, so that Vyla and any other program reading
// vyla.ini see the same settings.
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

// Walks the lines of a text without copying it. CRLF, LF and a lone CR each
// end a line, in any mix: files from old Mac editors use CR alone.
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

// The line ending new lines get in this text: its first one, CRLF, LF or CR;
// LF when it has none.
std::string_view FirstLineEnding(std::string_view text);

enum class LineKind { Blank, Header, Key };

// What a line says. A header is a line starting with '[' that has a ']'; its
// name, trimmed, runs to the last ']'. Any other line that is not blank names a key:
// the text before its first '=' (empty for "=value", which no key matches),
// or the whole line when it has no '=', a key that is present and empty.
// Names and the value stop at a NUL byte, as the system's strings do.
struct ParsedLine {
    LineKind kind = LineKind::Blank;
    std::string_view name;
    std::string_view value;  // trimmed, quotes still on
    bool has_value = false;  // the line has an '='
};

ParsedLine ParseLine(std::string_view content);

// The blanks the system trims around lines, names and values: tab, LF, VT,
// FF, CR, DOS's end-of-file mark (0x1A) and space.
bool IsBlank(char c);

// Removes blanks from both ends.
std::string_view Trim(std::string_view text);

// ASCII case-insensitive equality; other bytes must match exactly.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// Removes one matching pair of enclosing single or double quotes.
std::string_view Unquote(std::string_view value);

}  // namespace vyla::ini
