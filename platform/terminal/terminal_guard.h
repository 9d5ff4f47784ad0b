// What ends or pauses the process while the terminal shows the screen: termination signals
// (recorded by the shared guard; the presentation thread restores the terminal and then ends
// as the signal would), faults (the terminal is restored in the handler), size changes, Ctrl+Z, and
// the loss of the terminal (the program thread then ends with status 0 at its next wait).
#pragma once
#include <string>

// Installs the handlers, the shared termination guard (platform/posix/signal_guard.h, read
// through pendingSignal) among them; each recorded event also writes a byte to `wakeFd`.
void installTerminalGuard(int wakeFd);
void removeTerminalGuard();
// Whether the size changed (SIGWINCH) or Ctrl+Z was pressed since the last call.
bool takeResize();
bool takeSuspend();
// Removes the handlers and ends the process as the signal's default action would.
[[noreturn]] void endTerminalWithSignal(int signalNumber);
// Stops the process (as Ctrl+Z would) until it is continued.
void stopUntilContinued();

// Keeps why the terminal could not show the screen; printed on standard error, once, when
// the program ends without any screen (no other back end started either).
void noteTerminalRefusal(const std::string& reason);
