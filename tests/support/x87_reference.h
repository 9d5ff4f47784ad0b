// The processor's own 80-bit arithmetic, where there is one, as the reference that the
// integer implementation of Extended is compared with bit for bit.
#pragma once
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "screen/extended/extended.h"

enum class Operation { add, subtract, multiply, divide };

inline Extended emulatedOperation(Operation op, Extended a, Extended b) {
  switch (op) {
    case Operation::add: return a + b;
    case Operation::subtract: return a - b;
    case Operation::multiply: return a * b;
    case Operation::divide: return a / b;
  }
  return Extended{};
}

inline bool sameBits(Extended a, Extended b) {
  return a.signExponent() == b.signExponent() && a.significand() == b.significand();
}

#if (defined(__x86_64__) || defined(__i386__)) && LDBL_MANT_DIG == 64 && defined(__GNUC__)
#define CO2SIM_HAVE_X87 1

inline long double toNative(Extended x) {
  long double n = 0;
  const uint64_t significand = x.significand();
  const uint16_t signExponent = x.signExponent();
  std::memcpy(&n, &significand, 8);
  std::memcpy(reinterpret_cast<unsigned char*>(&n) + 8, &signExponent, 2);
  return n;
}

inline Extended fromNative(long double n) {
  uint64_t significand = 0;
  uint16_t signExponent = 0;
  std::memcpy(&significand, &n, 8);
  std::memcpy(&signExponent, reinterpret_cast<const unsigned char*>(&n) + 8, 2);
  return Extended::fromBits(signExponent, significand);
}

// The operands arrive through memory, so nothing is folded at compile time.
inline Extended nativeOperation(Operation op, Extended a, Extended b) {
  volatile long double x = toNative(a);
  volatile long double y = toNative(b);
  long double r = 0;
  switch (op) {
    case Operation::add: r = x + y; break;
    case Operation::subtract: r = x - y; break;
    case Operation::multiply: r = x * y; break;
    case Operation::divide: r = x / y; break;
  }
  return fromNative(r);
}

// The unit's own truncating store (no C++ conversion, whose overflow is undefined).
inline int64_t nativeTruncate(Extended a) {
  volatile long double x = toNative(a);
  int64_t r = 0;
  long double copy = x;
  __asm__("fisttpll %0" : "=m"(r) : "t"(copy) : "st");
  return r;
}
inline int64_t nativeNearest(Extended a) {
  volatile long double x = toNative(a);
  int64_t r = 0;
  long double copy = x;
  __asm__("fistpll %0" : "=m"(r) : "t"(copy) : "st");
  return r;
}
inline double nativeToDouble(Extended a) {
  volatile long double x = toNative(a);
  return static_cast<double>(x);
}
inline float nativeToFloat(Extended a) {
  volatile long double x = toNative(a);
  return static_cast<float>(x);
}
inline Extended nativeFromDouble(double d) {
  volatile double v = d;
  return fromNative(static_cast<long double>(v));
}
inline Extended nativeFromFloat(float f) {
  volatile float v = f;
  return fromNative(static_cast<long double>(v));
}
inline Extended nativeFromInt64(int64_t i) {
  volatile int64_t v = i;
  return fromNative(static_cast<long double>(v));
}
inline Extended nativeFloor(Extended a) {
  volatile long double x = toNative(a);
  return fromNative(std::floor(static_cast<long double>(x)));
}
inline Extended nativeTruncateToExtended(Extended a) {
  volatile long double x = toNative(a);
  return fromNative(std::trunc(static_cast<long double>(x)));
}
inline Extended nativeRoundToEven(Extended a) {
  volatile long double x = toNative(a);
  return fromNative(std::nearbyint(static_cast<long double>(x)));
}
// The rounding of a pixel coordinate: the integer part of x ± 1/2.
inline int64_t nativeRoundHalfAway(Extended a) {
  volatile long double x = toNative(a);
  const long double v = x;
  return nativeTruncate(fromNative(v > 0 ? v + 0.5L : v - 0.5L));
}
#endif
