// The results page around the scenario table: headings that repeat the parameters, notes
// and credits, the table frame and the four-bar chart of the removed fraction.
#include <string_view>

#include "screen/screen.h"
#include "simulator/figures.h"
#include "simulator/page_tools.h"
#include "simulator/pages.h"
#include "simulator/variables.h"

namespace {
constexpr int32_t kBlack = 0x000000;
constexpr int32_t kWhite = 0xFFFFFF;
constexpr int32_t kPaleGreen = 0xAAEEAA;
constexpr int32_t kValueGreen = 0x00FF00;
constexpr int32_t kNoteGreen = 0x00AA00;
constexpr int32_t kWeakBlue = 0x2222FF;
constexpr int32_t kMediumBlue = 0x7777FF;
constexpr int32_t kStrongBlue = 0xAAAAFF;
constexpr int32_t kAddressBlue = 0x1111FF;
constexpr int32_t kExitRed = 0xFF0000;
constexpr uint32_t kTrackRed = 0xBB1111;
constexpr uint32_t kGridGreen = 0x11FF11;

constexpr std::string_view kCreditLabel = "> Las hipotesis de calculo se detallan en la web ->";
constexpr std::string_view kWebAddress = "  http://velmora.example/simulador/co2";
static_assert(kCreditLabel.size() == 51, "the credit label fills 51 cells");
static_assert(kWebAddress.size() == 38, "two spaces and the address fill 38 cells");

constexpr std::string_view kFinalEmission = "Emision final estimada de CO2";

void print(int32_t foreground, int32_t background, std::string_view text, bool lineEnd) {
  setColour(foreground, background);
  printText(text, lineEnd);
}

void printParameter(float value) {
  setColour(kBlack, kValueGreen);
  printSingle(value);
}

void pageText() {
  print(kPaleGreen, kBlack,
        " SIMULACION DE ESCENARIOS DE REDUCCION PARA EMISIONES GLOBALES DESDE: ", false);
  printParameter(emissionFrom);
  print(kPaleGreen, kBlack, " HASTA: ", false);
  printParameter(emissionTo);
  printText(" mil millones de toneladas de CO2", true);

  print(kPaleGreen, kBlack, " CALCULOS REALIZADOS CON UNA REDUCCION DE INCENDIOS DEL ", false);
  printParameter(fireCutPercent);
  print(kPaleGreen, kBlack, "%  A ESCALA GLOBAL", true);

  print(kPaleGreen, kBlack,
        paddedTo("  TOTAL Emisiones         Hipotesis DEBIL [20%]            Hipotesis MEDIA "
                 "[30%]            Hipotesis FUERTE [40%]",
                 119),
        true);
  print(kPaleGreen, kBlack, paddedTo("   Toneladas CO2", 22), false);
  print(kWeakBlue, kBlack, paddedTo(kFinalEmission, 33), false);
  print(kMediumBlue, kBlack, paddedTo(kFinalEmission, 33), false);
  print(kStrongBlue, kBlack, paddedTo(kFinalEmission, 31), true);

  // The notes begin on row 41, below the table band.
  printLineEnd();
  locate(40, 1, -1);
  printLineEnd();

  print(kPaleGreen, kBlack,
        "> Todas las cantidades de CO2 son expresadas en Miles de Millones de Toneladas", true);
  print(kNoteGreen, kBlack,
        "> Se estima que entre el 20% y el 40% del CO2 liberado a la atmosfera anualmente procede "
        "de los incendios",
        true);
  print(kNoteGreen, kBlack,
        "  forestales, aunque existen indicios fundamentados para pensar que dicha cantidad podria "
        "estar aumentando",
        true);
  print(kNoteGreen, kBlack,
        paddedTo("  dada la fuerte retroalimentacion que calentamiento global e incendios "
                 "forestales ejercen entre si.",
                 101),
        true);
  print(kNoteGreen, kBlack,
        "  En dichas estimaciones no se considera la cantidad de CO2 que la biomasa forestal "
        "destruida deja de procesar.",
        true);
  print(kPaleGreen, kBlack, kCreditLabel, false);
  print(kAddressBlue, kBlack, kWebAddress, true);
  print(kBlack, kWhite, paddedTo("  Resolucion optima 1024x768  ::", 34), false);
  print(kExitRed, kWhite, "ESPACIO -> Salir", false);
  print(kBlack, kWhite, "  ::  [ tildes ortograficas omitidas por problemas de visualizacion ]",
        true);
}

void line(float x1, float y1, float x2, float y2, uint32_t colour, int32_t shape) {
  drawLine(nullptr, x1, y1, x2, y2, colour, shape, 0xFFFF, 0);
}

void tableFrame() {
  setColour(kPaleGreen, kBlack);
  line(0, 0, 954, 74, kCurrentForeground, 1);
  line(0, 0, 954, 31, kCurrentForeground, 1);
  line(0, 0, 954, 72, kCurrentForeground, 1);
  line(0, 630, 954, 632, kCurrentForeground, 1);
  for (const float x : {0.0f, 158.0f, 423.0f, 688.0f, 954.0f})
    line(x, 31, x, 629, kCurrentForeground, 0);
}

struct LabelRow {
  int32_t row;
  std::string_view text;
};

void printLabels(std::initializer_list<LabelRow> labels) {
  for (const LabelRow& label : labels) {
    locate(label.row, 121, -1);
    printText(label.text, true);
  }
}

void chartLabels() {
  printLabels({{1, "2 3 4 5"},
               {2, "0 0 0 0"},
               {3, "% % % %"},
               {41, "D M F P"},
               {42, "E E U O"},
               {43, "B D E S"},
               {44, "I I R I"},
               {45, "L A T B"},
               {46, "    E L"},
               {47, "      E"}});
}

struct Track {
  float left, right;
};
constexpr Track kTracks[] = {{958, 972}, {974, 988}, {990, 1004}, {1006, 1020}};

// A bar hangs from the top of its track; its length is the removed fraction of all emissions.
float shareBarEnd(float share) {
  return figures::shareBarEnd<Extended>(share, chartSpan, fireCutPercent, chartTop);
}

float possibleBarEnd() {
  return figures::possibleBarEnd<Extended>(chartSpan, fireCutPercent, chartTop);
}

void chart() {
  chartTop = 50;
  chartBottom = 630;
  chartSpan = static_cast<float>(Extended(chartBottom) - Extended(chartTop));

  for (const Track& track : kTracks)
    line(track.left, chartBottom, track.right, chartTop, kTrackRed, 2);

  const float ends[] = {shareBarEnd(shareWeak), shareBarEnd(shareMedium), shareBarEnd(shareStrong),
                        possibleBarEnd()};
  const uint32_t colours[] = {0x111199, 0x1144BB, 0x1111FF, 0x8888FF};
  for (size_t bar = 0; bar < 4; ++bar)
    line(kTracks[bar].left, chartTop, kTracks[bar].right, ends[bar], colours[bar], 2);

  setColour(kWhite, static_cast<int32_t>(kTrackRed));
  printLabels({{24, "C C C C"},
               {25, "O O O O"},
               {26, "2 2 2 2"},
               {31, "F F F F"},
               {33, "I I I I"},
               {35, "N N N N"},
               {37, "A A A A"},
               {39, "L L L L"}});

  // The grid goes last: the label cells' backgrounds covered its separators.
  for (const float x : {957.0f, 973.0f, 989.0f, 1005.0f, 1021.0f})
    line(x, 1, x, 751, kGridGreen, 0);
  line(957, 751, 1020, 751, kGridGreen, 0);
  line(957, 0, 1020, 0, kGridGreen, 0);
}
}  // namespace

void drawResultsPage() {
  pageText();
  tableFrame();
  tableRow = 5;
  chartLabels();
  chart();
}
