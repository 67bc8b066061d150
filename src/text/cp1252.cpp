// Windows-1252 by our own table, so that the result never depends on the
// locale or on which converters the C library happens to carry.
#include "text/cp1252.h"

#include <array>

namespace text {
namespace {

constexpr char kReplacement = '?';

// What the bytes 0x80 to 0x9F stand for. The five bytes the code page leaves
// undefined stand for the C1 control of the same value, as Windows does.
constexpr std::array<char16_t, 32> kHighControlsBlock = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

char32_t ByteToCodePoint(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) return kHighControlsBlock[byte - 0x80];
  return byte;  // ASCII and 0xA0-0xFF coincide with Unicode
}

// The byte that holds the code point, or kReplacement. Every C1 control
// (U+0080 to U+009F) goes to the byte of the same value, as Windows' own
// conversion does: a document declared ISO-8859-1 but written with
// Windows-1252 bytes (a "€" as 0x80, Word's quotes as 0x93 and 0x94) then
// gives back the characters its author typed instead of "?".
char CodePointToByte(char32_t cp) {
  if (cp <= 0xFF) return static_cast<char>(cp);
  for (std::size_t i = 0; i < kHighControlsBlock.size(); ++i) {
    if (kHighControlsBlock[i] == cp) return static_cast<char>(0x80 + i);
  }
  return kReplacement;
}

void AppendUtf8(char32_t cp, std::string& out) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {  // every code point of the code page lies in the BMP
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Decodes one UTF-8 sequence at s[i], advancing i. A malformed sequence
// (bad lead byte, overlong form, surrogate, beyond U+10FFFF, cut short) yields
// nothing and consumes its maximal ill-formed part, so that it becomes exactly
// one replacement character and the next well-formed character survives.
bool DecodeUtf8(std::string_view s, std::size_t& i, char32_t& cp) {
  const auto lead = static_cast<unsigned char>(s[i++]);
  if (lead < 0x80) {
    cp = lead;
    return true;
  }
  int length = 0;
  unsigned char secondLow = 0x80, secondHigh = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) secondLow = 0xA0;   // overlong
    if (lead == 0xED) secondHigh = 0x9F;  // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) secondLow = 0x90;   // overlong
    if (lead == 0xF4) secondHigh = 0x8F;  // beyond U+10FFFF
  } else {
    return false;
  }
  cp = lead & (0x7F >> length);
  for (int k = 1; k < length; ++k) {
    if (i >= s.size()) return false;
    const auto next = static_cast<unsigned char>(s[i]);
    const unsigned char low = k == 1 ? secondLow : 0x80;
    const unsigned char high = k == 1 ? secondHigh : 0xBF;
    if (next < low || next > high) return false;
    cp = (cp << 6) | (next & 0x3F);
    ++i;
  }
  return true;
}

bool IsControlOrBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

// Lower-case partner of each byte under the code page's letter pairs.
constexpr std::array<unsigned char, 256> MakeFoldTable() {
  std::array<unsigned char, 256> table{};
  for (int b = 0; b < 256; ++b) table[b] = static_cast<unsigned char>(b);
  for (int b = 'A'; b <= 'Z'; ++b) table[b] = static_cast<unsigned char>(b + 32);
  for (int b = 0xC0; b <= 0xDE; ++b) {
    if (b != 0xD7) table[b] = static_cast<unsigned char>(b + 32);  // × has no pair
  }
  table[0x8A] = 0x9A;  // Š š
  table[0x8C] = 0x9C;  // Œ œ
  table[0x8E] = 0x9E;  // Ž ž
  table[0x9F] = 0xFF;  // Ÿ ÿ
  return table;
}
constexpr std::array<unsigned char, 256> kFoldTable = MakeFoldTable();

}  // namespace

std::string Utf8ToCp1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    char32_t cp = 0;
    out += DecodeUtf8(utf8, i, cp) ? CodePointToByte(cp) : kReplacement;
  }
  return out;
}

bool IsUtf8(std::string_view bytes) {
  std::size_t i = 0;
  char32_t cp = 0;
  while (i < bytes.size()) {
    if (!DecodeUtf8(bytes, i, cp)) return false;
  }
  return true;
}

std::string Cp1252ToUtf8(std::string_view cp1252) {
  std::string out;
  out.reserve(cp1252.size());
  for (char c : cp1252) AppendUtf8(ByteToCodePoint(static_cast<unsigned char>(c)), out);
  return out;
}

std::u16string Cp1252ToUtf16(std::string_view cp1252) {
  std::u16string out;
  out.reserve(cp1252.size());
  for (char c : cp1252) out += static_cast<char16_t>(ByteToCodePoint(static_cast<unsigned char>(c)));
  return out;
}

std::string Utf16ToCp1252(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    const char16_t unit = utf16[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
        utf16[i + 1] <= 0xDFFF) {
      ++i;  // a pair: a character beyond the BMP, which the code page lacks
      out += kReplacement;
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      out += kReplacement;  // unpaired surrogate
    } else {
      out += CodePointToByte(unit);
    }
  }
  return out;
}

std::string TrimControls(std::string_view cp1252) {
  std::size_t begin = 0, end = cp1252.size();
  while (begin < end && IsControlOrBlank(cp1252[begin])) ++begin;
  while (end > begin && IsControlOrBlank(cp1252[end - 1])) --end;
  return std::string(cp1252.substr(begin, end - begin));
}

bool IsBlank(std::string_view cp1252) {
  for (char c : cp1252) {
    if (!IsControlOrBlank(c)) return false;
  }
  return true;
}

std::string FoldCase(std::string_view cp1252) {
  std::string out(cp1252);
  for (char& c : out) c = static_cast<char>(kFoldTable[static_cast<unsigned char>(c)]);
  return out;
}

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (kFoldTable[static_cast<unsigned char>(a[i])] != kFoldTable[static_cast<unsigned char>(b[i])]) {
      return false;
    }
  }
  return true;
}

}  // namespace text
