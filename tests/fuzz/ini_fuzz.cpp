// Feeds arbitrary bytes to the settings-text reader and writer and checks
// that a write reads back exactly and disturbs nothing else; then the same
// bytes as a whole file, whose byte-order mark must survive every edit.
#include "ini/ini_document.h"
#include "ini/ini_encoding.h"
#include "ini/ini_text.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace {

void Check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

// Splits the input into a few short strings and the rest as file text.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : bytes_(reinterpret_cast<const char*>(data), size) {}

    std::string_view Take(std::size_t count)
    {
        count = std::min(count, bytes_.size());
        const std::string_view part = bytes_.substr(0, count);
        bytes_.remove_prefix(count);
        return part;
    }

    std::size_t TakeLength()
    {
        const std::string_view byte = Take(1);
        return byte.empty() ? 0 : static_cast<unsigned char>(byte[0]) % 24;
    }

    std::string_view Rest() const { return bytes_; }

private:
    std::string_view bytes_;
};

bool SameName(std::string_view a, std::string_view b)
{
    // The blanks the reader trims: tab to CR, DOS's end-of-file mark, space.
    auto blank = [](char c) { return (c >= '\t' && c <= '\r') || c == '\x1a' || c == ' '; };
    auto trim = [&](std::string_view s) {
        while (!s.empty() && blank(s.front())) s.remove_prefix(1);
        while (!s.empty() && blank(s.back())) s.remove_suffix(1);
        return s.substr(0, s.find('\0'));
    };
    a = trim(a);
    b = trim(b);
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

// The one region where after differs from before, between their longest
// common prefix and suffix.
void CheckOnlyNewMaterialAdded(std::string_view before, std::string_view after, std::string_view section,
                               std::string_view key, std::string_view value)
{
    std::size_t prefix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix]) ++prefix;
    std::size_t suffix = 0;
    while (prefix + suffix < before.size() && prefix + suffix < after.size() &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) {
        ++suffix;
    }
    const std::string_view removed = before.substr(prefix, before.size() - prefix - suffix);
    const std::string_view added = after.substr(prefix, after.size() - prefix - suffix);

    // At most one line's content goes: no line break of the old text is lost.
    Check(removed.find_first_of("\r\n") == std::string_view::npos);

    // What comes in is built only from the entry, a header and line breaks.
    std::array<long, 256> budget{};
    for (std::string_view part : {section, key, value, std::string_view("[]=\"\"\r\r\r\r\n\n\n\n")}) {
        for (char c : part) ++budget[static_cast<unsigned char>(c)];
    }
    for (char c : added) {
        Check(--budget[static_cast<unsigned char>(c)] >= 0);
    }
}

bool IsAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The bytes as a file: they decode and encode back unchanged, and a write
// keeps the file's encoding, reads back, and leaves other keys alone.
void CheckFile(std::string_view bytes, const std::string& section, const std::string& key, const std::string& value,
               const std::string& other_key)
{
    using namespace vyla::ini;
    const DecodedFile decoded = Decode(bytes);
    Check(Encode(decoded) == bytes);
    const Entry entries[] = {{key, value}, {other_key, "7"}};
    const std::optional<std::string> updated = WithValuesInFile(bytes, section, entries);
    if (!CanWrite(section, key, value) || !CanWrite(section, other_key, "7")) {
        Check(!updated);
        return;
    }
    Check(updated.has_value());
    Check(Decode(*updated).encoding == decoded.encoding);
    const bool wide = decoded.encoding == Encoding::Utf16Le || decoded.encoding == Encoding::Utf16Be;
    // New text in a UTF-16 file is meant to be ASCII; other bytes go in unit by unit.
    if (wide && !(IsAscii(section) && IsAscii(key) && IsAscii(value) && IsAscii(other_key))) {
        return;
    }
    const auto expected = SameName(key, other_key) ? std::string("7") : value;
    Check(FindValueInFile(*updated, section, key) == std::optional<std::string>(expected));
    Check(FindValueInFile(*updated, section, other_key) == std::optional<std::string>("7"));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace vyla::ini;
    Input input(data, size);
    const std::size_t section_length = input.TakeLength();
    const std::size_t key_length = input.TakeLength();
    const std::size_t value_length = input.TakeLength();
    const std::size_t other_key_length = input.TakeLength();
    const std::string section(input.Take(section_length));
    const std::string key(input.Take(key_length));
    const std::string value(input.Take(value_length));
    const std::string other_key(input.Take(other_key_length));
    const std::string_view text = input.Rest();

    if (const auto found = FindValue(text, section, key)) {
        ParseInt(*found);
    }
    ParseInt(text);

    CheckFile(text, section, key, value, other_key);

    const std::string updated = WithValue(text, section, key, value);
    if (!CanWrite(section, key, value)) {
        Check(updated == text);
        return 0;
    }
    Check(FindValue(updated, section, key) == std::optional<std::string>(value));
    Check(WithValue(updated, section, key, value) == updated);
    CheckOnlyNewMaterialAdded(text, updated, section, key, value);

    // Every other key reads as before, in this section and in the unnamed one.
    if (!SameName(other_key, key)) {
        Check(FindValue(updated, section, other_key) == FindValue(text, section, other_key));
    }
    if (!SameName(section, "")) {
        Check(FindValue(updated, "", other_key) == FindValue(text, "", other_key));
    }
    return 0;
}

#ifdef VYLA_FUZZ_STANDALONE_MAIN
// Replays the given inputs without libFuzzer.
#include <fstream>
#include <iterator>

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), {}};
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    return 0;
}
#endif
