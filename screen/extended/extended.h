// Extended precision as the x87 unit computes it (80-bit format, 64-bit significand, rounding
// to nearest), in integer arithmetic only, so that every processor gives the same bits.
#pragma once
#include <cstdint>

// A number in the 80-bit extended format: a sign, a 15-bit biased exponent and a 64-bit
// significand with an explicit integer bit. Every operation rounds its exact result once to
// nearest, ties to even, with gradual underflow and overflow to infinity. Invalid operations
// give the negative quiet NaN with the significand 0xC000000000000000, as the x87 unit does
// with its exceptions masked; NaN operands propagate as they do there.
class Extended {
 public:
  constexpr Extended() = default;  // +0
  Extended(float value);           // exact
  Extended(double value);          // exact
  Extended(int64_t value);         // exact
  Extended(int32_t value) : Extended(static_cast<int64_t>(value)) {}

  static constexpr Extended fromBits(uint16_t signExponent, uint64_t significand) {
    Extended x;
    x.significand_ = significand;
    x.signExponent_ = signExponent;
    return x;
  }
  uint16_t signExponent() const { return signExponent_; }
  uint64_t significand() const { return significand_; }

  // Rounded once to nearest, ties to even, with the target's subnormals and infinities.
  explicit operator double() const;
  explicit operator float() const;
  // Toward zero. A NaN, an infinity or a value outside the range gives INT64_MIN, the
  // x87 unit's integer indefinite.
  explicit operator int64_t() const;

  bool isNan() const;
  bool isInfinite() const;
  bool isNegative() const { return (signExponent_ & 0x8000) != 0; }

  Extended operator-() const { return fromBits(signExponent_ ^ 0x8000, significand_); }

  friend Extended operator+(Extended a, Extended b);
  friend Extended operator-(Extended a, Extended b);
  friend Extended operator*(Extended a, Extended b);
  friend Extended operator/(Extended a, Extended b);

  // Ordered comparisons: false when either side is a NaN; +0 equals -0.
  friend bool operator==(Extended a, Extended b);
  friend bool operator<(Extended a, Extended b);
  friend bool operator<=(Extended a, Extended b);
  friend bool operator>(Extended a, Extended b) { return b < a; }
  friend bool operator>=(Extended a, Extended b) { return b <= a; }

 private:
  // The memory layout of the x87 format: significand first, then sign and exponent.
  uint64_t significand_ = 0;
  uint16_t signExponent_ = 0;
};

// Integral values in the same format; NaNs, infinities and zeros come back as they are.
Extended truncate(Extended x);  // toward zero
Extended floor(Extended x);
Extended roundToEven(Extended x);  // nearest, ties to even
// The integer part of x + 1/2 (x > 0) or of x − 1/2 (otherwise), the sum rounded to
// extended precision first: 2.5 gives 3, −0.5 gives −1, 0.49 gives 0.
Extended roundHalfAway(Extended x);
// The nearest 64-bit integer, ties to even (INT64_MIN when there is none).
int64_t nearestInt64(Extended x);
