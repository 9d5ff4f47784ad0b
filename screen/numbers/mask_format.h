// The masked (picture) form of a number, without a screen: a picture is read field by field
// and each value is shown through the next field. The mask operations print what these return.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// The current picture: an owned copy, the next character to read and how many are left.
// When maskLeft reaches 0 the next value starts again from the beginning.
struct MaskState {
  std::string maskText;
  size_t maskPos = 0;
  size_t maskLeft = 0;
};

// One numeric field, read afresh from the picture for each value.
struct NumberField {
  int intPlaces = 0;
  int decPlaces = -1;  // -1 while no decimal point has been read
  int expPlaces = 0;
  bool expForm = false;
  char fillChar = ' ';
  bool groupThousands = false;
  bool dollarSign = false;
  bool signAtEnd = false;
  bool trailingComma = false;
};

// Replaces any picture held and starts at its first character.
void beginMask(MaskState& mask, std::string_view text);
// Forgets the picture: nothing is held afterwards.
void releaseMask(MaskState& mask);
// Literal characters up to the next field character ("_" takes the next one as it is).
std::string literalRun(MaskState& mask);
// Consumes the characters of one numeric field.
NumberField readNumberField(MaskState& mask);
// The text of one value shown through a field.
std::string fieldText(const NumberField& field, double value);
// What one masked value prints: restart if used up, literal run, field, literal run.
std::string maskedText(MaskState& mask, double value);
// What the end of a masked statement prints (the trailing literal run); releases the mask.
std::string maskEndText(MaskState& mask);
