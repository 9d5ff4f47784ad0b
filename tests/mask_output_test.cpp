// Tests of masked number output: the field rules, scaling and power marker, the literal
// runs, mask restart and release, unusual values, and printing at the cursor.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "screen/numbers/mask_format.h"
#include "screen/screen.h"
#include "tests/support/screen_fixture.h"

namespace {

// What maskBegin, one maskValue per value and maskEnd print together.
std::string throughMask(std::string_view mask, std::initializer_list<double> values) {
  MaskState state;
  beginMask(state, mask);
  std::string text;
  for (double value : values) text += maskedText(state, value);
  return text + maskEndText(state);
}

struct MaskCase {
  const char* mask;
  std::vector<double> values;
  const char* printed;
};

void PrintTo(const MaskCase& c, std::ostream* out) {
  *out << '"' << c.mask << "\" with " << c.values.size() << " value(s)";
}

class MaskTable : public ::testing::TestWithParam<MaskCase> {};

TEST_P(MaskTable, PrintsTheText) {
  const MaskCase& c = GetParam();
  MaskState state;
  beginMask(state, c.mask);
  std::string text;
  for (double value : c.values) text += maskedText(state, value);
  text += maskEndText(state);
  EXPECT_EQ(text, c.printed);
  EXPECT_EQ(state.maskLeft, 0u);
  EXPECT_TRUE(state.maskText.empty());
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, MaskTable,
    ::testing::Values(
        MaskCase{"##.##", {3.14159}, " 3.14"}, MaskCase{"##.##", {5.5}, " 5.50"},
        MaskCase{"##.##", {10}, "10.00"}, MaskCase{"##.##", {0}, " 0.00"},
        MaskCase{"##.##", {0.05}, " 0.05"}, MaskCase{"##.##", {2.346}, " 2.34"},
        MaskCase{"##.##", {0.999}, " 0.99"}, MaskCase{"##.##", {0.99999}, " 1.00"},
        MaskCase{"##.##", {123.456}, "123.45"}, MaskCase{"##.##", {1234.5}, "12.34%e+2"},
        MaskCase{"##.##", {0.004}, "40.00%e-4"}, MaskCase{"##.##", {-5.5}, "-5.50"},
        MaskCase{"##.##", {-1234.5}, "-1234.50"},
        MaskCase{" ##.## Mil millones", {10}, " 10.00 Mil millones"},
        MaskCase{" ##.## Mil millones", {5.5}, "  5.50 Mil millones"},
        MaskCase{"###", {2.7}, "  2"}, MaskCase{"#,###.##", {1234.5}, "1,234.50"},
        MaskCase{"**##.##", {5.5}, "*5.50"}, MaskCase{"$$##.##", {5.5}, " $5.50"},
        MaskCase{"#.##^^^^", {12345}, "1.23e+04"}, MaskCase{"##.##+", {-5.5}, " 5.50-"},
        MaskCase{"##.##-", {-5.5}, "-5.50-"}, MaskCase{"_###.#", {7.25}, "# 7.2"},
        MaskCase{"##.## ", {1, 2}, " 1.00  2.00 "}, MaskCase{"##.## y ##.##", {5.5}, " 5.50 y "}));

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, MaskTable,
    ::testing::Values(MaskCase{"##.##", {99.99999}, "100.00"},  // the carry widens the field
                      MaskCase{"##.##", {0.01}, " 0.01"}, MaskCase{"##.##", {0.0099}, "99.00%e-4"},
                      MaskCase{".##", {5}, "5.00"},        // no integer places: no fill, digit kept
                      MaskCase{".##", {0.5}, ".50"},       // no integer places: the leading 0 goes
                      MaskCase{"+##.##", {5.5}, " 5.50"},  // a leading "+" is swallowed
                      MaskCase{"##.##", {100}, "100.00"},  // e = intPlaces is widened, not scaled
                      MaskCase{
                          "##.##", {1000}, "10.00%e+2"},  // exact power of ten scales by exactly 2
                      MaskCase{"##.##", {0.001}, "10.00%e-4"},
                      MaskCase{"##.##", {-0.001}, "-0.00"},  // negative values are never scaled
                      MaskCase{"##.##", {-99999.5}, "-99999.50"}));

INSTANTIATE_TEST_SUITE_P(
    FieldCharacters, MaskTable,
    ::testing::Values(
        MaskCase{"#,###.##", {-1234567.5}, "-1,234,567.50"},
        MaskCase{"#,###", {123}, "  123"},             // the grouping comma is one more place
        MaskCase{"##,##,##", {1234567}, "1,234,567"},  // only the first comma adds a place
        MaskCase{"##.##,", {5.5}, " 5.50,"}, MaskCase{"##.##+", {5.5}, " 5.50"},
        MaskCase{"**$##.##", {5.5}, "*$5.50"}, MaskCase{"$$##.##", {-5.5}, "-$5.50"},
        MaskCase{"*#", {5.5}, "5"},               // a lone "*" ends the field before it begins
        MaskCase{"$#", {5.5}, "5"},               // and so does a lone "$"
        MaskCase{"###.", {7.9}, "  7"},           // decPlaces 0: the point goes too
        MaskCase{"##.#.##", {1.23456}, " 1.23"},  // a second point starts the decimals again
        MaskCase{"#.##^^", {12345}, "1.23e+"},    // too long, two places: first two kept
        MaskCase{"#.##^^^", {12345}, "1.23e+4"},
        MaskCase{"#.##^^^^", {1e123}, "1.00e+23"},  // too long: last digits kept
        MaskCase{"#.##^^^^", {5}, "5.00e+00"}, MaskCase{"##.##^^^^", {0.004}, "40.00e-04"},
        MaskCase{"##.##^^^^", {-1234.5}, "-1234.50e+00"},
        MaskCase{"_", {3}, "3"},                // a final "_" prints nothing
        MaskCase{"a_#_.b ##", {3}, "a#.b  3"},  // escapes in the literal run
        MaskCase{"x ^## y", {42}, "x ^42 y"},   // "^" outside a field is literal
        MaskCase{"Total: ", {9}, "Total: 9"},   // no field: literal text, then the number
        MaskCase{"## ", {1, 22, 333}, " 1 22 333 "}));

TEST(MaskOutput, NoMaskHeldPrintsTheBareNumber) {
  MaskState state;
  EXPECT_EQ(maskedText(state, 7), "7");
  EXPECT_EQ(maskedText(state, -3), "-3");
  EXPECT_EQ(maskedText(state, 3.7), "3");  // one decimal formatted, then cut at the point
  EXPECT_EQ(maskEndText(state), "");
}

TEST(MaskOutput, FieldReadingStopsAtTheFirstForeignCharacter) {
  MaskState state;
  beginMask(state, "#,##.##+^^*x");
  NumberField field = readNumberField(state);
  EXPECT_EQ(field.intPlaces, 4);
  EXPECT_EQ(field.decPlaces, 2);
  EXPECT_EQ(field.expPlaces, 2);
  EXPECT_TRUE(field.expForm);
  EXPECT_TRUE(field.groupThousands);
  EXPECT_TRUE(field.signAtEnd);
  EXPECT_EQ(field.fillChar, ' ');
  EXPECT_EQ(state.maskPos, 10u);  // "*" followed by "x" ends the field unread
  EXPECT_EQ(state.maskLeft, 2u);
}

TEST(MaskOutput, BeginReplacesAHeldMask) {
  MaskState state;
  beginMask(state, "##.## y ##.##");
  EXPECT_EQ(maskedText(state, 1), " 1.00 y ");
  beginMask(state, "###");
  EXPECT_EQ(maskedText(state, 1), "  1");
}

TEST(MaskOutput, NonFiniteValuesAreShortAndKeepTheFieldWidth) {
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(throughMask("##.##", {inf}), "  inf");
  EXPECT_EQ(throughMask("##.##", {-inf}), " -inf");
  EXPECT_EQ(throughMask("##.##", {std::nan("")}), "  nan");
  EXPECT_EQ(throughMask("**##.##", {inf}), "**inf");
  EXPECT_EQ(throughMask(" ##.## Mil millones", {inf}), "   inf Mil millones");
  EXPECT_EQ(throughMask("#", {-inf}), "-inf");
}

TEST(MaskOutput, NegativeZeroPrintsAsZero) {
  EXPECT_EQ(throughMask("##.##", {-0.0}), " 0.00");
  EXPECT_EQ(throughMask("##.##+", {-0.0}), " 0.00");
}

TEST(MaskOutput, HugeAndTinyValuesStayBounded) {
  // Positive values are scaled into the field, whatever their size.
  EXPECT_EQ(throughMask("##.##", {1e300}), "10.00%e+299");
  EXPECT_EQ(throughMask("##.##", {std::numeric_limits<double>::max()}), "17.97%e+307");
  EXPECT_EQ(throughMask("##.##", {std::numeric_limits<double>::denorm_min()}), "49.40%e-325");

  // Negative ones are widened: every integer digit of the exact value, and no more.
  std::string text = throughMask("##.##", {-1e300});
  EXPECT_EQ(text.size(), 1u + 301u + 3u);
  EXPECT_EQ(text.substr(0, 18), "-10000000000000000");
  EXPECT_EQ(text.substr(text.size() - 3), ".00");

  // Fifteen digits formatted for the largest magnitude.
  text = throughMask("########.#######", {-std::numeric_limits<double>::max()});
  EXPECT_EQ(text.size(), 1u + 309u + 1u + 7u);
  EXPECT_EQ(text.substr(0, 5), "-1797");

  // Hundreds of integer places for a subnormal: the scaled mantissa would overflow.
  std::string wide(320, '#');
  text = throughMask(wide, {std::numeric_limits<double>::denorm_min()});
  EXPECT_EQ(text.size(), 320u);
  EXPECT_EQ(text.substr(text.size() - 3), "inf");
}

TEST(MaskOutput, ArbitraryMasksAndValuesNeverRunAway) {
  const std::string alphabet = "#.,+*$^_ -ab!&\\%";
  const double values[] = {0,
                           -0.0,
                           1,
                           -1,
                           0.5,
                           99.99999,
                           1e-7,
                           1e22,
                           1e300,
                           -1e300,
                           5e-324,
                           -5e-324,
                           123456.789,
                           std::numeric_limits<double>::infinity(),
                           std::nan(""),
                           std::numeric_limits<double>::max(),
                           -std::numeric_limits<double>::max()};
  std::mt19937 random(12345);
  for (int round = 0; round < 3000; ++round) {
    std::string mask;
    size_t length = random() % 24;
    for (size_t i = 0; i < length; ++i) mask += alphabet[random() % alphabet.size()];
    MaskState state;
    beginMask(state, mask);
    for (int i = 0; i < 3; ++i) {
      double value = values[random() % std::size(values)];
      std::string text = maskedText(state, value);
      // Digits of the value (at most 309 + 15), signs, markers and grouping commas,
      // plus what the mask itself contributes.
      EXPECT_LE(text.size(), 450u + 2 * mask.size()) << '"' << mask << "\" " << value;
      EXPECT_LE(state.maskPos + state.maskLeft, mask.size());
    }
    EXPECT_LE(maskEndText(state).size(), mask.size());
    EXPECT_EQ(state.maskLeft, 0u);
  }
}

class MaskScreen : public ScreenTest {};

TEST_F(MaskScreen, FiguresLandAtTheCursorWithTabsBetween) {
  locate(7, 1, -1);
  maskBegin(" ##.## Mil millones");
  maskValue(5.5, 0);
  maskEnd();
  tabToColumn(30);
  maskBegin("##.##");
  maskValue(1234.5, 0);
  maskEnd();
  EXPECT_EQ(rowText(7, 1, 19), "  5.50 Mil millones");
  EXPECT_EQ(rowText(7, 30, 38), "12.34%e+2");
  TextPosition cursor = cursorPosition();
  EXPECT_EQ(cursor.row, 7);
  EXPECT_EQ(cursor.column, 39);
}

TEST_F(MaskScreen, NegativeLastEndsTheStatement) {
  locate(3, 1, -1);
  maskBegin("##.## y ##.##");
  maskValue(5.5, -1);  // bit 0 set: a line end, and the mask is let go
  EXPECT_EQ(rowText(3, 1, 9), " 5.50 y  ");
  EXPECT_EQ(cursorPosition().row, 4);
  EXPECT_EQ(cursorPosition().column, 1);

  maskValue(7, -2);  // no mask held: bare number; bit 0 clear: no line end
  EXPECT_EQ(rowText(4, 1, 2), "7 ");
  EXPECT_EQ(cursorPosition().row, 4);
  EXPECT_EQ(cursorPosition().column, 2);
  maskEnd();
  EXPECT_EQ(cursorPosition().column, 2);
}

TEST_F(MaskScreen, EmptyResultsPrintNothing) {
  locate(10, 5, -1);
  maskBegin("##.##");
  maskEnd();  // nothing left of the mask to print
  EXPECT_EQ(cursorPosition().column, 5);
  EXPECT_EQ(rowText(10, 5, 5), " ");
}

}  // namespace
