// The program thread's side of a lost display or terminal: once the back end marks its output
// lost, the next pause or key wait ends the process with status 0 through endProgram.
#pragma once

// Clears the mark and wraps the platform seam's sleep and key wait (once).
void installLossSeam();
// Puts the wrapped sleep and key wait back; the rest of the seam stays as it is now.
void removeLossSeam();
void markOutputLost();
bool outputLost();
