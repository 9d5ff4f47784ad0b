// The terminal on standard input and output: its size, raw input that keeps the signal keys,
// the alternate screen with the cursor hidden, and the restore every way out must run.
#pragma once
#include <cstddef>

struct TerminalSize {
  int columns = 0;
  int rows = 0;
};

// Whether standard input and output are both terminals; when not, `reason` says which is not.
bool bothAreTerminals(const char*& reason);
// The size of the terminal on standard output; false when it cannot be read.
bool readTerminalSize(TerminalSize& size);
// Saves the terminal's modes and switches to raw input, the alternate screen, no line wrap
// and a hidden cursor. False (with nothing changed) when the modes cannot be set.
bool enterTerminal();
// Undoes enterTerminal, once; safe inside signal handlers.
void restoreTerminal();
// Writes all bytes to standard output, retrying after interruptions and partial writes;
// false when the terminal has gone (EIO and the like).
bool writeToTerminal(const char* bytes, size_t size);
