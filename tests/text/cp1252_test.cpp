#include "text/cp1252.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using text::Cp1252ToUtf16;
using text::Cp1252ToUtf8;
using text::FoldCase;
using text::IsBlank;
using text::IsUtf8;
using text::SameTextIgnoringCase;
using text::TrimControls;
using text::Utf16ToCp1252;
using text::Utf8ToCp1252;

TEST(Utf8ToCp1252, ConvertsWhatTheCodePageHolds) {
  const struct {
    const char* name;
    std::string utf8;
    std::string cp1252;
  } cases[] = {
      {"ascii", "LENG 1ºA", "LENG 1\xBA" "A"},
      {"spanish letters", "Inglés Ñandú ü", "Ingl\xE9s \xD1" "and\xFA \xFC"},
      {"euro and quotes", "\xE2\x82\xAC \xE2\x80\x9C" "x\xE2\x80\x9D", "\x80 \x93x\x94"},
      {"letters of 0x80-0x9F", "\xC5\xA0\xC5\x92\xC5\xBD\xC5\xB8\xC5\xA1", "\x8A\x8C\x8E\x9F\x9A"},
      {"no-break space", "\xC2\xA0", "\xA0"},
      {"embedded NUL", std::string("a\0b", 3), std::string("a\0b", 3)},
      {"undefined byte's C1 control", "\xC2\x81", "\x81"},
      {"C1 control where the page has the euro", "\xC2\x80", "\x80"},
      {"C1 control where the page has a quote", "\xC2\x93", "\x93"},
      {"greek letter", "\xCE\xB1", "?"},
      {"outside the BMP", "a\xF0\x9F\x98\x80" "b", "a?b"},
      {"lone continuation byte", "a\x80" "b", "a?b"},
      {"truncated sequence at end", "a\xE2\x82", "a?"},
      {"truncated sequence before ASCII", "\xE2\x82" "b", "?b"},
      {"overlong slash", "\xC0\xAF", "??"},
      {"overlong three bytes", "\xE0\x80\xAF", "???"},
      {"surrogate encoded", "\xED\xA0\x80", "???"},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80", "????"},
      {"invalid lead byte", "\xFF" "x", "?x"},
      {"latin-1 byte read as UTF-8", "Ingl\xE9s", "Ingl?s"},
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8ToCp1252(c.utf8), c.cp1252) << c.name;
}

TEST(IsUtf8, AcceptsOnlyWellFormedUtf8) {
  const struct {
    const char* name;
    std::string bytes;
    bool wellFormed;
  } cases[] = {
      {"empty", "", true},
      {"spanish letters", "Ingl\xC3\xA9s \xC3\x91" "and\xC3\xBA", true},
      {"outside the BMP", "\xF0\x9F\x98\x80", true},
      {"latin-1 byte", "Ingl\xE9s", false},
      {"lone continuation byte", "a\x80", false},
      {"cut short at the end", "a\xE2\x82", false},
      {"overlong", "\xC0\xAF", false},
      {"surrogate", "\xED\xA0\x80", false},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsUtf8(c.bytes), c.wellFormed) << c.name;
}

TEST(Cp1252ToUtf8, EveryByteRoundTrips) {
  for (int b = 0; b < 256; ++b) {
    const std::string byte(1, static_cast<char>(b));
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(byte)), byte) << "byte " << b;
    EXPECT_EQ(Utf16ToCp1252(Cp1252ToUtf16(byte)), byte) << "byte " << b;
  }
}

TEST(Cp1252ToUtf8, GivesUnicodeForTheHighBlock) {
  EXPECT_EQ(Cp1252ToUtf8("\x80"), "\xE2\x82\xAC");
  EXPECT_EQ(Cp1252ToUtf8("Ingl\xE9s"), "Ingl\xC3\xA9s");
  EXPECT_EQ(Cp1252ToUtf8("\x8D"), "\xC2\x8D");
  EXPECT_EQ(Cp1252ToUtf16("\x80\x9F\xFF"), u"\u20AC\u0178\u00FF");
}

TEST(Utf16ToCp1252, ReplacesWhatThePageLacks) {
  const struct {
    const char* name;
    std::u16string utf16;
    std::string cp1252;
  } cases[] = {
      {"accents and euro", u"Álgebra €", "\xC1lgebra \x80"},
      {"cyrillic", u"Ж", "?"},
      {"surrogate pair is one character", u"a\U0001F600b", "a?b"},
      {"lone high surrogate", std::u16string(u"a") + char16_t(0xD800) + u"b", "a?b"},
      {"lone low surrogate", std::u16string(1, char16_t(0xDC00)), "?"},
      {"high surrogate at end", std::u16string(1, char16_t(0xDBFF)), "?"},
  };
  for (const auto& c : cases) EXPECT_EQ(Utf16ToCp1252(c.utf16), c.cp1252) << c.name;
}

TEST(TrimControls, RemovesBlanksAndControlsAtBothEndsOnly) {
  const struct {
    const char* name;
    std::string in;
    std::string out;
  } cases[] = {
      {"nothing to trim", "LENG", "LENG"},
      {"blanks", "  LENG  ", "LENG"},
      {"tabs and line breaks", "\t\r\n 100323 \r\n\t", "100323"},
      {"other controls", std::string("\x01\x1F" "a\0", 4), "a"},
      {"inside untouched", " Aula\t1.4 ", "Aula\t1.4"},
      {"blanks only", " \t\r\n ", ""},
      {"empty", "", ""},
      {"no-break space kept", "\xA0" "1\xBA" "A\xA0", "\xA0" "1\xBA" "A\xA0"},
      {"high bytes kept", "\x81\x80", "\x81\x80"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TrimControls(c.in), c.out) << c.name;
    EXPECT_EQ(IsBlank(c.in), c.out.empty()) << c.name;
  }
}

TEST(FoldCase, PairsTheCodePagesLetters) {
  const struct {
    const char* name;
    const char* a;
    const char* b;
    bool same;
  } cases[] = {
      {"ascii letters", "Leng", "LENG", true},
      {"e acute", "\xE9", "\xC9", true},
      {"accent counts", "\xC9", "E", false},
      {"n tilde", "\xF1", "\xD1", true},
      {"thorn", "\xFE", "\xDE", true},
      {"s caron", "\x9A", "\x8A", true},
      {"oe ligature", "\x9C", "\x8C", true},
      {"z caron", "\x9E", "\x8E", true},
      {"y diaeresis", "\xFF", "\x9F", true},
      {"division and multiplication signs differ", "\xF7", "\xD7", false},
      {"sharp s has no pair", "\xDF", "\xFF", false},
      {"micro sign has no pair", "\xB5", "M", false},
      {"digits and punctuation", "1\xBA" "A-", "1\xBA" "a-", true},
      {"different lengths", "AB", "ABC", false},
      {"at sign is not a letter", "@", "`", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SameTextIgnoringCase(c.a, c.b), c.same) << c.name;
    EXPECT_EQ(FoldCase(c.a) == FoldCase(c.b), c.same) << c.name;
  }
}

TEST(FoldCase, LeavesLengthAndNonLettersAlone) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  const std::string folded = FoldCase(all);
  ASSERT_EQ(folded.size(), all.size());
  EXPECT_EQ(folded.substr(0, 'A'), all.substr(0, 'A'));
  EXPECT_EQ(folded[static_cast<unsigned char>('\xDF')], '\xDF');
  EXPECT_EQ(folded[static_cast<unsigned char>('\xB5')], '\xB5');
  EXPECT_EQ(folded[static_cast<unsigned char>('\xD7')], '\xD7');
}

}  // namespace
