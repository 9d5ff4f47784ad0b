#include "screen/screen.h"
#include "simulator/pages.h"
#include "simulator/simulator.h"
#include "simulator/variables.h"

void simulatorMain(int argc, char** argv) {
  startServices(argc, argv);
  setScreenMode(20, 16, 8, 1, 0);
  if (frameBuffer() == nullptr) {
    printText("Error setting video mode!", true);
    endProgram(0);
  }
  for (;;) {
    setColour(0x00AA00, 0x000000);
    clearScreen();
    shareWeak = 0.2f;
    shareStrong = 0.4f;
    // Evaluated in extended precision, rounded once when stored.
    shareMedium = static_cast<float>((Extended(shareStrong) + Extended(shareWeak)) / Extended(2));
    showIntroduction();
    runEntryForm();
    drawResultsPage();
    runScenarioTable();
  }
}
