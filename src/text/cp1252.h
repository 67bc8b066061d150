// Windows-1252 text. Every value that goes into or comes out of a working table
// or an exchange document is held in the core as Windows-1252 bytes in a
// std::string, so that "the first four characters" of a code is four bytes,
// exactly as the dBase tables store them. Conversions to and from Unicode
// happen only at the edges: the XML layer, the terminal and the Qt widgets.
#pragma once

#include <string>
#include <string_view>

namespace text {

// Converts UTF-8 to Windows-1252. A character the code page cannot hold, and
// any malformed UTF-8 sequence, becomes one "?". The C1 controls U+0080 to
// U+009F become the byte of the same value, as in Windows' conversion, which
// recovers the text of ISO-8859-1 documents written with Windows-1252 bytes.
std::string Utf8ToCp1252(std::string_view utf8);

// Converts Windows-1252 to UTF-8. The five bytes the code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the
// same value, as Windows does.
std::string Cp1252ToUtf8(std::string_view cp1252);

// True iff the bytes are well-formed UTF-8 (no overlong forms, no
// surrogates, nothing beyond U+10FFFF, no sequence cut short).
bool IsUtf8(std::string_view bytes);

std::u16string Cp1252ToUtf16(std::string_view cp1252);
// A character outside the code page, or an unpaired surrogate, becomes "?".
std::string Utf16ToCp1252(std::u16string_view utf16);

// The cleaning of an exchange-document value: removes every character whose
// code is 32 or less (blank, tab, CR, LF and the other controls) from both
// ends. The no-break space (0xA0) and everything inside stay.
std::string TrimControls(std::string_view cp1252);

// True iff the text is empty once cleaned as TrimControls does.
bool IsBlank(std::string_view cp1252);

// A key under which two texts are equal iff they are equal without regard to
// letter case, letter by letter in Windows-1252: é equals É, but É does not
// equal E (accents count). Used for the lists of codes already given.
std::string FoldCase(std::string_view cp1252);

// Same as FoldCase(a) == FoldCase(b).
bool SameTextIgnoringCase(std::string_view a, std::string_view b);

// The first n characters (bytes) of a Windows-1252 text.
inline std::string_view Left(std::string_view s, std::size_t n) { return s.substr(0, n); }

}  // namespace text
