#include "import/unit_codes.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "text/cp1252.h"
#include "text/user_error.h"

namespace import {
namespace {

struct Case {
  const char* label;
  const char* nivel;
  const char* curso;
  const char* code;
};

void ExpectCodes(const std::vector<Case>& cases) {
  UnitCodes codes;
  for (const Case& c : cases) {
    EXPECT_EQ(codes.Next(c.nivel, c.curso, "650543"), c.code) << c.label;
  }
}

TEST(UnitCodes, LettersCountUpPerLevelAndCourse) {
  ExpectCodes({
      {"ESO 1, first", "ESO", "1", "ES1A"},
      {"ESO 1, second", "ESO", "1", "ES1B"},
      {"ESO 1, third", "ESO", "1", "ES1C"},
      {"ESO 2, first", "ESO", "2", "ES2A"},
      {"BACH 1, first", "BACH", "1", "BA1A"},
      {"no course, first", "", "", "A"},
      {"no course, second", "", "", "AA"},
      {"no course, third", "", "", "AB"},
      {"B 1, first", "B", "1", "B1A"},
      {"B 1, second", "B", "1", "B1AA"},
  });
}

TEST(UnitCodes, CoursesAlikeShareOneSequence) {
  ExpectCodes({
      {"ESO", "ESO", "1", "ES1A"},
      {"ESPA", "ESPA", "1", "ES1B"},
      {"ESO again", "ESO", "1", "ES1C"},
  });
}

TEST(UnitCodes, EmptyCourseNumberGivesATwoCharacterBase) {
  ExpectCodes({{"first", "ESO", "", "ESA"}, {"second", "ESO", "", "ESAA"}, {"third", "ESO", "", "ESAB"}});
}

TEST(UnitCodes, LettersRunOnPastZAndSkipLowerCase) {
  UnitCodes codes;
  std::vector<std::string> given;
  for (int i = 0; i < 33; ++i) given.push_back(codes.Next("ESO", "1", "650543"));
  EXPECT_EQ(given[25], "ES1Z") << "26th";
  EXPECT_EQ(given[26], "ES1[") << "27th";
  EXPECT_EQ(given[31], "ES1`") << "32nd";
  // a to z are taken as A to Z.
  EXPECT_EQ(given[32], "ES1{") << "33rd";
}

TEST(UnitCodes, UsedUpCharactersEndTheRunNamingTheUnit) {
  UnitCodes codes;
  int given = 0;
  try {
    for (; given < 300; ++given) codes.Next("ESO", "1", "650543");
    FAIL() << "expected UserError";
  } catch (const UserError& e) {
    EXPECT_NE(std::string(e.what()).find("\"650543\""), std::string::npos) << e.what();
  }
  // Every character from A to the last one, less those that are the
  // lower-case form of one already given.
  EXPECT_GT(given, 100);
  EXPECT_LE(given, 191);
}

}  // namespace
}  // namespace import
