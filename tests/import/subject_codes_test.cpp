#include "import/subject_codes.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "text/cp1252.h"
#include "text/user_error.h"

namespace import {
namespace {

struct Case {
  const char* name;  // UTF-8
  const char* code;  // UTF-8
};

// Feeds the names in order to one generator and checks every code.
void ExpectCodes(const std::vector<Case>& cases) {
  SubjectCodes codes;
  for (const Case& c : cases) {
    EXPECT_EQ(text::Cp1252ToUtf8(codes.Next(text::Utf8ToCp1252(c.name))), c.code) << c.name;
  }
}

TEST(SubjectCodes, CapitalsFirstThenNumberedIgnoringCase) {
  ExpectCodes({
      {"LENGUA CASTELLANA Y LITERATURA", "LENG"},
      {"LENGUA EXTRANJERA", "LEN1"},
      {"Lenguaje", "Len2"},
      {"Matemáticas", "Mate"},
      {"MATEMÁTICAS", "MAT1"},
      {"EDUCACIÓN FÍSICA", "EDUC"},
      {"ÉTICA", "ÉTIC"},
      {"2º Idioma", "2I"},
      {"Lengua Extranjera", "LE"},
  });
}

TEST(SubjectCodes, BaseTakesFirstCharacterAndPlainCapitals) {
  const Case cases[] = {
      {"Música", "Músi"},              // no capital after the first: first four
      {"X", "X"},                      // shorter than four
      {"", ""},                        // empty name, empty base
      {"ÉTICA", "ÉTIC"},               // first character kept although accented
      {"AÑÚ B", "AB"},                 // accented capitals after the first skipped
      {"Ciencias Naturales", "CN"},    // two characters stay as they are
      {"a B c D e F", "aBDF"},         // scan stops at four
      {"Lengua 2ª Extranjera", "LE"},  // digits and signs skipped
  };
  for (const Case& c : cases) {
    EXPECT_EQ(text::Cp1252ToUtf8(SubjectCodes::Base(text::Utf8ToCp1252(c.name))), c.code) << c.name;
  }
}

TEST(SubjectCodes, CollisionsIgnoreLetterCaseButNotAccents) {
  ExpectCodes({
      {"Inglés", "Ingl"},
      {"INGLÉS", "ING1"},
      {"ÉTICA", "ÉTIC"},
      {"ETICA", "ETIC"},
      {"ética", "éti1"},  // é equals É
  });
}

TEST(SubjectCodes, EmptyNamesAreNumbered) {
  ExpectCodes({{"", ""}, {"", "1"}, {"", "2"}});
}

TEST(SubjectCodes, TwoCharacterBaseGrowsItsSuffixWithoutCutting) {
  std::vector<Case> cases = {{"Lengua Extranjera", "LE"}, {"Lengua Extranjera", "LE1"}};
  std::vector<std::string> expected;  // keeps the c_str()s alive
  for (int n = 2; n <= 99; ++n) expected.push_back("LE" + std::to_string(n));
  for (const std::string& code : expected) cases.push_back({"Lengua Extranjera", code.c_str()});
  ExpectCodes(cases);
}

// The numbering never drops a subject: past LE10 it goes on with LE11, LE12.
TEST(SubjectCodes, TwelveSubjectsOfOneBaseAllGetACode) {
  ExpectCodes({
      {"LENGUA A", "LENG"}, {"LENGUA B", "LEN1"}, {"LENGUA C", "LEN2"}, {"LENGUA D", "LEN3"},
      {"LENGUA E", "LEN4"}, {"LENGUA F", "LEN5"}, {"LENGUA G", "LEN6"}, {"LENGUA H", "LEN7"},
      {"LENGUA I", "LEN8"}, {"LENGUA J", "LEN9"}, {"LENGUA K", "LE10"}, {"LENGUA L", "LE11"},
      {"LENGUA M", "LE12"},
  });
}

TEST(SubjectCodes, ShortenedCodeTakenByAnotherBaseMovesToTheNextNumber) {
  std::vector<Case> cases = {{"Lengua Extranjera", "LE"}};
  std::vector<std::string> expected;
  for (int n = 1; n <= 10; ++n) expected.push_back("LE" + std::to_string(n));
  for (const std::string& code : expected) cases.push_back({"Lengua Extranjera", code.c_str()});
  // LENG, LEN1..LEN9, then LEN10 would be LE10, which Lengua Extranjera holds.
  cases.push_back({"LENGUA", "LENG"});
  const char* const numbered[] = {"LEN1", "LEN2", "LEN3", "LEN4", "LEN5", "LEN6", "LEN7", "LEN8", "LEN9"};
  for (const char* code : numbered) cases.push_back({"LENGUA", code});
  cases.push_back({"LENGUA", "LE11"});
  ExpectCodes(cases);
}

TEST(SubjectCodes, UsedUpBaseEndsTheRunNamingTheSubject) {
  SubjectCodes codes;
  // LENG, LEN1..LEN9, LE10..LE99 and LE00..LE09: every form LENGUA can take.
  for (int i = 0; i < 110; ++i) ASSERT_NO_THROW(codes.Next("LENGUA")) << i;
  try {
    codes.Next("LENGUA Y LITERATURA");
    FAIL() << "expected UserError";
  } catch (const UserError& e) {
    EXPECT_NE(std::string(e.what()).find("\"LENGUA Y LITERATURA\""), std::string::npos) << e.what();
  }
}

}  // namespace
}  // namespace import
