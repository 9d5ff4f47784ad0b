// Ending the process with a signal's own status once a back end has put its handlers back
// and restored what it owns (display mode, terminal).
#pragma once

// Takes the signal's default action, unblocked, so the status says the signal ended us.
[[noreturn]] void endBySignalDefault(int signalNumber);
