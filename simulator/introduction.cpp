// The introduction: frame, title, the model's assumptions revealed by underscore sweeps,
// and the green colour bar on row 25 that the entry form's heading then partly covers.
#include <string_view>

#include "screen/screen.h"
#include "simulator/page_tools.h"
#include "simulator/pages.h"
#include "simulator/variables.h"

namespace {
constexpr std::string_view kTitle = " Simulador de reducciones globales de CO2 - Velmora v1.1b ";
constexpr std::string_view kCreditLine = "Programado por Estudio Velmora - Ensayos del clima";
constexpr std::string_view kStarting = " > Iniciando variables para simulacion numerica ...";
static_assert(kTitle.size() == 58, "the title ends in column 126");
static_assert(kCreditLine.size() == 50, "the credit line ends in column 126 like the title");

constexpr int32_t kFrameGreen = 0x00AA00;
constexpr int32_t kTitleBackground = 0x99EE99;
constexpr int32_t kCreditBlue = 0x2222FF;
constexpr int32_t kSentenceGreen = 0xAAEEAA;
// Sentences are padded to this width so that each covers its sweep's last underscore.
constexpr size_t kSentenceWidth = 120;

struct Sentence {
  int32_t row;
  float lastColumn;
  int32_t waitMs;
  std::string_view text;
};

constexpr Sentence kSentences[] = {
    {6, 117, 0, " > Las cantidades mostradas equivalen a Miles de Millones de Toneladas de CO2."},
    {8, 117, 0,
     " > Se estima que anualmente se liberan 27 mil millones de toneladas de CO2 a la atmosfera "
     "terrestre aunque esta cantidad"},
    {9, 117, 0,
     " podria estar incrementandose de forma progresiva como consecuencia del CO2 liberado en "
     "grandes incendios forestales"},
    {10, 117, 1,
     " ante la insultante inaccion por parte de todos los agentes sociales implicados y aun "
     "existiendo soluciones probadas."},
    {11, 116, 1,
     " Unos 7 mil millones son absorbidas por oceanos, similar cantidad por bosques y el resto "
     "queda en la atmosfera."},
    {14, 117, 1,
     " > Se estima por algunas fuentes que entre el 20% y el 40% del total liberado proviene de "
     "incendios forestales."},
    {16, 117, 1,
     " > Los calculos simularan escenarios de emisiones globales de CO2 basados en la reduccion "
     "porcentual de incendios"},
    {17, 77, 1, " forestales a escala global."},
    {20, 117, 1,
     " > Calculos efectuados en gradiente acotado entre cantidad MINIMA y MAXIMA establecida "
     "por usuario."},
};
static_assert(kSentences[1].text.size() == kSentenceWidth, "the row-8 sentence fills its width");

// An underscore runs from column `first` + 1 to `last` + 1, one cell per step.
void underscoreSweep(int32_t row, float first, float last, int32_t waitMs) {
  for (sweepColumn = first; sweepColumn <= last; sweepColumn = plusOne(sweepColumn)) {
    locate(row, nearestInteger(sweepColumn), -1);
    sleepMs(waitMs);
    printText(" _", true);
  }
}

// 91 cells whose background keeps red and blue at 0x88 while green falls by 2 a cell.
void colourBar() {
  locate(25, 36, -1);
  for (gradientIndex = 1; gradientIndex <= 91; gradientIndex = plusOne(gradientIndex)) {
    gradientText = "&h88";
    const Extended green = Extended(255) - Extended(2) * Extended(gradientIndex);
    gradientText += hexText(nearestInt64(green));
    gradientText += "88";
    const int32_t background = nearestInteger(Extended(valueOfText(gradientText)));
    setColour(kBlack, background);
    printText(" ", false);
  }
}
}  // namespace

void showIntroduction() {
  drawLine(nullptr, 0, 0, 1023, 760, kCurrentForeground, 1, 0xFFFF, 0);
  drawLine(nullptr, 0, 350, 1023, 350, kCurrentForeground, 0, 0xFFFF, 0);

  locate(2, 69, -1);
  setColour(kBlack, kTitleBackground);
  printText(kTitle, true);
  locate(3, 77, -1);
  setColour(kCreditBlue, kBlack);
  printText(kCreditLine, true);
  locate(3, 2, -1);
  setColour(kFrameGreen, kBlack);
  printText(paddedTo(kStarting, 69), true);
  sleepMs(200);

  setColour(kSentenceGreen, kBlack);
  for (const Sentence& sentence : kSentences) {
    underscoreSweep(sentence.row, 2, sentence.lastColumn, sentence.waitMs);
    locate(sentence.row, 2, -1);
    printText(paddedTo(sentence.text, kSentenceWidth), true);
  }
  printLineEnd();
  colourBar();
}
