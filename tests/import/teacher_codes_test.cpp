#include "import/teacher_codes.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "text/cp1252.h"
#include "text/user_error.h"

namespace import {
namespace {

// A teacher by the first name, first surname and second surname (UTF-8).
struct Case {
  const char* label;
  const char* nombre;
  const char* apellido1;
  const char* apellido2;
  std::string code;
};

void ExpectCodes(const std::vector<Case>& cases) {
  TeacherCodes codes;
  for (const Case& c : cases) {
    const std::string code = codes.Next(text::Utf8ToCp1252(c.nombre), text::Utf8ToCp1252(c.apellido1),
                                        text::Utf8ToCp1252(c.apellido2));
    EXPECT_EQ(text::Cp1252ToUtf8(code), c.code) << c.label;
  }
}

TEST(TeacherCodes, NumberCollisionsIgnoringLetterCase) {
  ExpectCodes({
      {"first", "Ana", "Blanco", "Cruz", "ABC"},
      {"second", "Alberto", "Bueno", "Casas", "ABC1"},
      {"third", "Amparo", "Bravo", "Cano", "ABC2"},
      {"lower case", "alba", "benítez", "cobo", "abc3"},
  });
}

TEST(TeacherCodes, AccentsMakeDifferentCodes) {
  ExpectCodes({
      {"accented", "Ángela", "Bello", "Calvo", "ÁBC"},
      {"plain", "Andrés", "Borrego", "Campos", "ABC"},
  });
}

TEST(TeacherCodes, ElevenTeachersWithTheSameInitials) {
  std::vector<Case> cases = {{"1", "A", "B", "C", "ABC"}};
  for (int n = 1; n <= 9; ++n) cases.push_back({"numbered", "A", "B", "C", "ABC" + std::to_string(n)});
  cases.push_back({"eleventh", "A", "B", "C", "AB10"});
  cases.push_back({"twelfth", "A", "B", "C", "AB11"});
  ExpectCodes(cases);
}

TEST(TeacherCodes, CutCodeTakenMovesToTheNextNumber) {
  std::vector<Case> cases = {{"AB", "Ana", "Blanco", "", "AB"}};
  for (int n = 1; n <= 10; ++n) cases.push_back({"AB numbered", "Ana", "Blanco", "", "AB" + std::to_string(n)});
  cases.push_back({"ABC", "A", "B", "C", "ABC"});
  for (int n = 1; n <= 9; ++n) cases.push_back({"ABC numbered", "A", "B", "C", "ABC" + std::to_string(n)});
  cases.push_back({"AB10 held by AB", "A", "B", "C", "AB11"});
  ExpectCodes(cases);
}

TEST(TeacherCodes, EmptyPositionsShortenTheBase) {
  std::vector<Case> cases = {{"no second surname", "Ana", "Blanco", "", "AB"},
                             {"again", "Andrés", "Bueno", "", "AB1"}};
  for (int n = 2; n <= 99; ++n) cases.push_back({"two digits fit", "Ana", "Blanco", "", "AB" + std::to_string(n)});
  cases.push_back({"three digits", "Ana", "Blanco", "", "A100"});
  ExpectCodes(cases);
}

TEST(TeacherCodes, NoNameAtAll) {
  ExpectCodes({{"first", "", "", "", ""}, {"second", "", "", "", "1"}, {"third", "", "", "", "2"}});
}

TEST(TeacherCodes, UsedUpCodesEndTheRunNamingTheTeacher) {
  TeacherCodes codes;
  for (int i = 0; i < 10000; ++i) ASSERT_NO_THROW(codes.Next("", "", "")) << i;  // "", 1..9999
  try {
    codes.Next("", "", "");
    FAIL() << "expected UserError";
  } catch (const UserError& e) {
    EXPECT_NE(std::string(e.what()).find("profesor"), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find("vuelva a exportar"), std::string::npos) << e.what();
  }
}

}  // namespace
}  // namespace import
