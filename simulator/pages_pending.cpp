// Temporary: the pages are being written; this file goes when they land.
#include "screen/screen.h"
#include "simulator/pages.h"

void showIntroduction() {}
void runEntryForm() {}
void drawResultsPage() {}
void runScenarioTable() { waitKey(); }
