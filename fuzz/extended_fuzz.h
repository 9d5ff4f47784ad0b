// Arbitrary 80-bit operands (any bits: NaNs, subnormals, unsupported encodings) through
// Extended's operations, conversions and roundings, checked bit for bit against the x87 unit
// where there is one, and against exact identities everywhere.
#pragma once
#include <cmath>
#include <cstdint>
#include <cstring>

#include "fuzz/fuzz_input.h"
#include "screen/extended/extended.h"
#include "screen/extended/fpu_control.h"
#include "tests/support/x87_reference.h"

inline bool sameDoubleBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }
inline bool sameFloatBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

inline void extendedFuzzPair(Extended a, Extended b) {
  const Operation operations[] = {Operation::add, Operation::subtract, Operation::multiply,
                                  Operation::divide};
#ifdef CO2SIM_HAVE_X87
  for (Operation op : operations)
    if (!sameBits(emulatedOperation(op, a, b), nativeOperation(op, a, b))) FUZZ_FAIL();
  const long double na = toNative(a), nb = toNative(b);
  if ((a < b) != (na < nb) || (a == b) != (na == nb) || (a <= b) != (na <= nb)) FUZZ_FAIL();
  if (!sameDoubleBits(static_cast<double>(a), nativeToDouble(a))) FUZZ_FAIL();
  if (!sameFloatBits(static_cast<float>(a), nativeToFloat(a))) FUZZ_FAIL();
  if (static_cast<int64_t>(a) != nativeTruncate(a)) FUZZ_FAIL();
  if (nearestInt64(a) != nativeNearest(a)) FUZZ_FAIL();
  if (!sameBits(floor(a), nativeFloor(a))) FUZZ_FAIL();
  if (!sameBits(roundToEven(a), nativeRoundToEven(a))) FUZZ_FAIL();
  if (!sameBits(truncate(a), nativeTruncateToExtended(a))) FUZZ_FAIL();
#else
  (void)operations;
#endif
  // Identities that hold bit for bit on the unit, NaNs included.
  if (!sameBits(a + b, b + a) || !sameBits(a * b, b * a)) FUZZ_FAIL();
  if (!b.isNan() && !sameBits(a - b, a + (-b))) FUZZ_FAIL();
  if ((a < b) && (b <= a)) FUZZ_FAIL();
}

inline int extendedFuzzOne(const uint8_t* data, size_t size) {
  setExtendedPrecision();
  FuzzInput input(data, size);
  while (input.left() >= 20) {
    const uint64_t sa = input.take<uint64_t>();
    const uint16_t ea = input.take<uint16_t>();
    const uint64_t sb = input.take<uint64_t>();
    const uint16_t eb = input.take<uint16_t>();
    extendedFuzzPair(Extended::fromBits(ea, sa), Extended::fromBits(eb, sb));
  }
  // The rest as a double, a float and an integer: exact conversions in and out.
  const double d = input.take<double>();
  const float f = input.take<float>();
  const int64_t i = input.take<int64_t>();
#ifdef CO2SIM_HAVE_X87
  if (!sameBits(Extended(d), nativeFromDouble(d)) || !sameBits(Extended(f), nativeFromFloat(f)) ||
      !sameBits(Extended(i), nativeFromInt64(i)))
    FUZZ_FAIL();
#endif
  if (!std::isnan(d) && !sameDoubleBits(static_cast<double>(Extended(d)), d)) FUZZ_FAIL();
  if (!std::isnan(f) && !sameFloatBits(static_cast<float>(Extended(f)), f)) FUZZ_FAIL();
  if (static_cast<int64_t>(Extended(i)) != i) FUZZ_FAIL();
  return 0;
}
