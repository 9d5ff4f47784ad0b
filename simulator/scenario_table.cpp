// The scenario table: one animated row per emission level in steps of 0.01, in a band of
// rows 6 to 39 that wraps with a tone, then the end-of-run prompt and its key wait.
#include <string>
#include <string_view>

#include "screen/screen.h"
#include "simulator/figures.h"
#include "simulator/page_tools.h"
#include "simulator/pages.h"
#include "simulator/table_layout.h"
#include "simulator/variables.h"

namespace {
constexpr float kLastBandRow = 39;
constexpr float kRowBeforeBand = 5;
constexpr float kLastSweepColumn = 105;

constexpr std::string_view kStopNotice = " > Proceso interrupido por el usuario. FIN DE IMPRESION";
constexpr std::string_view kEndPrompt =
    " > Pulse una tecla para nueva simulacion. ESPACIO para salir";

// tableRow is program-wide: the results page leaves it on the row above the band, and each
// row here steps it first.
int32_t currentRow() { return nearestInteger(tableRow); }

bool evenRow() {
  const Extended half = Extended(tableRow) / Extended(2);
  return half == floor(half);
}
int32_t levelColour() { return evenRow() ? 0xAA0000 : 0xFF0000; }
int32_t fireColour() { return evenRow() ? 0x00EE00 : 0xAAEEAA; }

void sweepRow() {
  sweepColumn = 2;
  do {
    sleepMs(2);
    locate(currentRow(), nearestInteger(sweepColumn), -1);
    printText(" #", true);
    // The sweep's cells keep covering the frame's column lines.
    setColour(kTableGreen, kBlack);
    drawColumnLines();
    sweepColumn = plusOne(sweepColumn);
  } while (!(sweepColumn > kLastSweepColumn));
}

// Where a hypothesis's figures go in a row, and the colour of its final emission.
struct Hypothesis {
  const float& share;
  int32_t fireColumn;
  int32_t cutColumn;
  int32_t finalColumn;
  int32_t finalColour;
};

constexpr Hypothesis kHypotheses[] = {
    {shareWeak, 22, 28, 46, kHypothesisColours[0]},
    {shareMedium, 55, 61, 79, kHypothesisColours[1]},
    {shareStrong, 88, 94, 112, kHypothesisColours[2]},
};

// Fire emission, cut and final emission of one hypothesis, evaluated in extended precision.
void printHypothesis(const Hypothesis& hypothesis) {
  const figures::HypothesisFigures f =
      figures::hypothesisFigures<Extended>(hypothesis.share, currentEmission, fireCutPercent);

  setColour(fireColour(), kBlack);
  tabToColumn(hypothesis.fireColumn);
  printMasked("##.##", f.fire);
  tabToColumn(hypothesis.cutColumn);
  printText("-", false);
  printSingle(fireCutPercent);
  printText("% (", false);
  printMasked("##.##", f.cut);
  printText(") ->", false);

  setColour(hypothesis.finalColour, kBlack);
  tabToColumn(hypothesis.finalColumn);
  printMasked("##.##", f.remaining);
}

void printRow() {
  locate(currentRow(), 1, -1);
  setColour(levelColour(), kBlack);
  printMasked(" ##.## Mil millones", static_cast<double>(currentEmission));
  for (const Hypothesis& hypothesis : kHypotheses) printHypothesis(hypothesis);
}

void stopOnSpaceBar() {
  if (readKey() != " ") return;
  printLineEnd();
  printText(paddedTo(kStopNotice, 91), true);
  endProgram(0);
}
}  // namespace

void runScenarioTable() {
  emissionStep = 0.01f;
  currentEmission = emissionFrom;
  while (currentEmission <= emissionTo) {
    tableRow = plusOne(tableRow);
    locate(currentRow(), 1, -1);
    setColour(kTableGreen, kBlack);
    sweepRow();
    printRow();
    ++tableRowsPrinted;
    sleepMs(9);
    if (tableRow == kLastBandRow) {
      beep();
      tableRow = kRowBeforeBand;
    }
    stopOnSpaceBar();
    // The exact sum of the two singles, rounded once.
    currentEmission = static_cast<float>(Extended(currentEmission) + Extended(emissionStep));
  }

  setColour(kWhite, kBlack);
  printLineEnd();
  printText(paddedTo(kEndPrompt, 125), true);
  // Blocks on the key queue, so the wait spares the processor and reacts at once.
  endOfRunKey = waitKey();
  if (endOfRunKey == " ") endProgram(0);
}
