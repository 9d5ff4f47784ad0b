// The termination signals while a back end shows the screen: SIGINT, SIGTERM and SIGHUP are
// recorded (the first one counts) for the presentation thread, which restores what it owns.
#pragma once

// Saves the previous actions and installs the recording handler; each signal also writes a
// byte to `wakeFd` (-1: none) so that a resting presentation thread acts on it at once. A
// signal the process was started to ignore (nohup) stays ignored. With `ignoreBrokenPipe` a
// write to a connection whose other end has gone fails instead of ending the process.
void installSignalGuard(int wakeFd, bool ignoreBrokenPipe);
// Puts the previous actions back; nothing when no guard is installed.
void removeSignalGuard();
// The recorded signal, or 0.
int pendingSignal();
// Removes the guard and ends the process as the signal's default action would.
[[noreturn]] void endWithSignal(int signalNumber);
