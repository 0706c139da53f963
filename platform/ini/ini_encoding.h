// The byte-order marks a settings file may start with, and a lossless
// translation of its text to and from the bytes the line rules read.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vyla::ini {

enum class Encoding {
    Bytes,    // no mark: the bytes are the text (ASCII, UTF-8, a code page)
    Utf8Bom,  // EF BB BF, then UTF-8
    Utf16Le,  // FF FE, then 16-bit little-endian units
    Utf16Be,  // FE FF, then 16-bit big-endian units
};

// A file's text as the line rules read it, and how to turn it back into the
// file's bytes. UTF-16 units become one byte each below 0x80 and otherwise a
// sequence of bytes of 0x80 and above (the unit in UTF-8 form, surrogates
// included), so every ASCII character means what it means in a plain file
// and no other byte can be mistaken for one. A trailing odd byte of a UTF-16
// file is kept aside and put back last.
struct DecodedFile {
    Encoding encoding = Encoding::Bytes;
    std::string text;
    std::string trailer;  // the odd byte of a UTF-16 file, if any
};

// Recognises the mark at the start of the bytes; without one the text is the bytes.
DecodedFile Decode(std::string_view bytes);

// The bytes of a file holding text in the given encoding, mark included.
// Encode(Decode(b)) == b for every b; text from Decode, or text that
// differs from it only by ASCII, always encodes back. A byte sequence Decode
// cannot have made (only possible with non-ASCII added by hand) is encoded
// unit by unit as if it were Latin-1.
std::string Encode(const DecodedFile& file);

}  // namespace vyla::ini
