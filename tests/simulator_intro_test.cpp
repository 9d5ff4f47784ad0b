// The introduction end to end: frame, title and sentences, the sweeps' waits, the colour
// bar, and the one pause that a key can cut short.
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/simulator_run.h"

namespace {

// (length, count) runs of the sleeps in order.
std::vector<std::pair<int, int>> runsOf(const std::vector<int>& sleeps) {
  std::vector<std::pair<int, int>> runs;
  for (const int ms : sleeps) {
    if (runs.empty() || runs.back().first != ms) runs.push_back({ms, 0});
    ++runs.back().second;
  }
  return runs;
}

TEST_F(SimulatorRun, PagesTextsStandInTheirCellsAtTheFirstEntry) {
  bool checked = false;
  runScripted({waitLineAction(), callAction([&] {
                 checked = true;
                 expectText(2, 69, " Simulador de reducciones globales de CO2 - Velmora v1.1b ",
                            0x000000, 0x99EE99);
                 EXPECT_EQ(rowText(3, 77, 126).size(), 50u);
                 EXPECT_EQ(foregroundAt(3, 77), rgb(0x2222FF));
                 EXPECT_EQ(foregroundAt(3, 126), rgb(0x2222FF));
                 expectText(3, 2, padded(" > Iniciando variables para simulacion numerica ...", 69),
                            0x00AA00);
                 expectText(6, 2,
                            padded(" > Las cantidades mostradas equivalen a Miles de Millones de "
                                   "Toneladas de CO2.",
                                   120),
                            0xAAEEAA);
                 expectText(17, 2, padded(" forestales a escala global.", 120), 0xAAEEAA);
                 // The sweeps' last underscores (columns 117, 78 and 118) are covered.
                 for (const int row : {6, 8, 9, 10, 11, 14, 16, 17, 20})
                   EXPECT_EQ(rowText(row, 1, 128).find('_'), std::string::npos) << row;
                 for (const int row : {1, 4, 5, 7, 12, 13, 15, 18, 19, 21, 22, 23, 24})
                   EXPECT_EQ(rowText(row, 1, 128), std::string(128, ' ')) << row;
               })});
  EXPECT_TRUE(checked);
}

TEST_F(SimulatorRun, FrameAndSeparatorAreGreenAndWhole) {
  bool checked = false;
  const uint32_t green = rgbTo565(0x00AA00);
  runScripted({waitLineAction(), callAction([&] {
                 checked = true;
                 for (const int x : {0, 300, 1023}) {
                   EXPECT_EQ(pixel(x, 0), green) << x;
                   EXPECT_EQ(pixel(x, 760), green) << x;
                   EXPECT_EQ(pixel(x, 350), green) << x;
                 }
                 for (const int y : {1, 200, 759}) {
                   EXPECT_EQ(pixel(0, y), green) << y;
                   EXPECT_EQ(pixel(1023, y), green) << y;
                 }
                 EXPECT_EQ(pixel(500, 349), 0u);
                 EXPECT_EQ(pixel(500, 761), 0u);
               })});
  EXPECT_TRUE(checked);
}

TEST_F(SimulatorRun, SweepsWaitPerStepAsTheirRowsRequire) {
  const ScriptedRunResult result = runScripted({waitLineAction()});
  // 200 ms in four slices; rows 6, 8 and 9 sweep without pausing; rows 10, 14, 16 and 20
  // take 116 steps, row 11 115 and row 17 76, at 1 ms; then the form's first sweep.
  const std::vector<std::pair<int, int>> expected = {
      {50, 4}, {1, 116 + 115 + 116 + 116 + 76 + 116}, {2, 57}};
  EXPECT_EQ(runsOf(result.sleeps), expected);
  EXPECT_EQ(result.virtualMs, 200 + 655 + 114);
}

TEST_F(SimulatorRun, KeyTypedAheadCutsTheLongPauseShort) {
  const ScriptedRunResult result = runScripted({typeAction("7"), waitLineAction()});
  // The key arrives during the first slice; the next check ends the pause.
  ASSERT_FALSE(result.sleeps.empty());
  EXPECT_EQ(runsOf(result.sleeps).front(), (std::pair<int, int>{50, 1}));
  EXPECT_EQ(result.sleeps[1], 1);
}

TEST_F(SimulatorRun, UnderscoreMovesOneCellPerStep) {
  // Four slices of the 200 ms pause, then row 10's sweep: its fifth pause follows four
  // steps, so the underscore stands in column 6 and the spaces behind it erased the rest.
  int pauses = 0;
  std::string row10;
  runScripted({untilAction([&] { return ++pauses == 4 + 5; }),
               callAction([&] { row10 = rowText(10, 1, 8); })});
  EXPECT_EQ(row10, "     _  ");
}

TEST_F(SimulatorRun, ColourBarFallsInGreenByTwoPerCell) {
  bool checked = false;
  runScripted({waitLineAction(), callAction([&] {
                 checked = true;
                 std::set<uint32_t> shades;
                 // Cells 1 to 6 of the bar (columns 36 to 41) lie under the form's heading.
                 for (int column = 42; column <= 126; ++column) {
                   const uint32_t green = 255 - 2 * static_cast<uint32_t>(column - 35);
                   const uint32_t colour = 0x880088 | green << 8;
                   EXPECT_EQ(backgroundAt(25, column), rgb(colour)) << column;
                   EXPECT_EQ(readCell(25, column).character, ' ');
                   shades.insert(backgroundAt(25, column));
                 }
                 EXPECT_EQ(backgroundAt(25, 42), rgb(0x88F188));
                 EXPECT_EQ(backgroundAt(25, 126), rgb(0x884988));
                 EXPECT_EQ(backgroundAt(25, 127), 0u);
                 EXPECT_EQ(backgroundAt(25, 41), rgb(0x88FF88));
                 // The first visible cell alone, then 42 pairs of equal 6-bit greens.
                 EXPECT_EQ(shades.size(), 43u);
               })});
  EXPECT_TRUE(checked);
  // The counter ran past its 91st cell, whose text was the last built.
  EXPECT_EQ(gradientIndex, 92.0f);
  EXPECT_EQ(gradientText, "&h884988");
}

}  // namespace
