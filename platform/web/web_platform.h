// The page's side of the platform seam: pauses kept on a deadline and suspended about once a
// frame, the tone through the page's audio, key waits that suspend, and the program's end.
#pragma once

struct WebKeyRing;

// Installs the seam; call before the program starts.
void installWebPlatform();
// Where the page writes key presses.
WebKeyRing* webKeyRing();
