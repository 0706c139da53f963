#include "ini/ini_encoding.h"

namespace vyla::ini {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";

std::string_view MarkOf(Encoding encoding)
{
    switch (encoding) {
    case Encoding::Utf8Bom:
        return kUtf8Bom;
    case Encoding::Utf16Le:
        return kUtf16LeBom;
    case Encoding::Utf16Be:
        return kUtf16BeBom;
    case Encoding::Bytes:
        break;
    }
    return {};
}

// One 16-bit unit in the form the line rules read: ASCII as itself, anything
// else as its UTF-8 form (two or three bytes, all 0x80 or above).
void AppendUnit(std::string& text, std::uint16_t unit)
{
    if (unit < 0x80) {
        text += static_cast<char>(unit);
    } else if (unit < 0x800) {
        text += static_cast<char>(0xC0 | (unit >> 6));
        text += static_cast<char>(0x80 | (unit & 0x3F));
    } else {
        text += static_cast<char>(0xE0 | (unit >> 12));
        text += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (unit & 0x3F));
    }
}

bool IsContinuation(std::string_view text, std::size_t at)
{
    return at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80;
}

// The next unit of text at position, advancing past it.
std::uint16_t NextUnit(std::string_view text, std::size_t& position)
{
    const auto byte = [&](std::size_t at) { return static_cast<unsigned>(static_cast<unsigned char>(text[at])); };
    const unsigned lead = byte(position);
    if ((lead & 0xE0) == 0xC0 && IsContinuation(text, position + 1)) {
        const unsigned unit = ((lead & 0x1F) << 6) | (byte(position + 1) & 0x3F);
        if (unit >= 0x80) {
            position += 2;
            return static_cast<std::uint16_t>(unit);
        }
    }
    if ((lead & 0xF0) == 0xE0 && IsContinuation(text, position + 1) && IsContinuation(text, position + 2)) {
        const unsigned unit = ((lead & 0x0F) << 12) | ((byte(position + 1) & 0x3F) << 6) | (byte(position + 2) & 0x3F);
        if (unit >= 0x800) {
            position += 3;
            return static_cast<std::uint16_t>(unit);
        }
    }
    position += 1;
    return static_cast<std::uint16_t>(lead);
}

}  // namespace

DecodedFile Decode(std::string_view bytes)
{
    DecodedFile file;
    if (bytes.starts_with(kUtf8Bom)) {
        file.encoding = Encoding::Utf8Bom;
        file.text = std::string(bytes.substr(kUtf8Bom.size()));
        return file;
    }
    const bool little = bytes.starts_with(kUtf16LeBom);
    if (!little && !bytes.starts_with(kUtf16BeBom)) {
        file.text = std::string(bytes);
        return file;
    }
    file.encoding = little ? Encoding::Utf16Le : Encoding::Utf16Be;
    bytes.remove_prefix(2);
    if (bytes.size() % 2 != 0) {
        file.trailer = std::string(1, bytes.back());
        bytes.remove_suffix(1);
    }
    file.text.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        AppendUnit(file.text, static_cast<std::uint16_t>(little ? first | (second << 8) : (first << 8) | second));
    }
    return file;
}

std::string Encode(const DecodedFile& file)
{
    std::string bytes(MarkOf(file.encoding));
    if (file.encoding == Encoding::Bytes || file.encoding == Encoding::Utf8Bom) {
        return bytes.append(file.text);
    }
    const bool little = file.encoding == Encoding::Utf16Le;
    bytes.reserve(bytes.size() + file.text.size() * 2 + file.trailer.size());
    for (std::size_t position = 0; position < file.text.size();) {
        const std::uint16_t unit = NextUnit(file.text, position);
        const char low = static_cast<char>(unit & 0xFF);
        const char high = static_cast<char>(unit >> 8);
        bytes += little ? low : high;
        bytes += little ? high : low;
    }
    return bytes.append(file.trailer);
}

}  // namespace vyla::ini
