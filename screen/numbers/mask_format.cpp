// Masked number texts: reading the picture (literal runs and numeric fields) and building
// the text of one value through a field.
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>
#include <string_view>

#include "screen/numbers/float_chars.h"
#include "screen/numbers/mask_format.h"

namespace {

constexpr std::string_view kFieldCharacters = "!#$&*+,.\\";
constexpr int kNone = -1;

// The mask character `offset` places after the current one, or kNone past the end.
int maskChar(const MaskState& mask, size_t offset) {
  if (offset >= mask.maskLeft) return kNone;
  return static_cast<unsigned char>(mask.maskText[mask.maskPos + offset]);
}

void consume(MaskState& mask) {
  ++mask.maskPos;
  --mask.maskLeft;
}

// Decimal exponent of a positive finite value, taken from its shortest round-trip text so
// that a value written as a power of ten (1000, 0.001, 1e23) gets exactly that exponent.
int decimalExponent(double value) {
  const std::string scientific = scientificChars(value);
  std::string_view text(scientific);
  std::string_view exponent = text.substr(text.find('e') + 1);
  if (!exponent.empty() && exponent.front() == '+') exponent.remove_prefix(1);
  int e = 0;
  std::from_chars(exponent.data(), exponent.data() + exponent.size(), e);
  return e;
}

// value * 10^power in steps, so that a very small or very large power does not overflow
// or lose the value in a subnormal factor.
double scaleByPowerOfTen(double value, int power) {
  while (power > 300) {
    value *= 1e300;
    power -= 300;
  }
  while (power < -300) {
    value *= 1e-300;
    power += 300;
  }
  return value * std::pow(10.0, power);
}

std::string signedDigits(int value) {
  char buffer[16];
  buffer[0] = value < 0 ? '-' : '+';
  auto result = std::to_chars(buffer + 1, buffer + sizeof buffer, std::abs(value));
  return std::string(buffer, result.ptr);
}

// "e", the sign and the digits of the power, fitted to `places` characters.
std::string exponentText(int power, int places) {
  std::string text("e");
  text += signedDigits(power);
  size_t wanted = static_cast<size_t>(places);
  if (text.size() > wanted) {
    if (places > 2)
      text = text.substr(0, 2) + text.substr(text.size() - (wanted - 2));
    else
      text.resize(wanted);
  } else if (text.size() < wanted) {
    text.insert(2, wanted - text.size(), '0');
  }
  return text;
}

// Infinite and not-a-number values have no digits: a short word, right-aligned in the
// field so that table columns stay in place.
std::string nonFiniteText(const NumberField& field, double value) {
  std::string text = std::isnan(value) ? "nan" : value < 0 ? "-inf" : "inf";
  size_t width = static_cast<size_t>(field.intPlaces);
  if (field.decPlaces > 0) width += static_cast<size_t>(field.decPlaces) + 1;
  if (width > text.size()) text.insert(0, width - text.size(), field.fillChar);
  return text;
}

}  // namespace

void beginMask(MaskState& mask, std::string_view text) {
  mask.maskText.assign(text);
  mask.maskPos = 0;
  mask.maskLeft = mask.maskText.size();
}

void releaseMask(MaskState& mask) {
  mask.maskText.clear();
  mask.maskText.shrink_to_fit();
  mask.maskPos = 0;
  mask.maskLeft = 0;
}

std::string literalRun(MaskState& mask) {
  std::string text;
  while (mask.maskLeft > 0) {
    char ch = mask.maskText[mask.maskPos];
    if (kFieldCharacters.find(ch) != std::string_view::npos) break;
    consume(mask);
    if (ch == '_') {
      // The escaped character is printed whatever it is; a final "_" prints nothing.
      if (mask.maskLeft == 0) break;
      ch = mask.maskText[mask.maskPos];
      consume(mask);
    }
    text += ch;
  }
  return text;
}

NumberField readNumberField(MaskState& mask) {
  NumberField field;
  int prev = kNone;
  while (mask.maskLeft > 0) {
    int ch = maskChar(mask, 0);
    int next = maskChar(mask, 1);
    bool taken = true;
    switch (ch) {
      case '#':
        if (field.decPlaces == -1)
          ++field.intPlaces;
        else
          ++field.decPlaces;
        break;
      case '.': field.decPlaces = 0; break;
      case ',':
        if (next == '#') {
          if (!field.groupThousands) ++field.intPlaces;  // only the first grouping comma
          field.groupThousands = true;
        } else {
          field.trailingComma = true;
        }
        break;
      case '+':
        // A "+" before any digit place is swallowed.
        if (field.intPlaces > 0) field.signAtEnd = true;
        break;
      case '*':
        if (next == '*' || prev == '*')
          field.fillChar = '*';
        else
          taken = false;
        break;
      case '$':
        if (next == '$' || prev == '$' || prev == '*')
          field.dollarSign = true;
        else
          taken = false;
        break;
      case '^':
        ++field.expPlaces;
        field.expForm = true;
        break;
      default: taken = false; break;
    }
    if (!taken) break;
    prev = ch;
    consume(mask);
  }
  return field;
}

std::string fieldText(const NumberField& field, double value) {
  if (!std::isfinite(value)) return nonFiniteText(field, value);
  // Negative zero is shown as zero: "-0.00" would suggest a value below zero.
  if (value == 0) value = 0.0;

  int digits = field.decPlaces > 0 ? field.intPlaces + field.decPlaces : field.intPlaces;
  if (digits < 1) digits = 1;
  if (digits > 15) digits = 15;

  // A positive value too wide (or too small) for the integer places is shown as a mantissa
  // and a power of ten. Negative values are only ever widened.
  int power = 0;
  if (value > 0) {
    int e = decimalExponent(value);
    if (std::abs(e) > field.intPlaces) {
      power = e - field.intPlaces + 1;
      value = scaleByPowerOfTen(value, -power);
      // Only a field of more than 300 integer places can overflow here.
      if (!std::isfinite(value)) return nonFiniteText(field, value);
    }
  }

  std::string text = fixedChars(value, digits);
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }

  if (field.intPlaces == 0 && !text.empty() && text.front() == '0') text.erase(0, 1);
  bool negative = !text.empty() && text.front() == '-';
  if (negative) text.erase(0, 1);

  size_t point = text.find('.');
  size_t integerLength = point == std::string::npos ? text.size() : point;
  if (point == std::string::npos && field.decPlaces > 0) text += '.';

  if (field.groupThousands) {
    for (size_t at = integerLength; at > 3;) {
      at -= 3;
      text.insert(at, 1, ',');
    }
    if (integerLength > 0) integerLength += (integerLength - 1) / 3;
  }
  if (field.dollarSign) text.insert(0, 1, '$');
  if (negative && !field.signAtEnd) {
    text.insert(0, 1, '-');
    ++integerLength;
  }
  size_t places = static_cast<size_t>(field.intPlaces);
  if (places > integerLength) text.insert(0, places - integerLength, field.fillChar);

  point = text.find('.');
  if (field.decPlaces <= 0) {
    if (point != std::string::npos) text.resize(point);
  } else {
    // Cutting does not round again: the value was rounded at `digits` decimals.
    text.resize(point + 1 + static_cast<size_t>(field.decPlaces), '0');
  }

  if (field.expForm) {
    text += exponentText(power, field.expPlaces);
    power = 0;
  }
  if (negative && field.signAtEnd) text += '-';
  if (field.trailingComma) text += ',';
  if (power != 0) text += "%e" + signedDigits(power);
  return text;
}

std::string maskedText(MaskState& mask, double value) {
  if (mask.maskLeft == 0) {
    mask.maskPos = 0;
    mask.maskLeft = mask.maskText.size();
  }
  std::string text = literalRun(mask);
  NumberField field = readNumberField(mask);
  text += fieldText(field, value);
  text += literalRun(mask);
  return text;
}

std::string maskEndText(MaskState& mask) {
  std::string text = literalRun(mask);
  releaseMask(mask);
  return text;
}
