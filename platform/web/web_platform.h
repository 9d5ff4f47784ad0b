// The page's side of the platform seam: pauses that hold 2 ms in a browser, the tone through
// the page's audio, key waits that suspend the program, and the end of the program.
#pragma once

struct WebKeyRing;

// Installs the seam; call before the program starts.
void installWebPlatform();
// Where the page writes key presses.
WebKeyRing* webKeyRing();
