// The entry form: asks for the lowest and highest emission and the fire reduction, and
// repeats the whole form, without a message, until the three are acceptable together.
#include <string_view>

#include "screen/screen.h"
#include "simulator/page_tools.h"
#include "simulator/pages.h"
#include "simulator/variables.h"

namespace {
constexpr int32_t kLightGreen = 0x88FF88;

constexpr std::string_view kHeading = " ENTRADA DE VARIABLES PARA SIMULACION: ";
constexpr std::string_view kEntryField = "     ";
constexpr std::string_view kFromPrompt =
    "SIMULACION PARA EMISIONES GLOBAL DE CO2 (en MILES MILL.Tm) DESDE (2-58): ";
constexpr std::string_view kToPrompt = "  HASTA (3-59): ";
constexpr std::string_view kPercentPrompt =
    "         Entre reduccion porcentual de incendios para calculo (0-100%): ";
// Each prompt ends in column 76, so typing starts in the entry field at column 77.
static_assert(kFromPrompt.size() == 73 && kToPrompt.size() == 16 && kPercentPrompt.size() == 72);

bool parametersAcceptable() {
  return emissionFrom > 1 && emissionTo > emissionFrom && emissionTo < 60 && fireCutPercent > 0 &&
         fireCutPercent < 100;
}

// The underscore runs from column 5 to 61; rows 31 and 33 are swept in white, row 29 in
// the colours in force.
void formSweep(int32_t row) {
  for (sweepColumn = 4; sweepColumn <= 60; sweepColumn = plusOne(sweepColumn)) {
    sleepMs(2);
    locate(row, nearestInteger(sweepColumn), -1);
    if (row == 31 || row == 33) setColour(kWhite, kBlack);
    printText(" _", true);
  }
}

void entryField(int32_t row) {
  locate(row, 77, -1);
  setColour(kBlack, kLightGreen);
  printText(kEntryField, true);
}

void prompt(int32_t row, int32_t column, std::string_view text) {
  locate(row, column, -1);
  setColour(kWhite, kBlack);
  printText(text, false);
}

void enterValue(float& value, int32_t addLineEnd) {
  setColour(kBlack, kLightGreen);
  inputLine("", 0, addLineEnd);
  inputSingle(value);
}

// One row of the form: where its prompt starts, the prompt, the variable the typed number
// goes to, and whether a line end follows the entry (not after the first).
struct FormRow {
  int32_t row;
  int32_t promptColumn;
  std::string_view prompt;
  float& value;
  int32_t addLineEnd;
};

constexpr FormRow kFormRows[] = {
    {29, 4, kFromPrompt, emissionFrom, 0},
    {31, 61, kToPrompt, emissionTo, 1},
    {33, 5, kPercentPrompt, fireCutPercent, 1},
};

void onePass() {
  for (const FormRow& row : kFormRows) {
    formSweep(row.row);
    entryField(row.row);
    prompt(row.row, row.promptColumn, row.prompt);
    enterValue(row.value, row.addLineEnd);
  }
  setColour(kWhite, kBlack);
  clearScreen();
}
}  // namespace

void runEntryForm() {
  locate(25, 3, -1);
  setColour(kBlack, kLightGreen);
  printText(kHeading, true);
  setColour(kLightGreen, kBlack);
  drawLine(nullptr, 16, 400, 1007, 590, kCurrentForeground, 1, 0xFFFF, 0);
  // Zero makes the first test fail, so every run shows the form at least once.
  emissionFrom = 0;
  emissionTo = 0;
  while (!parametersAcceptable()) onePass();
}
