// The results page end to end: headings with the parameters, notes and credits, the table
// frame, and the chart's bars, labels and grid as pixels.
#include <string>

#include "tests/support/simulator_run.h"

namespace {

// Runs to the first pause of the table, when the page is complete and no row is printed yet.
class ResultsPage : public SimulatorRun {
 protected:
  void drawWith(const char* from, const char* to, const char* percent) {
    runScripted(
        {entries(from, to, percent), untilAction([] { return tableRow == 6; }), stopAction()});
    ASSERT_EQ(tableRow, 6.0f);
  }
};

TEST_F(ResultsPage, HeadingsRepeatTheParameters) {
  drawWith("10", "10.005", "50");
  // 111 characters plus " 10" and " 10.005" reach column 121, where the chart label wins.
  const std::string row1 =
      " SIMULACION DE ESCENARIOS DE REDUCCION PARA EMISIONES GLOBALES DESDE: " +
      std::string(" 10") + " HASTA: " + " 10.005" + " mil millones de toneladas de CO2";
  ASSERT_EQ(row1.size(), 121u);
  EXPECT_EQ(rowText(1, 1, 127), row1.substr(0, 120) + "2 3 4 5");
  expectText(1, 71, " 10", 0x000000, 0x00FF00);
  expectText(1, 82, " 10.005 mil millones de toneladas de CO", 0x000000, 0x00FF00);
  expectText(1, 74, " HASTA: ", 0xAAEEAA);
  expectText(2, 1, " CALCULOS REALIZADOS CON UNA REDUCCION DE INCENDIOS DEL ", 0xAAEEAA);
  expectText(2, 57, " 50", 0x000000, 0x00FF00);
  expectText(2, 60, "%  A ESCALA GLOBAL", 0xAAEEAA);
  expectText(
      3, 1,
      "  TOTAL Emisiones         Hipotesis DEBIL [20%]            Hipotesis MEDIA [30%]       "
      "     Hipotesis FUERTE [40%]     ",
      0xAAEEAA);
  expectText(4, 1, "   Toneladas CO2      ", 0xAAEEAA);
  expectText(4, 23, "Emision final estimada de CO2    ", 0x2222FF);
  expectText(4, 56, "Emision final estimada de CO2    ", 0x7777FF);
  expectText(4, 89, "Emision final estimada de CO2  ", 0xAAAAFF);
}

TEST_F(ResultsPage, NotesCreditsAndResolutionRow) {
  drawWith("2", "2.005", "50");
  expectText(41, 1,
             "> Todas las cantidades de CO2 son expresadas en Miles de Millones de Toneladas",
             0xAAEEAA);
  expectText(42, 1, "> Se estima que entre el 20% y el 40% del CO2 liberado a la atmosfera",
             0x00AA00);
  expectText(44, 1,
             padded("  dada la fuerte retroalimentacion que calentamiento global e incendios "
                    "forestales ejercen entre si.",
                    101),
             0x00AA00);
  EXPECT_EQ(foregroundAt(46, 1), rgb(0xAAEEAA));
  EXPECT_EQ(foregroundAt(46, 51), rgb(0xAAEEAA));
  EXPECT_EQ(rowText(46, 52, 53), "  ");
  EXPECT_EQ(foregroundAt(46, 52), rgb(0x1111FF));
  EXPECT_EQ(foregroundAt(46, 89), rgb(0x1111FF));
  EXPECT_EQ(rowText(46, 90, 120), std::string(31, ' '));
  expectText(47, 1, "  Resolucion optima 1024x768  ::  ", 0x000000, 0xFFFFFF);
  expectText(47, 35, "ESPACIO -> Salir", 0xFF0000, 0xFFFFFF);
  expectText(47, 51, "  ::  [ tildes ortograficas omitidas por problemas de visualizacion ]",
             0x000000, 0xFFFFFF);
}

TEST_F(ResultsPage, FrameRulesAndColumnLines) {
  drawWith("2", "2.005", "50");
  const uint32_t frame = rgb(0xAAEEAA);
  for (const int y : {0, 31, 72, 74, 630, 632}) {
    EXPECT_EQ(pixel(500, y), frame) << y;
    EXPECT_EQ(pixel(954, y), frame) << y;
  }
  EXPECT_EQ(pixel(500, 73), 0u);
  EXPECT_EQ(pixel(500, 631), 0u);
  for (const int x : {0, 158, 423, 688, 954}) {
    EXPECT_EQ(pixel(x, 400), frame) << x;
    EXPECT_EQ(pixel(x, 629), frame) << x;
  }
  EXPECT_EQ(pixel(159, 400), 0u);
}

struct BarCase {
  const char* percent;
  int ends[4];  // last pixel row of the weak, medium, strong and possible bars
};

class BarEnds : public ResultsPage, public ::testing::WithParamInterface<BarCase> {};

TEST_P(BarEnds, BarsHangFromTheTopOfTheirTracks) {
  drawWith("2", "2.005", GetParam().percent);
  const int middles[] = {965, 981, 997, 1013};
  const uint32_t colours[] = {0x111199, 0x1144BB, 0x1111FF, 0x8888FF};
  for (int bar = 0; bar < 4; ++bar) {
    const int x = middles[bar];
    const int end = GetParam().ends[bar];
    EXPECT_EQ(pixel(x, 50), rgb(colours[bar])) << bar;
    EXPECT_EQ(pixel(x, end), rgb(colours[bar])) << bar;
    EXPECT_EQ(pixel(x, end + 1), rgb(0xBB1111)) << bar;
    EXPECT_EQ(pixel(x, 630), rgb(0xBB1111)) << bar;
    EXPECT_EQ(pixel(x, 631), 0u) << bar;
  }
}

INSTANTIATE_TEST_SUITE_P(Percentages, BarEnds,
                         ::testing::Values(BarCase{"50", {108, 137, 166, 195}},
                                           BarCase{"99.99", {166, 224, 282, 340}},
                                           BarCase{"1", {51, 52, 52, 53}}));

TEST_F(ResultsPage, ChartLabelsSpellSharesNamesAndFinal) {
  drawWith("2", "2.005", "50");
  const struct {
    int row;
    const char* text;
  } pale[] = {{1, "2 3 4 5"},  {2, "0 0 0 0"},  {3, "% % % %"},  {41, "D M F P"}, {42, "E E U O"},
              {43, "B D E S"}, {44, "I I R I"}, {45, "L A T B"}, {46, "    E L"}, {47, "      E"}};
  for (const auto& label : pale) expectText(label.row, 121, label.text, 0xAAEEAA);
  const struct {
    int row;
    const char* text;
  } white[] = {{24, "C C C C"}, {25, "O O O O"}, {26, "2 2 2 2"}, {31, "F F F F"},
               {33, "I I I I"}, {35, "N N N N"}, {37, "A A A A"}, {39, "L L L L"}};
  for (const auto& label : white) expectText(label.row, 121, label.text, 0xFFFFFF, 0xBB1111);
}

TEST_F(ResultsPage, GridIsDrawnOverEverything) {
  drawWith("2", "2.005", "50");
  const uint32_t grid = rgb(0x11FF11);
  for (const int x : {957, 973, 989, 1005, 1021}) {
    EXPECT_EQ(pixel(x, 1), grid) << x;
    EXPECT_EQ(pixel(x, 20), grid) << x;   // across the label cells of row 2
    EXPECT_EQ(pixel(x, 100), grid) << x;  // beside and between the bars
    EXPECT_EQ(pixel(x, 375), grid) << x;  // across the white labels of row 24
    EXPECT_EQ(pixel(x, 751), grid) << x;
    EXPECT_EQ(pixel(x, 752), 0u) << x;
  }
  for (const int x : {957, 990, 1020}) {
    EXPECT_EQ(pixel(x, 0), grid) << x;
    EXPECT_EQ(pixel(x, 751), grid) << x;
  }
  EXPECT_EQ(pixel(1022, 100), 0u);
}

TEST_F(ResultsPage, LongParameterTextsWrapRowOneAndShiftTheHeadings) {
  // " 1.234567" and " 1.238765" together pass 17 characters: row 1 runs on to row 2.
  drawWith("1.234567", "1.238765", "50");
  EXPECT_EQ(rowText(1, 71, 79), " 1.234567");
  EXPECT_EQ(rowText(1, 121, 128), "2 3 4 5O");
  EXPECT_EQ(readCell(2, 1).character, '2');
  EXPECT_EQ(rowText(3, 1, 20), " CALCULOS REALIZADOS");
  EXPECT_EQ(rowText(4, 1, 17), "  TOTAL Emisiones");
}

TEST_F(ResultsPage, NothingIsPrintedBelowTheCredits) {
  drawWith("2", "2.005", "50");
  EXPECT_EQ(rowText(48, 1, 128), std::string(128, ' '));
  EXPECT_EQ(chartTop, 50.0f);
  EXPECT_EQ(chartBottom, 630.0f);
  EXPECT_EQ(chartSpan, 580.0f);
}

}  // namespace
