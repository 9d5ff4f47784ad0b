// The pages of one run, in the order the run loop shows them.
#pragma once

void showIntroduction();
void runEntryForm();
void drawResultsPage();
// Prints the scenario rows and waits at the end of the run; returns for a new run.
void runScenarioTable();
