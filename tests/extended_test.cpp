// Extended against the x87 unit: the four operations at every kind of edge, conversions,
// integral rounding, and a sweep over boundary significands and exponents. Expected bits
// were taken from the unit; where the unit exists, every case is also run on it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "screen/extended/extended.h"
#include "screen/extended/fpu_control.h"
#include "tests/support/x87_reference.h"

namespace {

constexpr Extended X(uint16_t signExponent, uint64_t significand) {
  return Extended::fromBits(signExponent, significand);
}
constexpr uint64_t kInteger = uint64_t{1} << 63;

std::string bitsText(Extended x) {
  char text[32];
  std::snprintf(text, sizeof text, "%04X:%016llX", x.signExponent(),
                static_cast<unsigned long long>(x.significand()));
  return text;
}
uint64_t bitsOf(double d) {
  uint64_t bits = 0;
  std::memcpy(&bits, &d, sizeof bits);
  return bits;
}
uint32_t bitsOf(float f) {
  uint32_t bits = 0;
  std::memcpy(&bits, &f, sizeof bits);
  return bits;
}

class ExtendedTest : public ::testing::Test {
 protected:
  // The reference needs the unit at its 64-bit precision (the Windows default is 53).
  void SetUp() override { setExtendedPrecision(); }
};

struct OperationCase {
  const char* name;
  Operation op;
  Extended a, b, expected;
};

const OperationCase kOperationCases[] = {
    {"sticky borrow below a tie", Operation::subtract, X(0x3FFF, 0x8000000000000000),
     X(0x3FBE, 0x8000000000000001), X(0x3FFE, 0xFFFFFFFFFFFFFFFF)},
    {"sticky borrow, tie without it", Operation::add, X(0x3FFF, 0x8000000000000000),
     X(0xBFBE, 0x8000000000000001), X(0x3FFE, 0xFFFFFFFFFFFFFFFF)},
    {"sticky borrow far apart", Operation::subtract, X(0x4000, 0x8000000000000001),
     X(0x3FBA, 0xFFFFFFFFFFFFFFFF), X(0x4000, 0x8000000000000001)},
    {"exact tie rounds down to even", Operation::add, X(0x3FFF, 0x8000000000000000),
     X(0x3FBF, 0x8000000000000000), X(0x3FFF, 0x8000000000000000)},
    {"exact tie rounds up to even", Operation::add, X(0x3FFF, 0x8000000000000001),
     X(0x3FBF, 0x8000000000000000), X(0x3FFF, 0x8000000000000002)},
    {"carry out of the significand", Operation::add, X(0x3FFF, 0xFFFFFFFFFFFFFFFF),
     X(0x3FBF, 0x8000000000000000), X(0x4000, 0x8000000000000000)},
    {"cancellation to a subnormal", Operation::subtract, X(0x0001, 0x8000000000000005),
     X(0x0001, 0x8000000000000000), X(0x0000, 0x0000000000000005)},
    {"product tie", Operation::multiply, X(0x3FFF, 0x8000000080000000),
     X(0x3FFF, 0x8000000080000000), X(0x3FFF, 0x8000000100000000)},
    {"product above a tie", Operation::multiply, X(0x3FFF, 0xFFFFFFFFFFFFFFFF),
     X(0x3FFF, 0xFFFFFFFFFFFFFFFF), X(0x4000, 0xFFFFFFFFFFFFFFFE)},
    {"one third", Operation::divide, X(0x3FFF, 0x8000000000000000), X(0x4000, 0xC000000000000000),
     X(0x3FFD, 0xAAAAAAAAAAAAAAAB)},
    {"quotient just below one", Operation::divide, X(0x3FFF, 0xFFFFFFFFFFFFFFFE),
     X(0x3FFF, 0xFFFFFFFFFFFFFFFF), X(0x3FFE, 0xFFFFFFFFFFFFFFFF)},
    {"quotient sticky only", Operation::divide, X(0x3FFF, 0x8000000000000000),
     X(0x3FFF, 0x8000000000000001), X(0x3FFE, 0xFFFFFFFFFFFFFFFE)},
    {"subnormal product", Operation::multiply, X(0x0001, 0x8000000000000000),
     X(0x3FFE, 0x8000000000000000), X(0x0000, 0x4000000000000000)},
    {"smallest subnormal", Operation::multiply, X(0x0001, 0x8000000000000000),
     X(0x3FC0, 0x8000000000000000), X(0x0000, 0x0000000000000001)},
    {"half the smallest subnormal ties to zero", Operation::multiply, X(0x0000, 0x0000000000000001),
     X(0x3FFE, 0x8000000000000000), X(0x0000, 0x0000000000000000)},
    {"three quarters of it rounds up", Operation::multiply, X(0x0000, 0x0000000000000001),
     X(0x3FFE, 0xC000000000000000), X(0x0000, 0x0000000000000001)},
    {"subnormal tie to even upward", Operation::multiply, X(0x0000, 0x0000000000000003),
     X(0x3FFE, 0x8000000000000000), X(0x0000, 0x0000000000000002)},
    {"subnormals add to a normal", Operation::add, X(0x0000, 0x7FFFFFFFFFFFFFFF),
     X(0x0000, 0x0000000000000001), X(0x0001, 0x8000000000000000)},
    {"subnormal quotient", Operation::divide, X(0x0001, 0x8000000000000000),
     X(0x4009, 0x8000000000000000), X(0x0000, 0x0020000000000000)},
    {"overflow in a product", Operation::multiply, X(0x7FFE, 0xFFFFFFFFFFFFFFFF),
     X(0x4000, 0x8000000000000000), X(0x7FFF, 0x8000000000000000)},
    {"overflow by rounding", Operation::add, X(0x7FFE, 0xFFFFFFFFFFFFFFFF),
     X(0x7FBE, 0x8000000000000000), X(0x7FFF, 0x8000000000000000)},
    {"negative overflow", Operation::multiply, X(0xFFFE, 0x8000000000000000),
     X(0x4001, 0x8000000000000000), X(0xFFFF, 0x8000000000000000)},
    {"overflow in a quotient", Operation::divide, X(0x7FFE, 0xFFFFFFFFFFFFFFFF),
     X(0x3FFE, 0x8000000000000000), X(0x7FFF, 0x8000000000000000)},
    {"zero plus negative zero", Operation::add, X(0x0000, 0x0000000000000000),
     X(0x8000, 0x0000000000000000), X(0x0000, 0x0000000000000000)},
    {"negative zeros", Operation::add, X(0x8000, 0x0000000000000000), X(0x8000, 0x0000000000000000),
     X(0x8000, 0x0000000000000000)},
    {"x minus x", Operation::subtract, X(0xC005, 0x800000000000004D), X(0xC005, 0x800000000000004D),
     X(0x0000, 0x0000000000000000)},
    {"negative zero times a number", Operation::multiply, X(0x8000, 0x0000000000000000),
     X(0x4001, 0x8000000000000000), X(0x8000, 0x0000000000000000)},
    {"zero over a negative", Operation::divide, X(0x0000, 0x0000000000000000),
     X(0xC001, 0x8000000000000000), X(0x8000, 0x0000000000000000)},
    {"zero minus zero", Operation::subtract, X(0x8000, 0x0000000000000000),
     X(0x8000, 0x0000000000000000), X(0x0000, 0x0000000000000000)},
    {"infinity minus infinity", Operation::subtract, X(0x7FFF, 0x8000000000000000),
     X(0x7FFF, 0x8000000000000000), X(0xFFFF, 0xC000000000000000)},
    {"infinity plus its negative", Operation::add, X(0x7FFF, 0x8000000000000000),
     X(0xFFFF, 0x8000000000000000), X(0xFFFF, 0xC000000000000000)},
    {"infinity times zero", Operation::multiply, X(0xFFFF, 0x8000000000000000),
     X(0x0000, 0x0000000000000000), X(0xFFFF, 0xC000000000000000)},
    {"zero over zero", Operation::divide, X(0x8000, 0x0000000000000000),
     X(0x0000, 0x0000000000000000), X(0xFFFF, 0xC000000000000000)},
    {"infinity over infinity", Operation::divide, X(0x7FFF, 0x8000000000000000),
     X(0xFFFF, 0x8000000000000000), X(0xFFFF, 0xC000000000000000)},
    {"one over zero", Operation::divide, X(0x3FFF, 0x8000000000000000),
     X(0x0000, 0x0000000000000000), X(0x7FFF, 0x8000000000000000)},
    {"one over negative zero", Operation::divide, X(0x3FFF, 0x8000000000000000),
     X(0x8000, 0x0000000000000000), X(0xFFFF, 0x8000000000000000)},
    {"one over infinity", Operation::divide, X(0xBFFF, 0x8000000000000000),
     X(0x7FFF, 0x8000000000000000), X(0x8000, 0x0000000000000000)},
    {"infinity plus a number", Operation::add, X(0xFFFF, 0x8000000000000000),
     X(0x7FFE, 0xFFFFFFFFFFFFFFFF), X(0xFFFF, 0x8000000000000000)},
    {"quiet NaN operand", Operation::add, X(0x7FFF, 0xC000000000000123),
     X(0x3FFF, 0x8000000000000000), X(0x7FFF, 0xC000000000000123)},
    {"signalling NaN is quieted", Operation::multiply, X(0x3FFF, 0x8000000000000000),
     X(0x7FFF, 0x8000000000000456), X(0x7FFF, 0xC000000000000456)},
    {"quiet NaN wins over signalling", Operation::subtract, X(0x7FFF, 0x8000000000000456),
     X(0xFFFF, 0xC000000000000789), X(0xFFFF, 0xC000000000000789)},
    {"larger significand wins", Operation::divide, X(0x7FFF, 0xC000000000000123),
     X(0xFFFF, 0xC000000000000789), X(0xFFFF, 0xC000000000000789)},
    {"equal significands: positive wins", Operation::add, X(0xFFFF, 0xC000000000000123),
     X(0x7FFF, 0xC000000000000123), X(0x7FFF, 0xC000000000000123)},
    {"unnormal operand is invalid", Operation::add, X(0x3FFF, 0x4000000000000000),
     X(0x3FFF, 0x8000000000000000), X(0xFFFF, 0xC000000000000000)},
    {"pseudo-subnormal operand", Operation::add, X(0x0000, 0x8000000000000003),
     X(0x0000, 0x0000000000000001), X(0x0001, 0x8000000000000004)},
};

TEST_F(ExtendedTest, OperationsGiveTheUnitsBitsAtEveryEdge) {
  for (const OperationCase& c : kOperationCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(bitsText(emulatedOperation(c.op, c.a, c.b)), bitsText(c.expected));
#ifdef CO2SIM_HAVE_X87
    EXPECT_EQ(bitsText(nativeOperation(c.op, c.a, c.b)), bitsText(c.expected));
#endif
  }
}

TEST_F(ExtendedTest, ComparisonsOrderSignedZerosInfinitiesAndNaNs) {
  const Extended one(1.0), minusOne(-1.0), zero(0.0), minusZero(-0.0);
  const Extended inf(std::numeric_limits<double>::infinity());
  const Extended nan = Extended(0.0) / Extended(0.0);
  const Extended subnormal = X(0, 1);
  EXPECT_TRUE(zero == minusZero);
  EXPECT_FALSE(zero < minusZero);
  EXPECT_TRUE(minusZero <= zero);
  EXPECT_TRUE(minusOne < minusZero);
  EXPECT_TRUE(zero < subnormal);
  EXPECT_TRUE(-subnormal < minusZero);
  EXPECT_TRUE(one < inf);
  EXPECT_TRUE(-inf < minusOne);
  EXPECT_TRUE(X(0x3FFF, kInteger) < X(0x3FFF, kInteger | 1));
  EXPECT_TRUE(X(0xBFFF, kInteger | 1) < X(0xBFFF, kInteger));
  EXPECT_FALSE(nan == nan);
  EXPECT_TRUE(nan != nan);
  EXPECT_FALSE(nan < one || nan > one || nan <= one || nan >= one);
  EXPECT_FALSE(X(0x3FFF, 0x4000000000000000) == X(0x3FFF, 0x4000000000000000));  // unnormal
}

TEST_F(ExtendedTest, ConversionsToDoubleAndFloatRoundOnceToNearestEven) {
  struct Case {
    const char* name;
    Extended value;
    uint64_t doubleBits;
    uint32_t floatBits;
  };
  const Case cases[] = {
      {"one", X(0x3FFF, kInteger), 0x3FF0000000000000, 0x3F800000},
      {"tie below the double unit", X(0x3FFF, kInteger | 0x400), 0x3FF0000000000000, 0x3F800000},
      {"tie rounds up to even", X(0x3FFF, kInteger | 0xC00), 0x3FF0000000000002, 0x3F800000},
      {"just above a tie", X(0x3FFF, kInteger | 0x401), 0x3FF0000000000001, 0x3F800000},
      {"float tie to even", X(0x3FFF, kInteger | (uint64_t{3} << 39)), 0x3FF0000030000000,
       0x3F800002},
      {"carry to the next power", X(0x3FFF, ~uint64_t{0}), 0x4000000000000000, 0x40000000},
      {"double overflow", X(0x43FF, kInteger), 0x7FF0000000000000, 0x7F800000},
      {"double overflow by rounding", X(0x43FE, ~uint64_t{0}), 0x7FF0000000000000, 0x7F800000},
      {"float overflow by rounding", X(0x407E, 0xFFFFFF8000000000), 0x47EFFFFFF0000000, 0x7F800000},
      {"largest float", X(0x407E, 0xFFFFFF7FFFFFFFFF), 0x47EFFFFFF0000000, 0x7F7FFFFF},
      {"double subnormal", X(0x3BCD, kInteger), 0x0000000000000001, 0},
      {"half the smallest double ties to zero", X(0x3BCC, kInteger), 0, 0},
      {"above half rounds up", X(0x3BCC, kInteger | 1), 0x0000000000000001, 0},
      {"subnormal rounds up to normal", X(0x3C00, ~uint64_t{0}), 0x0010000000000000, 0},
      {"float subnormal", X(0x3F6A, kInteger), 0x36A0000000000000, 0x00000001},
      {"float subnormal tie to even", X(0x3F6A, 0xC000000000000000), 0x36A8000000000000,
       0x00000002},
      {"negative zero", X(0x8000, 0), 0x8000000000000000, 0x80000000},
      {"negative infinity", X(0xFFFF, kInteger), 0xFFF0000000000000, 0xFF800000},
      {"negative tiny", X(0x8001, kInteger), 0x8000000000000000, 0x80000000},
      {"quiet NaN keeps its leading bits", X(0x7FFF, 0xC000080000000000), 0x7FF8000100000000,
       0x7FC00008},
      {"signalling NaN is quieted", X(0xFFFF, 0x8000000000000800), 0xFFF8000000000001, 0xFFC00000},
      {"unnormal gives the default NaN", X(0x3FFF, 0x1234), 0xFFF8000000000000, 0xFFC00000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(bitsOf(static_cast<double>(c.value)), c.doubleBits);
    EXPECT_EQ(bitsOf(static_cast<float>(c.value)), c.floatBits);
#ifdef CO2SIM_HAVE_X87
    EXPECT_EQ(bitsOf(nativeToDouble(c.value)), c.doubleBits);
    EXPECT_EQ(bitsOf(nativeToFloat(c.value)), c.floatBits);
#endif
  }
}

TEST_F(ExtendedTest, ConversionsFromDoubleFloatAndIntegersAreExact) {
  struct Case {
    const char* name;
    Extended converted;
    Extended expected;
  };
  const Case cases[] = {
      {"double one", Extended(1.0), X(0x3FFF, kInteger)},
      {"double tenth", Extended(0.1), X(0x3FFB, 0xCCCCCCCCCCCCD000)},
      {"float tenth", Extended(0.1f), X(0x3FFB, 0xCCCCCD0000000000)},
      {"smallest double", Extended(std::numeric_limits<double>::denorm_min()), X(0x3BCD, kInteger)},
      {"largest double subnormal", Extended(0x0.fffffffffffffp-1022),
       X(0x3C00, 0xFFFFFFFFFFFFF000)},
      {"smallest float", Extended(std::numeric_limits<float>::denorm_min()), X(0x3F6A, kInteger)},
      {"largest float", Extended(std::numeric_limits<float>::max()), X(0x407E, 0xFFFFFF0000000000)},
      {"negative zero", Extended(-0.0), X(0x8000, 0)},
      {"float infinity", Extended(-std::numeric_limits<float>::infinity()), X(0xFFFF, kInteger)},
      {"double NaN", Extended(std::numeric_limits<double>::quiet_NaN()),
       X(0x7FFF, 0xC000000000000000)},
      {"float signalling NaN is quieted", Extended(std::numeric_limits<float>::signaling_NaN()),
       X(0x7FFF, 0xE000000000000000)},
      {"integer zero", Extended(int64_t{0}), X(0, 0)},
      {"integer minus one", Extended(int64_t{-1}), X(0xBFFF, kInteger)},
      {"largest integer", Extended(INT64_MAX), X(0x403D, ~uint64_t{0} - 1)},
      {"smallest integer", Extended(INT64_MIN), X(0xC03E, kInteger)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(bitsText(c.converted), bitsText(c.expected));
  }
#ifdef CO2SIM_HAVE_X87
  EXPECT_EQ(bitsText(nativeFromDouble(0.1)), bitsText(Extended(0.1)));
  EXPECT_EQ(bitsText(nativeFromFloat(std::numeric_limits<float>::signaling_NaN())),
            bitsText(Extended(std::numeric_limits<float>::signaling_NaN())));
  EXPECT_EQ(bitsText(nativeFromInt64(INT64_MAX)), bitsText(Extended(INT64_MAX)));
  EXPECT_EQ(bitsText(nativeFromInt64(INT64_MIN)), bitsText(Extended(INT64_MIN)));
#endif
}

TEST_F(ExtendedTest, IntegralRoundingAndIntegerConversion) {
  struct Case {
    const char* name;
    Extended value;
    double truncated, floored, even;
    int64_t halfAway, toInteger, nearest;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Extended justBelowHalf = X(0x3FFD, ~uint64_t{0});  // 0.5 − 2^-65
  const Case cases[] = {
      {"2.5", Extended(2.5), 2, 2, 2, 3, 2, 2},
      {"3.5", Extended(3.5), 3, 3, 4, 4, 3, 4},
      {"-2.5", Extended(-2.5), -2, -3, -2, -3, -2, -2},
      {"-0.5", Extended(-0.5), -0.0, -1, -0.0, -1, 0, 0},
      {"0.49", Extended(0.49), 0, 0, 0, 0, 0, 0},
      {"957.5", Extended(957.5), 957, 957, 958, 958, 957, 958},
      // x + 1/2 rounds up to 1 in 64 bits, so the pixel is 1, not 0.
      {"just below one half", justBelowHalf, 0, 0, 0, 1, 0, 0},
      {"-0.3", Extended(-0.3), -0.0, -1, -0.0, 0, 0, 0},
      {"negative zero", Extended(-0.0), -0.0, -0.0, -0.0, 0, 0, 0},
      {"2^62 + 0.5", Extended(int64_t{1} << 62) + Extended(0.5), 0x1p62, 0x1p62, 0x1p62,
       (int64_t{1} << 62) + 1, int64_t{1} << 62, int64_t{1} << 62},
      {"2^63 has no integer", Extended(0x1p63), 0x1p63, 0x1p63, 0x1p63, INT64_MIN, INT64_MIN,
       INT64_MIN},
      {"NaN", Extended(nan), nan, nan, nan, INT64_MIN, INT64_MIN, INT64_MIN},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(bitsOf(static_cast<double>(truncate(c.value))), bitsOf(c.truncated));
    EXPECT_EQ(bitsOf(static_cast<double>(floor(c.value))), bitsOf(c.floored));
    EXPECT_EQ(bitsOf(static_cast<double>(roundToEven(c.value))), bitsOf(c.even));
    EXPECT_EQ(static_cast<int64_t>(roundHalfAway(c.value)), c.halfAway);
    EXPECT_EQ(static_cast<int64_t>(c.value), c.toInteger);
    EXPECT_EQ(nearestInt64(c.value), c.nearest);
#ifdef CO2SIM_HAVE_X87
    EXPECT_EQ(bitsText(nativeTruncateToExtended(c.value)), bitsText(truncate(c.value)));
    EXPECT_EQ(bitsText(nativeFloor(c.value)), bitsText(floor(c.value)));
    EXPECT_EQ(bitsText(nativeRoundToEven(c.value)), bitsText(roundToEven(c.value)));
    EXPECT_EQ(nativeRoundHalfAway(c.value), c.halfAway);
    EXPECT_EQ(nativeTruncate(c.value), c.toInteger);
    EXPECT_EQ(nativeNearest(c.value), c.nearest);
#endif
  }
}

// Significands next to the powers of two, the rounding boundaries and the halves of the
// 128-bit product; the subnormal ones are the same patterns with the integer bit cleared.
const uint64_t kBoundarySignificands[] = {
    kInteger,
    kInteger | 1,
    kInteger | 2,
    ~uint64_t{0},
    ~uint64_t{0} - 1,
    0xC000000000000000,
    0xBFFFFFFFFFFFFFFF,
    kInteger | (uint64_t{1} << 31),
    kInteger | 0xFFFFFFFF,
    0xFFFFFFFF00000000,
    0xAAAAAAAAAAAAAAAB,
    kInteger | 0x400,
};

// Folds every result into one digest, so a run without the unit still checks all of them.
struct Digest {
  uint64_t value = 0xCBF29CE484222325;
  void add(Extended x) {
    const uint64_t parts[] = {x.signExponent(), x.significand()};
    for (uint64_t part : parts) {
      value ^= part;
      value *= 0x100000001B3;
    }
  }
};

struct SweepTally {
  Digest digest;
  long operations = 0;
  long mismatches = 0;
  void check(Operation op, Extended a, Extended b) {
    const Extended emulated = emulatedOperation(op, a, b);
    digest.add(emulated);
    ++operations;
#ifdef CO2SIM_HAVE_X87
    const Extended native = nativeOperation(op, a, b);
    if (!sameBits(native, emulated)) {
      if (++mismatches <= 10)
        ADD_FAILURE() << bitsText(a) << " op " << static_cast<int>(op) << " " << bitsText(b)
                      << ": x87 " << bitsText(native) << ", emulated " << bitsText(emulated);
    }
#endif
  }
  void checkAll(Extended a, Extended b) {
    for (Operation op :
         {Operation::add, Operation::subtract, Operation::multiply, Operation::divide})
      check(op, a, b);
  }
};

std::vector<Extended> withExponent(uint16_t field) {
  std::vector<Extended> values;
  for (uint64_t sig : kBoundarySignificands)
    values.push_back(X(field, field == 0 ? sig >> 1 : sig));
  if (field == 0) values.push_back(X(0, 1));
  return values;
}

// Digest of every result of the sweep below, as the x87 unit computes it.
constexpr uint64_t kSweepDigest = 0xEE4BF658B2C6F0E5;

TEST_F(ExtendedTest, DirectedSweepOverBoundarySignificandsAndExponents) {
  SweepTally tally;
  // Alignment: every distance from 0 to 130 binary places, both orders and all signs, so
  // that each guard, round and sticky position and the sticky borrow are met.
  for (int distance = -3; distance <= 130; ++distance) {
    for (uint64_t sa : kBoundarySignificands) {
      for (uint64_t sb : kBoundarySignificands) {
        for (uint16_t signs = 0; signs < 4; ++signs) {
          const Extended a = X(static_cast<uint16_t>(0x3FFF | (signs & 1) << 15), sa);
          const Extended b = X(static_cast<uint16_t>((0x3FFF - distance) | (signs & 2) << 14), sb);
          tally.checkAll(a, b);
          tally.checkAll(b, a);
        }
      }
    }
  }
  // Exponent edges: products and quotients that land next to the subnormal range, the
  // smallest subnormal and the overflow threshold, and sums of subnormals.
  const uint16_t bias = 0x3FFF;
  const uint16_t fields[] = {0,           1,           2,          63,        64,        65,
                             bias - 66,   bias - 65,   bias - 64,  bias - 63, bias - 2,  bias - 1,
                             bias,        bias + 1,    bias + 2,   bias + 63, bias + 64, bias + 65,
                             0x7FFE - 65, 0x7FFE - 64, 0x7FFE - 1, 0x7FFE};
  for (uint16_t fa : fields) {
    for (uint16_t fb : fields) {
      for (const Extended& a : withExponent(fa)) {
        for (const Extended& b : withExponent(fb)) {
          tally.checkAll(a, b);
          tally.checkAll(a, -b);
        }
      }
    }
  }
  RecordProperty("operations", std::to_string(tally.operations));
  EXPECT_EQ(tally.mismatches, 0);
  EXPECT_EQ(tally.digest.value, kSweepDigest) << std::hex << tally.digest.value << " after "
                                              << std::dec << tally.operations << " operations";
}

}  // namespace
