// The decimal prefix conversion: accepted syntax, where it stops, out-of-range values and
// independence from the process locale.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>

#include "screen/numbers/decimal_text.h"

namespace {
struct Case {
  const char* text;
  double value;
};

void expectAll(const Case* begin, const Case* end) {
  for (const Case* c = begin; c != end; ++c)
    EXPECT_EQ(decimalPrefixValue(c->text), c->value) << '"' << c->text << '"';
}

TEST(DecimalPrefix, AcceptedSyntax) {
  const Case cases[] = {
      {"12.5", 12.5},   {"  7", 7},      {"\t\t7", 7}, {" \t 8", 8},
      {"-3", -3},       {"+4", 4},       {"1e1", 10},  {"1E1", 10},
      {"2.5e-1", 0.25}, {"2.5E+2", 250}, {".5", 0.5},  {"5.", 5},
      {"-.25", -0.25},  {"0.1", 0.1},    {"007", 7},   {"123456789012345", 123456789012345.0},
  };
  expectAll(std::begin(cases), std::end(cases));
}

TEST(DecimalPrefix, StopsAtTheFirstCharacterThatDoesNotFit) {
  const Case cases[] = {
      {"7abc", 7},    {"3,5", 3},  {"12 34", 12},  {"1e", 1},   {"1e+", 1},        {"1e-x", 1},
      {"2.5.5", 2.5}, {"1ee5", 1}, {"4e2e3", 400}, {"-5-", -5}, {"1.2e3.4", 1200},
  };
  expectAll(std::begin(cases), std::end(cases));
}

TEST(DecimalPrefix, ZeroWithoutANumericPrefix) {
  const Case cases[] = {
      {"", 0},    {"abc", 0},  {"   ", 0},  {".", 0},   {"-", 0},   {"+", 0},
      {"+-1", 0}, {"&h10", 0}, {"0x10", 0}, {"inf", 0}, {"nan", 0}, {"-inf", 0},
      {"e5", 0},  {".e1", 0},  {"\n5", 0},  {"\r5", 0},
  };
  expectAll(std::begin(cases), std::end(cases));
}

TEST(DecimalPrefix, OutOfRangeGivesInfinityOrZero) {
  const double inf = std::numeric_limits<double>::infinity();
  const Case cases[] = {
      {"1e400", inf},
      {"-1e400", -inf},
      {"1e-400", 0},
      {"1e99999999999999999999", inf},
      {"1e-99999999999999999999", 0},
  };
  expectAll(std::begin(cases), std::end(cases));
  // A long mantissa with a negative exponent can still overflow, and a long fraction of
  // zeros with a positive exponent can still underflow.
  EXPECT_EQ(decimalPrefixValue("1" + std::string(400, '0') + "e-1"), inf);
  EXPECT_EQ(decimalPrefixValue("0." + std::string(400, '0') + "1e2"), 0.0);
  EXPECT_TRUE(std::signbit(decimalPrefixValue("-1e-400")));
  // Beyond the float range but within double: the caller's rounding to float gives inf.
  EXPECT_EQ(decimalPrefixValue("1e39"), 1e39);
  EXPECT_TRUE(std::isinf(static_cast<float>(decimalPrefixValue("1e39"))));
}

TEST(DecimalPrefix, VeryLongDigitStringsAreExact) {
  // Correct rounding over many digits: 0.1 written with 300 trailing zeros.
  EXPECT_EQ(decimalPrefixValue("0.1" + std::string(300, '0')), 0.1);
  EXPECT_EQ(decimalPrefixValue(std::string(100000, '9') + "e-99999"), 10.0);
}

TEST(DecimalPrefix, IgnoresTheProcessLocale) {
  // A locale with a decimal comma must change nothing; skip if none is installed.
  const char* names[] = {"es_ES.UTF-8", "es_ES.utf8", "de_DE.UTF-8", "fr_FR.UTF-8"};
  const char* set = nullptr;
  for (const char* name : names)
    if ((set = std::setlocale(LC_ALL, name)) != nullptr) break;
  if (set == nullptr) GTEST_SKIP() << "no locale with a decimal comma installed";
  EXPECT_EQ(decimalPrefixValue("12.5"), 12.5);
  EXPECT_EQ(decimalPrefixValue("12,5"), 12.0);
  std::setlocale(LC_ALL, "C");
}
}  // namespace
