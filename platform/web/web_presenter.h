// Presentation on the page: the changed rows of the visible frame go to the canvas when the
// program gives the browser a turn (about once a frame while it animates) and before waits.
#pragma once

// Copies the changed rows now.
void presentChangedRows();
// Forgets the picture (the next screen starts with a whole frame).
void resetPresentation();
