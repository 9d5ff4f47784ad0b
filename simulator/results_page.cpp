// The results page around the scenario table: headings that repeat the parameters, notes
// and credits, the table frame and the four-bar chart of the removed fraction.
#include <string_view>

#include "screen/screen.h"
#include "simulator/figures.h"
#include "simulator/page_tools.h"
#include "simulator/pages.h"
#include "simulator/table_layout.h"
#include "simulator/variables.h"

namespace {
constexpr int32_t kValueGreen = 0x00FF00;
constexpr int32_t kNoteGreen = 0x00AA00;
constexpr int32_t kAddressBlue = 0x1111FF;
constexpr int32_t kExitRed = 0xFF0000;
constexpr uint32_t kTrackRed = 0xBB1111;
constexpr uint32_t kGridGreen = 0x11FF11;

constexpr std::string_view kCreditLabel = "> Las hipotesis de calculo se detallan en la web ->";
constexpr std::string_view kWebAddress = "  http://velmora.example/simulador/co2";
static_assert(kCreditLabel.size() == 51, "the credit label fills 51 cells");
static_assert(kWebAddress.size() == 38, "two spaces and the address fill 38 cells");

constexpr std::string_view kFinalEmission = "Emision final estimada de CO2";
constexpr bool kLineEnd = true;
constexpr bool kSameRow = false;

// One item of the page text, printed where the previous one ended: a text padded with spaces
// to `width` characters, or, when `parameter` is set, that parameter's text form.
struct PageItem {
  int32_t foreground;
  int32_t background;
  std::string_view text;
  bool lineEnd;
  size_t width = 0;
  const float* parameter = nullptr;
};

// A parameter's value in black on bright green, with no line end.
constexpr PageItem parameter(const float& value) {
  return {kBlack, kValueGreen, {}, kSameRow, 0, &value};
}

// Rows 1 to 4: the parameters and the column headings.
constexpr PageItem kHeadings[] = {
    {kTableGreen, kBlack,
     " SIMULACION DE ESCENARIOS DE REDUCCION PARA EMISIONES GLOBALES DESDE: ", kSameRow},
    parameter(emissionFrom),
    {kTableGreen, kBlack, " HASTA: ", kSameRow},
    parameter(emissionTo),
    {kBlack, kValueGreen, " mil millones de toneladas de CO2", kLineEnd},

    {kTableGreen, kBlack, " CALCULOS REALIZADOS CON UNA REDUCCION DE INCENDIOS DEL ", kSameRow},
    parameter(fireCutPercent),
    {kTableGreen, kBlack, "%  A ESCALA GLOBAL", kLineEnd},

    {kTableGreen, kBlack,
     "  TOTAL Emisiones         Hipotesis DEBIL [20%]            Hipotesis MEDIA [30%]       "
     "     Hipotesis FUERTE [40%]",
     kLineEnd, 119},

    {kTableGreen, kBlack, "   Toneladas CO2", kSameRow, 22},
    {kHypothesisColours[0], kBlack, kFinalEmission, kSameRow, 33},
    {kHypothesisColours[1], kBlack, kFinalEmission, kSameRow, 33},
    {kHypothesisColours[2], kBlack, kFinalEmission, kLineEnd, 31},
};

// Rows 41 to 47, below the table band: notes, credit and the resolution row.
constexpr PageItem kNotes[] = {
    {kTableGreen, kBlack,
     "> Todas las cantidades de CO2 son expresadas en Miles de Millones de Toneladas", kLineEnd},
    {kNoteGreen, kBlack,
     "> Se estima que entre el 20% y el 40% del CO2 liberado a la atmosfera anualmente procede "
     "de los incendios",
     kLineEnd},
    {kNoteGreen, kBlack,
     "  forestales, aunque existen indicios fundamentados para pensar que dicha cantidad podria "
     "estar aumentando",
     kLineEnd},
    {kNoteGreen, kBlack,
     "  dada la fuerte retroalimentacion que calentamiento global e incendios forestales "
     "ejercen entre si.",
     kLineEnd, 101},
    {kNoteGreen, kBlack,
     "  En dichas estimaciones no se considera la cantidad de CO2 que la biomasa forestal "
     "destruida deja de procesar.",
     kLineEnd},
    {kTableGreen, kBlack, kCreditLabel, kSameRow},
    {kAddressBlue, kBlack, kWebAddress, kLineEnd},
    {kBlack, kWhite, "  Resolucion optima 1024x768  ::", kSameRow, 34},
    {kExitRed, kWhite, "ESPACIO -> Salir", kSameRow},
    {kBlack, kWhite, "  ::  [ tildes ortograficas omitidas por problemas de visualizacion ]",
     kLineEnd},
};

template <size_t N>
void printItems(const PageItem (&items)[N]) {
  for (const PageItem& item : items) {
    setColour(item.foreground, item.background);
    if (item.parameter)
      printSingle(*item.parameter);
    else
      printText(paddedTo(item.text, item.width), item.lineEnd);
  }
}

void pageText() {
  printItems(kHeadings);
  // The notes begin on row 41, below the table band.
  printLineEnd();
  locate(40, 1, -1);
  printLineEnd();
  printItems(kNotes);
}

void line(float x1, float y1, float x2, float y2, uint32_t colour, int32_t shape) {
  drawLine(nullptr, x1, y1, x2, y2, colour, shape, 0xFFFF, 0);
}

// Box outlines from the left edge to the last column line: a double rule under the headings
// (y 72 and 74) around the box of rows 1 and 2, and a double rule under the band.
struct FrameBox {
  float top, bottom;
};
constexpr FrameBox kFrameBoxes[] = {{0, 74}, {0, 31}, {0, 72}, {630, 632}};

void tableFrame() {
  setColour(kTableGreen, kBlack);
  for (const FrameBox& box : kFrameBoxes)
    line(0, box.top, kFrameRight, box.bottom, kCurrentForeground, 1);
  drawColumnLines();
}

struct LabelRow {
  int32_t row;
  std::string_view text;
};

template <size_t N>
void printLabels(const LabelRow (&labels)[N]) {
  for (const LabelRow& label : labels) {
    locate(label.row, 121, -1);
    printText(label.text, true);
  }
}

// Read downwards, the four label columns spell the shares above the bars and the
// hypotheses' names below them.
constexpr LabelRow kChartHeadings[] = {
    {1, "2 3 4 5"},  {2, "0 0 0 0"},  {3, "% % % %"},  {41, "D M F P"}, {42, "E E U O"},
    {43, "B D E S"}, {44, "I I R I"}, {45, "L A T B"}, {46, "    E L"}, {47, "      E"},
};

// "CO2" and, spaced out, "FINAL" on the dark-red rest of every track.
constexpr LabelRow kTrackLabels[] = {
    {24, "C C C C"}, {25, "O O O O"}, {26, "2 2 2 2"}, {31, "F F F F"},
    {33, "I I I I"}, {35, "N N N N"}, {37, "A A A A"}, {39, "L L L L"},
};

// A bar hangs from the top of its track; its length is the removed fraction of all emissions
// under its share, or, for the last (possible) bar, with no share, under a share of one half.
struct Bar {
  float left, right;
  const float* share;
  uint32_t colour;
};
constexpr Bar kBars[] = {
    {958, 972, &shareWeak, 0x111199},
    {974, 988, &shareMedium, 0x1144BB},
    {990, 1004, &shareStrong, 0x1111FF},
    {1006, 1020, nullptr, 0x8888FF},
};

float barEnd(const Bar& bar) {
  if (!bar.share) return figures::possibleBarEnd<Extended>(chartSpan, fireCutPercent, chartTop);
  return figures::shareBarEnd<Extended>(*bar.share, chartSpan, fireCutPercent, chartTop);
}

constexpr float kGridX[] = {957, 973, 989, 1005, 1021};

void chart() {
  chartTop = 50;
  chartBottom = 630;
  chartSpan = static_cast<float>(Extended(chartBottom) - Extended(chartTop));

  for (const Bar& bar : kBars) line(bar.left, chartBottom, bar.right, chartTop, kTrackRed, 2);
  for (const Bar& bar : kBars) line(bar.left, chartTop, bar.right, barEnd(bar), bar.colour, 2);

  setColour(kWhite, static_cast<int32_t>(kTrackRed));
  printLabels(kTrackLabels);

  // The grid goes last: the label cells' backgrounds covered its separators.
  for (const float x : kGridX) line(x, 1, x, 751, kGridGreen, 0);
  line(957, 751, 1020, 751, kGridGreen, 0);
  line(957, 0, 1020, 0, kGridGreen, 0);
}
}  // namespace

void drawResultsPage() {
  pageText();
  tableFrame();
  // The hand-over to the scenario table: it reads tableRow, a program-wide variable, and
  // steps it before each row, so the band starts on row 6.
  tableRow = 5;
  printLabels(kChartHeadings);
  chart();
}
