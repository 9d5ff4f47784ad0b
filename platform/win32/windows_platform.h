// The Windows side of the platform seam: Sleep with a 1 ms timer period for the program's
// life, Beep for the tone, and standard output (when there is one) for console text.
#pragma once
#include <cstddef>

// Installs the seam, raises the timer resolution and adds processed input to a console
// standard input. Call once at process entry.
void installWindowsPlatform();

// Writes console text to the process's standard output: through the console when it is one,
// as raw bytes when it is a file or pipe, nowhere when there is none.
void windowsConsoleWrite(const char* bytes, size_t size);
