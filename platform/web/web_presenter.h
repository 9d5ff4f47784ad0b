// Presentation on the page: the changed rows of the visible frame go to the canvas about
// every 10 ms while the program runs, and in full before every wait for a key.
#pragma once

// Copies the changed rows now.
void presentChangedRows();
// Copies the changed rows when 10 ms have passed since the last copy, or when the program
// is about to pause for `pauseMs` of 10 ms or more.
void presentWhenDue(int pauseMs);
// Forgets the picture (the next screen starts with a whole frame).
void resetPresentation();
