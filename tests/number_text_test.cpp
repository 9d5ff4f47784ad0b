// Tests of the seven-digit single text, hexadecimal texts and the value of a text.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "screen/numbers/number_text.h"
#include "screen/screen.h"
#include "tests/support/screen_fixture.h"

namespace {

struct SingleCase {
  float value;
  const char* text;
};

class SingleTextTable : public ::testing::TestWithParam<SingleCase> {};

TEST_P(SingleTextTable, GivesTheText) { EXPECT_EQ(singleText(GetParam().value), GetParam().text); }

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, SingleTextTable,
    ::testing::Values(SingleCase{12.0f, " 12"}, SingleCase{2.5f, " 2.5"}, SingleCase{-2.5f, "-2.5"},
                      SingleCase{0.0f, " 0"}, SingleCase{33.33f, " 33.33"},
                      SingleCase{1.0f / 3.0f, " 0.3333333"}, SingleCase{1234567.0f, " 1234567"},
                      SingleCase{12345678.0f, " 1.234568e+007"}, SingleCase{0.1f, " 0.1"},
                      SingleCase{0.05f, " 5.e-002"}));

INSTANTIATE_TEST_SUITE_P(
    FormBoundaries, SingleTextTable,
    ::testing::Values(SingleCase{9999999.0f, " 9999999"},   // m = 6: still fixed
                      SingleCase{10000000.0f, " 1.e+007"},  // m = 7: exponent, bare point kept
                      SingleCase{-12345678.0f, "-1.234568e+007"},
                      SingleCase{0.12345678f, " 0.1234568"},       // m = -1: seven decimals
                      SingleCase{0.099999994f, " 9.999999e-002"},  // m = -2
                      SingleCase{1234567.4f, " 1234567"},  // fraction rounded away, point gone
                      SingleCase{std::numeric_limits<float>::denorm_min(), " 1.401298e-045"},
                      SingleCase{std::numeric_limits<float>::max(), " 3.402823e+038"},
                      SingleCase{1e-10f, " 1.e-010"}));

TEST(SingleText, NonFiniteAndNegativeZeroAreShort) {
  EXPECT_EQ(singleText(std::numeric_limits<float>::infinity()), " inf");
  EXPECT_EQ(singleText(-std::numeric_limits<float>::infinity()), "-inf");
  EXPECT_EQ(singleText(std::numeric_limits<float>::quiet_NaN()), " nan");
  EXPECT_EQ(singleText(-0.0f), " 0");
}

TEST(HexText, UpperCaseWithoutLeadingZeros) {
  struct Case {
    int64_t value;
    const char* text;
  };
  const Case cases[] = {{253, "FD"},
                        {73, "49"},
                        {-1, "FFFFFFFFFFFFFFFF"},
                        {0, "0"},
                        {0xABCDEF, "ABCDEF"},
                        {std::numeric_limits<int64_t>::min(), "8000000000000000"},
                        {std::numeric_limits<int64_t>::max(), "7FFFFFFFFFFFFFFF"}};
  for (const Case& c : cases) EXPECT_EQ(hexText(c.value), c.text) << c.value;
}

TEST(ValueOfText, PrefixedAndDecimalTexts) {
  struct Case {
    const char* text;
    double value;
  };
  const Case cases[] = {
      {"&h88FD88", 8977800},
      {"&hff", 255},
      {"&HFF", 255},
      {"&o17", 15},
      {"&O17", 15},
      {"&b101", 5},
      {"&B101", 5},
      {"  12.5", 12.5},
      {"&hFFFFFFFF", -1},
      {"abc", 0},
      {"&x1", 0},
      {"", 0},
      {"    ", 0},
      {"  &hff", 255},
      {"&h", 0},
      {"&", 0},
      {"-5", -5},
      {"&h80000000", -2147483648.0},
      {"&h100000000", 0},
      {"&h7FFFFFFF", 2147483647},
      // Every character is a digit: "G" is 16, "g" is 16 too, "9" counts in octal and
      // a blank subtracts 16.
      {"&hG", 16},
      {"&h1g", 32},
      {"&o9", 9},
      {"&b12", 4},
      {"&h1 ", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(valueOfText(c.text), c.value) << '"' << c.text << '"';
}

class PrintSingleScreen : public ScreenTest {};

TEST_F(PrintSingleScreen, PrintsAtTheCursorWithoutLineEnd) {
  locate(5, 10, -1);
  printSingle(2.5f);
  printSingle(-12.0f);
  EXPECT_EQ(rowText(5, 10, 17), " 2.5-12 ");
  TextPosition cursor = cursorPosition();
  EXPECT_EQ(cursor.row, 5);
  EXPECT_EQ(cursor.column, 17);
}

TEST_F(PrintSingleScreen, ExponentFormFillsItsCells) {
  locate(2, 1, -1);
  printSingle(12345678.0f);
  EXPECT_EQ(rowText(2, 1, 15), " 1.234568e+007 ");
  EXPECT_EQ(cursorPosition().column, 15);
}

}  // namespace
