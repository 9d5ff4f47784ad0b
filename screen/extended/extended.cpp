#include "screen/extended/extended.h"

#include <bit>
#include <cstring>
#include <utility>

namespace {

__extension__ typedef unsigned __int128 U128;

constexpr int32_t kBias = 16383;
constexpr uint16_t kTopField = 0x7FFF;
constexpr uint16_t kSignBit = 0x8000;
constexpr uint64_t kIntegerBit = uint64_t{1} << 63;
constexpr uint64_t kQuietBit = uint64_t{1} << 62;
constexpr int64_t kIntegerIndefinite = INT64_MIN;

// What the x87 unit answers to an invalid operation when the exception is masked.
constexpr Extended kDefaultNan = Extended::fromBits(0xFFFF, 0xC000000000000000);

enum class Kind { zero, finite, infinity, nan, unsupported };

// An operand taken apart. A finite value is normalised: its significand has the integer bit
// set and the value is significand · 2^(exponent − 63), subnormals included.
struct Parts {
  Kind kind;
  bool negative;
  int32_t exponent;
  uint64_t significand;
};

Parts unpack(Extended x) {
  const uint16_t field = x.signExponent() & kTopField;
  const bool negative = x.isNegative();
  uint64_t sig = x.significand();
  if (field == kTopField) {
    if (sig == kIntegerBit) return {Kind::infinity, negative, 0, sig};
    // Without the integer bit the encoding is a pseudo-infinity or pseudo-NaN, which the
    // unit refuses as an invalid operand.
    return {(sig & kIntegerBit) != 0 ? Kind::nan : Kind::unsupported, negative, 0, sig};
  }
  if (field == 0) {
    if (sig == 0) return {Kind::zero, negative, 0, 0};
    // Subnormal (or a pseudo-subnormal with the integer bit set): exponent 1 − bias.
    const int shift = std::countl_zero(sig);
    return {Kind::finite, negative, 1 - kBias - shift, sig << shift};
  }
  if ((sig & kIntegerBit) == 0) return {Kind::unsupported, negative, 0, sig};  // unnormal
  return {Kind::finite, negative, field - kBias, sig};
}

// An exact (or, with sticky, slightly larger in magnitude) result before rounding: the
// value is significand · 2^(exponent − 127), plus a nonzero part of the last unit when
// sticky is set.
struct Exact {
  bool negative;
  int32_t exponent;
  U128 significand;
  bool sticky;
};

// A target format of the one rounding routine.
struct Format {
  int precision;
  int32_t minExponent;
  int32_t maxExponent;
};
constexpr Format kExtendedFormat{64, 1 - kBias, kBias};
constexpr Format kDoubleFormat{53, -1022, 1023};
constexpr Format kFloatFormat{24, -126, 127};

// The rounded value: significand · 2^(exponent − precision + 1), with the integer bit at
// bit precision − 1 when normal and clear when subnormal; zero when the significand is.
struct Rounded {
  bool negative;
  bool infinite;
  int32_t exponent;
  uint64_t significand;
};

int countLeadingZeros(U128 v) {
  const auto high = static_cast<uint64_t>(v >> 64);
  if (high != 0) return std::countl_zero(high);
  return 64 + std::countl_zero(static_cast<uint64_t>(v));
}

// Round to nearest, ties to even, for every format: subnormal results are shifted to the
// smallest exponent first (gradual underflow), and a result beyond the largest exponent
// becomes infinite.
Rounded roundTo(Exact v, const Format& f) {
  if (v.significand == 0) return {v.negative, false, 0, 0};
  const int leading = countLeadingZeros(v.significand);
  v.significand <<= leading;
  v.exponent -= leading;
  if (v.exponent < f.minExponent) {
    const int64_t shift = int64_t{f.minExponent} - v.exponent;
    if (shift >= 128) {
      v.sticky = true;
      v.significand = 0;
    } else {
      v.sticky = v.sticky || (v.significand << (128 - shift)) != 0;
      v.significand >>= shift;
    }
    v.exponent = f.minExponent;
  }
  const int drop = 128 - f.precision;
  U128 kept = v.significand >> drop;
  const U128 rest = v.significand & ((U128{1} << drop) - 1);
  const U128 half = U128{1} << (drop - 1);
  const bool up = rest > half || (rest == half && (v.sticky || (kept & 1) != 0));
  if (up) {
    ++kept;
    if ((kept >> f.precision) != 0) {
      kept >>= 1;
      ++v.exponent;
    }
  }
  if (v.exponent > f.maxExponent) return {v.negative, true, 0, 0};
  return {v.negative, false, v.exponent, static_cast<uint64_t>(kept)};
}

Extended packExtended(const Rounded& r) {
  const uint16_t sign = r.negative ? kSignBit : 0;
  if (r.infinite) return Extended::fromBits(sign | kTopField, kIntegerBit);
  if (r.significand == 0) return Extended::fromBits(sign, 0);
  const bool normal = (r.significand & kIntegerBit) != 0;
  const auto field = static_cast<uint16_t>(normal ? r.exponent + kBias : 0);
  return Extended::fromBits(sign | field, r.significand);
}

Extended roundToExtended(const Exact& v) { return packExtended(roundTo(v, kExtendedFormat)); }

Exact exactOf(const Parts& p) { return {p.negative, p.exponent, U128{p.significand} << 64, false}; }

Extended quieted(Extended nan) {
  return Extended::fromBits(nan.signExponent(), nan.significand() | kQuietBit);
}

// The NaN an operation with at least one NaN or unsupported operand gives: an unsupported
// encoding is invalid; a quiet NaN wins over a signalling one; of two NaNs of the same kind
// the one with the larger significand wins, and on a tie the positive one.
Extended nanResult(Extended a, const Parts& pa, Extended b, const Parts& pb) {
  if (pa.kind == Kind::unsupported || pb.kind == Kind::unsupported) return kDefaultNan;
  if (pa.kind != Kind::nan) return quieted(b);
  if (pb.kind != Kind::nan) return quieted(a);
  const bool quietA = (a.significand() & kQuietBit) != 0;
  const bool quietB = (b.significand() & kQuietBit) != 0;
  if (quietA != quietB) return quietA ? a : b;
  if (a.significand() != b.significand()) return quieted(b.significand() > a.significand() ? b : a);
  return quieted(a.isNegative() ? b : a);
}

bool isSpecial(const Parts& p) { return p.kind == Kind::nan || p.kind == Kind::unsupported; }

Extended sum(Extended a, Extended b, bool subtract) {
  Parts x = unpack(a);
  Parts y = unpack(b);
  if (isSpecial(x) || isSpecial(y)) return nanResult(a, x, b, y);
  if (subtract) y.negative = !y.negative;
  if (x.kind == Kind::infinity || y.kind == Kind::infinity) {
    if (x.kind == Kind::infinity && y.kind == Kind::infinity && x.negative != y.negative)
      return kDefaultNan;
    const bool negative = x.kind == Kind::infinity ? x.negative : y.negative;
    return Extended::fromBits((negative ? kSignBit : 0) | kTopField, kIntegerBit);
  }
  if (y.kind == Kind::zero) {
    if (x.kind == Kind::zero) return Extended::fromBits(x.negative && y.negative ? kSignBit : 0, 0);
    return roundToExtended(exactOf(x));
  }
  if (x.kind == Kind::zero) return roundToExtended(exactOf(y));

  // x is the larger in magnitude, so the result takes its sign.
  if (x.exponent < y.exponent || (x.exponent == y.exponent && x.significand < y.significand))
    std::swap(x, y);
  if (x.negative != y.negative && x.exponent == y.exponent && x.significand == y.significand)
    return Extended{};  // exact cancellation gives +0 when rounding to nearest
  // Integer bits at bit 126, so that a carry has room in bit 127.
  const U128 larger = U128{x.significand} << 63;
  U128 smaller = U128{y.significand} << 63;
  const int64_t distance = int64_t{x.exponent} - y.exponent;
  bool sticky = false;
  if (distance >= 127) {
    sticky = true;
    smaller = 0;
  } else if (distance > 0) {
    sticky = (smaller & ((U128{1} << distance) - 1)) != 0;
    smaller >>= distance;
  }
  // Bits shifted out of the smaller operand make it a little larger than what is left of
  // it, so a difference must borrow one unit; the sticky bit then stands for the rest.
  const U128 total =
      x.negative == y.negative ? larger + smaller : larger - smaller - (sticky ? 1 : 0);
  return roundToExtended({x.negative, x.exponent + 1, total, sticky});
}

Extended infinity(bool negative) {
  return Extended::fromBits((negative ? kSignBit : 0) | kTopField, kIntegerBit);
}
Extended zero(bool negative) { return Extended::fromBits(negative ? kSignBit : 0, 0); }

// −1, 0 or 1 for a < b, a = b, a > b; 2 when unordered.
int compare(Extended a, Extended b) {
  const Parts x = unpack(a);
  const Parts y = unpack(b);
  if (isSpecial(x) || isSpecial(y)) return 2;
  if (x.kind == Kind::zero && y.kind == Kind::zero) return 0;
  // Magnitude order: zero, finite by exponent and significand, infinity.
  const auto rank = [](const Parts& p) {
    return p.kind == Kind::zero ? 0 : p.kind == Kind::finite ? 1 : 2;
  };
  int magnitude = 0;  // sign of |a| − |b|
  if (rank(x) != rank(y)) {
    magnitude = rank(x) < rank(y) ? -1 : 1;
  } else if (x.kind == Kind::finite) {
    if (x.exponent != y.exponent) {
      magnitude = x.exponent < y.exponent ? -1 : 1;
    } else if (x.significand != y.significand) {
      magnitude = x.significand < y.significand ? -1 : 1;
    }
  }
  const bool negativeX = x.kind != Kind::zero && x.negative;
  const bool negativeY = y.kind != Kind::zero && y.negative;
  if (negativeX != negativeY) return negativeX ? -1 : 1;
  return negativeX ? -magnitude : magnitude;
}

// A NaN in a narrower format from an extended one: sign and the leading fraction bits,
// made quiet; an unsupported encoding gives the default NaN.
uint64_t narrowNanFraction(const Parts& p, int fractionBits) {
  const uint64_t fraction = p.kind == Kind::unsupported ? kQuietBit : (p.significand | kQuietBit);
  return (fraction << 1) >> (64 - fractionBits);
}

// The parts of a binary format (float or double) as an extended value.
Extended widen(bool negative, uint32_t field, uint64_t fraction, int fractionBits,
               uint32_t topField, int32_t bias) {
  const uint16_t sign = negative ? kSignBit : 0;
  const int shift = 63 - fractionBits;
  if (field == topField) {
    if (fraction == 0) return infinity(negative);
    return Extended::fromBits(sign | kTopField, kIntegerBit | kQuietBit | (fraction << shift));
  }
  if (field == 0) {
    if (fraction == 0) return zero(negative);
    const int leading = std::countl_zero(fraction);
    const int32_t exponent = 1 - bias - (leading - shift);
    return Extended::fromBits(sign | static_cast<uint16_t>(exponent + kBias), fraction << leading);
  }
  const int32_t exponent = static_cast<int32_t>(field) - bias;
  return Extended::fromBits(sign | static_cast<uint16_t>(exponent + kBias),
                            kIntegerBit | (fraction << shift));
}

// Rounds x to the integer below its lowest kept bit using `decide(kept, rest, half)`, which
// says whether to add one to the integer part.
template <class Decide>
Extended integral(Extended x, Decide decide) {
  const Parts p = unpack(x);
  if (isSpecial(p)) return quieted(p.kind == Kind::unsupported ? kDefaultNan : x);
  if (p.kind != Kind::finite || p.exponent >= 63) return x;
  // With the significand widened to 128 bits the value is wide · 2^(exponent − 127), so
  // 127 − exponent bits lie below the binary point.
  const U128 wide = U128{p.significand} << 64;
  const int64_t fractionBits = 127 - int64_t{p.exponent};
  U128 kept = 0;
  U128 rest = wide;
  U128 half = U128{1} << 127;
  if (fractionBits < 128) {
    kept = wide >> fractionBits;
    rest = wide & ((U128{1} << fractionBits) - 1);
    half = U128{1} << (fractionBits - 1);
  } else if (fractionBits > 128) {
    rest = 1;  // nonzero, and below one half
    half = ~U128{0};
  }
  if (decide(kept, rest, half)) ++kept;
  return roundToExtended({p.negative, 127, kept, false});
}

}  // namespace

Extended::Extended(float value) {
  uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  *this = widen((bits >> 31) != 0, (bits >> 23) & 0xFF, bits & 0x7FFFFF, 23, 0xFF, 127);
}

Extended::Extended(double value) {
  uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  *this = widen((bits >> 63) != 0, static_cast<uint32_t>((bits >> 52) & 0x7FF),
                bits & ((uint64_t{1} << 52) - 1), 52, 0x7FF, 1023);
}

Extended::Extended(int64_t value) {
  if (value == 0) return;
  const bool negative = value < 0;
  const uint64_t magnitude =
      negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  const int leading = std::countl_zero(magnitude);
  *this = fromBits(static_cast<uint16_t>((negative ? kSignBit : 0) | (63 - leading + kBias)),
                   magnitude << leading);
}

Extended::operator double() const {
  const Parts p = unpack(*this);
  uint64_t bits = 0;
  if (isSpecial(p)) {
    const bool negative = p.kind == Kind::unsupported || p.negative;
    bits = (uint64_t{negative} << 63) | (uint64_t{0x7FF} << 52) | narrowNanFraction(p, 52);
  } else if (p.kind == Kind::infinity) {
    bits = (uint64_t{p.negative} << 63) | (uint64_t{0x7FF} << 52);
  } else if (p.kind == Kind::zero) {
    bits = uint64_t{p.negative} << 63;
  } else {
    const Rounded r = roundTo(exactOf(p), kDoubleFormat);
    bits = uint64_t{r.negative} << 63;
    if (r.infinite) {
      bits |= uint64_t{0x7FF} << 52;
    } else if (r.significand != 0) {
      const bool normal = (r.significand >> 52) != 0;
      const uint64_t field = normal ? static_cast<uint64_t>(r.exponent + 1023) : 0;
      bits |= (field << 52) | (r.significand & ((uint64_t{1} << 52) - 1));
    }
  }
  double result = 0;
  std::memcpy(&result, &bits, sizeof result);
  return result;
}

Extended::operator float() const {
  const Parts p = unpack(*this);
  uint32_t bits = 0;
  if (isSpecial(p)) {
    const bool negative = p.kind == Kind::unsupported || p.negative;
    bits = (uint32_t{negative} << 31) | (uint32_t{0xFF} << 23) |
           static_cast<uint32_t>(narrowNanFraction(p, 23));
  } else if (p.kind == Kind::infinity) {
    bits = (uint32_t{p.negative} << 31) | (uint32_t{0xFF} << 23);
  } else if (p.kind == Kind::zero) {
    bits = uint32_t{p.negative} << 31;
  } else {
    const Rounded r = roundTo(exactOf(p), kFloatFormat);
    bits = uint32_t{r.negative} << 31;
    if (r.infinite) {
      bits |= uint32_t{0xFF} << 23;
    } else if (r.significand != 0) {
      const bool normal = (r.significand >> 23) != 0;
      const uint32_t field = normal ? static_cast<uint32_t>(r.exponent + 127) : 0;
      bits |= (field << 23) | static_cast<uint32_t>(r.significand & 0x7FFFFF);
    }
  }
  float result = 0;
  std::memcpy(&result, &bits, sizeof result);
  return result;
}

Extended::operator int64_t() const {
  const Parts p = unpack(*this);
  if (p.kind == Kind::zero) return 0;
  if (p.kind != Kind::finite) return kIntegerIndefinite;
  if (p.exponent < 0) return 0;
  if (p.exponent > 62) return kIntegerIndefinite;  // only −2^63 fits, and it is that value
  const uint64_t magnitude = p.significand >> (63 - p.exponent);
  return p.negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
}

bool Extended::isNan() const {
  const Kind kind = unpack(*this).kind;
  return kind == Kind::nan || kind == Kind::unsupported;
}
bool Extended::isInfinite() const { return unpack(*this).kind == Kind::infinity; }

Extended operator+(Extended a, Extended b) { return sum(a, b, false); }
Extended operator-(Extended a, Extended b) { return sum(a, b, true); }

Extended operator*(Extended a, Extended b) {
  const Parts x = unpack(a);
  const Parts y = unpack(b);
  if (isSpecial(x) || isSpecial(y)) return nanResult(a, x, b, y);
  const bool negative = x.negative != y.negative;
  if (x.kind == Kind::infinity || y.kind == Kind::infinity) {
    if (x.kind == Kind::zero || y.kind == Kind::zero) return kDefaultNan;
    return infinity(negative);
  }
  if (x.kind == Kind::zero || y.kind == Kind::zero) return zero(negative);
  // The exact 128-bit product of two significands in [2^63, 2^64) lies in [2^126, 2^128).
  const U128 product = U128{x.significand} * y.significand;
  return roundToExtended({negative, x.exponent + y.exponent + 1, product, false});
}

Extended operator/(Extended a, Extended b) {
  const Parts x = unpack(a);
  const Parts y = unpack(b);
  if (isSpecial(x) || isSpecial(y)) return nanResult(a, x, b, y);
  const bool negative = x.negative != y.negative;
  if (x.kind == Kind::infinity) return y.kind == Kind::infinity ? kDefaultNan : infinity(negative);
  if (y.kind == Kind::infinity) return zero(negative);
  if (y.kind == Kind::zero) return x.kind == Kind::zero ? kDefaultNan : infinity(negative);
  if (x.kind == Kind::zero) return zero(negative);
  // A 128-bit quotient with its leading bit at bit 127, in two long divisions of 64 bits
  // each; what remains is the sticky bit.
  const bool shifted = x.significand >= y.significand;
  const U128 numerator = U128{x.significand} << (shifted ? 63 : 64);
  const U128 high = numerator / y.significand;
  const U128 remainder = numerator % y.significand;
  const U128 low = (remainder << 64) / y.significand;
  const bool sticky = (remainder << 64) % y.significand != 0;
  const int32_t exponent = x.exponent - y.exponent - (shifted ? 0 : 1);
  return roundToExtended({negative, exponent, (high << 64) | low, sticky});
}

bool operator==(Extended a, Extended b) { return compare(a, b) == 0; }
bool operator<(Extended a, Extended b) { return compare(a, b) == -1; }
bool operator<=(Extended a, Extended b) {
  const int c = compare(a, b);
  return c == -1 || c == 0;
}

Extended truncate(Extended x) {
  return integral(x, [](U128, U128, U128) { return false; });
}

Extended floor(Extended x) {
  const bool negative = x.isNegative();
  return integral(x, [negative](U128, U128 rest, U128) { return negative && rest != 0; });
}

Extended roundToEven(Extended x) {
  return integral(x, [](U128 kept, U128 rest, U128 half) {
    return rest > half || (rest == half && (kept & 1) != 0);
  });
}

Extended roundHalfAway(Extended x) {
  const Extended half(0.5);
  return truncate(x > Extended{} ? x + half : x - half);
}

int64_t nearestInt64(Extended x) { return static_cast<int64_t>(roundToEven(x)); }
